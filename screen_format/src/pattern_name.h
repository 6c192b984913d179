// The fields of a pattern name: which character it shows, its flips, its
// palette, and whether it is skipped. Names are stored big-endian, 1 word
// (2 bytes) or 2 words (4 bytes) wide; the values here apply to a name read
// as one number.
#pragma once

#include <cstdint>

namespace krt {

// 1-word names take one of three forms, chosen by how much character dot
// data the screen holds (see OneWordShortFormLimit):
// - short form: character number in bits 0-9, horizontal flip in bit 10,
//   vertical flip in bit 11;
// - middle form: character number in bits 0-11, no flips;
// - long form: character number in all 16 bits, no flips.
// Bits 12-15 also give the palette number in every form.
inline constexpr uint32_t kOneWordShortCharacter = 0x03FF;
inline constexpr uint32_t kOneWordMiddleCharacter = 0x0FFF;
inline constexpr uint32_t kOneWordLongCharacter = 0xFFFF;
inline constexpr uint32_t kOneWordFlipHorizontal = 0x0400;
inline constexpr uint32_t kOneWordFlipVertical = 0x0800;
inline constexpr uint32_t kOneWordPaletteShift = 12;

// 2-word names: character number in bits 0-27, palette number in bits
// 28-31. Where the palette comes from the names, bits 30 and 31 are only the
// top of the palette number; otherwise they are the flips.
inline constexpr uint32_t kTwoWordCharacter = 0x0FFFFFFFu;
inline constexpr uint32_t kTwoWordFlipHorizontal = 0x40000000u;
inline constexpr uint32_t kTwoWordFlipVertical = 0x80000000u;
inline constexpr uint32_t kTwoWordPaletteShift = 28;

inline constexpr uint32_t kNamePaletteMask = 0xF;

// With 256-colour dots, a name with bit 0 set is skipped: its box stays as
// it is.
inline constexpr uint32_t kNameSkipBit = 1;

// Where the character number starts after the mask: 2-word names keep two
// more low bits, and 256-colour characters take two 16-colour ones' room.
constexpr uint32_t NameCharacterShift(uint32_t name_width, bool byte_dots) {
  return (name_width == 4 ? 2 : 0) + (byte_dots ? 1 : 0);
}

// The palette number of a name `name_width` bytes wide, read as one number.
constexpr uint32_t NamePalette(uint32_t name, uint32_t name_width) {
  return (name >> (name_width == 4 ? kTwoWordPaletteShift : kOneWordPaletteShift)) &
         kNamePaletteMask;
}

// The same from the stored name: in both widths it is the high nibble of the
// first byte.
constexpr uint32_t StoredNamePalette(const uint8_t* stored_name) { return stored_name[0] >> 4; }

// Below this much dot data a 1-word name has the short form, below four
// times as much the middle form, else the long form: 16 KiB per cell of a
// 16-colour character, 32 KiB per cell of a 256-colour one.
constexpr uint32_t OneWordShortFormLimit(bool byte_dots, uint32_t cells_per_character) {
  return (byte_dots ? 0x8000u : 0x4000u) * cells_per_character;
}
inline constexpr uint32_t kOneWordMiddleFormFactor = 4;

}  // namespace krt
