#include "screen_sections.h"

#include <gtest/gtest.h>

#include <vector>

#include "screen_builder.h"

namespace {

using krt::image::FourSectionsInOrderWithin;
using krt::test::BuildScreenFile;
using krt::test::ScreenPlan;
using krt::test::SetSection;

std::vector<uint8_t> ValidScreen() { return BuildScreenFile(ScreenPlan{}); }

uint32_t EndOfColourTable(const std::vector<uint8_t>& screen) {
  return krt::test::SectionOffset(screen, 3) + krt::test::SectionSize(screen, 3);
}

TEST(FourSectionsInOrderWithin, AcceptsBuiltScreenAgainstItsOwnLength) {
  const auto screen = ValidScreen();
  const auto end = EndOfColourTable(screen);
  EXPECT_EQ(FourSectionsInOrderWithin(screen.data(), end), 1);
  EXPECT_EQ(FourSectionsInOrderWithin(screen.data(), end - 1), 0);
  EXPECT_EQ(FourSectionsInOrderWithin(screen.data(), 0xFFFFFFFFu), 1);
}

TEST(FourSectionsInOrderWithin, ByteAfterMagicIsNotCompared) {
  for (uint8_t value : {uint8_t{0x00}, uint8_t{0x20}, uint8_t{'A'}, uint8_t{0xFF}}) {
    ScreenPlan spec;
    spec.magic_end = value;
    const auto screen = BuildScreenFile(spec);
    EXPECT_EQ(FourSectionsInOrderWithin(screen.data(), 0xFFFFFFFFu), 1) << int{value};
  }
}

TEST(FourSectionsInOrderWithin, RejectsAnyDifferenceInMagic) {
  for (size_t at = 0; at < krt::test::kMagicLength; ++at) {
    auto screen = ValidScreen();
    screen[at] ^= 0x20;
    EXPECT_EQ(FourSectionsInOrderWithin(screen.data(), 0xFFFFFFFFu), 0) << at;
  }
}

// Section table cases: {offset, size} of each of the four entries.
struct TableCase {
  const char* what;
  uint32_t table[4][2];
  uint32_t length;
  int expected;
};

class SectionTableTest : public testing::TestWithParam<TableCase> {};

TEST_P(SectionTableTest, Judges) {
  const TableCase& c = GetParam();
  auto screen = ValidScreen();
  for (int k = 0; k < 4; ++k) SetSection(screen, k, c.table[k][0], c.table[k][1]);
  EXPECT_EQ(FourSectionsInOrderWithin(screen.data(), c.length), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SectionTableTest,
    testing::Values(
        TableCase{"first section at 256", {{256, 4}, {260, 16}, {276, 16}, {292, 16}}, 308, 1},
        TableCase{"first section at 255", {{255, 4}, {260, 16}, {276, 16}, {292, 16}}, 308, 0},
        TableCase{"sections touching", {{256, 4}, {260, 0}, {260, 0}, {260, 16}}, 276, 1},
        TableCase{"section a byte early", {{256, 4}, {259, 16}, {276, 16}, {292, 16}}, 308, 0},
        TableCase{"gaps and empty sections", {{300, 0}, {400, 0}, {500, 10}, {1000, 0}}, 1000, 1},
        TableCase{"out of table order", {{256, 4}, {400, 16}, {300, 16}, {500, 16}}, 600, 0},
        TableCase{"end exactly at length", {{256, 4}, {260, 16}, {276, 16}, {292, 16}}, 308, 1},
        TableCase{"end one past length", {{256, 4}, {260, 16}, {276, 16}, {292, 16}}, 307, 0},
        // Offset plus size beyond 32 bits must not wrap to a small end that
        // would let the next section, or the length, pass.
        TableCase{"wrapping size", {{256, 0xFFFFFF00u}, {260, 16}, {276, 16}, {292, 16}},
                  0xFFFFFFFFu, 0},
        TableCase{"wrapping last size", {{256, 4}, {260, 16}, {276, 16}, {0x100, 0xFFFFFFF0u}},
                  0xFFFFFFFFu, 0},
        TableCase{"last section wraps to zero", {{256, 4}, {260, 16}, {276, 16}, {292, 0xFFFFFEDCu}},
                  0xFFFFFFFFu, 0},
        TableCase{"end at 4 GiB - 1", {{256, 4}, {260, 16}, {276, 16}, {292, 0xFFFFFFFFu - 292}},
                  0xFFFFFFFFu, 1}));

TEST(FourSectionsInOrderWithin, FifthEntryAndRegionsPlayNoPart) {
  auto screen = ValidScreen();
  const auto end = EndOfColourTable(screen);
  // Nonsense in the fifth entry and every region record.
  for (size_t at = 80; at < 248; ++at) screen[at] = 0xEE;
  EXPECT_EQ(FourSectionsInOrderWithin(screen.data(), end), 1);
  EXPECT_EQ(FourSectionsInOrderWithin(screen.data(), end - 1), 0);
}

TEST(ReadSectionEntry, ReadsOffsetAndSizeOfEachEntry) {
  auto screen = ValidScreen();
  for (int k = 0; k < 4; ++k) SetSection(screen, k, 0x01020304u + k, 0xA0B0C0D0u + k);
  for (int k = 0; k < 4; ++k) {
    const auto section = krt::ReadSectionEntry(screen.data(), static_cast<krt::Section>(k));
    EXPECT_EQ(section.offset, 0x01020304u + k);
    EXPECT_EQ(section.size, 0xA0B0C0D0u + k);
  }
}

}  // namespace
