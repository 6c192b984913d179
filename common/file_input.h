// Reading the host's files: opening for shared reading, positioning and
// whole-buffer reads, where a read that delivers fewer bytes than asked
// counts as a failure.
#pragma once

#include <windows.h>

#include <cstdint>

namespace krt {

enum class ScanHint { kNone, kSequential };

// Opens an existing file for shared reading. INVALID_HANDLE_VALUE on failure.
HANDLE OpenForReading(const char* path, ScanHint hint);

// The file's size; false when the query fails.
bool QueryFileSize(HANDLE file, uint32_t* size);

// Moves to `position` bytes from the start of the file. Positions that a
// signed 32-bit move cannot reach, negative ones included, fail.
bool SeekTo(HANDLE file, int64_t position);

// Reads exactly `count` bytes; a failed or short read answers false.
bool ReadExactly(HANDLE file, void* buffer, uint32_t count);

}  // namespace krt
