// How much memory a screen can make GetPicture ask for. The pixel block
// covers the used extent, which ends at a non-zero name present in the data,
// so what a picture costs is bounded by the bytes it comes in; beyond a fixed
// limit a picture is refused with 4 before anything of its size is asked for.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "loaded_plugins.h"
#include "platform_control.h"
#include "screen_builder.h"

namespace {

using krt::MemoryHandle;
using krt::test::Ifkrt;
using krt::test::PaletteRegion;
using krt::test::ScreenPlan;

constexpr uint64_t kBitmapInfoBytes = 1064;
// The largest pixel block GetPicture hands over: a 16384 x 16384 picture at
// 8 bits, or about 9400 x 9400 at 24 bits.
constexpr uint64_t kLargestPixelBlock = uint64_t{1} << 28;

// A 24-bit screen of 16 x 16-dot characters: two palettes by region, a full
// 256-colour bank each.
ScreenPlan TrueColourPlan(uint16_t pages_across, uint16_t pages_down) {
  ScreenPlan plan;
  plan.colours_256 = true;
  plan.cells_2x2 = true;
  plan.bytes_per_page = 8192;
  plan.pages_across = pages_across;
  plan.pages_down = pages_down;
  plan.dot_data.assign(4 * 64, 0x21);
  plan.colours.assign(512, 0x03E0);
  plan.regions = {PaletteRegion{0, 0, 1, 1, 1}, PaletteRegion{1, 0, 1, 1, 0}};
  return plan;
}

struct Cost {
  int32_t result;
  uint64_t largest_request;
  uint64_t peak_live;
};

Cost PictureCost(const std::vector<uint8_t>& image) {
  KrtPlatformReset();
  const uint64_t live_before = KrtPlatformPeakLiveBytes();
  MemoryHandle info = nullptr;
  MemoryHandle pixels = nullptr;
  const int32_t result =
      Ifkrt().GetPicture(reinterpret_cast<const char*>(image.data()),
                         static_cast<int32_t>(image.size()), 1, &info, &pixels, nullptr, 0);
  const Cost cost{result, KrtPlatformLargestRequest(), KrtPlatformPeakLiveBytes() - live_before};
  if (result == 0) {
    LocalFree(info);
    LocalFree(pixels);
  }
  return cost;
}

TEST(PictureMemory, PixelBlockCoversTheUsedExtentOnly) {
  ASSERT_NE(Ifkrt().GetPicture, nullptr);
  // Sixteen pages of 64 x 64 names, of which only the first is used.
  ScreenPlan corner = TrueColourPlan(4, 4);
  krt::test::SetName(corner, 0, 0, 0x0002);
  const Cost small = PictureCost(krt::test::BuildScreenFile(corner));
  ASSERT_EQ(small.result, 0);
  const uint64_t one_character = 16 * 3 * 16;
  const uint64_t lookup_table = 3 * (16 + 2 * 512) - 48;
  EXPECT_EQ(small.largest_request, lookup_table);
  EXPECT_LE(small.peak_live, kBitmapInfoBytes + one_character + lookup_table);

  // A name at the far corner uses the whole screen: 4096 x 4096 dots.
  krt::test::SetName(corner, 255, 255, 0x0002);
  const Cost whole = PictureCost(krt::test::BuildScreenFile(corner));
  ASSERT_EQ(whole.result, 0);
  EXPECT_EQ(whole.largest_request, uint64_t{4096} * 3 * 4096);
}

// 576 x 640 characters of 16 dots at 24 bits: a pixel block of 283 MB from an
// image of 740 KB, above the limit.
TEST(PictureMemory, PictureAboveTheLimitIsRefusedBeforeAllocating) {
  ASSERT_NE(Ifkrt().GetPicture, nullptr);
  ScreenPlan plan = TrueColourPlan(9, 10);
  krt::test::SetName(plan, 575, 0, 0x0002);
  krt::test::SetName(plan, 0, 639, 0x0002);
  const std::vector<uint8_t> image = krt::test::BuildScreenFile(plan);
  ASSERT_GT(uint64_t{576} * 16 * 3 * 640 * 16, kLargestPixelBlock);

  const Cost cost = PictureCost(image);
  EXPECT_EQ(cost.result, krt::kAllocationFailed);
  EXPECT_LE(cost.largest_request, image.size());
  // GetPictureInfo still describes it: only GetPicture allocates.
  krt::PictureInfo info{};
  EXPECT_EQ(Ifkrt().GetPictureInfo(reinterpret_cast<const char*>(image.data()),
                                   static_cast<int32_t>(image.size()), 1, &info),
            0);
  EXPECT_EQ(info.width, 576 * 16);
}

}  // namespace
