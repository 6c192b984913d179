#include "plugin_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const krt::PluginStrings kStrings{{"00IN", "a description", "*.2D;*.S2D", "FORMAT"}};

struct CopyCase {
  int32_t index;
  int32_t buffer_length;
  int32_t expected_count;
  const char* expected_bytes;  // what the buffer starts with afterwards
};

class CopyPluginInfoTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyPluginInfoTest, CopiesUpToBufferLength) {
  const CopyCase& c = GetParam();
  char buffer[32];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(krt::CopyPluginInfo(kStrings, c.index, buffer, c.buffer_length), c.expected_count);
  const size_t compared = std::strlen(c.expected_bytes);
  EXPECT_EQ(std::string(buffer, compared), c.expected_bytes);
  // Nothing beyond the copied bytes is touched.
  EXPECT_EQ(buffer[c.expected_count], '#');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyPluginInfoTest,
    testing::Values(CopyCase{0, 5, 5, "00IN"},       // whole, with the terminating zero
                    CopyCase{0, 32, 5, "00IN"},      // large buffer: still the string only
                    CopyCase{0, 4, 4, "00IN#"},      // cut: no terminating zero
                    CopyCase{0, 2, 2, "00#"},        // cut short
                    CopyCase{0, 0, 0, "#"},          // nothing
                    CopyCase{2, 32, 11, "*.2D;*.S2D"},
                    CopyCase{3, 32, 7, "FORMAT"},
                    CopyCase{4, 32, 0, "#"},         // unknown indices
                    CopyCase{5, 32, 0, "#"},
                    CopyCase{-1, 32, 0, "#"},
                    CopyCase{0, -1, 0, "#"},         // negative length writes nothing
                    CopyCase{1, INT32_MIN, 0, "#"}));

TEST(CopyPluginInfo, CopiedStringEndsWithZeroWhenWhole) {
  char buffer[32];
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_EQ(krt::CopyPluginInfo(kStrings, 1, buffer, sizeof buffer), 14);
  EXPECT_STREQ(buffer, "a description");
}

TEST(CopyPluginInfo, NullBufferWritesNothing) {
  EXPECT_EQ(krt::CopyPluginInfo(kStrings, 0, static_cast<char*>(nullptr), 100), 0);
}

}  // namespace
