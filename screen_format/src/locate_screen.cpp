#include "screen_format/locate_screen.h"

#include "screen_layout.h"

namespace krt::archive {
namespace {

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

bool SectionsInOrderWithOptionalFifth(const uint8_t* header, uint64_t* end) {
  uint64_t four_end = 0;
  if (!SectionsInTableOrder(header, kColourTable, &four_end)) return false;
  const SectionEntry fifth = ReadSectionEntry(header, kFifthSection);
  if (fifth.offset == 0) {
    *end = four_end;
    return true;
  }
  if (four_end > fifth.offset) return false;
  *end = uint64_t{fifth.offset} + fifth.size;
  return true;
}

bool LocateScreen(const uint8_t* window, uint32_t available, ScreenLocation* found) {
  uint32_t magic_offset = 0;
  if (!FindMagic(window, &magic_offset)) return false;
  uint64_t screen_end = 0;
  if (!SectionsInOrderWithOptionalFifth(window + magic_offset, &screen_end)) return false;
  if (magic_offset + screen_end > available) return false;

  found->magic_offset = magic_offset;
  found->extent = static_cast<uint32_t>(screen_end);
  return true;
}

}  // namespace krt::archive
