// IsSupported on a host's handle when the platform fails: the answer is 0 and
// the handle stays the host's, open and usable.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "loaded_plugins.h"
#include "platform_control.h"
#include "screen_builder.h"

namespace {

using krt::test::Ifkrt;

class DetectionFaults : public testing::TestWithParam<KrtPlatformCall> {};

TEST_P(DetectionFaults, FailingCallAnswersZeroAndLeavesHandleOpen) {
  ASSERT_NE(Ifkrt().IsSupported, nullptr);
  const auto screen = krt::test::BuildScreenFile(krt::test::ScreenPlan{});
  const std::string path = krt::test::WriteTempFile(screen, "fault.2D");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const auto source = reinterpret_cast<uintptr_t>(file);
  ASSERT_EQ(Ifkrt().IsSupported("fault.2D", source), 1);

  KrtPlatformReset();
  const int32_t open_before = KrtPlatformOpenFiles();
  KrtPlatformFailNth(GetParam(), 1);
  EXPECT_EQ(Ifkrt().IsSupported("fault.2D", source), 0);
  EXPECT_TRUE(KrtPlatformFailureFired(GetParam()));
  EXPECT_EQ(KrtPlatformOpenFiles(), open_before);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallAlloc), 0u);  // nothing allocated
  KrtPlatformReset();
  // The same handle still answers once the platform behaves.
  EXPECT_EQ(Ifkrt().IsSupported("fault.2D", source), 1);
  EXPECT_TRUE(CloseHandle(file));
  krt::test::RemoveFile(path);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DetectionFaults,
                         testing::Values(kKrtCallSize, kKrtCallSeek, kKrtCallRead));

}  // namespace
