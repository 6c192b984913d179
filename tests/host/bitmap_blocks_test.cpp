// krt takes the plug-in's two blocks on trust only after checking them: a
// header it cannot write, or blocks shorter than the header says, is a
// failure with a reason, never a read past a block.
#include <gtest/gtest.h>

#include "bitmap.h"
#include "bmp_writer.h"

namespace {

using krt::host::Bitmap;
using krt::host::ReadBitmapBlocks;

void PutLe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> Header(int32_t width, int32_t height, uint16_t depth, size_t slots) {
  std::vector<uint8_t> info(40 + 4 * slots, 0);
  PutLe32(info, 0, 40);
  PutLe32(info, 4, static_cast<uint32_t>(width));
  PutLe32(info, 8, static_cast<uint32_t>(height));
  info[12] = 1;
  info[14] = static_cast<uint8_t>(depth);
  return info;
}

TEST(BitmapBlocks, BlocksTheHeaderDoesNotFitAreRefused) {
  const struct {
    const char* what;
    std::vector<uint8_t> info;
    size_t pixel_bytes;
  } cases[] = {
      {"header block cut short", std::vector<uint8_t>(39, 0), 1024},
      {"16 bits per pixel", Header(8, 8, 16, 0), 128},
      {"zero width", Header(0, 8, 8, 256), 64},
      {"negative width", Header(-8, 8, 8, 256), 64},
      {"zero height", Header(8, 0, 8, 256), 64},
      {"4-bit table of 15 colours", Header(8, 8, 4, 15), 32},
      {"8-bit table of 255 colours", Header(8, 8, 8, 255), 64},
      {"pixel block one byte short", Header(8, 8, 24, 0), 8 * 8 * 3 - 1},
  };
  for (const auto& c : cases) {
    Bitmap bitmap;
    std::string error;
    EXPECT_FALSE(ReadBitmapBlocks(c.info, std::vector<uint8_t>(c.pixel_bytes, 0), &bitmap, &error))
        << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

TEST(BitmapBlocks, CompressedBitmapsAreRefused) {
  auto info = Header(8, 8, 8, 256);
  PutLe32(info, 16, 1);
  Bitmap bitmap;
  std::string error;
  EXPECT_FALSE(ReadBitmapBlocks(info, std::vector<uint8_t>(64, 0), &bitmap, &error));
}

TEST(BitmapBlocks, RowsAndColoursAreFoundWhereTheHeaderSays) {
  // 4 dots at 24 bits: rows of 12 bytes, no padding; 3 dots: padded to 12.
  for (const int32_t width : {3, 4}) {
    auto info = Header(width, -2, 24, 0);    // top-down rows
    std::vector<uint8_t> pixels(24 + 5, 0);  // a block rounded up by the allocator
    pixels[12] = 0xAB;                       // first byte of the second row
    Bitmap bitmap;
    std::string error;
    ASSERT_TRUE(ReadBitmapBlocks(info, pixels, &bitmap, &error)) << error;
    EXPECT_EQ(bitmap.stride, 12u);
    EXPECT_EQ(bitmap.pixels.size(), 24u);
    EXPECT_FALSE(bitmap.bottom_up);
    EXPECT_EQ(bitmap.Row(1)[0], 0xAB);
    EXPECT_EQ(bitmap.palette_entries, 0u);
  }
  auto info = Header(2, 2, 8, 256);
  PutLe32(info, 32, 3);         // three colours used
  info[40 + 4 * 2 + 2] = 0x7F;  // red of colour 2
  Bitmap bitmap;
  std::string error;
  ASSERT_TRUE(ReadBitmapBlocks(info, std::vector<uint8_t>(8, 0), &bitmap, &error)) << error;
  EXPECT_EQ(bitmap.palette_entries, 3u);
  EXPECT_EQ(bitmap.ColourSlot(2)[2], 0x7F);
  EXPECT_TRUE(bitmap.bottom_up);
}

TEST(BitmapBlocks, BmpKeepsBothBlocksAsGiven) {
  auto info = Header(8, 1, 4, 256);
  info[40] = 0x11;
  const std::vector<uint8_t> pixels = {0x01, 0x23, 0x45, 0x67};
  Bitmap bitmap;
  std::string error;
  ASSERT_TRUE(ReadBitmapBlocks(info, pixels, &bitmap, &error)) << error;
  const auto bmp = krt::host::EncodeBmp(bitmap);
  ASSERT_EQ(bmp.size(), 14u + 1064u + 4u);
  EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 14, bmp.begin() + 14 + 1064), info);
  EXPECT_EQ(std::vector<uint8_t>(bmp.end() - 4, bmp.end()), pixels);
  EXPECT_EQ(bmp[10] | bmp[11] << 8, 14 + 1064);
}

}  // namespace
