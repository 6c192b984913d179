// GetFile: one entry of a pack, byte for byte, to a memory handle, to a
// disk file, or into a folder under the name the listing gives it.
#include <windows.h>

#include <cstring>

#include "entry_record.h"
#include "file_input.h"
#include "host_memory.h"
#include "pack_source.h"
#include "plugin_interface.h"
#include "read_at_offset.h"
#include "screen_format/locate_screen.h"
#include "walk_cache.h"

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

Result BlockFailure(BlockStatus status) {
  return status == BlockStatus::kLockFailed ? kLockFailed : kAllocationFailed;
}

// Reads the screen at `position` into a locked block, and names it when
// asked, while the file is open.
Result ReadScreen(HANDLE file, int32_t position, bool named, EntryBytes* entry) {
  uint8_t window[format::kScanWindowSize];
  uint32_t file_size = 0;
  const Result read = ReadAtOffset(file, position, sizeof window, window, &file_size);
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
  Result result = ReadAtOffset(file, magic_at, screen.extent, entry->block.bytes, nullptr);
  if (result == kSuccess && named) {
    result = NameEntryAt(file, nullptr, file_size, magic_at, entry->block.bytes, entry->name);
  }
  if (result != kSuccess) {
    ReleaseLockedBlock(&entry->block);
    return result;
  }
  entry->bytes = entry->block.bytes;
  entry->extent = screen.extent;
  return kSuccess;
}

Result ReadEntryFromFile(HostPath path, int32_t position, bool named, EntryBytes* entry) {
  return static_cast<Result>(WithFileOpen(path, ScanHint::kNone, [&](HANDLE file) {
    return ReadScreen(file, position, named, entry);
  }));
}

// The image begins at the wanted entry, so its magic lies within the first
// scan window, and a walk of the image from its first byte finds it first.
Result TakeEntryFromImage(const uint8_t* bytes, int32_t length, bool named, EntryBytes* entry) {
  if (length < kMinimumImageLength) return kNotValidData;
  if (bytes == nullptr) return kBadArgument;
  ScreenLocation screen;
  if (!LocateScreen(bytes, static_cast<uint32_t>(length), &screen)) return kFileError;
  if (named) {
    const Result result =
        NameEntryAt(INVALID_HANDLE_VALUE, bytes, static_cast<uint32_t>(length), screen.magic_offset,
                    bytes + screen.magic_offset, entry->name);
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
void DeleteFileAt(HostPath path) {
  if (path.wide) {
    DeleteFileW(static_cast<const WCHAR*>(path.text));
  } else {
    DeleteFileA(static_cast<const char*>(path.text));
  }
}

Result WriteEntryToDisk(const EntryBytes& entry, HostPath path) {
  HANDLE out = CreateFileAt(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
  if (out == INVALID_HANDLE_VALUE) return kFileError;
  DWORD written = 0;
  const bool whole = WriteFile(out, entry.bytes, entry.extent, &written, nullptr) != FALSE &&
                     written == entry.extent;
  CloseHandle(out);
  if (whole) return kSuccess;
  DeleteFileAt(path);
  return kFileError;
}

template <typename Char>
bool IsSeparator(Char c) {
  return c == '\\' || c == '/';
}

bool IsExistingFolder(HostPath path) {
  const DWORD attributes = path.wide ? GetFileAttributesW(static_cast<const WCHAR*>(path.text))
                                     : GetFileAttributesA(static_cast<const char*>(path.text));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder, a separator unless it ends with one, and the name. The
// separator is the last one the folder uses, '\' when it has none: both
// name folders on Windows, and the native build's paths keep their '/'.
// False when the path would not fit.
template <typename Char>
bool JoinPath(const Char* folder, const char* name, Char* path) {
  size_t length = 0;
  Char separator = '\\';
  for (; length < kLongestPath && folder[length] != '\0'; ++length) {
    if (IsSeparator(folder[length])) separator = folder[length];
  }
  const bool needs_separator = length > 0 && !IsSeparator(folder[length - 1]);
  const size_t name_length = std::strlen(name);
  if (length + (needs_separator ? 1 : 0) + name_length >= kLongestPath) return false;
  std::memcpy(path, folder, length * sizeof(Char));
  if (needs_separator) path[length++] = separator;
  SpellName(name, path + length);
  return true;
}

template <typename Char>
Result WriteEntryIntoFolder(const EntryBytes& entry, const Char* folder) {
  Char path[kLongestPath];
  if (!JoinPath(folder, entry.name, path)) return kFileError;
  return WriteEntryToDisk(entry, HostPath{path, sizeof(Char) != 1});
}

Result WriteEntryIntoFolder(const EntryBytes& entry, HostPath folder) {
  if (folder.wide) return WriteEntryIntoFolder(entry, static_cast<const WideChar*>(folder.text));
  return WriteEntryIntoFolder(entry, static_cast<const char*>(folder.text));
}

// The destination is a path spelt as the source is, or, for memory output,
// the address of the host's handle slot.
Result ExtractEntry(HostPath source, LengthArgument position_or_length, HostPath destination,
                    uint32_t flag) {
  const bool to_memory = IsMemoryOutput(flag);
  if (to_memory && destination.text == nullptr) return kBadArgument;
  if (!FitsFormat(position_or_length)) return UnfitLengthResult(flag);
  const auto narrow = static_cast<int32_t>(position_or_length);
  // Hosts name the folder to extract into; any other destination is the
  // path of the file to create.
  const bool into_folder =
      !to_memory && destination.text != nullptr && IsExistingFolder(destination);

  EntryBytes entry;
  const Result taken = IsMemoryInput(flag)
                           ? TakeEntryFromImage(source.bytes(), narrow, into_folder, &entry)
                           : ReadEntryFromFile(source, narrow, into_folder, &entry);
  if (taken != kSuccess) return taken;
  if (to_memory) {
    return HandOverEntry(&entry, static_cast<MemoryHandle*>(const_cast<void*>(destination.text)));
  }

  const Result written =
      into_folder ? WriteEntryIntoFolder(entry, destination) : WriteEntryToDisk(entry, destination);
  ReleaseLockedBlock(&entry.block);
  return written;
}

Result ExtractWithProgress(HostPath source, LengthArgument position_or_length, HostPath destination,
                           uint32_t flag, ProgressCallback progress, intptr_t user_value) {
  if (progress != nullptr && progress(0, 1, user_value) != 0) return kStoppedByCallback;
  const Result result = ExtractEntry(source, position_or_length, destination, flag);
  if (result != kSuccess) return result;
  if (progress != nullptr) progress(1, 1, user_value);
  return kSuccess;
}

}  // namespace
}  // namespace krt::archive

KRT_EXPORT int32_t KRT_STDCALL GetFile(const char* source, krt::LengthArgument position_or_length,
                                       char* destination, uint32_t flag,
                                       krt::ProgressCallback progress, intptr_t user_value) {
  return krt::archive::ExtractWithProgress(krt::AnsiPath(source), position_or_length,
                                           krt::AnsiPath(destination), flag, progress, user_value);
}

KRT_EXPORT int32_t KRT_STDCALL GetFileW(const krt::WideChar* source,
                                        krt::LengthArgument position_or_length,
                                        krt::WideChar* destination, uint32_t flag,
                                        krt::ProgressCallback progress, intptr_t user_value) {
  return krt::archive::ExtractWithProgress(krt::WidePath(source), position_or_length,
                                           krt::WidePath(destination), flag, progress, user_value);
}
