// The positioned whole-buffer read that every file-mode path of AXKRT uses.
#pragma once

#include <windows.h>

#include <cstdint>

#include "plugin_interface.h"

namespace krt::archive {

// Files shorter than this hold no screen worth reading.
constexpr uint32_t kShortestReadableFile = 80;

// Reads exactly `count` bytes at `offset` from the start of the file into
// `buffer`. Stores the bytes read and the file's size where asked (either
// may be null). kBadArgument for a zero count or no buffer, kFileError when
// the size query, the move or the read fails, when the file is shorter than
// kShortestReadableFile or than `count`, or when the read comes up short.
// The handle is never closed.
Result ReadAtOffset(HANDLE file, int64_t offset, uint32_t count, uint8_t* buffer,
                    uint32_t* bytes_read, uint32_t* file_size);

}  // namespace krt::archive
