#include "screen_source.h"

#include <windows.h>

#include "file_input.h"
#include "plugin_interface.h"
#include "scratch_memory.h"

namespace krt::image {

namespace {

int32_t ReadFromFile(HANDLE file, int32_t offset, Section last, LoadedScreen* screen) {
  uint32_t file_size = 0;
  if (!QueryFileSize(file, &file_size)) return kFileError;
  if (!SeekTo(file, offset)) return kFileError;
  uint8_t* header = screen->header_copy;
  if (!ReadExactly(file, header, kScreenHeaderSize)) return kFileError;
  // Against the whole file, not what follows the offset: a section that then
  // runs past the end of the file shows up as a short read.
  if (FourSectionsInOrderWithin(header, file_size) == 0) return kNotValidData;

  const SectionEntry first = ReadSectionEntry(header, kScreenDescriptor);
  if (!SeekTo(file, int64_t{offset} + first.offset)) return kFileError;
  // The header check bounds every section end by the file's 32-bit size.
  const uint64_t span = SpanThrough(header, last);
  uint8_t* copy = AllocateFileCopy(span);
  if (copy == nullptr) return kAllocationFailed;
  if (!ReadExactly(file, copy, static_cast<uint32_t>(span))) {
    ReleaseFileCopy(copy);
    return kFileError;
  }
  screen->file_copy = copy;
  screen->sections = LocateSections(header, copy, first.offset, last);
  return kSuccess;
}

int32_t LoadFile(HostPath path, int32_t offset, Section last, LoadedScreen* screen) {
  return WithFileOpen(path, ScanHint::kSequential,
                      [&](HANDLE file) { return ReadFromFile(file, offset, last, screen); });
}

int32_t LoadImage(const uint8_t* image, int32_t length, LoadedScreen* screen) {
  if (length < 0) return kNotValidData;
  const auto whole = static_cast<size_t>(length);
  return LocateWholeScreen(image, whole, &screen->sections) ? kSuccess : kNotValidData;
}

}  // namespace

int32_t LoadScreen(HostPath source, LengthArgument offset_or_length, uint32_t flag, Section last,
                   LoadedScreen* screen) {
  if (!FitsFormat(offset_or_length)) return UnfitLengthResult(flag);
  const auto narrow = static_cast<int32_t>(offset_or_length);
  if (IsMemoryInput(flag)) return LoadImage(source.bytes(), narrow, screen);
  return LoadFile(source, narrow, last, screen);
}

void ReleaseScreen(LoadedScreen* screen) {
  ReleaseFileCopy(screen->file_copy);
  screen->file_copy = nullptr;
}

}  // namespace krt::image
