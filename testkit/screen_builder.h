// Writes screen files and screen packs as bytes for tests, fuzz seeds and
// sample generators: valid ones from a plain description, and damaged ones by
// editing the built bytes afterwards.
//
// The builder knows the layout on its own and shares no code with the
// plug-ins, so a fault in a plug-in's reading of the layout cannot hide behind
// the same fault here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace krt::test {

// Layout of the 256-byte screen header.
inline constexpr char kMagic[] = "SEGA SATURN SCR";
inline constexpr size_t kMagicLength = sizeof kMagic - 1;
inline constexpr size_t kHeaderSize = 256;
inline constexpr size_t kSectionTableOffset = 16;
inline constexpr size_t kSectionEntrySize = 16;
inline constexpr size_t kRegionTableOffset = 88;
inline constexpr size_t kRegionRecordSize = 5;
inline constexpr size_t kMaxRegions = 32;

// Section indices. Entry k of the table is at header offset 16 + 16k; the
// optional fifth entry (offset and size only) continues that pattern at 80.
inline constexpr int kDescriptorSection = 0;
inline constexpr int kNameTableSection = 1;
inline constexpr int kCharacterSection = 2;
inline constexpr int kColourSection = 3;
inline constexpr int kFifthSection = 4;
inline constexpr int kSectionSlots = 5;

// Every section but the descriptor opens with a 16-byte table prefix. In the
// pattern name table two of its bytes carry the format word.
inline constexpr size_t kTablePrefixSize = 16;
inline constexpr size_t kFlagsByteOffset = 1;
inline constexpr size_t kFormatByteOffset = 4;
inline constexpr uint8_t kFlag256Colours = 0x10;
inline constexpr uint8_t kFlagCells2x2 = 0x01;
inline constexpr uint8_t kFormatTwoWord = 0x80;

struct PaletteRegion {
  uint8_t x = 0;
  uint8_t y = 0;
  uint8_t width = 0;
  uint8_t height = 0;
  uint8_t palette = 0;
};

// A screen file to build. The defaults give one page of 2048 bytes of 1-word
// names (32 x 32 characters of 8 x 8 dots, 16 colours) with every name zero,
// no dots, no colours and no palette regions: a file whose header and section
// table are valid, to which each test adds what it is about.
struct ScreenPlan {
  uint16_t pages_across = 1;
  uint16_t pages_down = 1;
  bool colours_256 = false;
  bool cells_2x2 = false;
  bool two_word_names = false;
  uint32_t bytes_per_page = 2048;

  // Pattern names in storage order (see NameIndex); missing ones are zero.
  // Names beyond the pages' capacity are not written.
  std::vector<uint32_t> names;
  // Bytes after the pages that belong to no page. Fewer than
  // pages_across * pages_down of them leave the page size unchanged.
  std::vector<uint8_t> name_table_tail;
  // Bytes after the two page counts of the screen descriptor.
  std::vector<uint8_t> descriptor_tail;

  std::vector<uint8_t> dot_data;  // cells, after the 16-byte prefix
  std::vector<uint16_t> colours;  // after the 16-byte prefix

  // At most 32 are written; with fewer, the zero record after them ends the
  // list.
  std::vector<PaletteRegion> regions;

  // Body of the optional fifth section, placed after the colour table and
  // entered at header offsets 80/84. Without it those bytes stay zero.
  std::optional<std::vector<uint8_t>> fifth_section;

  uint8_t magic_end = 0;  // header byte 15, after the 15 magic characters

  // Filler bytes inserted before each section (index as the section slots).
  std::array<uint32_t, kSectionSlots> gaps{};
  uint8_t gap_fill = 0;

  // Size to enter in the section table instead of the bytes written; the
  // sections' placement does not change.
  std::array<std::optional<uint32_t>, kSectionSlots> declared_sizes{};
};

// Page geometry as the readers derive it from the bytes per page.
struct PageGeometry {
  uint32_t name_width = 0;     // 2 or 4 bytes
  uint32_t row_length = 0;     // 64 or 128 bytes
  uint32_t names_per_row = 0;  // N
  uint32_t rows_per_page = 0;  // R
};

PageGeometry GeometryOf(const ScreenPlan& plan);

// The whole screen in characters: pages across x N wide, pages down x R high.
uint32_t ScreenColumns(const ScreenPlan& plan);
uint32_t ScreenRows(const ScreenPlan& plan);

// Storage index of the name for a character position, or nothing when the
// position lies outside the screen.
std::optional<size_t> NameIndex(const ScreenPlan& plan, uint32_t column, uint32_t row);

// Stores a name at a character position, growing plan.names as needed.
// Returns false, changing nothing, for a position outside the screen.
bool SetName(ScreenPlan& plan, uint32_t column, uint32_t row, uint32_t value);

// The header, then the sections in table order from offset 256, each after
// its gap, with the section table filled in to match.
std::vector<uint8_t> BuildScreenFile(const ScreenPlan& plan);

// Big-endian access to built bytes. Offsets outside the bytes throw
// std::out_of_range, which a test reports as a failure.
uint16_t Be16(const std::vector<uint8_t>& bytes, size_t offset);
uint32_t Be32(const std::vector<uint8_t>& bytes, size_t offset);
void PutBe16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value);
void PutBe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value);

// Section table entries of a built header (index 0-4, 4 = fifth entry).
uint32_t SectionOffset(const std::vector<uint8_t>& bytes, int index);
uint32_t SectionSize(const std::vector<uint8_t>& bytes, int index);
void SetSection(std::vector<uint8_t>& bytes, int index, uint32_t offset, uint32_t size);

// A screen pack: each screen preceded by its gap (missing gaps are 0), then
// the trailer.
struct PackPlan {
  std::vector<std::vector<uint8_t>> screens;
  std::vector<uint32_t> gaps_before;  // normally multiples of 4, at most 60
  std::vector<uint8_t> trailer;
  uint8_t gap_fill = 0;
};

std::vector<uint8_t> BuildPack(const PackPlan& plan);

// Where each screen's magic stands in the built pack.
std::vector<size_t> ScreenPositions(const PackPlan& plan);

// Writes the bytes to a new file in a temporary directory of this process and
// returns its path, in UTF-8, or an empty string when writing fails. The file
// is named after the stem (keep its extension there), made unique by a
// counter. The directory and whatever is left in it are removed when the
// process exits. With KRT_TEXT_FORM=wide the directory's name holds
// characters no ANSI code page has, which only UTF-16 paths reach on Windows.
std::string WriteTempFile(const std::vector<uint8_t>& bytes, const std::string& stem);
void RemoveFile(const std::string& path);

// A path given in UTF-8, as the file system takes it.
std::filesystem::path PathOf(const std::string& utf8);

}  // namespace krt::test
