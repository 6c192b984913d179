// The positioned whole-buffer read that every file-mode path of AXKRT uses.
#pragma once

#include <windows.h>

#include <cstdint>

#include "plugin_interface.h"

namespace krt::archive {

// Reads exactly `count` bytes at `offset` from the start of the file into
// `buffer`. Stores the file's size where asked (`file_size` may be null).
// kBadArgument for a zero count or no buffer, kFileError when the size
// query, the move or the read fails, when the file is shorter than `count`,
// or when the read comes up short.
// The handle is never closed.
Result ReadAtOffset(HANDLE file, int64_t offset, uint32_t count, uint8_t* buffer,
                    uint32_t* file_size);

}  // namespace krt::archive
