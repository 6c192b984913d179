#include "pack_source.h"

#include <windows.h>

#include "file_input.h"

namespace krt::archive {

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
  pack->source.file = file;
  pack->start_offset = offset_or_length;
  pack->total_length = size;
  return kSuccess;
}

void ClosePack(OpenedPack* pack) {
  if (pack->source.image == nullptr && pack->source.file != INVALID_HANDLE_VALUE) {
    CloseHandle(pack->source.file);
  }
  *pack = OpenedPack{};
}

}  // namespace krt::archive
