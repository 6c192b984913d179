// Recognising one screen file near the start of a scan window inside a
// screen pack, and measuring how far it reaches.
#pragma once

#include <cstdint>

namespace krt::archive {

// Bytes taken from a pack to look for the next screen.
constexpr uint32_t kScanWindowSize = 160;
// The farthest byte LocateScreen reads is the last of the fifth section
// entry of a magic at window offset 60.
constexpr uint32_t kLocateReadBytes = 148;

struct ScreenLocation {
  uint32_t magic_offset = 0;  // 0, 4, ..., 60 within the window
  // From the magic's first byte to the end of the last counted section;
  // never below the 256-byte header.
  uint32_t extent = 0;
};

// Looks for the magic at window offsets 0, 4, ..., 60 and checks, at the
// first one found, that the four section entries and a fifth one with a
// non-zero offset lie in ascending order from the header's end, and that
// the screen ends within the `available` bytes counted from the window's
// first byte. Reads at most kLocateReadBytes bytes of the window.
bool LocateScreen(const uint8_t* window, uint32_t available, ScreenLocation* found);

}  // namespace krt::archive
