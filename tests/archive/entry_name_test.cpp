#include "screen_format/entry_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "plugin_interface.h"

namespace {

using krt::archive::EntryIndexOfName;
using krt::archive::IsEntryName;

struct NameCase {
  const char* name;
  bool ignore_case;
  bool matches;
  int32_t index;  // when it matches
};

class EntryNameCases : public testing::TestWithParam<NameCase> {};

TEST_P(EntryNameCases, MatchAndIndex) {
  const NameCase& c = GetParam();
  // The W exports get the same names as UTF-16 and must answer alike.
  const std::basic_string<krt::WideChar> wide(c.name, c.name + std::strlen(c.name));
  EXPECT_EQ(IsEntryName(wide.c_str(), c.ignore_case), c.matches) << '"' << c.name << '"';
  EXPECT_EQ(EntryIndexOfName(wide.c_str()), EntryIndexOfName(c.name)) << '"' << c.name << '"';
  ASSERT_EQ(IsEntryName(c.name, c.ignore_case), c.matches) << '"' << c.name << '"';
  if (c.matches) {
    EXPECT_EQ(EntryIndexOfName(c.name), c.index) << '"' << c.name << '"';
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryNameCases,
    testing::Values(NameCase{"000.2D", false, true, 0}, NameCase{"007.2D", false, true, 7},
                    NameCase{"999.2D", false, true, 999},
                    // Letter case of the extension.
                    NameCase{"000.2d", false, false, 0}, NameCase{"000.2d", true, true, 0},
                    NameCase{"000.2D", true, true, 0},
                    // Only positions 3 to 5 are required; the rest is free.
                    NameCase{"abc.2D", false, true, 0}, NameCase{"000.2Dx", false, true, 0},
                    NameCase{"12.2D", false, false, 0}, NameCase{"0001.2D", false, false, 0},
                    NameCase{"1000.2D", false, false, 0}, NameCase{"000_2D", false, false, 0},
                    NameCase{"000.3D", false, false, 0}, NameCase{"000.2", false, false, 0},
                    NameCase{"", false, false, 0}, NameCase{".2D", true, false, 0},
                    // The leading number: white space, one sign, digits.
                    NameCase{"-01.2D", false, true, -1}, NameCase{"+07.2D", false, true, 7},
                    NameCase{" 42.2D", false, true, 42}, NameCase{"\t\t5.2D", false, true, 5},
                    NameCase{"  -.2D", false, true, 0}, NameCase{"--1.2D", false, true, 0},
                    NameCase{"4 2.2D", false, true, 4}, NameCase{"9ab.2D", false, true, 9}));

TEST(IsEntryName, NullNameDoesNotMatch) {
  EXPECT_FALSE(IsEntryName(static_cast<const char*>(nullptr), true));
}

TEST(IsEntryName, ShortNameIsNotReadPastItsEnd) {
  // Names of one and two characters with ".2D" in memory right where
  // positions 3 to 5 would be: they are still too short to match.
  const std::vector<char> one = {'0', '\0', '0', '.', '2', 'D', '\0'};
  const std::vector<char> two = {'0', '0', '\0', '.', '2', 'D', '\0'};
  EXPECT_FALSE(IsEntryName(one.data(), false));
  EXPECT_FALSE(IsEntryName(two.data(), true));
  // Heap buffers that end at the name's zero: a sanitizer build reports any
  // read beyond it.
  for (const std::vector<char>& exact : {std::vector<char>{'\0'}, std::vector<char>{'0', '0', '\0'},
                                         std::vector<char>{'0', '0', '0', '.', '2', '\0'}}) {
    EXPECT_FALSE(IsEntryName(exact.data(), true)) << exact.data();
  }
}

}  // namespace
