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

namespace {

using krt::host::LinkedExport;
using krt::host::LinkedPlugin;

template <typename Fn>
LinkedExport Linked(const char* name, Fn function) {
  return LinkedExport{name, reinterpret_cast<void*>(function)};
}

// A host with the plug-ins linked in (the page's module) binds them with the
// checks a loaded set gets; here the tables hold the loaded exports.
TEST(LinkedPluginSet, BoundWhenCompleteAndRefusedAsALoadedSetIs) {
  const LinkedExport image[] = {
      Linked("GetPluginInfo", Ifkrt().GetPluginInfo), Linked("IsSupported", Ifkrt().IsSupported),
      Linked("GetPictureInfo", Ifkrt().GetPictureInfo), Linked("GetPicture", Ifkrt().GetPicture)};
  const LinkedExport archive[] = {
      Linked("GetPluginInfo", Axkrt().GetPluginInfo), Linked("IsSupported", Axkrt().IsSupported),
      Linked("GetArchiveInfo", Axkrt().GetArchiveInfo), Linked("GetFileInfo", Axkrt().GetFileInfo),
      Linked("GetFile", Axkrt().GetFile)};
  krt::host::PluginSet set;
  std::string error;
  ASSERT_TRUE(
      krt::host::BindLinkedPluginSet({"IFKRT", image, 4}, {"AXKRT", archive, 5}, &set, &error))
      << error;
  EXPECT_EQ(set.image.GetPicture, Ifkrt().GetPicture);
  EXPECT_EQ(set.archive.GetFile, Axkrt().GetFile);
  EXPECT_EQ(set.image.GetPreview, nullptr);

  EXPECT_FALSE(
      krt::host::BindLinkedPluginSet({"IFKRT", image, 3}, {"AXKRT", archive, 5}, &set, &error));
  EXPECT_EQ(error, "IFKRT: the plug-in has no export GetPicture");
  EXPECT_EQ(set.image.GetPluginInfo, nullptr);

  const LinkedExport wrong_kind[] = {image[1], image[2], image[3], archive[0]};
  EXPECT_FALSE(krt::host::BindLinkedPluginSet({"IFKRT", wrong_kind, 4}, {"AXKRT", archive, 5}, &set,
                                              &error));
  EXPECT_EQ(error.rfind("IFKRT: not the expected kind of plug-in", 0), 0u) << error;
}

}  // namespace
