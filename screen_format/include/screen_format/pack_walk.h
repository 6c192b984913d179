// The walk over a screen pack, screen by screen, that the listing and the
// lookup by name both use, so they see the same entries and stop at the
// same place.
#pragma once

#include <cstdint>

#include "plugin_interface.h"
#include "screen_format/limits.h"

namespace krt::archive {

// Reads exactly `count` bytes at `offset` from the pack's first byte into
// `buffer`: kSuccess, or the failure's result code, which ends the walk and
// is kept as its end_result. A read past the end is a failure.
using PackReader = Result (*)(void* context, int64_t offset, uint32_t count, uint8_t* buffer);

// Where the pack's bytes come from: a memory image read in place, or the
// caller's read function, asked for one scan window at a time.
struct PackSource {
  const uint8_t* image = nullptr;  // set for a memory image
  PackReader read = nullptr;       // used when there is no image
  void* context = nullptr;         // handed to `read`
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
  uint8_t window[format::kScanWindowSize] = {};
};

void StartPackWalk(const PackSource& source, int64_t start_offset, uint32_t total_length,
                   PackWalk* walk);

// The next entry, or false when the walk has ended; end_result then tells
// a read failure from the pack's end.
bool NextPackEntry(PackWalk* walk, PackEntry* entry);

}  // namespace krt::archive
