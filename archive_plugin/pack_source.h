// Opening the pack that GetArchiveInfo and GetFileInfo are given: a file by
// path with a start offset, or a memory image with its length.
#pragma once

#include <windows.h>

#include <cstdint>

#include "file_input.h"
#include "plugin_interface.h"
#include "screen_format/pack_walk.h"

namespace krt::archive {

// Memory images shorter than one scan window are not packs.
constexpr int32_t kMinimumImageLength = format::kScanWindowSize;

// A walk's source reading the open `file` one window at a time.
PackSource FilePackSource(HANDLE file);

struct OpenedPack {
  HANDLE file = INVALID_HANDLE_VALUE;  // file input only
  PackSource source;
  int64_t start_offset = 0;
  uint32_t total_length = 0;
};

// Opens and sizes the file (kFileError on failure, nothing left open), or
// takes the memory image from its first byte (kNotValidData when shorter
// than kMinimumImageLength, kBadArgument when there is none). A length or
// offset beyond 32 bits gives UnfitLengthResult.
Result OpenPack(HostPath source, LengthArgument offset_or_length, uint32_t flag, OpenedPack* pack);

// Closes the file of a file-mode pack; nothing to do for a memory image.
void ClosePack(OpenedPack* pack);

}  // namespace krt::archive
