#include "locate_screen.h"

#include "big_endian.h"
#include "screen_magic.h"

namespace krt::archive {
namespace {

constexpr uint32_t kLastMagicOffset = 60;
constexpr uint32_t kMagicStep = 4;
constexpr uint32_t kScreenHeaderSize = 256;
constexpr uint32_t kSectionEntryStride = 16;
// Entries 1 to 4 are the four sections every screen has; entry 5 is the
// optional fifth section, present when its offset is non-zero.
constexpr int kFirstEntry = 1;
constexpr int kOptionalEntry = 5;

bool FindMagic(const uint8_t* window, uint32_t* magic_offset) {
  for (uint32_t at = 0; at <= kLastMagicOffset; at += kMagicStep) {
    if (HasScreenMagic(window + at)) {
      *magic_offset = at;
      return true;
    }
  }
  return false;
}

}  // namespace

bool LocateScreen(const uint8_t* window, uint32_t available, ScreenLocation* found) {
  uint32_t magic_offset = 0;
  if (!FindMagic(window, &magic_offset)) return false;
  const uint8_t* header = window + magic_offset;

  // Ends are summed in 64 bits, so an offset plus size beyond 32 bits stays
  // too large instead of wrapping into a small end that would pass.
  uint64_t screen_end = kScreenHeaderSize;
  for (int entry = kFirstEntry; entry <= kOptionalEntry; ++entry) {
    const uint8_t* at = header + kSectionEntryStride * entry;
    const uint32_t offset = ReadBe32(at);
    if (entry == kOptionalEntry && offset == 0) break;
    if (screen_end > offset) return false;
    screen_end = uint64_t{offset} + ReadBe32(at + 4);
  }
  if (magic_offset + screen_end > available) return false;

  found->magic_offset = magic_offset;
  found->extent = static_cast<uint32_t>(screen_end);
  return true;
}

}  // namespace krt::archive
