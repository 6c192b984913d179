// GetFile: one entry of a pack, byte for byte, to a memory handle, to a
// disk file, or into a folder under the name the listing gives it.
#include <windows.h>

#include <cstring>

#include "entry_record.h"
#include "file_input.h"
#include "host_memory.h"
#include "locate_screen.h"
#include "pack_source.h"
#include "pack_walk.h"
#include "plugin_interface.h"
#include "read_at_offset.h"

namespace krt::archive {
namespace {

// The longest path Windows takes (in its "\\?\" form), terminating zero included.
constexpr size_t kLongestPath = 32768;

// The screen's bytes: in place in the host's image after memory input, in a
// locked block after file input.
struct EntryBytes {
  const uint8_t* bytes = nullptr;
  uint32_t extent = 0;
  LockedBlock block;
  // Asked for when the entry goes into a folder: its name in a walk of the
  // source from the first byte.
  char name[kEntryNameSize] = {};
};

// The name a listing of the source gives the entry whose magic stands at
// `position`: the walk from the source's first byte, the one GetArchiveInfo
// makes from offset 0, up to that entry. When the walk passes the position
// or ends before it, no listing from the start names the entry, and it gets
// a name of its position instead. A read that fails on the way fails the
// naming, so the name never depends on a passing fault.
Result NameEntry(const PackSource& source, uint32_t total_length, uint32_t position, char* name) {
  PackWalk walk;
  StartPackWalk(source, 0, total_length, &walk);
  PackEntry entry;
  if (WalkToEntryAt(&walk, position, &entry)) {
    FormatEntryName(entry.index, name);
    return kSuccess;
  }
  if (walk.end_result != kSuccess) return walk.end_result;
  FormatUnlistedName(position, name);
  return kSuccess;
}

Result BlockFailure(BlockStatus status) {
  return status == BlockStatus::kLockFailed ? kLockFailed : kAllocationFailed;
}

// Reads the screen at `position` into a locked block, and names it when
// asked, while the file is open.
Result ReadScreen(HANDLE file, int32_t position, bool named, EntryBytes* entry) {
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
  // A position of 0 or more that a read reached lies below 2^31.
  const auto magic_at = static_cast<uint32_t>(position) + screen.magic_offset;
  Result result = ReadAtOffset(file, magic_at, screen.extent, entry->block.bytes, nullptr, nullptr);
  if (result == kSuccess && named) {
    result = NameEntry(PackSource{file, nullptr}, file_size, magic_at, entry->name);
  }
  if (result != kSuccess) {
    ReleaseLockedBlock(&entry->block);
    return result;
  }
  entry->bytes = entry->block.bytes;
  entry->extent = screen.extent;
  return kSuccess;
}

Result ReadEntryFromFile(const char* path, int32_t position, bool named, EntryBytes* entry) {
  HANDLE file = OpenForReading(path, ScanHint::kNone);
  if (file == INVALID_HANDLE_VALUE) return kFileError;
  const Result result = ReadScreen(file, position, named, entry);
  CloseHandle(file);
  return result;
}

// The image begins at the wanted entry, so its magic lies within the first
// scan window, and a walk of the image from its first byte finds it first.
Result TakeEntryFromImage(const char* image, int32_t length, bool named, EntryBytes* entry) {
  if (length < kMinimumImageLength) return kNotValidData;
  if (image == nullptr) return kBadArgument;
  const auto* bytes = reinterpret_cast<const uint8_t*>(image);
  ScreenLocation screen;
  if (!LocateScreen(bytes, static_cast<uint32_t>(length), &screen)) return kFileError;
  if (named) {
    const Result result =
        NameEntry(PackSource{INVALID_HANDLE_VALUE, bytes}, static_cast<uint32_t>(length),
                  screen.magic_offset, entry->name);
    if (result != kSuccess) return result;
  }
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

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsExistingFolder(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder, a separator unless it ends with one, and the name. The
// separator is the last one the folder uses, '\' when it has none: both
// name folders on Windows, and the native build's paths keep their '/'.
// False when the path would not fit.
bool JoinPath(const char* folder, const char* name, char* path) {
  size_t length = 0;
  char separator = '\\';
  for (; length < kLongestPath && folder[length] != '\0'; ++length) {
    if (IsSeparator(folder[length])) separator = folder[length];
  }
  const bool needs_separator = length > 0 && !IsSeparator(folder[length - 1]);
  const size_t name_length = std::strlen(name);
  if (length + (needs_separator ? 1 : 0) + name_length >= kLongestPath) return false;
  std::memcpy(path, folder, length);
  if (needs_separator) path[length++] = separator;
  std::memcpy(path + length, name, name_length + 1);
  return true;
}

Result WriteEntryIntoFolder(const EntryBytes& entry, const char* folder) {
  char path[kLongestPath];
  if (!JoinPath(folder, entry.name, path)) return kFileError;
  return WriteEntryToDisk(entry, path);
}

Result ExtractEntry(const char* source, int32_t position_or_length, char* destination,
                    uint32_t flag) {
  const bool to_memory = IsMemoryOutput(flag);
  if (to_memory && destination == nullptr) return kBadArgument;
  // Hosts name the folder to extract into; any other destination is the
  // path of the file to create.
  const bool into_folder = !to_memory && destination != nullptr && IsExistingFolder(destination);

  EntryBytes entry;
  const Result taken = IsMemoryInput(flag)
                           ? TakeEntryFromImage(source, position_or_length, into_folder, &entry)
                           : ReadEntryFromFile(source, position_or_length, into_folder, &entry);
  if (taken != kSuccess) return taken;
  if (to_memory) return HandOverEntry(&entry, reinterpret_cast<MemoryHandle*>(destination));

  const Result written =
      into_folder ? WriteEntryIntoFolder(entry, destination) : WriteEntryToDisk(entry, destination);
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
