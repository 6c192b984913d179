// GetFile: one entry of a pack, byte for byte, to a memory handle or to a
// disk file.
#include <windows.h>

#include <cstring>

#include "file_input.h"
#include "host_memory.h"
#include "locate_screen.h"
#include "pack_source.h"
#include "plugin_interface.h"
#include "read_at_offset.h"

namespace krt::archive {
namespace {

// The screen's bytes: in place in the host's image after memory input, in a
// locked block after file input.
struct EntryBytes {
  const uint8_t* bytes = nullptr;
  uint32_t extent = 0;
  LockedBlock block;
};

Result BlockFailure(BlockStatus status) {
  return status == BlockStatus::kLockFailed ? kLockFailed : kAllocationFailed;
}

Result ReadScreen(HANDLE file, int32_t position, EntryBytes* entry) {
  uint8_t window[kScanWindowSize];
  uint32_t file_size = 0;
  const Result read = ReadAtOffset(file, position, sizeof window, window, nullptr, &file_size);
  if (read != kSuccess) return read;
  // The window was read whole at the position, so the file reaches past it
  // unless it shrank between the size query and the read.
  const int64_t remaining = int64_t{file_size} - position;
  ScreenLocation screen;
  if (remaining < 0 || !LocateScreen(window, static_cast<uint32_t>(remaining), &screen)) {
    return kFileError;
  }

  const BlockStatus status = AllocateLockedBlock(screen.extent, &entry->block);
  if (status != BlockStatus::kReady) return BlockFailure(status);
  const Result body = ReadAtOffset(file, int64_t{position} + screen.magic_offset, screen.extent,
                                   entry->block.bytes, nullptr, nullptr);
  if (body != kSuccess) {
    ReleaseLockedBlock(&entry->block);
    return body;
  }
  entry->bytes = entry->block.bytes;
  entry->extent = screen.extent;
  return kSuccess;
}

Result ReadEntryFromFile(const char* path, int32_t position, EntryBytes* entry) {
  HANDLE file = OpenForReading(path, ScanHint::kNone);
  if (file == INVALID_HANDLE_VALUE) return kFileError;
  const Result result = ReadScreen(file, position, entry);
  CloseHandle(file);
  return result;
}

// The image begins at the wanted entry, so its magic lies within the first
// scan window.
Result TakeEntryFromImage(const char* image, int32_t length, EntryBytes* entry) {
  if (length < kMinimumImageLength) return kNotValidData;
  if (image == nullptr) return kBadArgument;
  const auto* bytes = reinterpret_cast<const uint8_t*>(image);
  ScreenLocation screen;
  if (!LocateScreen(bytes, static_cast<uint32_t>(length), &screen)) return kFileError;
  entry->bytes = bytes + screen.magic_offset;
  entry->extent = screen.extent;
  return kSuccess;
}

Result HandOverEntry(EntryBytes* entry, MemoryHandle* slot) {
  if (entry->block.handle == nullptr) {
    const BlockStatus status = AllocateLockedBlock(entry->extent, &entry->block);
    if (status != BlockStatus::kReady) return BlockFailure(status);
    std::memcpy(entry->block.bytes, entry->bytes, entry->extent);
  }
  *slot = HandOverBlock(&entry->block);
  return kSuccess;
}

// A destination that could not be written whole is removed again, so no
// truncated screen file is left behind looking like a good one.
Result WriteEntryToDisk(const EntryBytes& entry, const char* path) {
  HANDLE out =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return kFileError;
  DWORD written = 0;
  const bool whole = WriteFile(out, entry.bytes, entry.extent, &written, nullptr) != FALSE &&
                     written == entry.extent;
  CloseHandle(out);
  if (whole) return kSuccess;
  DeleteFileA(path);
  return kFileError;
}

Result ExtractEntry(const char* source, int32_t position_or_length, char* destination,
                    uint32_t flag) {
  const bool to_memory = IsMemoryOutput(flag);
  if (to_memory && destination == nullptr) return kBadArgument;

  EntryBytes entry;
  const Result taken = IsMemoryInput(flag) ? TakeEntryFromImage(source, position_or_length, &entry)
                                           : ReadEntryFromFile(source, position_or_length, &entry);
  if (taken != kSuccess) return taken;
  if (to_memory) return HandOverEntry(&entry, reinterpret_cast<MemoryHandle*>(destination));

  const Result written = WriteEntryToDisk(entry, destination);
  ReleaseLockedBlock(&entry.block);
  return written;
}

}  // namespace
}  // namespace krt::archive

KRT_EXPORT int32_t KRT_STDCALL GetFile(const char* source, int32_t position_or_length,
                                       char* destination, uint32_t flag,
                                       krt::ProgressCallback progress, intptr_t user_value) {
  if (progress != nullptr && progress(0, 1, user_value) != 0) return krt::kStoppedByCallback;
  const krt::Result result =
      krt::archive::ExtractEntry(source, position_or_length, destination, flag);
  if (result != krt::kSuccess) return result;
  if (progress != nullptr) progress(1, 1, user_value);
  return krt::kSuccess;
}
