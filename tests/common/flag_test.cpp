#include <gtest/gtest.h>

#include "plugin_interface.h"

namespace {

TEST(FlagBits, InputModeIsTheLowThreeBits) {
  EXPECT_FALSE(krt::IsMemoryInput(0));
  EXPECT_FALSE(krt::IsMemoryInput(8));      // low three bits clear
  EXPECT_FALSE(krt::IsMemoryInput(0x100));  // output bits only
  for (uint32_t mode = 1; mode <= 7; ++mode) EXPECT_TRUE(krt::IsMemoryInput(mode)) << mode;
  EXPECT_TRUE(krt::IsMemoryInput(0xFFFFFFF9u));
}

TEST(FlagBits, OutputModeIsBitsEightToTen) {
  EXPECT_FALSE(krt::IsMemoryOutput(0));
  EXPECT_FALSE(krt::IsMemoryOutput(0xFF));
  EXPECT_FALSE(krt::IsMemoryOutput(0x800));  // bit 11 is not part of it
  EXPECT_TRUE(krt::IsMemoryOutput(0x100));
  EXPECT_TRUE(krt::IsMemoryOutput(0x700));
}

TEST(FlagBits, SmallSourcesAreHostHandles) {
  EXPECT_TRUE(krt::IsHostFileHandle(0));
  EXPECT_TRUE(krt::IsHostFileHandle(0xFFFF));
  EXPECT_FALSE(krt::IsHostFileHandle(0x10000));
  EXPECT_FALSE(krt::IsHostFileHandle(0x7FFF0000));
}

}  // namespace
