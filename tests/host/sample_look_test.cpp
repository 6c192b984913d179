// The bundled cards, rendered by krt, look as they were designed: every dot
// of the picture has the colour the card's layout (tiles, flips, palettes,
// regions) and colour table give it. This is what a person checks by eye.
#include <gtest/gtest.h>

#include <filesystem>

#include "krt_test_support.h"
#include "sample_cards.h"

namespace {

namespace fs = std::filesystem;
using namespace krt::test;

// The BMP file's dots as RGB, rows from the top.
std::vector<uint8_t> RgbOfBmp(const std::vector<uint8_t>& bmp, uint32_t* width, uint32_t* height) {
  const size_t info = 14;
  *width = Le32(bmp, info + 4);
  *height = Le32(bmp, info + 8);
  const uint32_t depth = bmp.at(info + 14);
  const size_t pixels = Le32(bmp, 10);
  const size_t stride = (depth * *width + 31) / 32 * 4;
  std::vector<uint8_t> rgb;
  for (uint32_t r = 0; r < *height; ++r) {
    const size_t row = pixels + stride * (*height - 1 - r);
    for (uint32_t x = 0; x < *width; ++x) {
      const uint8_t* bgr = nullptr;
      if (depth == 24) {
        bgr = &bmp.at(row + 3 * x);
      } else {
        const uint8_t byte = bmp.at(row + x * depth / 8);
        const uint32_t index = depth == 8 ? byte : (x % 2 == 0 ? byte >> 4 : byte & 0xF);
        bgr = &bmp.at(info + 40 + 4 * index);
      }
      rgb.insert(rgb.end(), {bgr[2], bgr[1], bgr[0]});
    }
  }
  return rgb;
}

class SampleLook : public KrtTest {};

TEST_F(SampleLook, EveryCardRendersDotForDotAsDesigned) {
  const auto cards = krt::samples::SampleCards();
  const auto expected = krt::samples::ExpectedPictures();
  for (size_t i = 0; i < cards.size(); ++i) {
    SCOPED_TRACE(cards[i].name);
    const std::string output = InFolder(fs::path(cards[i].name).stem().string() + ".bmp");
    const auto run = RunKrtWith({"render", "-o", output, Sample(cards[i].name)});
    ASSERT_EQ(run.status, 0) << run.err;
    uint32_t width = 0;
    uint32_t height = 0;
    const auto rgb = RgbOfBmp(ReadFileBytes(output), &width, &height);
    ASSERT_EQ(width, expected[i].width);
    ASSERT_EQ(height, expected[i].height);
    for (size_t at = 0; at < rgb.size(); at += 3) {
      const size_t dot = at / 3;
      ASSERT_TRUE(std::equal(rgb.begin() + at, rgb.begin() + at + 3, expected[i].rgb.begin() + at))
          << "dot " << dot % width << ", " << dot / width << " is " << int(rgb[at]) << " "
          << int(rgb[at + 1]) << " " << int(rgb[at + 2]) << ", designed "
          << int(expected[i].rgb[at]) << " " << int(expected[i].rgb[at + 1]) << " "
          << int(expected[i].rgb[at + 2]);
    }
  }
}

}  // namespace
