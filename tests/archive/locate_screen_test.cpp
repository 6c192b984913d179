#include "screen_format/locate_screen.h"

#include <gtest/gtest.h>

#include <vector>

#include "pack_samples.h"
#include "screen_builder.h"
#include "screen_layout.h"

namespace {

using krt::archive::LocateScreen;
using krt::archive::ScreenLocation;
using krt::test::SetSection;

// Section entry 4 is the optional fifth one.
constexpr int kFifth = krt::test::kFifthSection;

// The default built screen: sections end at 260, 2324, 2340 and 2356.
constexpr uint32_t kDefaultExtent = 2356;

struct LocateCase {
  const char* what;
  uint32_t magic_at;
  void (*edit)(std::vector<uint8_t>& screen);
  int64_t available_change;  // added to the bytes from the window to the screen's end
  bool found;
  uint32_t extent;
};

void NoEdit(std::vector<uint8_t>&) {}

class LocateScreenCases : public testing::TestWithParam<LocateCase> {};

TEST_P(LocateScreenCases, Judges) {
  const LocateCase& c = GetParam();
  std::vector<uint8_t> screen = krt::test::BuildScreenFile(krt::test::ScreenPlan{});
  c.edit(screen);
  std::vector<uint8_t> window(c.magic_at, 0);
  window.insert(window.end(), screen.begin(), screen.end());
  window.resize(window.size() + 200, 0);
  const auto available =
      static_cast<uint32_t>(int64_t{c.magic_at} + kDefaultExtent + c.available_change);

  ScreenLocation screen_found;
  ASSERT_EQ(LocateScreen(window.data(), available, &screen_found), c.found) << c.what;
  if (!c.found) return;
  EXPECT_EQ(screen_found.magic_offset, c.magic_at) << c.what;
  EXPECT_EQ(screen_found.extent, c.extent) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocateScreenCases,
    testing::Values(
        LocateCase{"magic at 0", 0, NoEdit, 0, true, kDefaultExtent},
        LocateCase{"magic at 60", 60, NoEdit, 0, true, kDefaultExtent},
        LocateCase{"magic at 2 is off the 4-byte grid", 2, NoEdit, 0, false, 0},
        LocateCase{"magic at 64 is beyond the window", 64, NoEdit, 0, false, 0},
        LocateCase{"screen ends at the last available byte", 8, NoEdit, 0, true, kDefaultExtent},
        LocateCase{"screen one byte longer than available", 8, NoEdit, -1, false, 0},
        LocateCase{"first section at 255", 0,
                   [](std::vector<uint8_t>& s) { SetSection(s, 0, 255, 5); }, 0, false, 0},
        LocateCase{"first section at 256, empty sections touching", 0,
                   [](std::vector<uint8_t>& s) {
                     for (int k = 0; k < 4; ++k) SetSection(s, k, 256, 0);
                   },
                   0, true, 256},
        LocateCase{"section a byte before the previous end", 0,
                   [](std::vector<uint8_t>& s) { SetSection(s, 2, 2323, 17); }, 0, false, 0},
        LocateCase{"gap between sections", 0,
                   [](std::vector<uint8_t>& s) { SetSection(s, 3, 2350, 6); }, 0, true, 2356},
        LocateCase{"fifth entry with offset 0 ignores its size", 0,
                   [](std::vector<uint8_t>& s) { SetSection(s, kFifth, 0, 0xFFFFFFFFu); }, 0, true,
                   kDefaultExtent},
        LocateCase{"fifth entry before the colour table's end", 0,
                   [](std::vector<uint8_t>& s) { SetSection(s, kFifth, 2355, 1); }, 100, false, 0},
        LocateCase{"fifth entry touching the colour table", 0,
                   [](std::vector<uint8_t>& s) { SetSection(s, kFifth, 2356, 44); }, 44, true,
                   2400},
        LocateCase{"fifth entry past the available bytes", 0,
                   [](std::vector<uint8_t>& s) { SetSection(s, kFifth, 2356, 44); }, 43, false, 0},
        // An offset plus size beyond 32 bits must not wrap into a small end
        // that lets the next section, or the available length, pass.
        LocateCase{"wrapping size before the next section", 0,
                   [](std::vector<uint8_t>& s) { SetSection(s, 0, 256, 0xFFFFFFFFu); }, 0, false,
                   0},
        LocateCase{"wrapping colour table", 0,
                   [](std::vector<uint8_t>& s) { SetSection(s, 3, 2340, 0xFFFFFFF0u); }, 0, false,
                   0},
        LocateCase{"wrapping fifth section", 0,
                   [](std::vector<uint8_t>& s) { SetSection(s, kFifth, 2356, 0xFFFFFFFFu); }, 0,
                   false, 0}));

TEST(LocateScreen, FirstMagicDecidesEvenWhenItsTableIsDamaged) {
  // A bare magic at 0 whose section table is made of the good screen that
  // follows at 16: the magic at 0 is taken and fails, 16 is not tried.
  const std::vector<uint8_t> good = krt::test::SmallestScreen();
  std::vector<uint8_t> window(good.begin(), good.begin() + 16);
  window.insert(window.end(), good.begin(), good.end());
  window.resize(1000, 0);
  ScreenLocation found;
  EXPECT_FALSE(LocateScreen(window.data(), 1000, &found));
  EXPECT_TRUE(LocateScreen(window.data() + 16, 984, &found));
}

TEST(LocateScreen, ExtentUpToTheLargestAvailableLength) {
  std::vector<uint8_t> screen = krt::test::SmallestScreen();
  SetSection(screen, 3, 256, 0xFFFFFFFFu - 256 - 4);
  ScreenLocation found;
  std::vector<uint8_t> window(4, 0);
  window.insert(window.end(), screen.begin(), screen.end());
  ASSERT_TRUE(LocateScreen(window.data(), 0xFFFFFFFFu, &found));
  EXPECT_EQ(found.extent, 0xFFFFFFFFu - 4);
  EXPECT_FALSE(LocateScreen(window.data(), 0xFFFFFFFEu, &found));
}

TEST(LocateScreen, ReadsNoMoreThanTheFirst148Bytes) {
  // Exactly 148 bytes on the heap, so a sanitizer build reports any read past
  // them: a magic at 60 puts the fifth entry's size word in the last 4 bytes.
  std::vector<uint8_t> screen = krt::test::SmallestScreen();
  SetSection(screen, kFifth, 300, 20);
  std::vector<uint8_t> window(60, 0);
  window.insert(window.end(), screen.begin(), screen.begin() + 88);
  ASSERT_EQ(window.size(), krt::kLocateReadBytes);
  ScreenLocation found;
  ASSERT_TRUE(LocateScreen(window.data(), 60 + 320, &found));
  EXPECT_EQ(found.magic_offset, 60u);
  EXPECT_EQ(found.extent, 320u);
}

}  // namespace
