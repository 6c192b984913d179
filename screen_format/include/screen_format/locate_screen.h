// Recognising one screen file near the start of a scan window inside a
// screen pack, and measuring how far it reaches.
#pragma once

#include <cstdint>

#include "screen_format/limits.h"

namespace krt::archive {

struct ScreenLocation {
  uint32_t magic_offset = 0;  // 0, 4, ..., 60 within the window
  // From the magic's first byte to the end of the last counted section;
  // never below the 256-byte header.
  uint32_t extent = 0;
};

// AXKRT's acceptance rule for one screen header. Whether the four sections,
// and the fifth when its offset is non-zero, lie in table order; `end` is
// then where the last counted section ends, from the header's first byte.
bool SectionsInOrderWithOptionalFifth(const uint8_t* header, uint64_t* end);

// Looks for the magic at window offsets 0, 4, ..., 60 and checks, at the
// first one found, SectionsInOrderWithOptionalFifth and that the screen ends
// within the `available` bytes counted from the window's first byte. Reads
// at most kLocateReadBytes bytes of the window.
bool LocateScreen(const uint8_t* window, uint32_t available, ScreenLocation* found);

}  // namespace krt::archive
