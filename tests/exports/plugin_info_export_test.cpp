#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "loaded_plugins.h"

namespace {

using krt::test::Axkrt;
using krt::test::Ifkrt;

std::string Info(krt::GetPluginInfoFn get, int32_t index) {
  char buffer[256] = {};
  const int32_t count = get(index, buffer, sizeof buffer);
  EXPECT_GT(count, 0);
  EXPECT_EQ(static_cast<size_t>(count), std::strlen(buffer) + 1);
  return buffer;
}

TEST(GetPluginInfoExport, ImagePluginStrings) {
  ASSERT_NE(Ifkrt().GetPluginInfo, nullptr);
  EXPECT_EQ(Info(Ifkrt().GetPluginInfo, 0), "00IN");
  EXPECT_EQ(Info(Ifkrt().GetPluginInfo, 1).rfind("KRT to DIB filter ver0.02", 0), 0u);
  EXPECT_EQ(Info(Ifkrt().GetPluginInfo, 2), "*.2D;*.S2D");
  EXPECT_EQ(Info(Ifkrt().GetPluginInfo, 3), "SEGA SATURN SCR");
}

TEST(GetPluginInfoExport, ArchivePluginStrings) {
  ASSERT_NE(Axkrt().GetPluginInfo, nullptr);
  EXPECT_EQ(Info(Axkrt().GetPluginInfo, 0), "00AM");
  EXPECT_EQ(Info(Axkrt().GetPluginInfo, 1).rfind("AxKRT - KRT extract library ver0.01", 0), 0u);
  EXPECT_EQ(Info(Axkrt().GetPluginInfo, 2), "*.BIN");
  EXPECT_EQ(Info(Axkrt().GetPluginInfo, 3), "SEGA SATURN SCR pack");
}

TEST(GetPluginInfoExport, CutCopiesAndRefusalsThroughTheExport) {
  ASSERT_NE(Ifkrt().GetPluginInfo, nullptr);
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(Ifkrt().GetPluginInfo(0, buffer, 2), 2);
  EXPECT_EQ(std::string(buffer, 3), "00#");
  EXPECT_EQ(Axkrt().GetPluginInfo(3, buffer, 0), 0);
  EXPECT_EQ(Axkrt().GetPluginInfo(4, buffer, 8), 0);
  EXPECT_EQ(Axkrt().GetPluginInfo(-1, buffer, 8), 0);
  EXPECT_EQ(Ifkrt().GetPluginInfo(0, buffer, -5), 0);
  EXPECT_EQ(Ifkrt().GetPluginInfo(0, nullptr, 8), 0);
  EXPECT_EQ(std::string(buffer, 3), "00#");
}

}  // namespace
