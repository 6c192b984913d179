#include "pattern_name_scan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "page_geometry.h"
#include "screen_builder.h"

namespace {

using krt::image::ScanPatternNameTable;
using krt::image::UsedExtent;
using krt::test::ScreenPlan;

struct Scanned {
  UsedExtent extent;
  std::vector<uint8_t> flags;
};

// Scans the pattern name table of a built screen file as the readers do.
Scanned Scan(const std::vector<uint8_t>& screen, bool with_flags = true) {
  const uint32_t offset = krt::test::SectionOffset(screen, 1);
  const uint32_t size = krt::test::SectionSize(screen, 1);
  const uint8_t* table = screen.data() + offset;
  const auto format_word = static_cast<uint16_t>((table[1] << 8) | table[4]);
  Scanned result{{}, std::vector<uint8_t>(16, 0xEE)};
  const uint32_t descriptor = krt::test::SectionOffset(screen, 0);
  result.extent = ScanPatternNameTable(table + 16, krt::test::Be16(screen, descriptor),
                                       krt::test::Be16(screen, descriptor + 2), format_word, size,
                                       with_flags ? result.flags.data() : nullptr);
  return result;
}

bool operator==(const UsedExtent& a, const UsedExtent& b) {
  return a.width == b.width && a.height == b.height;
}

ScreenPlan PagedPlan(bool two_word, uint32_t bytes_per_page, uint16_t across, uint16_t down) {
  ScreenPlan plan;
  plan.two_word_names = two_word;
  plan.bytes_per_page = bytes_per_page;
  plan.pages_across = across;
  plan.pages_down = down;
  return plan;
}

struct GeometryCase {
  bool two_word;
  uint32_t bytes_per_page;
  uint16_t pages_across;
  uint16_t pages_down;
  int32_t columns;  // of the whole screen
  int32_t rows;
};

class ScreenGeometry : public testing::TestWithParam<GeometryCase> {};

// A name in the bottom-right corner makes the used extent the whole screen,
// empty rows and columns at the top and left included.
TEST_P(ScreenGeometry, CornerNameSpansTheWholeScreen) {
  const GeometryCase& c = GetParam();
  ScreenPlan plan = PagedPlan(c.two_word, c.bytes_per_page, c.pages_across, c.pages_down);
  ASSERT_TRUE(krt::test::SetName(plan, static_cast<uint32_t>(c.columns - 1),
                                 static_cast<uint32_t>(c.rows - 1), 0x0001));
  EXPECT_TRUE(Scan(krt::test::BuildScreenFile(plan)).extent == (UsedExtent{c.columns, c.rows}));
}

INSTANTIATE_TEST_SUITE_P(WorkedValues, ScreenGeometry,
                         testing::Values(GeometryCase{false, 2048, 1, 1, 32, 32},
                                         GeometryCase{false, 8192, 1, 1, 64, 64},
                                         GeometryCase{true, 4096, 1, 1, 32, 32},
                                         GeometryCase{true, 2048, 1, 1, 16, 32},
                                         GeometryCase{true, 16384, 1, 1, 32, 128},
                                         GeometryCase{false, 2176, 1, 1, 64, 17},
                                         GeometryCase{false, 2048, 2, 1, 64, 32},
                                         GeometryCase{false, 2048, 2, 3, 64, 96},
                                         GeometryCase{true, 64, 3, 2, 48, 2}));

TEST(ScanPatternNameTable, ExtentReachesTheFarthestNameEachWay) {
  ScreenPlan plan;
  plan.pages_across = 2;
  // Row 0, position 0 of the right-hand page: column 32.
  krt::test::SetName(plan, 32, 0, 0x0123);
  EXPECT_TRUE(Scan(krt::test::BuildScreenFile(plan)).extent == (UsedExtent{33, 1}));
  // Column and row need not come from the same name.
  krt::test::SetName(plan, 3, 20, 0x0001);
  EXPECT_TRUE(Scan(krt::test::BuildScreenFile(plan)).extent == (UsedExtent{33, 21}));
}

TEST(ScanPatternNameTable, AllZeroNamesGiveAnEmptyExtent) {
  const Scanned scanned = Scan(krt::test::BuildScreenFile(ScreenPlan{}));
  EXPECT_TRUE(scanned.extent == (UsedExtent{0, 0}));
  EXPECT_EQ(scanned.flags, std::vector<uint8_t>(16, 0));
}

TEST(ScanPatternNameTable, FlagsNameTheHighNibbleOfEachNonZeroName) {
  ScreenPlan plan;
  plan.two_word_names = true;
  plan.bytes_per_page = 4096;
  krt::test::SetName(plan, 0, 0, 0x00000001);  // only its last byte: bank 0
  krt::test::SetName(plan, 5, 3, 0xA0000000);
  krt::test::SetName(plan, 31, 31, 0x3FFFFFFF);
  const Scanned scanned = Scan(krt::test::BuildScreenFile(plan));
  std::vector<uint8_t> expected(16, 0);
  expected[0] = expected[3] = expected[0xA] = 1;
  EXPECT_EQ(scanned.flags, expected);
  EXPECT_TRUE(scanned.extent == (UsedExtent{32, 32}));
  // Without a flags buffer the extent is the same.
  EXPECT_TRUE(Scan(krt::test::BuildScreenFile(plan), false).extent == (UsedExtent{32, 32}));
}

// Rows of one bank among zero names, and rows of several banks, with or
// without zero names: a zero name marks no bank, and no bank of a row is
// lost or made up.
TEST(ScanPatternNameTable, FlagsOfRowsWithOneBankOrSeveral) {
  ScreenPlan plan;
  krt::test::SetName(plan, 6, 0, 0x5001);
  krt::test::SetName(plan, 1, 1, 0x7001);
  krt::test::SetName(plan, 30, 1, 0x1001);
  krt::test::SetName(plan, 2, 2, 0x9001);
  krt::test::SetName(plan, 3, 2, 0xC001);
  for (uint32_t column = 0; column < 32; ++column) {
    krt::test::SetName(plan, column, 3, column % 2 != 0 ? 0x2001 : 0x4001);
  }
  // Bank 0 beside bank 5, four names after bank 5 beside a zero name.
  krt::test::SetName(plan, 8, 4, 0x5001);
  krt::test::SetName(plan, 12, 4, 0x5001);
  krt::test::SetName(plan, 13, 4, 0x0001);
  const Scanned scanned = Scan(krt::test::BuildScreenFile(plan));
  std::vector<uint8_t> expected(16, 0);
  expected[0] = expected[1] = expected[2] = expected[4] = expected[5] = expected[7] = expected[9] =
      expected[0xC] = 1;
  EXPECT_EQ(scanned.flags, expected);
  EXPECT_TRUE(scanned.extent == (UsedExtent{32, 5}));
}

TEST(ScanPatternNameTable, BytesAfterTheLastPageBelongToNoPage) {
  ScreenPlan plan;
  plan.pages_across = 2;
  plan.name_table_tail = {0xFF};  // one byte: fewer than the two pages
  krt::test::SetName(plan, 1, 1, 0x0001);
  const Scanned scanned = Scan(krt::test::BuildScreenFile(plan));
  EXPECT_TRUE(scanned.extent == (UsedExtent{2, 2}));
  EXPECT_EQ(scanned.flags[0xF], 0);
}

// Tables that are not whole rows, or whose geometry is undefined, fail and
// leave the flags alone.
struct MalformedCase {
  const char* what;
  bool two_word;
  uint32_t bytes_per_page;
  uint16_t pages_across;
  uint16_t pages_down;
  std::optional<uint32_t> declared_size;
};

class MalformedTable : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedTable, GivesMinusOneAndTouchesNoFlag) {
  const MalformedCase& c = GetParam();
  ScreenPlan plan = PagedPlan(c.two_word, c.bytes_per_page, c.pages_across, c.pages_down);
  plan.names = {0x1111, 0x2222};
  plan.declared_sizes[1] = c.declared_size;
  const Scanned scanned = Scan(krt::test::BuildScreenFile(plan));
  EXPECT_TRUE(scanned.extent == (UsedExtent{-1, -1}));
  EXPECT_EQ(scanned.flags, std::vector<uint8_t>(16, 0xEE));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedTable,
    testing::Values(MalformedCase{"HalfRowsOf1WordNames", false, 2112, 1, 1, {}},
                    MalformedCase{"HalfRowsOf2WordNames", true, 4160, 1, 1, {}},
                    MalformedCase{"NoPagesAcross", false, 2048, 0, 1, {}},
                    MalformedCase{"NoPagesDown", false, 2048, 1, 0, {}},
                    MalformedCase{"TableShorterThanPrefix", false, 2048, 1, 1, 15},
                    MalformedCase{"LessThanAByteAPage", false, 2048, 1, 3, 18}),
    [](const testing::TestParamInfo<MalformedCase>& param) {
      return std::string(param.param.what);
    });

TEST(ScanPatternNameTable, HugePageCountsOverATinyTableEndAtOnce) {
  ScreenPlan plan;
  plan.pages_across = 0xFFFF;
  plan.pages_down = 0xFFFF;
  plan.bytes_per_page = 0;
  plan.name_table_tail = std::vector<uint8_t>(4096, 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Scan(krt::test::BuildScreenFile(plan)).extent == (UsedExtent{-1, -1}));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// A page of 65537 rows of 128 bytes: a 16-bit row count would wrap to 1 and
// put the last row's name on row 0.
TEST(ScanPatternNameTable, RowsPerPageBeyondSixteenBits) {
  ScreenPlan plan;
  plan.bytes_per_page = 128 * 65537;
  ASSERT_TRUE(krt::test::SetName(plan, 2, 65536, 0x0001));
  EXPECT_TRUE(Scan(krt::test::BuildScreenFile(plan)).extent == (UsedExtent{3, 65537}));
}

TEST(PassesRowTest, IsLooserForTwoWordNames) {
  krt::image::PageGeometry geometry;
  // 2-word names, 4160 bytes a page: 32 names a row, a multiple of 64 but
  // not of the 128-byte row.
  ASSERT_EQ(krt::image::ComputePageGeometry(1, 1, 0x0080, 16 + 4160, &geometry),
            krt::image::GeometryStatus::kPartialRows);
  EXPECT_TRUE(krt::image::PassesRowTest(geometry));
  ASSERT_EQ(krt::image::ComputePageGeometry(1, 1, 0x0080, 16 + 4128, &geometry),
            krt::image::GeometryStatus::kPartialRows);
  EXPECT_FALSE(krt::image::PassesRowTest(geometry));
  ASSERT_EQ(krt::image::ComputePageGeometry(1, 1, 0x0000, 16 + 2112, &geometry),
            krt::image::GeometryStatus::kPartialRows);
  EXPECT_FALSE(krt::image::PassesRowTest(geometry));
}

}  // namespace
