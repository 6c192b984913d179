// GetPictureInfo through the loaded plug-in, and its agreement with
// GetPicture: the same result for damaged screens, and for every screen
// GetPicture renders, the size and depth of the bitmap it hands over.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "bitmap_text.h"
#include "loaded_plugins.h"
#include "picture_calls.h"
#include "screen_builder.h"
#include "screen_generator.h"

namespace {

using namespace krt::test;

ScreenPlan OneName(uint32_t column, uint32_t row) {
  ScreenPlan plan;
  SetName(plan, column, row, 0x0001);
  return plan;
}

TEST(GetPictureInfoExport, DescribesTheUsedExtent) {
  const TakenInfo taken = InfoOfImage(BuildScreenFile(OneName(0, 0)));
  ASSERT_EQ(taken.result, 0);
  EXPECT_EQ(taken.info.left, 0);
  EXPECT_EQ(taken.info.top, 0);
  EXPECT_EQ(taken.info.width, 8);
  EXPECT_EQ(taken.info.height, 8);
  EXPECT_EQ(taken.info.x_density, 0);
  EXPECT_EQ(taken.info.y_density, 0);
  EXPECT_EQ(taken.info.colour_depth, 4);
  // Copied out: the packed record's handle is not aligned.
  const krt::MemoryHandle text = taken.info.text;
  EXPECT_EQ(text, nullptr);

  ScreenPlan large = OneName(5, 2);
  large.cells_2x2 = true;
  const TakenInfo sixteen = InfoOfImage(BuildScreenFile(large));
  ASSERT_EQ(sixteen.result, 0);
  EXPECT_EQ(sixteen.info.width, 6 * 16);
  EXPECT_EQ(sixteen.info.height, 3 * 16);
}

TEST(GetPictureInfoExport, ReadsAFileAtAnOffset) {
  const auto screen = BuildScreenFile(OneName(3, 4));
  // Sized first and copied into: an insert trips a false bounds warning.
  std::vector<uint8_t> file(77 + screen.size(), 0xEE);
  std::copy(screen.begin(), screen.end(), file.begin() + 77);
  const std::string path = krt::test::WriteTempFile(file, "info.bin");
  const TakenInfo taken = InfoOfFile(path, 77);
  ASSERT_EQ(taken.result, 0);
  EXPECT_EQ(taken.info.width, 32);
  EXPECT_EQ(taken.info.height, 40);
  // Only the header and the sections up to the pattern name table are read:
  // a file cut short inside the colour table still describes its picture,
  // though GetPicture finds the short read.
  file.resize(file.size() - 10);
  const std::string cut = krt::test::WriteTempFile(file, "cut.bin");
  const TakenInfo from_cut = InfoOfFile(cut, 77);
  EXPECT_EQ(from_cut.result, 0);
  EXPECT_EQ(from_cut.info.width, 32);
  EXPECT_EQ(krt::test::PictureOfFile(cut, 77).result, 6);
  krt::test::RemoveFile(path);
  krt::test::RemoveFile(cut);
}

TEST(GetPictureInfoExport, InputModeIsTheLowThreeBitsOfTheFlag) {
  const auto screen = BuildScreenFile(OneName(0, 0));
  for (uint32_t flag = 1; flag <= 7; ++flag) {
    EXPECT_EQ(krt::test::TakeInfo(krt::test::ImageSource(screen), krt::test::ImageLength(screen),
                                  flag | 0xF0)
                  .result,
              0)
        << flag;
  }
  const std::string path = krt::test::WriteTempFile(screen, "flag.2D");
  EXPECT_EQ(krt::test::TakeInfo(path.c_str(), 0, 8).result, 0);
  krt::test::RemoveFile(path);
}

// --- Results of damaged screens, from both exports -------------------------

struct DamageCase {
  const char* what;
  std::function<std::vector<uint8_t>()> screen;
  int32_t info_result;
  int32_t picture_result;
};

std::vector<uint8_t> Built(const std::function<void(ScreenPlan&)>& edit) {
  ScreenPlan plan = OneName(1, 1);
  edit(plan);
  return BuildScreenFile(plan);
}

std::vector<uint8_t> Edited(const std::function<void(std::vector<uint8_t>&)>& edit) {
  auto bytes = BuildScreenFile(OneName(1, 1));
  edit(bytes);
  return bytes;
}

class DamagedScreen : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedScreen, GivesTheSameAnswerFromBothExports) {
  const DamageCase& c = GetParam();
  const auto screen = c.screen();
  const auto start = std::chrono::steady_clock::now();
  const TakenInfo info = InfoOfImage(screen);
  EXPECT_EQ(info.result, c.info_result);
  EXPECT_TRUE(info.untouched);
  const auto picture = PictureOfImage(screen);
  EXPECT_EQ(picture.result, c.picture_result);
  EXPECT_TRUE(picture.slots_untouched);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  // The same bytes as a file.
  const std::string path = krt::test::WriteTempFile(screen, "damaged.2D");
  EXPECT_EQ(InfoOfFile(path, 0).result, c.info_result);
  EXPECT_EQ(krt::test::PictureOfFile(path, 0).result, c.picture_result);
  krt::test::RemoveFile(path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedScreen,
    testing::Values(
        DamageCase{"WrongMagic", [] { return Edited([](auto& b) { b[3] = 'a'; }); }, 3, 3},
        DamageCase{"SectionsPastTheEnd", [] { return Edited([](auto& b) { b.pop_back(); }); }, 3,
                   3},
        DamageCase{"SectionEndPast32Bits",
                   [] {
                     return Edited([](auto& b) {
                       krt::test::SetSection(b, 3, krt::test::SectionOffset(b, 3), 0xFFFFFFF0u);
                     });
                   },
                   3, 3},
        DamageCase{"NoPagesAcross", [] { return Built([](auto& p) { p.pages_across = 0; }); }, 3,
                   3},
        DamageCase{"NoPagesDown", [] { return Built([](auto& p) { p.pages_down = 0; }); }, 3, 3},
        DamageCase{"NameTableShorterThanPrefix",
                   [] { return Built([](auto& p) { p.declared_sizes[1] = 12; }); }, 3, 3},
        DamageCase{"DescriptorWithoutPageCounts",
                   [] { return Built([](auto& p) { p.declared_sizes[0] = 2; }); }, 3, 3},
        DamageCase{"HalfRowsOf1WordNames",
                   [] { return Built([](auto& p) { p.bytes_per_page = 2112; }); }, 3, 2},
        DamageCase{"HalfRowsOf2WordNames",
                   [] {
                     return Built([](auto& p) {
                       p.two_word_names = true;
                       p.bytes_per_page = 4160;
                     });
                   },
                   3, 3},
        DamageCase{"AllNamesZero", [] { return Built([](auto& p) { p.names.clear(); }); }, 3, 3},
        DamageCase{"LessThanAByteAPage",
                   [] {
                     return Built([](auto& p) {
                       p.pages_across = 2;
                       p.declared_sizes[1] = 16 + 1;
                     });
                   },
                   3, 3},
        DamageCase{"PageShorterThanARow",
                   [] { return Built([](auto& p) { p.declared_sizes[1] = 16 + 1; }); }, 3, 2},
        DamageCase{"HugePageCountsOverATinyTable",
                   [] {
                     return Built([](auto& p) {
                       p.pages_across = 0xFFFF;
                       p.pages_down = 0xFFFF;
                       p.bytes_per_page = 0;
                       p.name_table_tail.assign(64 * 1024, 1);
                     });
                   },
                   3, 3}),
    [](const testing::TestParamInfo<DamageCase>& param) { return std::string(param.param.what); });

TEST(GetPictureInfoExport, ShortOrMissingSources) {
  const auto screen = BuildScreenFile(OneName(0, 0));
  // 95 bytes: refused before the header is looked at.
  EXPECT_EQ(krt::test::TakeInfo(krt::test::ImageSource(screen), 95, 1).result, 3);
  EXPECT_EQ(krt::test::TakePicture(krt::test::ImageSource(screen), 95, 1).result, 3);
  EXPECT_EQ(krt::test::TakeInfo(krt::test::ImageSource(screen), -1, 1).result, 3);
  // 96 bytes and more: the header decides, and these sections do not fit.
  EXPECT_EQ(krt::test::TakeInfo(krt::test::ImageSource(screen), 96, 1).result, 3);

  EXPECT_EQ(InfoOfFile("no-such-screen.2D", 0).result, 6);
  EXPECT_EQ(krt::test::PictureOfFile("no-such-screen.2D", 0).result, 6);
  const std::string path = krt::test::WriteTempFile(screen, "short.2D");
  const auto size = static_cast<int32_t>(screen.size());
  // No whole header after the offset, or an offset no seek reaches.
  for (int32_t offset : {size - 255, size + 10, -5}) {
    const TakenInfo info = InfoOfFile(path, offset);
    EXPECT_EQ(info.result, 6) << offset;
    EXPECT_TRUE(info.untouched);
    const auto picture = krt::test::PictureOfFile(path, offset);
    EXPECT_EQ(picture.result, 6) << offset;
    EXPECT_TRUE(picture.slots_untouched);
  }
  krt::test::RemoveFile(path);
}

TEST(GetPictureInfoExport, NullRecordOrSlotsAreRefused) {
  const auto screen = BuildScreenFile(OneName(0, 0));
  const char* source = krt::test::ImageSource(screen);
  const int32_t length = krt::test::ImageLength(screen);
  EXPECT_EQ(krt::test::Ifkrt().GetPictureInfo(source, length, 1, nullptr), 8);
  krt::MemoryHandle slot = nullptr;
  EXPECT_EQ(krt::test::Ifkrt().GetPicture(source, length, 1, nullptr, &slot, nullptr, 0), 8);
  EXPECT_EQ(krt::test::Ifkrt().GetPicture(source, length, 1, &slot, nullptr, nullptr, 0), 8);
  EXPECT_EQ(slot, nullptr);
}

// --- Agreement with GetPicture ----------------------------------------------

uint32_t DepthOf(krt::test::TargetMode mode) {
  switch (mode) {
    case krt::test::TargetMode::kNibbles:
      return 4;
    case krt::test::TargetMode::kLookup:
      return 24;
    default:
      return 8;
  }
}

class GeneratedScreens : public testing::TestWithParam<krt::test::TargetMode> {};

TEST_P(GeneratedScreens, InfoDescribesTheBitmapGetPictureDelivers) {
  const krt::test::TargetMode mode = GetParam();
  for (uint32_t seed = 0; seed < 24; ++seed) {
    const auto screen = krt::test::GenerateScreen(mode, seed);
    const TakenInfo info = InfoOfImage(screen);
    const auto picture = PictureOfImage(screen);
    ASSERT_EQ(info.result, 0) << seed;
    ASSERT_EQ(picture.result, 0) << seed;
    EXPECT_EQ(info.info.width, picture.Width()) << seed;
    EXPECT_EQ(info.info.height, picture.Height()) << seed;
    EXPECT_EQ(static_cast<uint32_t>(info.info.colour_depth), picture.Depth()) << seed;
    EXPECT_EQ(picture.Depth(), DepthOf(mode)) << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, GeneratedScreens,
                         testing::Values(krt::test::TargetMode::kNibbles,
                                         krt::test::TargetMode::kBankedNibbles,
                                         krt::test::TargetMode::kBytes,
                                         krt::test::TargetMode::kLookup));

// A colour table shorter than its prefix holds no colours: the depth stays
// that of one palette in both exports, and the colour table stays empty.
TEST(GetPictureInfoExport, ColourTableShorterThanItsPrefix) {
  for (bool colours_256 : {false, true}) {
    ScreenPlan plan;
    plan.colours_256 = colours_256;
    SetName(plan, 0, 0, 0x0002);
    SetName(plan, 1, 0, 0x1002);
    plan.declared_sizes[3] = 10;
    const auto screen = BuildScreenFile(plan);
    const TakenInfo info = InfoOfImage(screen);
    const auto picture = PictureOfImage(screen);
    ASSERT_EQ(info.result, 0);
    ASSERT_EQ(picture.result, 0);
    EXPECT_EQ(info.info.colour_depth, colours_256 ? 8 : 4);
    EXPECT_EQ(picture.Depth(), colours_256 ? 8u : 4u);
    EXPECT_EQ(picture.Slot(0), (std::vector<uint8_t>{0, 0, 0, 0}));
  }
}

// A page of 65537 rows: a 16-bit row count would wrap to 1.
TEST(GetPictureInfoExport, RowsPerPageBeyondSixteenBits) {
  ScreenPlan plan;
  plan.bytes_per_page = 128 * 65537;
  krt::test::Append(plan.dot_data, krt::test::Cell16(krt::test::FilledCell('0')));
  krt::test::Append(plan.dot_data, krt::test::Cell16(krt::test::FilledCell('7')));
  SetName(plan, 0, 65536, 0x0001);
  const auto screen = BuildScreenFile(plan);
  const TakenInfo info = InfoOfImage(screen);
  ASSERT_EQ(info.result, 0);
  EXPECT_EQ(info.info.width, 8);
  EXPECT_EQ(info.info.height, 65537 * 8);
  const auto picture = PictureOfImage(screen);
  ASSERT_EQ(picture.result, 0);
  ASSERT_EQ(picture.Height(), 65537 * 8);
  ASSERT_EQ(picture.pixels.size(), 4u * 65537 * 8);
  // The character stands at the bottom, which the block stores first.
  EXPECT_EQ(std::vector<uint8_t>(picture.pixels.begin(), picture.pixels.begin() + 32),
            std::vector<uint8_t>(32, 0x77));
  EXPECT_EQ(std::vector<uint8_t>(picture.pixels.begin() + 32, picture.pixels.end()),
            std::vector<uint8_t>(picture.pixels.size() - 32, 0));
}

}  // namespace
