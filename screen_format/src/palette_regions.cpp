#include "palette_regions.h"

#include "pattern_name_scan.h"
#include "screen_layout.h"

namespace krt::image {

namespace {

constexpr uint32_t kNoPalette = 255;

}  // namespace

bool HasPaletteRegions(const uint8_t* records) {
  return !EndsRegionList(ReadPaletteRegion(records, 0));
}

uint32_t CountPalettes(const uint8_t* records, int32_t used_width, int32_t used_height,
                       const uint8_t* bank_flags) {
  if (!HasPaletteRegions(records)) {
    uint32_t banks = 0;
    for (uint32_t bank = 0; bank < kBankCount; ++bank) banks += bank_flags[bank] != 0 ? 1 : 0;
    return banks;
  }
  uint32_t count = 0;
  uint32_t previous = kNoPalette;
  for (uint32_t index = 0; index < kPaletteRegionCount; ++index) {
    const PaletteRegion region = ReadPaletteRegion(records, index);
    if (EndsRegionList(region)) break;
    const bool qualifies = region.x <= used_width && region.width != 0 && region.y <= used_height &&
                           region.height != 0;
    if (qualifies && region.palette != previous) {
      ++count;
      previous = region.palette;
    }
  }
  return count;
}

uint32_t RegionPalette(const uint8_t* records, int32_t x, int32_t y) {
  for (uint32_t index = 0; index < kPaletteRegionCount; ++index) {
    const PaletteRegion region = ReadPaletteRegion(records, index);
    if (EndsRegionList(region)) return 0;
    if (region.x <= x && x < region.x + region.width && region.y <= y &&
        y < region.y + region.height) {
      return region.palette;
    }
  }
  return 0;
}

}  // namespace krt::image
