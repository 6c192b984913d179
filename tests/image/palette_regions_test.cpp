#include "palette_regions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using krt::image::CountPalettes;
using krt::image::HasPaletteRegions;
using krt::image::RegionPalette;

struct Record {
  uint8_t x, y, width, height, palette;
};

std::vector<uint8_t> Records(const std::vector<Record>& records) {
  std::vector<uint8_t> bytes(160, 0);
  for (size_t i = 0; i < records.size() && i < 32; ++i) {
    const Record& r = records[i];
    const uint8_t record[5] = {r.x, r.y, r.width, r.height, r.palette};
    std::copy(record, record + 5, bytes.begin() + static_cast<std::ptrdiff_t>(5 * i));
  }
  return bytes;
}

struct CountCase {
  const char* what;
  std::vector<Record> records;
  uint32_t expected;
};

class PaletteCount : public testing::TestWithParam<CountCase> {};

// The used extent is 10 x 6 characters; the names use banks 1, 4 and 9.
TEST_P(PaletteCount, CountsChangesOfPaletteAmongQualifyingRecords) {
  std::vector<uint8_t> banks(16, 0);
  banks[1] = banks[4] = banks[9] = 1;
  const auto records = Records(GetParam().records);
  EXPECT_EQ(CountPalettes(records.data(), 10, 6, banks.data()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PaletteCount,
    testing::Values(
        CountCase{"NoRegionsCountsTheBanks", {}, 3},
        CountCase{"TerminatorWithAPaletteByteIsStillNoRegions", {{0, 0, 0, 0, 5}}, 3},
        CountCase{
            "RunOfOnePaletteCountsOnce", {{0, 0, 1, 1, 2}, {1, 1, 1, 1, 2}, {2, 2, 1, 1, 3}}, 2},
        CountCase{
            "ReturningPaletteCountsAgain", {{0, 0, 1, 1, 2}, {1, 1, 1, 1, 3}, {2, 2, 1, 1, 2}}, 3},
        CountCase{"Palette255FirstIsNotCounted", {{0, 0, 1, 1, 255}}, 0},
        CountCase{"EdgeOfTheExtentQualifies", {{10, 6, 1, 1, 7}}, 1},
        CountCase{"PastTheExtentDoesNot", {{11, 0, 1, 1, 7}, {0, 7, 1, 1, 8}}, 0},
        CountCase{"ZeroWidthOrHeightNeverQualify", {{1, 0, 0, 1, 7}, {1, 0, 1, 0, 8}}, 0},
        CountCase{"NonQualifyingRecordKeepsThePreviousPalette",
                  {{0, 0, 1, 1, 2}, {50, 0, 1, 1, 3}, {0, 0, 1, 1, 2}},
                  1},
        CountCase{"ListEndsAtTheFirstTerminator",
                  {{0, 0, 1, 1, 2}, {0, 0, 0, 0, 0}, {0, 0, 1, 1, 3}},
                  1}),
    [](const testing::TestParamInfo<CountCase>& param) { return std::string(param.param.what); });

TEST(PaletteCount, ThirtyTwoRecordsHaveNoTerminator) {
  std::vector<Record> records;
  for (uint8_t i = 0; i < 32; ++i) records.push_back({0, 0, 1, 1, static_cast<uint8_t>(i % 2)});
  auto bytes = Records(records);
  bytes.resize(165, 0);
  bytes[160] = 1;  // a 33rd record would qualify and change the count
  bytes[162] = bytes[163] = 1;
  bytes[164] = 7;
  EXPECT_EQ(CountPalettes(bytes.data(), 10, 10, std::vector<uint8_t>(16, 0).data()), 32u);
}

TEST(RegionPalette, FirstCoveringRegionWins) {
  const auto records = Records({{2, 1, 3, 2, 5}, {0, 0, 10, 10, 9}, {4, 2, 1, 1, 1}});
  EXPECT_TRUE(HasPaletteRegions(records.data()));
  EXPECT_EQ(RegionPalette(records.data(), 2, 1), 5u);
  EXPECT_EQ(RegionPalette(records.data(), 4, 2), 5u);  // also in the third
  EXPECT_EQ(RegionPalette(records.data(), 5, 2), 9u);  // x + width is outside
  EXPECT_EQ(RegionPalette(records.data(), 2, 3), 9u);
  EXPECT_EQ(RegionPalette(records.data(), 10, 0), 0u);  // in none
}

TEST(RegionPalette, RecordsAfterTheTerminatorAreNotRead) {
  const auto records = Records({{0, 0, 0, 0, 4}, {0, 0, 5, 5, 3}});
  EXPECT_FALSE(HasPaletteRegions(records.data()));
  EXPECT_EQ(RegionPalette(records.data(), 1, 1), 0u);
  // A zero-size record with a non-zero x is no terminator.
  const auto later = Records({{1, 0, 0, 0, 4}, {0, 0, 5, 5, 3}});
  EXPECT_TRUE(HasPaletteRegions(later.data()));
  EXPECT_EQ(RegionPalette(later.data(), 1, 1), 3u);
}

}  // namespace
