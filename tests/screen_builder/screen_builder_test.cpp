// Checks the builder against hand-computed layouts, so that every other test
// can trust the bytes it is given.
#include "screen_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace krt::test {
namespace {

TEST(ScreenBuilder, DefaultHeaderAndSectionTable) {
  const std::vector<uint8_t> bytes = BuildScreenFile(ScreenPlan{});
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16), std::string("SEGA SATURN SCR\0", 16));
  // Descriptor 4 bytes, names 16 + 2048, characters and colours bare prefixes.
  const uint32_t offsets[] = {256, 260, 260 + 2064, 260 + 2064 + 16};
  const uint32_t sizes[] = {4, 2064, 16, 16};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(SectionOffset(bytes, i), offsets[i]) << i;
    EXPECT_EQ(SectionSize(bytes, i), sizes[i]) << i;
  }
  EXPECT_EQ(Be32(bytes, 80), 0u);
  EXPECT_EQ(Be32(bytes, 84), 0u);
  EXPECT_EQ(bytes.size(), 260u + 2064 + 16 + 16);
  EXPECT_EQ(Be16(bytes, 256), 1u);
  EXPECT_EQ(Be16(bytes, 258), 1u);
  EXPECT_EQ(bytes[260 + 1], 0);  // 16 colours, 8 x 8 dots
  EXPECT_EQ(bytes[260 + 4], 0);  // 1-word names
}

TEST(ScreenBuilder, GapsFifthSectionAndDeclaredSizes) {
  ScreenPlan plan;
  plan.gaps = {0x123, 4, 0, 8, 12};
  plan.gap_fill = 0xEE;
  plan.fifth_section = std::vector<uint8_t>{1, 2, 3};
  plan.declared_sizes[kCharacterSection] = 0x01020304;
  const std::vector<uint8_t> bytes = BuildScreenFile(plan);

  // Raw bytes of entry 0, to pin the byte order of the table itself.
  const uint8_t entry0[] = {0x00, 0x00, 0x02, 0x23, 0x00, 0x00, 0x00, 0x04};
  EXPECT_TRUE(std::equal(std::begin(entry0), std::end(entry0), bytes.begin() + 16));
  EXPECT_EQ(bytes[256], 0xEE);
  EXPECT_EQ(bytes[256 + 0x122], 0xEE);

  const uint32_t written[] = {4, 2064, 16, 16, 3};
  uint32_t end = 256;
  for (int i = 0; i < kSectionSlots; ++i) {
    EXPECT_EQ(SectionOffset(bytes, i), end + plan.gaps[i]) << i;
    end = SectionOffset(bytes, i) + written[i];
  }
  EXPECT_EQ(SectionSize(bytes, kCharacterSection), 0x01020304u);
  EXPECT_EQ(SectionSize(bytes, kFifthSection), 3u);
  EXPECT_EQ(bytes.size(), end);
  EXPECT_EQ(bytes.back(), 3);
}

TEST(ScreenBuilder, FormatWordAndSectionContents) {
  ScreenPlan plan;
  plan.pages_across = 0x0102;
  plan.pages_down = 0x0304;
  plan.bytes_per_page = 0;
  plan.colours_256 = true;
  plan.cells_2x2 = true;
  plan.two_word_names = true;
  plan.dot_data = {0xAB, 0xCD};
  plan.colours = {0x8001, 0x7C1F};
  const std::vector<uint8_t> bytes = BuildScreenFile(plan);

  EXPECT_EQ(Be32(bytes, 256), 0x01020304u);
  const uint32_t names = SectionOffset(bytes, kNameTableSection);
  EXPECT_EQ(bytes[names + 1], 0x11);
  EXPECT_EQ(bytes[names + 4], 0x80);
  const uint32_t dots = SectionOffset(bytes, kCharacterSection);
  EXPECT_EQ(Be16(bytes, dots + 16), 0xABCDu);
  const uint32_t colours = SectionOffset(bytes, kColourSection);
  EXPECT_EQ(Be32(bytes, colours + 16), 0x80017C1Fu);
  EXPECT_EQ(SectionSize(bytes, kColourSection), 20u);
}

struct Placement {
  uint16_t across, down;
  bool two_word;
  uint32_t bytes_per_page;
  uint32_t columns, rows;  // whole screen
  uint32_t column, row;
  size_t index;
};

// Indices worked by hand from the page order: page rows top down, pages left
// to right, rows of a page top down, names left to right.
const Placement kPlacements[] = {
    {1, 1, false, 2048, 32, 32, 5, 3, 3 * 32 + 5},
    {1, 1, false, 8192, 64, 64, 63, 63, 64 * 64 - 1},
    {1, 1, true, 4096, 32, 32, 1, 1, 33},
    {1, 1, true, 2048, 16, 32, 15, 31, 16 * 32 - 1},
    {1, 1, true, 16384, 32, 128, 0, 127, 127 * 32},
    {2, 1, false, 2048, 64, 32, 32, 0, 1024},
    {2, 2, false, 2048, 64, 64, 33, 33, 3 * 1024 + 32 + 1},
    {3, 2, true, 2048, 48, 64, 17, 33, 4 * 512 + 16 + 1},
};

TEST(ScreenBuilder, NamePlacement) {
  for (const Placement& p : kPlacements) {
    ScreenPlan plan;
    plan.pages_across = p.across;
    plan.pages_down = p.down;
    plan.two_word_names = p.two_word;
    plan.bytes_per_page = p.bytes_per_page;
    SCOPED_TRACE(testing::Message() << p.across << "x" << p.down << " " << p.bytes_per_page);
    EXPECT_EQ(ScreenColumns(plan), p.columns);
    EXPECT_EQ(ScreenRows(plan), p.rows);
    EXPECT_FALSE(SetName(plan, p.columns, 0, 1));
    EXPECT_FALSE(SetName(plan, 0, p.rows, 1));
    ASSERT_TRUE(SetName(plan, p.column, p.row, 0x89ABCDEF));
    ASSERT_EQ(plan.names.size(), p.index + 1);

    const std::vector<uint8_t> bytes = BuildScreenFile(plan);
    const size_t width = p.two_word ? 4 : 2;
    const size_t at = SectionOffset(bytes, kNameTableSection) + 16 + p.index * width;
    EXPECT_EQ(p.two_word ? Be32(bytes, at) : Be16(bytes, at), p.two_word ? 0x89ABCDEFu : 0xCDEFu);
    EXPECT_EQ(SectionSize(bytes, kNameTableSection), 16u + p.across * p.down * p.bytes_per_page);
  }
}

TEST(ScreenBuilder, RegionsStopAtThirtyTwo) {
  ScreenPlan plan;
  plan.regions.assign(33, PaletteRegion{1, 2, 3, 4, 5});
  plan.regions[31] = PaletteRegion{9, 8, 7, 6, 5};
  const std::vector<uint8_t> bytes = BuildScreenFile(plan);
  EXPECT_EQ(Be32(bytes, 88), 0x01020304u);
  EXPECT_EQ(bytes[92], 5);
  EXPECT_EQ(Be32(bytes, 88 + 31 * 5), 0x09080706u);
  EXPECT_EQ(Be32(bytes, 248), 0u);  // the 33rd record is not written
}

TEST(ScreenBuilder, PackGapsPositionsAndTrailer) {
  const std::vector<uint8_t> screen = BuildScreenFile(ScreenPlan{});
  PackPlan plan;
  plan.screens = {screen, screen, screen};
  plan.gaps_before = {4, 60};  // the third screen has no gap
  plan.trailer = {0xFF, 0xFE};
  plan.gap_fill = 0x55;
  const std::vector<uint8_t> pack = BuildPack(plan);
  const std::vector<size_t> expected = {4, 4 + screen.size() + 60, 64 + 2 * screen.size()};
  EXPECT_EQ(ScreenPositions(plan), expected);
  for (size_t position : expected) {
    EXPECT_EQ(std::string(pack.begin() + position, pack.begin() + position + 15), kMagic);
  }
  EXPECT_EQ(pack[0], 0x55);
  EXPECT_EQ(pack[expected[1] - 1], 0x55);
  EXPECT_EQ(pack.size(), 64 + 3 * screen.size() + 2);
  EXPECT_EQ(pack.back(), 0xFE);
}

TEST(ScreenBuilder, TempFilesRoundTrip) {
  const std::vector<uint8_t> bytes = {0, 1, 2, 0xFF};
  const std::string first = WriteTempFile(bytes, "screen.2D");
  const std::string second = WriteTempFile({}, "screen.2D");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(std::filesystem::path(first).extension(), ".2D");

  std::ifstream in(first, std::ios::binary);
  const std::vector<uint8_t> read((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  in.close();
  EXPECT_EQ(read, bytes);
  EXPECT_EQ(std::filesystem::file_size(second), 0u);

  RemoveFile(first);
  RemoveFile(second);
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_FALSE(std::filesystem::exists(second));
}

}  // namespace
}  // namespace krt::test
