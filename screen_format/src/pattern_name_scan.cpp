#include "pattern_name_scan.h"

#include <bit>
#include <cstring>

#include "page_geometry.h"
#include "pattern_name.h"

namespace krt::image {

namespace {

// Names are taken several to a 64-bit word. Loaded in memory order, a
// name's first byte is the low byte of its lane, so its bank (palette
// number) is bits 4 to 7 of the lane.
static_assert(std::endian::native == std::endian::little, "name lanes assume little-endian words");

template <uint32_t kWidth>
struct NameLanes {
  static constexpr uint32_t kPerWord = 8 / kWidth;
  static constexpr uint64_t kLow = kWidth == 4 ? 0x0000000100000001ull : 0x0001000100010001ull;
  static constexpr uint64_t kTop = kLow << (8 * kWidth - 1);  // each lane's top bit

  static uint64_t Load(const uint8_t* at) {
    uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
  }

  // The top bit of every lane holding a non-zero name, nothing else: the
  // lane's low bits plus all ones below its top bit carry into the top bit
  // unless they are zero, and stay inside the lane.
  static uint64_t NonZeroTops(uint64_t word) { return (((word & ~kTop) + ~kTop) | word) & kTop; }

  // What a word of names tells about banks: the bank bits and non-zero
  // top bit of every lane. Words that agree here mark the same banks.
  static uint64_t Banks(uint64_t word) { return (word & (kLow * 0xF0)) | NonZeroTops(word); }
};

// A value NameLanes::Banks never gives.
constexpr uint64_t kNoBanks = ~uint64_t{0};

// Marks the bank of every non-zero name among `names` names from `row`.
template <uint32_t kWidth>
void MarkBanks(const uint8_t* row, uint32_t names, uint8_t* banks) {
  for (uint32_t position = 0; position < names; ++position) {
    const uint8_t* name = row + kWidth * position;
    // Any byte order tells zero from non-zero.
    uint32_t value = 0;
    std::memcpy(&value, name, kWidth);
    if (value != 0) banks[StoredNamePalette(name)] = 1;
  }
}

// The position of the last non-zero name of a row, or -1; marks the bank of
// every non-zero name (its palette number). Names are taken a word at a
// time, and a word whose banks and zero names are those of the word before
// (often the case: `last_banks` carries it from row to row) marks nothing
// new, so only the names of other words are looked at one by one.
template <uint32_t kWidth>
int64_t LastNonZeroName(const uint8_t* row, uint32_t names, uint8_t* banks, uint64_t* last_banks) {
  using Lanes = NameLanes<kWidth>;
  const uint32_t whole = names / Lanes::kPerWord * Lanes::kPerWord;
  for (uint32_t position = 0; position < whole; position += Lanes::kPerWord) {
    const uint64_t word_banks = Lanes::Banks(Lanes::Load(row + kWidth * position));
    if (word_banks == *last_banks) continue;
    *last_banks = word_banks;
    MarkBanks<kWidth>(row + kWidth * position, Lanes::kPerWord, banks);
  }
  // Names after the last whole word, one at a time.
  MarkBanks<kWidth>(row + kWidth * whole, names - whole, banks);
  for (uint32_t position = names; position > whole; --position) {
    uint32_t value = 0;
    std::memcpy(&value, row + kWidth * (position - 1), kWidth);
    if (value != 0) return position - 1;
  }
  // Else the last lane holding a non-zero name in the last word that has one.
  for (uint32_t position = whole; position > 0; position -= Lanes::kPerWord) {
    const uint64_t tops =
        Lanes::NonZeroTops(Lanes::Load(row + kWidth * (position - Lanes::kPerWord)));
    if (tops != 0) {
      return int64_t{position} - Lanes::kPerWord + (63 - __builtin_clzll(tops)) / (8 * kWidth);
    }
  }
  return -1;
}

}  // namespace

UsedExtent ScanPatternNameTable(const uint8_t* names, int32_t pages_across, int32_t pages_down,
                                uint16_t format_word, uint32_t section_size, uint8_t* flags) {
  PageGeometry geometry;
  if (ComputePageGeometry(pages_across, pages_down, format_word, section_size, &geometry) !=
      GeometryStatus::kWholeRows) {
    return UsedExtent{-1, -1};
  }

  // One pass serves both results: every non-zero name lies inside the used
  // extent, so flags over all names equal flags over the extent.
  uint8_t banks[kBankCount] = {};
  uint64_t last_banks = kNoBanks;
  int64_t last_column = -1;
  int64_t last_row = -1;
  const uint32_t width = geometry.name_width;
  const uint8_t* name = names;
  for (uint32_t page_row = 0; page_row < geometry.pages_down; ++page_row) {
    for (uint32_t page_column = 0; page_column < geometry.pages_across; ++page_column) {
      for (uint32_t row = 0; row < geometry.rows_per_page; ++row) {
        const int64_t last_in_row =
            width == 4 ? LastNonZeroName<4>(name, geometry.names_per_row, banks, &last_banks)
                       : LastNonZeroName<2>(name, geometry.names_per_row, banks, &last_banks);
        name += uint64_t{width} * geometry.names_per_row;
        if (last_in_row < 0) continue;
        const int64_t column = int64_t{page_column} * geometry.names_per_row + last_in_row;
        if (column > last_column) last_column = column;
        const int64_t screen_row = int64_t{page_row} * geometry.rows_per_page + row;
        if (screen_row > last_row) last_row = screen_row;
      }
    }
  }

  if (flags != nullptr) std::memcpy(flags, banks, sizeof banks);
  // The pages lie inside a 32-bit table, so both counts fit.
  return UsedExtent{static_cast<int32_t>(last_column + 1), static_cast<int32_t>(last_row + 1)};
}

}  // namespace krt::image
