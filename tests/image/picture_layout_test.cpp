#include "picture_layout.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "built_screen.h"

namespace {

using krt::image::LayoutStatus;
using krt::image::RenderingMode;
using krt::test::BuiltScreen;
using krt::test::ScreenPlan;

// A screen whose names use `palettes` banks (0, 1, ...), without regions.
ScreenPlan WithPalettes(bool colours_256, uint32_t palettes, uint32_t colour_entries) {
  ScreenPlan plan;
  plan.colours_256 = colours_256;
  for (uint32_t p = 0; p < palettes; ++p) krt::test::SetName(plan, p, 0, (p << 12) | 2);
  if (palettes == 0) krt::test::SetName(plan, 0, 0, 2);
  plan.colours.assign(colour_entries, 0x1234);
  return plan;
}

struct DepthCase {
  const char* what;
  bool colours_256;
  uint32_t palettes;
  uint32_t colour_entries;
  std::optional<uint32_t> declared_colour_size;
  RenderingMode mode;
  uint32_t depth;
};

class OutputDepth : public testing::TestWithParam<DepthCase> {};

TEST_P(OutputDepth, FollowsColourModeTableSizeAndPaletteCount) {
  const DepthCase& c = GetParam();
  ScreenPlan plan = WithPalettes(c.colours_256, c.palettes, c.colour_entries);
  plan.declared_sizes[3] = c.declared_colour_size;
  BuiltScreen screen(plan);
  ASSERT_EQ(screen.status, LayoutStatus::kReady);
  EXPECT_EQ(screen.layout.mode, c.mode);
  EXPECT_EQ(screen.layout.output_depth, c.depth);
}

constexpr auto kNib = RenderingMode::kNibbles;
constexpr auto kBank = RenderingMode::kBankedNibbles;
constexpr auto kByte = RenderingMode::kBytes;
constexpr auto kLook = RenderingMode::kLookup;

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputDepth,
    testing::Values(DepthCase{"Sixteen2PalettesFullBank", false, 2, 16, {}, kBank, 8},
                    DepthCase{"Sixteen2PalettesShortBank", false, 2, 15, {}, kNib, 4},
                    DepthCase{"Sixteen1Palette", false, 1, 256, {}, kNib, 4},
                    DepthCase{"Sixteen0Palettes", false, 0, 256, {}, kNib, 4},
                    DepthCase{"Full2PalettesFullBank", true, 2, 256, {}, kLook, 24},
                    DepthCase{"Full2PalettesShortBank", true, 2, 255, {}, kByte, 8},
                    DepthCase{"Full1Palette", true, 1, 1024, {}, kByte, 8},
                    // A colour table shorter than its prefix holds no colours
                    // rather than wrapping to four thousand million.
                    DepthCase{"SixteenTableShorterThanPrefix", false, 2, 0, 8, kNib, 4},
                    DepthCase{"FullTableShorterThanPrefix", true, 2, 0, 15, kByte, 8}),
    [](const testing::TestParamInfo<DepthCase>& param) { return std::string(param.param.what); });

TEST(PictureLayout, SizeIsTheUsedExtentTimesTheCharacterSize) {
  ScreenPlan plan;
  plan.pages_across = 2;
  krt::test::SetName(plan, 40, 6, 1);
  {
    BuiltScreen screen(plan);
    ASSERT_EQ(screen.status, LayoutStatus::kReady);
    EXPECT_EQ(screen.layout.width_px, 41 * 8);
    EXPECT_EQ(screen.layout.height_px, 7 * 8);
  }
  plan.cells_2x2 = true;
  plan.colours_256 = true;
  BuiltScreen large(plan);
  ASSERT_EQ(large.status, LayoutStatus::kReady);
  EXPECT_EQ(large.layout.width_px, 41 * 16);
  EXPECT_EQ(large.layout.height_px, 7 * 16);
  EXPECT_EQ(large.layout.colour_mode, 256u);
}

TEST(PictureLayout, RegionsReplaceTheBanksInTheCount) {
  ScreenPlan plan = WithPalettes(false, 3, 64);
  plan.regions = {{0, 0, 1, 1, 4}, {1, 0, 1, 1, 5}};
  BuiltScreen screen(plan);
  ASSERT_EQ(screen.status, LayoutStatus::kReady);
  EXPECT_EQ(screen.layout.palette_count, 2u);
  EXPECT_EQ(screen.layout.palette_regions, screen.bytes.data() + 88);
  // Records that exist but none qualifies: no palette, whatever the names use.
  plan.regions = {{200, 0, 1, 1, 4}};
  BuiltScreen none(plan);
  EXPECT_EQ(none.layout.palette_count, 0u);
  EXPECT_EQ(none.layout.mode, RenderingMode::kNibbles);
  BuiltScreen without(WithPalettes(false, 3, 64));
  EXPECT_EQ(without.layout.palette_regions, nullptr);
  EXPECT_EQ(without.layout.palette_count, 3u);
}

struct StatusCase {
  const char* what;
  ScreenPlan plan;
  LayoutStatus status;
};

ScreenPlan Plan(void (*edit)(ScreenPlan&)) {
  ScreenPlan plan;
  plan.names = {0x0001};
  edit(plan);
  return plan;
}

class LayoutRefusal : public testing::TestWithParam<StatusCase> {};

TEST_P(LayoutRefusal, NamesWhyThereIsNoPicture) {
  BuiltScreen screen(GetParam().plan);
  EXPECT_EQ(screen.status, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutRefusal,
    testing::Values(StatusCase{"NoPagesAcross", Plan([](ScreenPlan& p) { p.pages_across = 0; }),
                               LayoutStatus::kUndefinedGeometry},
                    StatusCase{"NoPagesDown", Plan([](ScreenPlan& p) { p.pages_down = 0; }),
                               LayoutStatus::kUndefinedGeometry},
                    StatusCase{"DescriptorWithoutBothCounts",
                               Plan([](ScreenPlan& p) { p.declared_sizes[0] = 3; }),
                               LayoutStatus::kUndefinedGeometry},
                    StatusCase{"NameTableShorterThanPrefix",
                               Plan([](ScreenPlan& p) { p.declared_sizes[1] = 15; }),
                               LayoutStatus::kUndefinedGeometry},
                    StatusCase{"PageShorterThanARow",
                               Plan([](ScreenPlan& p) { p.declared_sizes[1] = 16 + 63; }),
                               LayoutStatus::kFailsRowTest},
                    StatusCase{"NoBytesAPage",
                               Plan([](ScreenPlan& p) { p.declared_sizes[1] = 16; }),
                               LayoutStatus::kUndefinedGeometry},
                    StatusCase{"HalfRows1Word",
                               Plan([](ScreenPlan& p) { p.bytes_per_page = 2112; }),
                               LayoutStatus::kFailsRowTest},
                    StatusCase{"HalfRows2WordPassRowTest", Plan([](ScreenPlan& p) {
                                 p.two_word_names = true;
                                 p.bytes_per_page = 4160;
                               }),
                               LayoutStatus::kNothingToShow},
                    StatusCase{"QuarterRows2Word", Plan([](ScreenPlan& p) {
                                 p.two_word_names = true;
                                 p.bytes_per_page = 4128;
                               }),
                               LayoutStatus::kFailsRowTest},
                    StatusCase{"AllNamesZero", Plan([](ScreenPlan& p) { p.names.clear(); }),
                               LayoutStatus::kNothingToShow}),
    [](const testing::TestParamInfo<StatusCase>& param) { return std::string(param.param.what); });

}  // namespace
