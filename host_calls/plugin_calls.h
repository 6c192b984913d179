// The exports called as a host calls them, and what they hand back taken
// over: krt's requests, the export tests, the fuzz targets and the
// benchmarks all go through these, so the slots a call is given, the flags
// it is passed and the way a handed-over block is read and freed are
// written once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_interface.h"
#include "plugin_loader.h"

namespace krt::host {

// What an export is told to read: a path and an offset, or a memory image
// and its length, with the input bits of the flag to match.
struct CallSource {
  const char* source = nullptr;
  LengthArgument offset_or_length = 0;
  uint32_t flag = kFileInput;
};

CallSource FileSource(const std::string& path, int32_t offset);
// The image's size must fit the length argument (see FitsLengthArgument).
CallSource MemorySource(const std::vector<uint8_t>& image);
bool FitsLengthArgument(const std::vector<uint8_t>& image);

// The UTF-16 spelling of a UTF-8 path or name, for the W exports. A byte
// that does not belong to well-formed UTF-8 becomes U+FFFD.
std::basic_string<WideChar> Utf16Of(const std::string& utf8);

// A W export's record as an ANSI one and back: the same bytes but for the
// names, converted unit by unit. A unit beyond one byte cannot be written
// in a byte and becomes 0x7F, so it never passes for another character.
fileInfo AnsiRecordOf(const fileInfoW& record);
fileInfoW WideRecordOf(const fileInfo& record);

// A host's progress callback and its user value; a null callback asks for no
// progress reports.
struct ProgressHook {
  ProgressCallback callback = nullptr;
  intptr_t user_value = 0;
};

// A slot value no export writes, to see whether a call touched a slot.
MemoryHandle UntouchedSlot();

// A block handed over by a plug-in, locked, copied out, unlocked and freed.
struct TakenBlock {
  bool taken = false;  // false: no handle, or it could not be locked
  std::string error;   // why not, in words
  std::vector<uint8_t> bytes;
  // A block must be handed over unlocked: the host's own lock is then the
  // only one, and its unlock leaves none.
  bool was_locked = false;
  bool freed = false;  // LocalFree answered success
};

// Takes over `handle`, which is freed in every case but a null handle.
TakenBlock TakeHandedOverBlock(MemoryHandle handle);

// Frees a handed-over block without reading it; a null handle and the
// untouched slot value are ignored.
void FreeHandedOverBlock(MemoryHandle handle);

// GetPicture with both slots holding UntouchedSlot() before the call. On
// failure whatever a plug-in wrote into a slot anyway is freed, so it is not
// leaked; on success the two handles are the caller's to take over.
struct PictureCall {
  int32_t result = -100;
  bool slots_untouched = false;  // after a failure: both slots as they were
  MemoryHandle info = nullptr;
  MemoryHandle pixels = nullptr;
};

PictureCall CallGetPicture(const ImagePlugin& plugin, const CallSource& source,
                           ProgressHook progress);

// GetArchiveInfo with the slot holding UntouchedSlot() before the call; on
// success `list` is the caller's to take over, on failure it is freed.
struct ListCall {
  int32_t result = -100;
  bool slot_cleared = false;  // after a failure: the slot holds null
  MemoryHandle list = nullptr;
};

ListCall CallGetArchiveInfo(const ArchivePlugin& plugin, const CallSource& source);

// GetFile to memory, with the slot holding UntouchedSlot() before the call;
// on success `block` is the caller's to take over, on failure it is freed.
struct FileCall {
  int32_t result = -100;
  bool slot_untouched = false;  // after a failure: the slot as it was
  MemoryHandle block = nullptr;
};

FileCall CallGetFileToMemory(const ArchivePlugin& plugin, const CallSource& source,
                             ProgressHook progress);

// GetFile to the disk file `destination`.
int32_t CallGetFileToDisk(const ArchivePlugin& plugin, const CallSource& source,
                          const std::string& destination, ProgressHook progress);

}  // namespace krt::host
