#include "bitmap_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "built_screen.h"

namespace {

using krt::image::BitmapSizes;
using krt::image::MeasureBitmap;
using krt::image::PictureLayout;
using krt::image::RenderingMode;
using krt::image::SetUpBitmap;
using namespace krt::test;

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
         (static_cast<uint32_t>(bytes[at + 3]) << 24);
}
uint32_t Le16(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | (bytes[at + 1] << 8);
}

// Colour entry k of these tables has red k % 32 and green k / 32, so a slot
// or lookup triple tells which entry it was converted from; the flag bit
// keeps entry 0 from converting to an all-zero slot.
std::vector<uint16_t> NumberedColours(uint32_t count) {
  std::vector<uint16_t> colours;
  for (uint32_t k = 0; k < count; ++k) {
    colours.push_back(static_cast<uint16_t>(0x8000 | ((k / 32) % 32) << 5 | (k % 32)));
  }
  return colours;
}

// -1 for an all-zero slot, else the entry number it shows (modulo 1024).
int EntryIn(const uint8_t* bgr) {
  if (bgr[0] == 0 && bgr[1] == 0 && bgr[2] == 0) return -1;
  return (bgr[1] >> 3) * 32 + (bgr[2] >> 3);
}

struct Prepared {
  std::vector<uint8_t> info = std::vector<uint8_t>(krt::image::kBitmapInfoSize, 0);
  std::vector<uint8_t> lookup;
  BitmapSizes sizes;
  uint32_t colour_count = 0;
};

Prepared Prepare(const BuiltScreen& screen) {
  Prepared run;
  run.sizes = MeasureBitmap(screen.layout, screen.sections.size[3]);
  run.lookup.assign(run.sizes.lookup_bytes, 0);
  run.colour_count = SetUpBitmap(screen.sections, screen.layout, run.sizes, run.info.data(),
                                 run.lookup.empty() ? nullptr : run.lookup.data());
  return run;
}

// The entries shown by slots 0-255, -1 where a slot is zero.
std::vector<int> Slots(const Prepared& run) {
  std::vector<int> entries;
  for (size_t k = 0; k < 256; ++k) entries.push_back(EntryIn(&run.info[40 + 4 * k]));
  return entries;
}

std::vector<int> Expected(int first_entry, int count, int zero_after = 256) {
  std::vector<int> entries(256, -1);
  for (int k = 0; k < count && k < zero_after; ++k)
    entries[static_cast<size_t>(k)] = first_entry + k;
  return entries;
}

TEST(MeasureBitmap, RowsNeedNoFillerAndSizesDoNotWrap) {
  PictureLayout layout;
  layout.width_px = 40;  // 5 characters of 8 dots
  layout.height_px = 16;
  layout.output_depth = 4;
  EXPECT_EQ(MeasureBitmap(layout, 0).row_stride, 20u);
  EXPECT_EQ(MeasureBitmap(layout, 0).pixel_bytes, 320u);
  layout.output_depth = 24;
  layout.mode = RenderingMode::kLookup;
  EXPECT_EQ(MeasureBitmap(layout, 16 + 512).row_stride, 120u);
  EXPECT_EQ(MeasureBitmap(layout, 16 + 512).lookup_bytes, 3u * 528 - 48);
  // Sizes past 32 bits come out exact, for the caller to refuse.
  EXPECT_EQ(MeasureBitmap(layout, 0xFFFFFFFFu).lookup_bytes, 3ull * 0xFFFFFFFFu - 48);
  layout.width_px = 1 << 20;
  layout.height_px = 1 << 12;
  EXPECT_EQ(MeasureBitmap(layout, 528).pixel_bytes, 3ull << 32);
}

TEST(SetUpBitmap, WritesTheBitmapInfoHeader) {
  ScreenPlan plan;
  krt::test::SetName(plan, 4, 2, 1);
  BuiltScreen screen(plan);
  ASSERT_EQ(screen.status, krt::image::LayoutStatus::kReady);
  const Prepared run = Prepare(screen);
  EXPECT_EQ(Le32(run.info, 0), 40u);
  EXPECT_EQ(Le32(run.info, 4), 40u);  // width
  EXPECT_EQ(Le32(run.info, 8), 24u);  // height, positive: bottom-up
  EXPECT_EQ(Le16(run.info, 12), 1u);
  EXPECT_EQ(Le16(run.info, 14), 4u);
  EXPECT_EQ(Le32(run.info, 20), 20u * 24);
  for (size_t at : {16u, 24u, 28u, 32u, 36u}) EXPECT_EQ(Le32(run.info, at), 0u) << at;
}

struct ColourTableCase {
  const char* what;
  bool colours_256;
  std::vector<uint32_t> name_palettes;  // banks the names use
  uint32_t colour_entries;
  std::vector<int> slots;
  uint32_t colour_count;
};

class BitmapColourTable : public testing::TestWithParam<ColourTableCase> {};

TEST_P(BitmapColourTable, HoldsTheEntriesOfTheBankInUse) {
  const ColourTableCase& c = GetParam();
  ScreenPlan plan;
  plan.colours_256 = c.colours_256;
  uint32_t column = 0;
  for (uint32_t palette : c.name_palettes) krt::test::SetName(plan, column++, 0, palette << 12 | 2);
  plan.colours = NumberedColours(c.colour_entries);
  BuiltScreen screen(plan);
  ASSERT_EQ(screen.status, krt::image::LayoutStatus::kReady);
  const Prepared run = Prepare(screen);
  EXPECT_EQ(Slots(run), c.slots);
  EXPECT_EQ(run.colour_count, c.colour_count);
  for (size_t k = 0; k < 256; ++k) EXPECT_EQ(run.info[40 + 4 * k + 3], 0) << k;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BitmapColourTable,
    testing::Values(
        ColourTableCase{"OnePaletteStartsAtItsBank", false, {3}, 64, Expected(48, 16), 16},
        ColourTableCase{"BankPastTheTableStartsAtZero", false, {3}, 40, Expected(0, 16), 16},
        // The bank starts exactly at the table's end: it stays there and has
        // no colours to show.
        ColourTableCase{"BankAtTheTableEndStaysEmpty", false, {3}, 48, Expected(0, 0), 16},
        ColourTableCase{"BankPartlyPastTheEnd", false, {2}, 40, Expected(32, 16, 8), 16},
        ColourTableCase{"LowestBankPastTheTable", false, {7, 5}, 15, Expected(0, 15), 15},
        ColourTableCase{"BankedNibblesTakeTheFirst256", false, {1, 2}, 300, Expected(0, 256), 256},
        ColourTableCase{"BankedNibblesFewerColours", false, {1, 2}, 20, Expected(0, 20), 20},
        ColourTableCase{"FullColoursOnePalette", true, {1}, 600, Expected(256, 256), 256},
        ColourTableCase{"FullColoursPartialBank", true, {1}, 300, Expected(256, 256, 44), 256},
        ColourTableCase{"FullColoursShortTable", true, {0, 1}, 100, Expected(0, 100), 100}),
    [](const testing::TestParamInfo<ColourTableCase>& param) {
      return std::string(param.param.what);
    });

TEST(SetUpBitmap, OneRegionPaletteShowsTheLowestBankTheNamesUse) {
  ScreenPlan plan;
  krt::test::SetName(plan, 0, 0, 0x7002);
  krt::test::SetName(plan, 1, 0, 0x5002);
  plan.regions = {{0, 0, 2, 1, 9}};
  plan.colours = NumberedColours(96);
  BuiltScreen screen(plan);
  ASSERT_EQ(screen.layout.palette_count, 1u);
  ASSERT_EQ(screen.layout.mode, RenderingMode::kNibbles);
  EXPECT_EQ(Slots(Prepare(screen)), Expected(80, 16));
}

TEST(SetUpBitmap, LookupTableHoldsEveryColourOfALargeTable) {
  // 40000 entries: a 16-bit signed count would be negative and convert none.
  ScreenPlan plan;
  plan.colours_256 = true;
  krt::test::SetName(plan, 0, 0, 0x0002);
  krt::test::SetName(plan, 1, 0, 0x1002);
  plan.colours = NumberedColours(40000);
  plan.colours[39999] = 0x8000 | (31 << 10);
  BuiltScreen screen(plan);
  ASSERT_EQ(screen.layout.mode, RenderingMode::kLookup);
  const Prepared run = Prepare(screen);
  EXPECT_EQ(run.colour_count, 40000u);
  ASSERT_EQ(run.lookup.size(), 6u * 40000);
  EXPECT_EQ(EntryIn(&run.lookup[3 * 1000]), 1000 % 1024);
  EXPECT_EQ(run.lookup[3 * 39999], 252);  // blue 31 with the flag
  EXPECT_EQ(run.lookup[3 * 39999 + 1], 4);
  EXPECT_EQ(run.lookup[3 * 39999 + 2], 4);
  // Past the colours, the (zero-filled) table is left alone.
  EXPECT_EQ(run.lookup[3 * 40000], 0);
  // The bitmap colour table stays empty at 24 bits.
  EXPECT_EQ(Slots(run), Expected(0, 0));
}

TEST(SetUpBitmap, LargeTableWithoutPalettesFillsAllSlots) {
  ScreenPlan plan;
  krt::test::SetName(plan, 0, 0, 0x0002);
  plan.regions = {{100, 100, 1, 1, 3}};  // present, but none qualifies
  plan.colours = NumberedColours(40000);
  BuiltScreen screen(plan);
  ASSERT_EQ(screen.layout.palette_count, 0u);
  const Prepared run = Prepare(screen);
  EXPECT_EQ(run.colour_count, 256u);
  EXPECT_EQ(Slots(run), Expected(0, 256));
}

struct ConversionCase {
  uint16_t entry;
  uint8_t blue, green, red;
};

class ColourConversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(ColourConversion, GivesBlueGreenRed) {
  const ConversionCase& c = GetParam();
  const uint8_t entry[2] = {static_cast<uint8_t>(c.entry >> 8), static_cast<uint8_t>(c.entry)};
  uint8_t out[3] = {};
  krt::image::ConvertColourEntry(entry, out);
  EXPECT_EQ(out[0], c.blue);
  EXPECT_EQ(out[1], c.green);
  EXPECT_EQ(out[2], c.red);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColourConversion,
    testing::Values(ConversionCase{0x7FFF, 248, 248, 248}, ConversionCase{0x8000, 4, 4, 4},
                    ConversionCase{0x801F, 4, 4, 252}, ConversionCase{0x7C00, 248, 0, 0},
                    ConversionCase{0x001F, 0, 0, 248}, ConversionCase{0x03E0, 0, 248, 0},
                    ConversionCase{0x0421, 8, 8, 8}, ConversionCase{0x0000, 0, 0, 0}));

}  // namespace
