// The screen header: the magic, the section table and the palette-region
// records that open every screen file, and the check applied to a header
// before any offset in it is trusted.
#pragma once

#include <cstdint>

namespace krt::image {

constexpr uint32_t kScreenHeaderSize = 256;
// IsSupported reads this much of a file: the magic and the section table.
constexpr uint32_t kDetectionBytes = 96;
// A memory image must hold at least the detection bytes.
constexpr int32_t kMinimumImageLength = 96;

constexpr uint32_t kPaletteRegionsOffset = 88;
constexpr uint32_t kPaletteRegionCount = 32;
constexpr uint32_t kPaletteRegionSize = 5;

enum SectionIndex : int {
  kScreenDescriptor = 0,
  kPatternNameTable = 1,
  kCharacterPatternData = 2,
  kColourTable = 3,
};

struct Section {
  uint32_t offset;
  uint32_t size;
};

// Reads section entry `index` (0 to 3) of the header's section table.
Section ReadSection(const uint8_t* header, int index);

// Answers 1 when bytes 0-71 of `header` hold the magic and four sections in
// table order, each starting at or after the end of the one before and the
// first at or after the header's end, with the last ending within `length`
// bytes of the header's first byte; 0 otherwise. Sums are exact, so an
// offset plus size beyond 32 bits cannot wrap into a small, valid-looking end.
int CheckScreenHeader(const uint8_t* header, uint32_t length);

}  // namespace krt::image
