// The walk over a screen pack, screen by screen, that the listing and the
// lookup by name both use, so they see the same entries and stop at the
// same place.
#pragma once

#include <windows.h>

#include <cstdint>

#include "locate_screen.h"
#include "plugin_interface.h"

namespace krt::archive {

// Where the pack's bytes come from: an open file, read one scan window at a
// time, or a memory image read in place.
struct PackSource {
  HANDLE file = INVALID_HANDLE_VALUE;
  const uint8_t* image = nullptr;  // set for a memory image
};

struct PackEntry {
  uint32_t index = 0;
  uint32_t position = 0;  // of the magic, counted from the source's first byte
  uint32_t extent = 0;
};

struct PackWalk {
  PackSource source;
  int64_t offset = 0;  // where the next scan window begins
  uint32_t total_length = 0;
  uint32_t next_index = 0;
  bool ended = false;
  // kSuccess when the walk ended because no further screen was found;
  // otherwise the code of the read that failed.
  Result end_result = kSuccess;
  uint8_t window[kScanWindowSize] = {};
};

void StartPackWalk(const PackSource& source, int64_t start_offset, uint32_t total_length,
                   PackWalk* walk);

// The next entry, or false when the walk has ended; end_result then tells
// a read failure from the pack's end.
bool NextPackEntry(PackWalk* walk, PackEntry* entry);

}  // namespace krt::archive
