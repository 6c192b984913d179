#include "pack_source.h"

#include <windows.h>

#include "file_input.h"
#include "read_at_offset.h"

namespace krt::archive {
namespace {

Result ReadPackFile(void* file, int64_t offset, uint32_t count, uint8_t* buffer) {
  return ReadAtOffset(static_cast<HANDLE>(file), offset, count, buffer, nullptr);
}

}  // namespace

PackSource FilePackSource(HANDLE file) { return PackSource{nullptr, ReadPackFile, file}; }

Result OpenPack(HostPath source, LengthArgument offset_or_length, uint32_t flag, OpenedPack* pack) {
  *pack = OpenedPack{};
  if (!FitsFormat(offset_or_length)) return UnfitLengthResult(flag);
  if (IsMemoryInput(flag)) {
    if (offset_or_length < kMinimumImageLength) return kNotValidData;
    if (source.text == nullptr) return kBadArgument;
    pack->source.image = source.bytes();
    pack->total_length = static_cast<uint32_t>(offset_or_length);
    return kSuccess;
  }

  HANDLE file = OpenForReading(source, ScanHint::kNone);
  if (file == INVALID_HANDLE_VALUE) return kFileError;
  uint32_t size = 0;
  if (!QueryFileSize(file, &size)) {
    CloseHandle(file);
    return kFileError;
  }
  pack->file = file;
  pack->source = FilePackSource(file);
  pack->start_offset = offset_or_length;
  pack->total_length = size;
  return kSuccess;
}

void ClosePack(OpenedPack* pack) {
  if (pack->file != INVALID_HANDLE_VALUE) CloseHandle(pack->file);
  *pack = OpenedPack{};
}

}  // namespace krt::archive
