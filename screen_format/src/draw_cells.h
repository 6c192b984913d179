// Writing one 8 x 8 cell into the pixel block, one specialisation per
// rendering mode. Each cell row is moved as whole machine words: 4 bytes of
// nibbles, 8 bytes of expanded nibbles or of byte dots, or 24 bytes of
// looked-up colours, so that no mode decides anything per dot.
//
// Included by both drawing units, which are compiled with different flags:
// everything here has internal linkage, so each keeps its own copy.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "rendering_mode.h"

// The drawing loops are only fast with every step inlined into them.
#define KRT_INLINE [[gnu::always_inline]] inline

namespace krt::image {
namespace {

// Words are assembled and split with shifts, in memory order.
static_assert(std::endian::native == std::endian::little, "cell rows assume little-endian words");

// A cell is 8 x 8 dots: 4 bits a dot (16 colours) or a byte (256).
constexpr uint32_t kCellDots = 8;
constexpr uint32_t kNibbleCellBytes = 32;
constexpr uint32_t kByteCellBytes = 64;

constexpr uint32_t CellBytes(RenderingMode mode) {
  return HasByteDots(mode) ? kByteCellBytes : kNibbleCellBytes;
}

// What the cell's rows are written with, chosen per character; only the
// fields of the picture's rendering mode are set.
struct CellColours {
  uint64_t bank_offset;     // banked nibbles: 16 x palette in every byte
  const uint8_t* bank;      // lookup: the palette's first lookup entry
  bool whole_word_entries;  // lookup: every entry of the bank may be read as 4 bytes
};

inline uint32_t LoadWord32(const uint8_t* at) {
  uint32_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

inline uint64_t LoadWord64(const uint8_t* at) {
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

inline void StoreWord32(uint8_t* at, uint32_t word) { std::memcpy(at, &word, sizeof word); }
inline void StoreWord64(uint8_t* at, uint64_t word) { std::memcpy(at, &word, sizeof word); }

// Four bytes of two dots each, mirrored: the bytes reversed and the two dots
// of every byte exchanged.
inline uint32_t MirrorNibbleRow(uint32_t row) {
  row = __builtin_bswap32(row);
  return ((row >> 4) & 0x0F0F0F0Fu) | ((row & 0x0F0F0F0Fu) << 4);
}

// Four bytes of two dots each, as eight bytes of one dot each, left dot
// (high nibble) first.
inline uint64_t SpreadNibbles(uint32_t row) {
  uint64_t spread = row;
  spread = (spread | spread << 16) & 0x0000FFFF0000FFFFull;
  spread = (spread | spread << 8) & 0x00FF00FF00FF00FFull;
  return ((spread >> 4) & 0x000F000F000F000Full) | ((spread & 0x000F000F000F000Full) << 8);
}

// Eight dots looked up and written as 24 bytes. Each entry is read as one
// 4-byte word and stored as one, at 3-byte steps: every store's fourth byte
// is overwritten by the next, and the last store is shifted back a byte so
// that nothing lands past the row's 24 bytes.
KRT_INLINE void WriteLookupRowByWords(const uint8_t* dots, bool mirror, const uint8_t* bank,
                                      uint8_t* out) {
  // The eight dots as one word, taken apart with shifts: fewer loads than
  // one a dot.
  const uint64_t row = LoadWord64(dots);
  const auto dot = [row, mirror](uint32_t i) -> uint32_t {
    return (row >> (8 * (mirror ? kCellDots - 1 - i : i))) & 0xFF;
  };
  uint32_t colour = 0;
#pragma GCC unroll 8
  for (uint32_t i = 0; i < kCellDots - 1; ++i) {
    colour = LoadWord32(bank + 3 * dot(i));
    StoreWord32(out + 3 * i, colour);
  }
  const uint32_t last = LoadWord32(bank + 3 * dot(kCellDots - 1));
  StoreWord32(out + 3 * kCellDots - 4, ((colour >> 16) & 0xFF) | last << 8);
}

// The same with every entry read byte by byte, for a bank that ends the
// lookup table.
KRT_INLINE void WriteLookupRowByBytes(const uint8_t* dots, bool mirror, const uint8_t* bank,
                                      uint8_t* out) {
  for (uint32_t i = 0; i < kCellDots; ++i) {
    const uint8_t* entry = bank + 3 * dots[mirror ? kCellDots - 1 - i : i];
    std::memcpy(out + 3 * i, entry, 3);
  }
}

// Writes the cell whose 8 rows start at `source`, `source_row_bytes` apart,
// to buffer rows `lowest_row`, lowest_row + stride, ... Row 7 of the cell
// goes lowest, as bottom-up rows want, unless `kUpsideDown`; `kMirror`
// reverses the dots of every row.
template <RenderingMode kMode, bool kMirror, bool kUpsideDown>
KRT_INLINE void WriteCell(const uint8_t* source, uint8_t* lowest_row, size_t stride,
                          const CellColours& colours) {
  constexpr uint32_t row_bytes = CellBytes(kMode) / kCellDots;
  if constexpr (kMode == RenderingMode::kLookup) {
    // 64 lookups a cell: the rows stay a loop, so that the drawing code
    // stays small enough to be held decoded.
    if (colours.whole_word_entries) {
#pragma GCC unroll 1
      for (uint32_t i = 0; i < kCellDots; ++i) {
        const uint8_t* in = source + row_bytes * (kUpsideDown ? i : kCellDots - 1 - i);
        WriteLookupRowByWords(in, kMirror, colours.bank, lowest_row + stride * i);
      }
    } else {
#pragma GCC unroll 1
      for (uint32_t i = 0; i < kCellDots; ++i) {
        const uint8_t* in = source + row_bytes * (kUpsideDown ? i : kCellDots - 1 - i);
        WriteLookupRowByBytes(in, kMirror, colours.bank, lowest_row + stride * i);
      }
    }
    return;
  }
#pragma GCC unroll 8
  for (uint32_t i = 0; i < kCellDots; ++i) {
    const uint8_t* in = source + row_bytes * (kUpsideDown ? i : kCellDots - 1 - i);
    uint8_t* out = lowest_row + stride * i;
    if constexpr (kMode == RenderingMode::kNibbles) {
      const uint32_t row = LoadWord32(in);
      StoreWord32(out, kMirror ? MirrorNibbleRow(row) : row);
    } else if constexpr (kMode == RenderingMode::kBankedNibbles) {
      // Dots and 16 x palette stay below 256 in every byte: no carries.
      const uint64_t row = SpreadNibbles(LoadWord32(in)) + colours.bank_offset;
      StoreWord64(out, kMirror ? __builtin_bswap64(row) : row);
    } else if constexpr (kMode == RenderingMode::kBytes) {
      const uint64_t row = LoadWord64(in);
      StoreWord64(out, kMirror ? __builtin_bswap64(row) : row);
    }
  }
}

}  // namespace
}  // namespace krt::image
