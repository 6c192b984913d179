// Reading the host's files: opening for shared reading, positioning and
// whole-buffer reads, where a read that delivers fewer bytes than asked
// counts as a failure.
#pragma once

#include <windows.h>

#include <cstdint>

#include "plugin_interface.h"

namespace krt {

enum class ScanHint { kNone, kSequential };

// A source or destination argument as the host passed it: ANSI text from an
// ANSI export, UTF-16 from a W one. After memory input the same pointer is
// the image's first byte, whichever export took it.
struct HostPath {
  const void* text = nullptr;
  bool wide = false;

  const uint8_t* bytes() const { return static_cast<const uint8_t*>(text); }
};

inline HostPath AnsiPath(const char* text) { return HostPath{text, false}; }
inline HostPath WidePath(const WideChar* text) { return HostPath{text, true}; }

// CreateFileA or CreateFileW, as the path is spelt.
HANDLE CreateFileAt(HostPath path, DWORD access, DWORD share, DWORD disposition, DWORD attributes);

// Opens an existing file for shared reading. INVALID_HANDLE_VALUE on failure.
HANDLE OpenForReading(HostPath path, ScanHint hint);

// The file's size; false when the query fails.
bool QueryFileSize(HANDLE file, uint32_t* size);

// Moves to `position` bytes from the start of the file. Positions that a
// signed 32-bit move cannot reach, negative ones included, fail.
bool SeekTo(HANDLE file, int64_t position);

// Reads exactly `count` bytes; a failed or short read answers false.
bool ReadExactly(HANDLE file, void* buffer, uint32_t count);

// Opens `path` for shared reading, answers read(file) and closes the file
// again on every path: kFileError when it does not open.
template <typename Read>
int32_t WithFileOpen(HostPath path, ScanHint hint, Read read) {
  HANDLE file = OpenForReading(path, hint);
  if (file == INVALID_HANDLE_VALUE) return kFileError;
  const int32_t result = read(file);
  CloseHandle(file);
  return result;
}

}  // namespace krt
