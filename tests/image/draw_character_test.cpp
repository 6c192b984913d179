#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas_fixture.h"
#include "drawing.h"

namespace {

using krt::image::DecodePatternName;
using krt::image::RenderingMode;
using krt::test::Append;
using krt::test::Cell16;
using krt::test::Cell256;
using krt::test::MarkedCell;
using krt::test::TestCanvas;
using Rows = std::vector<std::string>;

constexpr uint32_t kFlipV1 = 0x0800;  // 1-word names, 10-bit form
constexpr uint32_t kFlipH1 = 0x0400;
constexpr uint32_t kFlipV2 = 0x80000000u;  // 2-word names
constexpr uint32_t kFlipH2 = 0x40000000u;

const Rows kBlank8(8, "00000000");

// A cell whose rows tell left from right and top from bottom.
const Rows kLettered = {"12345678", "9ABCDEF1", "20000003", "00000000",
                        "00000000", "00000000", "40000005", "6789ABCD"};

Rows Reversed(Rows rows) { return Rows(rows.rbegin(), rows.rend()); }
Rows Mirrored(Rows rows) {
  for (std::string& row : rows) row = std::string(row.rbegin(), row.rend());
  return rows;
}

// --- Flips and cell placement -------------------------------------------

struct FlipCase {
  const char* what;
  uint32_t flips;
  Rows expected;
};

class SixteenDotFlips : public testing::TestWithParam<FlipCase> {};

TEST_P(SixteenDotFlips, PlaceAndMirrorEachCell) {
  // Character 1 of four cells filled 1, 2, 3, 4, each with F at its top left.
  TestCanvas t(RenderingMode::kNibbles, 16, 2, 1, 1);
  for (int cell = 0; cell < 4; ++cell) Append(t.dots, Cell16(kBlank8));
  for (char fill : {'1', '2', '3', '4'}) Append(t.dots, Cell16(MarkedCell(fill)));
  t.Attach();
  t.Draw(GetParam().flips | 1, 0, 0);
  EXPECT_EQ(t.Rows(), GetParam().expected);
}

Rows Repeat(const std::string& first, const std::string& rest, bool first_at_top) {
  Rows rows(8, rest);
  rows[first_at_top ? 0 : 7] = first;
  return rows;
}

Rows Join(const Rows& top, const Rows& bottom) {
  Rows rows = top;
  rows.insert(rows.end(), bottom.begin(), bottom.end());
  return rows;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SixteenDotFlips,
    testing::Values(FlipCase{"none", 0,
                             Join(Repeat("F1111111F2222222", "1111111122222222", true),
                                  Repeat("F3333333F4444444", "3333333344444444", true))},
                    FlipCase{"horizontal", kFlipH1,
                             Join(Repeat("2222222F1111111F", "2222222211111111", true),
                                  Repeat("4444444F3333333F", "4444444433333333", true))},
                    FlipCase{"vertical", kFlipV1,
                             Join(Repeat("F3333333F4444444", "3333333344444444", false),
                                  Repeat("F1111111F2222222", "1111111122222222", false))},
                    FlipCase{"both", kFlipV1 | kFlipH1,
                             Join(Repeat("4444444F3333333F", "4444444433333333", false),
                                  Repeat("2222222F1111111F", "2222222211111111", false))}),
    [](const testing::TestParamInfo<FlipCase>& param) { return std::string(param.param.what); });

struct MirrorCase {
  RenderingMode mode;
  uint32_t flips;
};

class EightDotMirrors : public testing::TestWithParam<MirrorCase> {};

TEST_P(EightDotMirrors, RowsAndDotsReverse) {
  const MirrorCase& c = GetParam();
  const bool byte_dots = c.mode == RenderingMode::kBytes;
  TestCanvas t(c.mode, 8, 2, 1, 1);
  Append(t.dots, byte_dots ? Cell256(kBlank8) : Cell16(kBlank8));
  Append(t.dots, byte_dots ? Cell256(kLettered) : Cell16(kLettered));
  t.Attach();
  // Character 1: 256-colour names carry the number one bit up.
  t.Draw(c.flips | (byte_dots ? 2 : 1), 0, 0);
  Rows expected = kLettered;
  if ((c.flips & kFlipH1) != 0) expected = Mirrored(expected);
  if ((c.flips & kFlipV1) != 0) expected = Reversed(expected);
  EXPECT_EQ(t.Rows(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, EightDotMirrors,
                         testing::Values(MirrorCase{RenderingMode::kNibbles, 0},
                                         MirrorCase{RenderingMode::kNibbles, kFlipH1},
                                         MirrorCase{RenderingMode::kNibbles, kFlipV1},
                                         MirrorCase{RenderingMode::kNibbles, kFlipH1 | kFlipV1},
                                         MirrorCase{RenderingMode::kBytes, 0},
                                         MirrorCase{RenderingMode::kBytes, kFlipH1},
                                         MirrorCase{RenderingMode::kBytes, kFlipV1},
                                         MirrorCase{RenderingMode::kBytes, kFlipH1 | kFlipV1}));

TEST(DrawCharacter, SixteenDotByteDotsFlipLikeNibbles) {
  TestCanvas t(RenderingMode::kBytes, 16, 4, 1, 1);
  for (char fill : {'1', '2', '3', '4'}) Append(t.dots, Cell256(MarkedCell(fill)));
  t.Attach();
  // 2-word name, character 0, both flips: the character turned half round.
  t.Draw(kFlipV2 | kFlipH2, 0, 0);
  EXPECT_EQ(t.Rows(), Join(Repeat("4444444F3333333F", "4444444433333333", false),
                           Repeat("2222222F1111111F", "2222222211111111", false)));
}

// --- Boxes and the pixel block --------------------------------------------

TEST(DrawCharacter, FourBitRowsOfAnOddWidthPicture) {
  // Three characters across: rows of 12 bytes, the third box in bytes 8-11.
  TestCanvas t(RenderingMode::kNibbles, 8, 2, 3, 2);
  Append(t.dots, Cell16(kLettered));
  t.Attach();
  ASSERT_EQ(t.canvas.row_stride, 12u);
  t.Draw(0, 2, 1);
  Rows expected(8, std::string(24, '0'));
  for (const std::string& row : kLettered) expected.push_back("0000000000000000" + row);
  EXPECT_EQ(t.Rows(), expected);
}

TEST(DrawCharacter, DrawsOnlyCharactersInsideTheDotData) {
  // Dot data of three 32-byte cells: characters 0-2 exist, 3 does not.
  TestCanvas t(RenderingMode::kNibbles, 8, 2, 4, 1);
  for (char fill : {'1', '2', '3'}) Append(t.dots, Cell16(Rows(8, std::string(8, fill))));
  t.dots.resize(t.dots.size() + 31, 0x77);  // not a whole cell
  t.Attach();
  for (int32_t x = 0; x < 4; ++x) t.Draw(static_cast<uint32_t>(x == 3 ? 3 : 2), x, 0);
  EXPECT_EQ(t.Rows(), Rows(8, "33333333333333333333333300000000"));
}

TEST(DrawCharacter, SkipsBoxesOutsideThePicture) {
  TestCanvas t(RenderingMode::kNibbles, 16, 2, 1, 1);
  for (int cell = 0; cell < 4; ++cell) Append(t.dots, Cell16(Rows(8, "11111111")));
  t.Attach();
  t.Draw(0, 1, 0);
  t.Draw(0, 0, 1);
  t.Draw(0, -1, 0);
  EXPECT_EQ(t.Rows(), Rows(16, std::string(16, '0')));
  t.Draw(0, 0, 0);
  EXPECT_EQ(t.Rows(), Rows(16, std::string(16, '1')));
}

TEST(DrawCharacter, NoDotDataDrawsNothing) {
  TestCanvas t(RenderingMode::kNibbles, 8, 2, 1, 1);
  t.Draw(0, 0, 0);
  EXPECT_EQ(t.Rows(), Rows(8, "00000000"));
}

// --- Skip bit ---------------------------------------------------------------

TEST(DrawCharacter, OddNamesAreSkippedOnlyWithByteDots) {
  for (RenderingMode mode : {RenderingMode::kBytes, RenderingMode::kLookup}) {
    TestCanvas t(mode, 8, 2, 2, 1);
    Append(t.dots, Cell256(Rows(8, "11111111")));
    t.FillLookupWithEntryNumbers(512);
    t.canvas.colour_count = 256;
    t.Draw(0, 0, 0);
    t.Draw(1, 1, 0);  // character 0 too, but skipped
    const std::string drawn =
        mode == RenderingMode::kBytes ? "11111111" : "001001001001001001001001";
    const std::string blank = mode == RenderingMode::kBytes ? "00000000" : std::string(24, '.');
    EXPECT_EQ(t.Rows(), Rows(8, drawn + blank)) << int(mode);
  }
  // With 16-colour dots bit 0 is part of the character number.
  TestCanvas t(RenderingMode::kNibbles, 8, 2, 1, 1);
  Append(t.dots, Cell16(kBlank8));
  Append(t.dots, Cell16(Rows(8, "22222222")));
  t.Attach();
  t.Draw(1, 0, 0);
  EXPECT_EQ(t.Rows(), Rows(8, "22222222"));
}

// --- Palettes ---------------------------------------------------------------

TEST(DrawCharacter, BankedNibblesAddSixteenTimesThePalette) {
  TestCanvas t(RenderingMode::kBankedNibbles, 8, 2, 2, 1);
  Append(t.dots, Cell16(kLettered));
  t.canvas.colour_count = 256;
  t.Attach();
  t.Draw(0x3000, 0, 0);            // palette 3
  t.Draw(0xF000 | kFlipH1, 1, 0);  // palette 15, mirrored
  const Rows rows = t.Rows(true);
  EXPECT_EQ(rows[0],
            "3132333435363738"
            "F8F7F6F5F4F3F2F1");
  EXPECT_EQ(rows[7],
            "363738393A3B3C3D"
            "FDFCFBFAF9F8F7F6");
}

struct ClampCase {
  RenderingMode mode;
  uint32_t colour_count;
  uint32_t name;  // 2-word name: palette in bits 28-31, character 0
  uint32_t palette_drawn;
};

class PaletteClamp : public testing::TestWithParam<ClampCase> {};

TEST_P(PaletteClamp, PalettePastTheColourCountBecomesZero) {
  const ClampCase& c = GetParam();
  const bool lookup = c.mode == RenderingMode::kLookup;
  TestCanvas t(c.mode, 8, 4, 1, 1);
  Append(t.dots, lookup ? Cell256(Rows(8, "11111111")) : Cell16(Rows(8, "11111111")));
  t.FillLookupWithEntryNumbers(16 * 256);
  t.canvas.colour_count = c.colour_count;
  t.Draw(c.name, 0, 0);
  // Entry 256 x palette + 1 as three digits, or value 16 x palette + 1.
  const std::string dot =
      std::string(1, "0123456789ABCDEF"[c.palette_drawn]) + (lookup ? "01" : "1");
  std::string row;
  for (int i = 0; i < 8; ++i) row += dot;
  EXPECT_EQ(t.Rows(true)[0], row);
}

INSTANTIATE_TEST_SUITE_P(Cases, PaletteClamp,
                         testing::Values(
                             // K / 16 = 3: palette 3 stays, 4 becomes 0. Bits 30-31 are palette
                             // bits here, not flips.
                             ClampCase{RenderingMode::kBankedNibbles, 48, 0x30000000u, 3},
                             ClampCase{RenderingMode::kBankedNibbles, 48, 0x40000000u, 0},
                             ClampCase{RenderingMode::kBankedNibbles, 63, 0x40000000u, 0},
                             ClampCase{RenderingMode::kBankedNibbles, 64, 0x40000000u, 4},
                             ClampCase{RenderingMode::kBankedNibbles, 256, 0xC0000000u, 12},
                             // K / 256 = 2: palette 2 stays, 3 becomes 0.
                             ClampCase{RenderingMode::kLookup, 512, 0x20000000u, 2},
                             ClampCase{RenderingMode::kLookup, 767, 0x30000000u, 0},
                             ClampCase{RenderingMode::kLookup, 768, 0x30000000u, 3}));

TEST(DrawCharacter, TwoWordNamesFlipInPaletteModesOnlyWithRegions) {
  TestCanvas t(RenderingMode::kBankedNibbles, 8, 4, 1, 1);
  Append(t.dots, Cell16(kLettered));
  t.canvas.colour_count = 256;
  t.Attach();
  // Without regions bits 30-31 are the top of the palette: 0xC = 12.
  t.Draw(0xC0000000u, 0, 0);
  EXPECT_EQ(t.Rows(true)[0], "C1C2C3C4C5C6C7C8");
  // With a region the same bits flip, and the region's palette (5) is taken.
  t.regions = {0, 0, 1, 1, 5};
  t.regions.resize(160, 0);
  t.Attach();
  std::fill(t.pixels.begin(), t.pixels.end(), 0);
  t.Draw(0xC0000000u, 0, 0);
  // Both flips: the bottom row comes first, mirrored.
  EXPECT_EQ(t.Rows(true)[0], "5D5C5B5A59585756");
  EXPECT_EQ(t.Rows(true)[7], "5857565554535251");
}

TEST(DrawCharacter, RegionsChooseThePaletteByPosition) {
  // Two overlapping regions: (0,0) 2x1 palette 2, then (1,0) 2x2 palette 9.
  TestCanvas t(RenderingMode::kBankedNibbles, 8, 2, 4, 2);
  Append(t.dots, Cell16(Rows(8, "11111111")));
  t.regions = {0, 0, 2, 1, 2, 1, 0, 2, 2, 9};
  t.regions.resize(160, 0);
  t.canvas.colour_count = 256;
  t.Attach();
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 4; ++x) t.Draw(0x7000, x, y);  // name's palette 7 unused
  }
  const std::string top =
      "2121212121212121"
      "2121212121212121"
      "9191919191919191"
      "0101010101010101";
  const std::string bottom =
      "0101010101010101"
      "9191919191919191"
      "9191919191919191"
      "0101010101010101";
  const Rows rows = t.Rows(true);
  EXPECT_EQ(rows[0], top);
  EXPECT_EQ(rows[8], bottom);
}

TEST(DrawCharacter, SeventeenthBankLeavesItsBoxZero) {
  // A region can name palette 16, which the clamp lets through at K = 256;
  // its values 256-271 do not fit 8-bit pixels, so nothing is drawn.
  TestCanvas t(RenderingMode::kBankedNibbles, 8, 2, 2, 1);
  Append(t.dots, Cell16(Rows(8, "11111111")));
  t.regions = {0, 0, 1, 1, 16, 1, 0, 1, 1, 15};
  t.regions.resize(160, 0);
  t.canvas.colour_count = 256;
  t.Attach();
  t.Draw(0, 0, 0);
  t.Draw(0, 1, 0);
  EXPECT_EQ(t.Rows(true)[0], "0000000000000000F1F1F1F1F1F1F1F1");
}

TEST(DrawCharacter, LookupTakesEntry256TimesPalettePlusDot) {
  TestCanvas t(RenderingMode::kLookup, 8, 2, 2, 1);
  Append(t.dots, Cell256({"0123456F", "00000000", "00000000", "00000000", "00000000", "00000000",
                          "00000000", "0000000A"}));
  t.FillLookupWithEntryNumbers(1024);
  t.canvas.colour_count = 512;
  t.Draw(0x1000, 0, 0);  // palette 1
  t.Draw(0x0000 | kFlipH1, 1, 0);
  const Rows rows = t.Rows();
  // Dot value 0 shows entry 256 x palette: black only in palette 0.
  EXPECT_EQ(rows[0],
            "10010110210310410510610F"
            "00F006005004003002001000");
  EXPECT_EQ(rows[7],
            "10010010010010010010010A"
            "00A000000000000000000000");
}

// --- Pattern name decoding --------------------------------------------------

struct DecodeCase {
  const char* what;
  RenderingMode mode;
  uint32_t character_size;
  uint32_t name_width;
  uint32_t dot_data_size;
  uint32_t name;
  uint32_t character;
  bool flip_h;
  bool flip_v;
};

class NameDecoding : public testing::TestWithParam<DecodeCase> {};

TEST_P(NameDecoding, GivesCharacterAndFlips) {
  const DecodeCase& c = GetParam();
  krt::image::PictureCanvas canvas;
  canvas.mode = c.mode;
  canvas.character_size = c.character_size;
  canvas.name_width = c.name_width;
  canvas.dot_data_size = c.dot_data_size;
  const auto decoded = DecodePatternName(canvas, c.name);
  EXPECT_EQ(decoded.character, c.character);
  EXPECT_EQ(decoded.flip_horizontal, c.flip_h);
  EXPECT_EQ(decoded.flip_vertical, c.flip_v);
}

constexpr auto kNib = RenderingMode::kNibbles;
constexpr auto kBank = RenderingMode::kBankedNibbles;
constexpr auto kByte = RenderingMode::kBytes;
constexpr auto kLook = RenderingMode::kLookup;

INSTANTIATE_TEST_SUITE_P(
    Cases, NameDecoding,
    testing::Values(
        DecodeCase{"TenBitBothFlips", kNib, 8, 2, 100, 0x0C05, 5, true, true},
        DecodeCase{"TenBitByteDots", kByte, 8, 2, 100, 0x040A, 5, true, false},
        // Thresholds for 32-byte cells: 0x4000 x n and 0x10000 x n.
        DecodeCase{"BelowFirstThreshold", kNib, 8, 2, 0x3FFF, 0xFC05, 5, true, true},
        DecodeCase{"AtFirstThreshold", kNib, 8, 2, 0x4000, 0xFC05, 0xC05, false, false},
        DecodeCase{"BelowSecondThreshold", kBank, 8, 2, 0xFFFF, 0xFC05, 0xC05, false, false},
        DecodeCase{"AtSecondThreshold", kBank, 8, 2, 0x10000, 0xFC05, 0xFC05, false, false},
        DecodeCase{"FourCellsFirst", kNib, 16, 2, 0xFFFF, 0x0C05, 5, true, true},
        DecodeCase{"FourCellsSecond", kNib, 16, 2, 0x10000, 0x3C05, 0xC05, false, false},
        DecodeCase{"FourCellsSixteenBit", kNib, 16, 2, 0x40000, 0x3C05, 0x3C05, false, false},
        // 64-byte cells: 0x8000 x n and 0x20000 x n, number shifted by 1.
        DecodeCase{"ByteDotsBelowFirst", kByte, 8, 2, 0x7FFF, 0x0C0A, 5, true, true},
        DecodeCase{"ByteDotsAtFirst", kByte, 8, 2, 0x8000, 0x0C0A, 0x605, false, false},
        DecodeCase{"ByteDotsAtSecond", kLook, 8, 2, 0x20000, 0xF00A, 0x7805, false, false},
        DecodeCase{"ByteDotsFourCellsFirst", kByte, 16, 2, 0x1FFFF, 0x0C0A, 5, true, true},
        DecodeCase{"ByteDotsFourCellsSecond", kByte, 16, 2, 0x20000, 0x0C0A, 0x605, false, false},
        DecodeCase{"ByteDotsFourCellsSixteenBit", kByte, 16, 2, 0x80000, 0xF00A, 0x7805, false,
                   false},
        // 2-word names: 26 or 25 bits of character; unused low bits ignored.
        DecodeCase{"TwoWordNibbles", kNib, 8, 4, 100, 0xC0000000u | (5u << 2) | 3u, 5, true, true},
        DecodeCase{"TwoWordBytes", kByte, 8, 4, 100, 0x40000000u | (5u << 3) | 6u, 5, true, false},
        DecodeCase{"TwoWordTopBitsAreNotCharacter", kNib, 8, 4, 100, 0x3FFFFFFFu, 0x3FFFFFF, false,
                   false},
        DecodeCase{"TwoWordBankedNoRegionsNoFlips", kBank, 8, 4, 100, 0xC0000014u, 5, false, false},
        DecodeCase{"TwoWordLookupNoRegionsNoFlips", kLook, 8, 4, 100, 0xC0000028u, 5, false,
                   false}),
    [](const testing::TestParamInfo<DecodeCase>& param) { return std::string(param.param.what); });

// The three forms of a 1-word name, drawn: the same name shows a different
// character as the dot data grows past each threshold.
TEST(DrawCharacter, OneWordFormsFollowTheDotDataSize) {
  auto filled = [](char fill) { return Cell16(Rows(8, std::string(8, fill))); };
  std::vector<uint8_t> dots;
  Append(dots, filled('0'));
  Append(dots, Cell16(kLettered));  // character 1
  dots.resize(0x401 * 32, 0);
  Append(dots, filled('7'));  // character 0x401
  dots.resize(0x1001 * 32, 0);
  Append(dots, filled('9'));  // character 0x1001

  auto draw = [&](uint32_t name, size_t dot_bytes) {
    TestCanvas t(RenderingMode::kNibbles, 8, 2, 1, 1);
    t.dots.assign(dots.begin(), dots.begin() + static_cast<std::ptrdiff_t>(dot_bytes));
    t.Attach();
    t.Draw(name, 0, 0);
    return t.Rows();
  };
  // 10-bit form: character 1, mirrored by bit 10.
  EXPECT_EQ(draw(0x0401, 0x3FFF), Mirrored(kLettered));
  // 12-bit form: bit 10 is part of the number.
  EXPECT_EQ(draw(0x0401, 0x402 * 32), Rows(8, "77777777"));
  // Still the 12-bit form below 0x10000 bytes: palette bits are masked off.
  EXPECT_EQ(draw(0x1001, 0xFFFF), kLettered);
  // 16-bit form: bit 12 too.
  EXPECT_EQ(draw(0x1001, dots.size()), Rows(8, "99999999"));
}

}  // namespace
