#include "read_at_offset.h"

#include "file_input.h"

namespace krt::archive {

Result ReadAtOffset(HANDLE file, int64_t offset, uint32_t count, uint8_t* buffer,
                    uint32_t* file_size) {
  if (count == 0 || buffer == nullptr) return kBadArgument;
  uint32_t size = 0;
  if (!QueryFileSize(file, &size)) return kFileError;
  if (!SeekTo(file, offset)) return kFileError;
  // Against the whole size, not what follows the offset: a read that runs
  // past the end is caught as a short read.
  if (count > size) return kFileError;
  if (!ReadExactly(file, buffer, count)) return kFileError;
  if (file_size != nullptr) *file_size = size;
  return kSuccess;
}

}  // namespace krt::archive
