// The screen file as both plug-ins read it, described once: the 256-byte
// header that opens with the magic, its section table, the optional fifth
// section, the palette-region records, and the scan window in which AXKRT
// looks for the next screen of a pack. What each plug-in accepts is its own
// rule (screen_sections.h, locate_screen.h); both
// read the table through here. docs/FORMAT.md sets the two rules side by side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "big_endian.h"
#include "screen_format/limits.h"

namespace krt {

// The 15 characters that open every screen header. IFKRT also answers them as
// its format name, so one stored text serves both.
inline constexpr char kScreenMagic[] = "SEGA SATURN SCR";
inline constexpr size_t kScreenMagicLength = sizeof kScreenMagic - 1;

inline bool HasScreenMagic(const uint8_t* at) {
  return std::memcmp(at, kScreenMagic, kScreenMagicLength) == 0;
}

// The magic, the section table and the palette-region records; the sections
// lie after it, at offsets counted from the header's first byte.
constexpr uint32_t kScreenHeaderSize = 256;

// The section table: entry n, at header byte 16 + 16 n, holds the section's
// offset and size as two big-endian 32-bit numbers. The first four sections
// are in every screen; the fifth only where its offset is non-zero.
enum Section : int {
  kScreenDescriptor,
  kPatternNameTable,
  kCharacterPatternData,
  kColourTable,
  kFifthSection,
};
static_assert(kFifthSection == 4, "entries are numbered by their place in the table");

constexpr uint32_t kSectionTableOffset = 16;
constexpr uint32_t kSectionEntryStride = 16;
constexpr uint32_t kSectionEntrySize = 8;

// The byte just past section entry `section`.
constexpr uint32_t SectionEntryEnd(Section section) {
  return kSectionTableOffset + kSectionEntryStride * static_cast<uint32_t>(section) +
         kSectionEntrySize;
}

struct SectionEntry {
  uint32_t offset;
  uint32_t size;
};

inline SectionEntry ReadSectionEntry(const uint8_t* header, Section section) {
  const uint8_t* entry = header + kSectionTableOffset + kSectionEntryStride * section;
  return SectionEntry{ReadBe32(entry), ReadBe32(entry + 4)};
}

// Whether the entries from the screen descriptor through `last` lie in table
// order: each section starting at or after the end of the one before, the
// first at or after the header's end. When they do, `end` is where `last`
// ends, counted from the header's first byte. Ends are summed in 64 bits, so
// an offset plus size beyond 32 bits stays too large instead of wrapping
// into a small end that would pass a length check.
inline bool SectionsInTableOrder(const uint8_t* header, Section last, uint64_t* end) {
  uint64_t running_end = kScreenHeaderSize;
  for (int index = kScreenDescriptor; index <= last; ++index) {
    const SectionEntry entry = ReadSectionEntry(header, static_cast<Section>(index));
    if (entry.offset < running_end) return false;
    running_end = uint64_t{entry.offset} + entry.size;
  }
  *end = running_end;
  return true;
}

// Sections 1 to 3 open with a prefix that holds no names, dots or colours.
constexpr uint32_t kTablePrefixSize = 16;

// The palette-region records, right after the fifth section entry: up to 32
// rectangles of characters, each naming the palette of the characters inside
// it. A record is x, y, width and height in characters and the palette, one
// byte each; the list ends at the first record whose first four bytes are 0.
constexpr uint32_t kPaletteRegionsOffset = SectionEntryEnd(kFifthSection);
constexpr uint32_t kPaletteRegionCount = 32;
constexpr uint32_t kPaletteRegionSize = 5;
static_assert(kPaletteRegionsOffset + kPaletteRegionCount * kPaletteRegionSize <=
              kScreenHeaderSize);

struct PaletteRegion {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  uint32_t palette;
};

// Record `index` of the list at `records` (header byte 88 on).
inline PaletteRegion ReadPaletteRegion(const uint8_t* records, uint32_t index) {
  const uint8_t* record = records + kPaletteRegionSize * index;
  return PaletteRegion{record[0], record[1], record[2], record[3], record[4]};
}

inline bool EndsRegionList(const PaletteRegion& region) {
  return region.x == 0 && region.y == 0 && region.width == 0 && region.height == 0;
}

// A pack is searched one window at a time: the next screen's magic may stand
// at window offset 0, 4, ..., 60, and the window must reach past the fifth
// section entry of a magic at offset 60.
using format::kScanWindowSize;
constexpr uint32_t kMagicStep = 4;
constexpr uint32_t kLastMagicOffset = 60;
// The farthest window byte the screen search reads.
constexpr uint32_t kLocateReadBytes = kLastMagicOffset + SectionEntryEnd(kFifthSection);
static_assert(kLocateReadBytes <= kScanWindowSize);

}  // namespace krt
