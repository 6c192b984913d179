#include "palette_regions.h"

#include "pattern_name_scan.h"
#include "screen_header.h"

namespace krt::image {

namespace {

struct PaletteRegion {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  uint32_t palette;
};

PaletteRegion RegionAt(const uint8_t* records, uint32_t index) {
  const uint8_t* record = records + kPaletteRegionSize * index;
  return PaletteRegion{record[0], record[1], record[2], record[3], record[4]};
}

bool EndsList(const PaletteRegion& region) {
  return region.x == 0 && region.y == 0 && region.width == 0 && region.height == 0;
}

constexpr uint32_t kNoPalette = 255;

}  // namespace

bool HasPaletteRegions(const uint8_t* records) { return !EndsList(RegionAt(records, 0)); }

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
    const PaletteRegion region = RegionAt(records, index);
    if (EndsList(region)) break;
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
    const PaletteRegion region = RegionAt(records, index);
    if (EndsList(region)) return 0;
    if (region.x <= x && x < region.x + region.width && region.y <= y &&
        y < region.y + region.height) {
      return region.palette;
    }
  }
  return 0;
}

}  // namespace krt::image
