// GetPicture through the loaded plug-in: whole bitmaps pinned pixel by pixel
// for small screens, both input modes, the progress calls and the result
// codes of damaged screens.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bitmap_text.h"
#include "loaded_plugins.h"
#include "picture_calls.h"
#include "screen_builder.h"

namespace {

using namespace krt::test;
using Rows = std::vector<std::string>;

Rows Repeated(size_t count, const std::string& row) { return Rows(count, row); }

Rows Join(std::initializer_list<Rows> parts) {
  Rows rows;
  for (const Rows& part : parts) rows.insert(rows.end(), part.begin(), part.end());
  return rows;
}

// Two 16-dot characters, 16 colours: character 1 mirrored left to right,
// then unmirrored. Its cells are filled 1, 2, 3, 4 with an F at each top left.
ScreenPlan FlippedSixteenDotScreen() {
  ScreenPlan plan;
  plan.cells_2x2 = true;
  for (int cell = 0; cell < 4; ++cell) Append(plan.dot_data, Cell16(FilledCell('0')));
  for (char fill : {'1', '2', '3', '4'}) Append(plan.dot_data, Cell16(MarkedCell(fill)));
  SetName(plan, 0, 0, 0x0400 | 1);
  SetName(plan, 1, 0, 0x0001);
  for (uint16_t k = 0; k < 16; ++k) plan.colours.push_back(static_cast<uint16_t>(k));
  return plan;
}

const Rows kFlippedSixteenDotRows = Join({{"2222222F1111111F"
                                           "F1111111F2222222"},
                                          Repeated(7,
                                                   "2222222211111111"
                                                   "1111111122222222"),
                                          {"4444444F3333333F"
                                           "F3333333F4444444"},
                                          Repeated(7,
                                                   "4444444433333333"
                                                   "3333333344444444")});

TEST(GetPictureExport, FlippedSixteenDotCharacterFromMemory) {
  const auto screen = BuildScreenFile(FlippedSixteenDotScreen());
  const TakenPicture picture = PictureOfImage(screen);
  ASSERT_EQ(picture.result, 0);
  EXPECT_EQ(picture.Width(), 32);
  EXPECT_EQ(picture.Height(), 16);
  EXPECT_EQ(picture.Depth(), 4u);
  EXPECT_EQ(picture.SizeImage(), 16u * 16);
  EXPECT_EQ(picture.Rows(), kFlippedSixteenDotRows);
  // Colour 1 is red 1: 8 in the red byte.
  EXPECT_EQ(picture.Slot(1), (std::vector<uint8_t>{0, 0, 8, 0}));
  EXPECT_EQ(picture.Slot(16), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(GetPictureExport, FileAndMemoryGiveTheSameBitmap) {
  const auto screen = BuildScreenFile(FlippedSixteenDotScreen());
  const std::string path = krt::test::WriteTempFile(screen, "flipped.2D");
  const TakenPicture from_file = PictureOfFile(path, 0);
  ASSERT_EQ(from_file.result, 0);
  EXPECT_EQ(from_file.Rows(), kFlippedSixteenDotRows);
  const TakenPicture from_memory = PictureOfImage(screen);
  EXPECT_EQ(from_file.info, from_memory.info);
  EXPECT_EQ(from_file.pixels, from_memory.pixels);
  krt::test::RemoveFile(path);
}

TEST(GetPictureExport, HeaderAtAnOffsetInsideALargerFile) {
  const auto screen = BuildScreenFile(FlippedSixteenDotScreen());
  std::vector<uint8_t> file(1000 + screen.size() + 50, 0xC3);
  std::copy(screen.begin(), screen.end(), file.begin() + 1000);
  const std::string path = krt::test::WriteTempFile(file, "inside.bin");
  const TakenPicture picture = PictureOfFile(path, 1000);
  ASSERT_EQ(picture.result, 0);
  EXPECT_EQ(picture.Rows(), kFlippedSixteenDotRows);
  krt::test::RemoveFile(path);

  // Judged against the whole file, the header is valid, but its colour table
  // runs past the end: the short read is a file error.
  file.resize(1000 + screen.size() - 1);
  const std::string short_path = krt::test::WriteTempFile(file, "short.bin");
  const TakenPicture cut = PictureOfFile(short_path, 1000);
  EXPECT_EQ(cut.result, 6);
  EXPECT_TRUE(cut.slots_untouched);
  krt::test::RemoveFile(short_path);
}

// Banked nibbles: 16 colours, two palette regions, so 8-bit pixels of
// 16 x palette + dot. Character 1 at (0,0) in palette 2, at (1,0) in palette
// 5, at (2,0) outside every region in palette 0.
TEST(GetPictureExport, PaletteRegionsChooseTheBank) {
  ScreenPlan plan;
  Append(plan.dot_data, Cell16(FilledCell('0')));
  Append(plan.dot_data, Cell16({"12345678", "00000000", "00000000", "00000000", "00000000",
                                "00000000", "00000000", "0000000F"}));
  plan.regions = {{0, 0, 1, 1, 2}, {1, 0, 1, 1, 5}};
  for (int x = 0; x < 3; ++x) SetName(plan, static_cast<uint32_t>(x), 0, 0x7001);
  for (uint16_t k = 0; k < 96; ++k) plan.colours.push_back(static_cast<uint16_t>(k << 5));
  const TakenPicture picture = PictureOfImage(BuildScreenFile(plan));
  ASSERT_EQ(picture.result, 0);
  ASSERT_EQ(picture.Depth(), 8u);
  // A dot of 0 is 16 x palette, not 0.
  EXPECT_EQ(picture.Rows(true), Join({{"2122232425262728"
                                       "5152535455565758"
                                       "0102030405060708"},
                                      Repeated(6,
                                               "2020202020202020"
                                               "5050505050505050"
                                               "0000000000000000"),
                                      {"202020202020202F"
                                       "505050505050505F"
                                       "000000000000000F"}}));
  // The colour table starts at entry 0: slot k holds entry k, k << 5.
  EXPECT_EQ(picture.Slot(0x21), (std::vector<uint8_t>{8, 8, 0, 0}));
  EXPECT_EQ(picture.Slot(0x5F), (std::vector<uint8_t>{16, 248, 0, 0}));
  EXPECT_EQ(picture.Slot(0x60), (std::vector<uint8_t>{0, 0, 0, 0}));
}

// 256 colours, 8-bit: an odd name is skipped and leaves its box zero, while
// name 0 shows character 0.
TEST(GetPictureExport, OddNameIsSkipped) {
  ScreenPlan plan;
  plan.colours_256 = true;
  Append(plan.dot_data, Cell256(FilledCell('5')));
  Append(plan.dot_data, Cell256({"01234567", "89ABCDEF", "00000000", "00000000", "00000000",
                                 "00000000", "00000000", "11111111"}));
  SetName(plan, 0, 0, 2);  // character 1
  SetName(plan, 1, 0, 3);  // character 1, skip bit set
  // (2,0) holds name 0; (3,0) makes the extent four characters wide.
  SetName(plan, 3, 0, 2);
  plan.colours.assign(256, 0x7FFF);
  const TakenPicture picture = PictureOfImage(BuildScreenFile(plan));
  ASSERT_EQ(picture.result, 0);
  ASSERT_EQ(picture.Depth(), 8u);
  EXPECT_EQ(picture.Rows(), Join({{"01234567"
                                   "00000000"
                                   "55555555"
                                   "01234567"},
                                  {"89ABCDEF"
                                   "00000000"
                                   "55555555"
                                   "89ABCDEF"},
                                  Repeated(5,
                                           "00000000"
                                           "00000000"
                                           "55555555"
                                           "00000000"),
                                  {"11111111"
                                   "00000000"
                                   "55555555"
                                   "11111111"}}));
}

// 16 colours, 4-bit, three characters across: every row is 12 bytes.
TEST(GetPictureExport, FourBitRowsOfAnOddWidth) {
  ScreenPlan plan;
  Append(plan.dot_data, Cell16(FilledCell('0')));
  Append(plan.dot_data, Cell16(FilledCell('1')));
  Append(plan.dot_data, Cell16(MarkedCell('A')));
  SetName(plan, 0, 0, 1);
  SetName(plan, 2, 0, 2);
  const TakenPicture picture = PictureOfImage(BuildScreenFile(plan));
  ASSERT_EQ(picture.result, 0);
  ASSERT_EQ(picture.Width(), 24);
  ASSERT_EQ(picture.SizeImage(), 12u * 8);
  // The bottom row is stored first.
  const std::vector<uint8_t> bottom(picture.pixels.begin(), picture.pixels.begin() + 12);
  EXPECT_EQ(bottom,
            (std::vector<uint8_t>{0x11, 0x11, 0x11, 0x11, 0, 0, 0, 0, 0xAA, 0xAA, 0xAA, 0xAA}));
  const std::vector<uint8_t> top(picture.pixels.end() - 12, picture.pixels.end());
  EXPECT_EQ(top,
            (std::vector<uint8_t>{0x11, 0x11, 0x11, 0x11, 0, 0, 0, 0, 0xFA, 0xAA, 0xAA, 0xAA}));
}

// Names one for each 24-bit colour the next test uses.
std::string ColourLetter(const uint8_t* bgr) {
  struct Named {
    uint8_t b, g, r;
    const char* name;
  };
  static const Named kNames[] = {{248, 248, 248, "W"}, {0, 0, 248, "R"}, {0, 248, 0, "G"},
                                 {248, 0, 0, "B"},     {4, 4, 4, "g"},   {0, 0, 0, "."}};
  for (const Named& n : kNames) {
    if (bgr[0] == n.b && bgr[1] == n.g && bgr[2] == n.r) return n.name;
  }
  return "?";
}

// 256 colours, two regions: 24-bit output through the colour lookup table.
// The table holds 266 colours, so palette 1 has colours for dots 0-9 only;
// dots A-F of palette 1 select entries no colour was converted into.
TEST(GetPictureExport, LookupEntriesPastTheColoursAreBlack) {
  ScreenPlan plan;
  plan.colours_256 = true;
  Append(plan.dot_data, Cell256({"019AF230", "00000000", "00000000", "00000000", "00000000",
                                 "00000000", "00000000", "00000000"}));
  plan.regions = {{0, 0, 1, 1, 0}, {1, 0, 1, 1, 1}};
  SetName(plan, 0, 0, 0);
  SetName(plan, 1, 0, 0x0800);  // vertical flip
  plan.colours.assign(266, 0x7FFF);
  plan.colours[1] = 0x001F;
  plan.colours[256] = 0x8000;
  plan.colours[257] = 0x03E0;
  plan.colours[265] = 0x7C00;
  const TakenPicture picture = PictureOfImage(BuildScreenFile(plan));
  ASSERT_EQ(picture.result, 0);
  ASSERT_EQ(picture.Depth(), 24u);
  EXPECT_EQ(picture.SizeImage(), 16u * 3 * 8);
  EXPECT_EQ(picture.Rows(false, ColourLetter), Join({{"WRWWWWWW"
                                                      "gggggggg"},
                                                     Repeated(6,
                                                              "WWWWWWWW"
                                                              "gggggggg"),
                                                     {"WWWWWWWW"
                                                      "gGB..WWg"}}));
  // The bitmap colour table stays empty at 24 bits.
  EXPECT_EQ(picture.Slot(0), (std::vector<uint8_t>{0, 0, 0, 0}));
}

// 2 x 2 pages of one row of 16 two-word names: the walk puts each page where
// it belongs, and positions holding name 0 show character 0.
TEST(GetPictureExport, WalkPlacesEveryPage) {
  ScreenPlan plan;
  plan.two_word_names = true;
  plan.bytes_per_page = 64;
  plan.pages_across = 2;
  plan.pages_down = 2;
  Append(plan.dot_data, Cell16(FilledCell('3')));
  Append(plan.dot_data, Cell16(MarkedCell('5')));
  // Page (1, 1), row 0, name 1: character column 17, row 1.
  plan.names.assign(64, 0);
  plan.names[3 * 16 + 1] = 1 << 2;
  const TakenPicture picture = PictureOfImage(BuildScreenFile(plan));
  ASSERT_EQ(picture.result, 0);
  ASSERT_EQ(picture.Width(), 18 * 8);
  ASSERT_EQ(picture.Height(), 16);
  Rows expected(16, std::string(18 * 8, '3'));
  for (size_t row = 8; row < 16; ++row) expected[row].replace(17 * 8, 8, "55555555");
  expected[8][17 * 8] = 'F';
  EXPECT_EQ(picture.Rows(), expected);
}

// --- Progress calls -----------------------------------------------------------

struct ProgressLog {
  std::vector<std::vector<int32_t>> calls;
  int32_t stop_at = -1;  // the numerator whose call answers non-zero
};

int32_t KRT_STDCALL RecordProgress(int32_t numerator, int32_t denominator, intptr_t user) {
  auto* log = reinterpret_cast<ProgressLog*>(user);
  log->calls.push_back({numerator, denominator});
  return numerator == log->stop_at ? 1 : 0;
}

TEST(GetPictureExport, ReportsProgressThreeTimes) {
  const auto screen = BuildScreenFile(FlippedSixteenDotScreen());
  ProgressLog log;
  log.stop_at = 2;  // the last answer is ignored
  const TakenPicture picture =
      krt::test::TakePicture(krt::test::ImageSource(screen), krt::test::ImageLength(screen), 1,
                             RecordProgress, reinterpret_cast<intptr_t>(&log));
  EXPECT_EQ(picture.result, 0);
  EXPECT_EQ(picture.Rows(), kFlippedSixteenDotRows);
  EXPECT_EQ(log.calls, (std::vector<std::vector<int32_t>>{{0, 2}, {1, 2}, {2, 2}}));
}

TEST(GetPictureExport, StopOnEntryOpensNothing) {
  ProgressLog log;
  log.stop_at = 0;
  // The path does not exist: had it been opened, the result would be 6.
  const TakenPicture picture = krt::test::TakePicture("no-such-screen.2D", 0, 0, RecordProgress,
                                                      reinterpret_cast<intptr_t>(&log));
  EXPECT_EQ(picture.result, 1);
  EXPECT_TRUE(picture.slots_untouched);
  EXPECT_EQ(log.calls, (std::vector<std::vector<int32_t>>{{0, 2}}));
}

TEST(GetPictureExport, StopAfterLoadingHandsOverNothing) {
  const auto screen = BuildScreenFile(FlippedSixteenDotScreen());
  const std::string path = krt::test::WriteTempFile(screen, "stopped.2D");
  ProgressLog log;
  log.stop_at = 1;
  const TakenPicture picture =
      krt::test::TakePicture(path.c_str(), 0, 0, RecordProgress, reinterpret_cast<intptr_t>(&log));
  EXPECT_EQ(picture.result, 1);
  EXPECT_TRUE(picture.slots_untouched);
  EXPECT_EQ(log.calls, (std::vector<std::vector<int32_t>>{{0, 2}, {1, 2}}));
  krt::test::RemoveFile(path);
}

TEST(GetPictureExport, NoReportAfterAFailure) {
  auto screen = BuildScreenFile(FlippedSixteenDotScreen());
  screen[0] = 'X';
  ProgressLog log;
  const TakenPicture picture =
      krt::test::TakePicture(krt::test::ImageSource(screen), krt::test::ImageLength(screen), 1,
                             RecordProgress, reinterpret_cast<intptr_t>(&log));
  EXPECT_EQ(picture.result, 3);
  EXPECT_EQ(log.calls, (std::vector<std::vector<int32_t>>{{0, 2}}));
}

// --- Sizes that cannot be allocated -------------------------------------------

// The picture is what GetPictureInfo describes, at 24 bits; only GetPicture's
// block fails, and the host's slots are left alone.
void ExpectDescribedButRefused(const std::vector<uint8_t>& screen, int32_t width, int32_t height) {
  const auto info = krt::test::InfoOfImage(screen);
  ASSERT_EQ(info.result, 0);
  EXPECT_EQ(info.info.width, width);
  EXPECT_EQ(info.info.height, height);
  EXPECT_EQ(info.info.colour_depth, 24);
  const TakenPicture picture = PictureOfImage(screen);
  EXPECT_EQ(picture.result, 4);
  EXPECT_TRUE(picture.slots_untouched);
}

// 256 colours, 16-dot characters, two palettes: 24-bit pixels. 2400 x 2400
// characters are 38400 x 38400 pixels, 4423680000 bytes: past 32 bits, where
// 32-bit arithmetic would wrap to a block of 128 MB, far too small.
TEST(GetPictureExport, PixelBlockPast32BitsIsRefused) {
  ScreenPlan plan;
  plan.colours_256 = true;
  plan.cells_2x2 = true;
  plan.bytes_per_page = 128 * 2400;  // 2400 rows of 64 names
  plan.pages_across = 38;
  plan.colours.assign(512, 0x1234);
  SetName(plan, 2399, 0, 0x1002);
  SetName(plan, 0, 2399, 0x2002);
  ExpectDescribedButRefused(BuildScreenFile(plan), 38400, 38400);
}

TEST(GetPictureExport, PictureAboveTheLargestBlockIsRefused) {
  // 740 KB of pattern names declaring a 9216 x 10240 picture at 24 bits:
  // 283 MB, more than any real screen and more than a 32-bit viewer can spare.
  ScreenPlan plan;
  plan.colours_256 = true;
  plan.cells_2x2 = true;
  plan.bytes_per_page = 8192;
  plan.pages_across = 9;
  plan.pages_down = 10;
  plan.colours.assign(512, 0x1234);
  SetName(plan, 575, 0, 0x1002);
  SetName(plan, 0, 639, 0x2002);
  ExpectDescribedButRefused(BuildScreenFile(plan), 9216, 10240);
}

}  // namespace
