// Writing four 16-colour cells that stand side by side as one strip of eight
// buffer rows, with 16-byte vectors: the cells' rows are flipped in place,
// then transposed so that each buffer row takes one or two whole stores
// instead of one small store per cell.
//
// Included only by the vector drawing unit, which is compiled for targets
// whose registers hold such vectors; everything here has internal linkage.
#pragma once

#if !defined(__SSE2__)
#error "cell strips need 16-byte vectors: compile this unit with SSE2"
#endif

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "draw_cells.h"

namespace krt::image {
namespace {

using ByteVector = uint8_t __attribute__((vector_size(16)));
using WordVector = uint16_t __attribute__((vector_size(16)));
using DwordVector = uint32_t __attribute__((vector_size(16)));
using QwordVector = uint64_t __attribute__((vector_size(16)));

KRT_INLINE DwordVector LoadDwords(const uint8_t* at) {
  DwordVector v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

KRT_INLINE void StoreVector(uint8_t* at, QwordVector v) { std::memcpy(at, &v, sizeof v); }

// Every row of four bytes mirrored: bytes reversed, and the two dots of each
// byte exchanged.
KRT_INLINE DwordVector MirrorNibbleRows(DwordVector rows) {
  WordVector words = reinterpret_cast<WordVector>(rows);
  words = __builtin_shufflevector(words, words, 1, 0, 3, 2, 5, 4, 7, 6);
  words = (words >> 8) | (words << 8);
  words = ((words >> 4) & 0x0F0F) | ((words << 4) & 0xF0F0);
  return reinterpret_cast<DwordVector>(words);
}

KRT_INLINE DwordVector ReverseRows(DwordVector rows) {
  return __builtin_shufflevector(rows, rows, 3, 2, 1, 0);
}

// A 16-colour cell's eight rows of four bytes, top row first as the box
// shows them: rows 0 to 3 in `upper`, 4 to 7 in `lower`.
struct NibbleCell {
  DwordVector upper;
  DwordVector lower;
};

KRT_INLINE NibbleCell LoadNibbleCell(const uint8_t* cell, bool mirror, bool upside_down) {
  NibbleCell rows{LoadDwords(cell), LoadDwords(cell + 16)};
  if (mirror) {
    rows.upper = MirrorNibbleRows(rows.upper);
    rows.lower = MirrorNibbleRows(rows.lower);
  }
  if (upside_down) rows = NibbleCell{ReverseRows(rows.lower), ReverseRows(rows.upper)};
  return rows;
}

// Row r of a, b, c and d side by side, for the four rows each holds.
struct Transposed {
  DwordVector row[4];
};

KRT_INLINE Transposed Transpose(DwordVector a, DwordVector b, DwordVector c, DwordVector d) {
  const QwordVector ab_low = reinterpret_cast<QwordVector>(__builtin_shufflevector(a, b, 0, 4, 1, 5));
  const QwordVector ab_high =
      reinterpret_cast<QwordVector>(__builtin_shufflevector(a, b, 2, 6, 3, 7));
  const QwordVector cd_low = reinterpret_cast<QwordVector>(__builtin_shufflevector(c, d, 0, 4, 1, 5));
  const QwordVector cd_high =
      reinterpret_cast<QwordVector>(__builtin_shufflevector(c, d, 2, 6, 3, 7));
  Transposed t;
  t.row[0] = reinterpret_cast<DwordVector>(__builtin_shufflevector(ab_low, cd_low, 0, 2));
  t.row[1] = reinterpret_cast<DwordVector>(__builtin_shufflevector(ab_low, cd_low, 1, 3));
  t.row[2] = reinterpret_cast<DwordVector>(__builtin_shufflevector(ab_high, cd_high, 0, 2));
  t.row[3] = reinterpret_cast<DwordVector>(__builtin_shufflevector(ab_high, cd_high, 1, 3));
  return t;
}

// Four cells as 4-bit pixels: 16 bytes a buffer row. `lowest_row` is where
// the cells' bottom row starts; buffer rows go up `stride` apart.
KRT_INLINE void WriteNibbleStrip(const NibbleCell (&cells)[4], uint8_t* lowest_row, size_t stride) {
  const Transposed upper = Transpose(cells[0].upper, cells[1].upper, cells[2].upper, cells[3].upper);
  const Transposed lower = Transpose(cells[0].lower, cells[1].lower, cells[2].lower, cells[3].lower);
#pragma GCC unroll 4
  for (uint32_t r = 0; r < 4; ++r) {
    StoreVector(lowest_row + stride * (kCellDots - 1 - r), reinterpret_cast<QwordVector>(upper.row[r]));
    StoreVector(lowest_row + stride * (3 - r), reinterpret_cast<QwordVector>(lower.row[r]));
  }
}

// Four rows of four bytes of nibbles as four rows of eight bytes, one dot a
// byte, left dot (high nibble) first, plus the bank's 16 x palette: rows 0
// and 1 in `first`, 2 and 3 in `second`.
struct SpreadRows {
  QwordVector first;
  QwordVector second;
};

KRT_INLINE SpreadRows Spread(DwordVector rows, ByteVector bank) {
  const ByteVector bytes = reinterpret_cast<ByteVector>(rows);
  const ByteVector left = bytes >> 4;
  const ByteVector right = bytes & 0x0F;
  // Dots and 16 x palette stay below 256 in every byte: no carries.
  const ByteVector first = __builtin_shufflevector(left, right, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20,
                                                   5, 21, 6, 22, 7, 23) + bank;
  const ByteVector second = __builtin_shufflevector(left, right, 8, 24, 9, 25, 10, 26, 11, 27, 12,
                                                    28, 13, 29, 14, 30, 15, 31) + bank;
  return SpreadRows{reinterpret_cast<QwordVector>(first),
                    reinterpret_cast<QwordVector>(second)};
}

// Two cells' spread rows side by side: row 2k and 2k + 1 of a and b.
KRT_INLINE void StorePairRows(QwordVector a, QwordVector b, uint8_t* even_row, uint8_t* odd_row) {
  StoreVector(even_row, __builtin_shufflevector(a, b, 0, 2));
  StoreVector(odd_row, __builtin_shufflevector(a, b, 1, 3));
}

// Four cells as 8-bit pixels of 16 x palette + dot, each cell with its own
// bank: 32 bytes a buffer row.
KRT_INLINE void WriteBankedStrip(const NibbleCell (&cells)[4], const uint64_t (&banks)[4],
                                 uint8_t* lowest_row, size_t stride) {
#pragma GCC unroll 2
  for (uint32_t pair = 0; pair < 2; ++pair) {
    const uint32_t a = 2 * pair;
    const uint32_t b = a + 1;
    const ByteVector bank_a = reinterpret_cast<ByteVector>(QwordVector{banks[a], banks[a]});
    const ByteVector bank_b = reinterpret_cast<ByteVector>(QwordVector{banks[b], banks[b]});
    const SpreadRows a_upper = Spread(cells[a].upper, bank_a);
    const SpreadRows a_lower = Spread(cells[a].lower, bank_a);
    const SpreadRows b_upper = Spread(cells[b].upper, bank_b);
    const SpreadRows b_lower = Spread(cells[b].lower, bank_b);
    uint8_t* at = lowest_row + 16 * pair;
    // Box row r goes to buffer row 7 - r.
    StorePairRows(a_upper.first, b_upper.first, at + stride * 7, at + stride * 6);
    StorePairRows(a_upper.second, b_upper.second, at + stride * 5, at + stride * 4);
    StorePairRows(a_lower.first, b_lower.first, at + stride * 3, at + stride * 2);
    StorePairRows(a_lower.second, b_lower.second, at + stride * 1, at);
  }
}

}  // namespace
}  // namespace krt::image
