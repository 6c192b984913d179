// Decodes the PNG files krt wrote, with libpng, and compares them with the
// bitmap the plug-in handed over: same size, palette equal to the colour
// table, every dot value (or colour) equal.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <filesystem>

#include "krt_test_support.h"
#include "sample_cards.h"

namespace {

namespace fs = std::filesystem;
using namespace krt::test;

struct DecodedPng {
  uint32_t width = 0;
  uint32_t height = 0;
  int bit_depth = 0;
  int colour_type = 0;
  std::vector<png_color> palette;
  std::vector<std::vector<uint8_t>> rows;
};

struct MemoryReader {
  const std::vector<uint8_t>* bytes;
  size_t at;
};

void ReadFromMemory(png_structp png, png_bytep data, png_size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (reader->at + length > reader->bytes->size()) png_error(png, "read past the end");
  std::memcpy(data, reader->bytes->data() + reader->at, length);
  reader->at += length;
}

bool DecodeInto(png_structp png, png_infop info, MemoryReader* reader, DecodedPng* out) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_read_fn(png, reader, ReadFromMemory);
  png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  out->width = png_get_image_width(png, info);
  out->height = png_get_image_height(png, info);
  out->bit_depth = png_get_bit_depth(png, info);
  out->colour_type = png_get_color_type(png, info);
  png_colorp palette = nullptr;
  int entries = 0;
  if (png_get_PLTE(png, info, &palette, &entries) != 0)
    out->palette.assign(palette, palette + entries);
  const size_t row_bytes = png_get_rowbytes(png, info);
  png_bytepp rows = png_get_rows(png, info);
  for (uint32_t r = 0; r < out->height; ++r) out->rows.emplace_back(rows[r], rows[r] + row_bytes);
  return true;
}

bool DecodePng(const std::vector<uint8_t>& bytes, DecodedPng* out) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  MemoryReader reader{&bytes, 0};
  const bool decoded = DecodeInto(png, info, &reader, out);
  png_destroy_read_struct(&png, &info, nullptr);
  return decoded;
}

// Picture row r (from the top) of the plug-in's bottom-up pixel block.
const uint8_t* BitmapRow(const TakenPicture& picture, uint32_t r) {
  const uint32_t stride = (picture.Depth() * uint32_t(picture.Width()) + 31) / 32 * 4;
  return picture.pixels.data() + size_t{stride} * (uint32_t(picture.Height()) - 1 - r);
}

void ExpectSamePicture(const DecodedPng& png, const TakenPicture& picture) {
  ASSERT_EQ(png.width, uint32_t(picture.Width()));
  ASSERT_EQ(png.height, uint32_t(picture.Height()));
  const size_t row_bytes = size_t{picture.Depth()} * uint32_t(picture.Width()) / 8;
  if (picture.Depth() == 24) {
    EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(png.bit_depth, 8);
    for (uint32_t r = 0; r < png.height; ++r) {
      const uint8_t* bgr = BitmapRow(picture, r);
      for (size_t i = 0; i < row_bytes; i += 3) {
        ASSERT_EQ(png.rows[r][i], bgr[i + 2]) << "row " << r << " byte " << i;
        ASSERT_EQ(png.rows[r][i + 1], bgr[i + 1]) << "row " << r << " byte " << i;
        ASSERT_EQ(png.rows[r][i + 2], bgr[i]) << "row " << r << " byte " << i;
      }
    }
    return;
  }
  EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_PALETTE);
  EXPECT_EQ(png.bit_depth, picture.Depth());
  ASSERT_EQ(png.palette.size(), size_t{1} << picture.Depth());
  for (size_t k = 0; k < png.palette.size(); ++k) {
    const uint8_t* slot = picture.info.data() + 40 + 4 * k;
    EXPECT_EQ(png.palette[k].red, slot[2]) << "colour " << k;
    EXPECT_EQ(png.palette[k].green, slot[1]) << "colour " << k;
    EXPECT_EQ(png.palette[k].blue, slot[0]) << "colour " << k;
  }
  for (uint32_t r = 0; r < png.height; ++r) {
    ASSERT_EQ(png.rows[r].size(), row_bytes);
    ASSERT_EQ(0, std::memcmp(png.rows[r].data(), BitmapRow(picture, r), row_bytes)) << "row " << r;
  }
}

class PngOutput : public KrtTest {};

TEST_F(PngOutput, DecodedPngsEqualThePluginsBitmaps) {
  for (const auto& card : krt::samples::SampleCards()) {
    SCOPED_TRACE(card.name);
    const std::string output = InFolder(fs::path(card.name).stem().string() + ".png");
    const auto run = RunKrtWith({"render", "-o", output, Sample(card.name)});
    ASSERT_EQ(run.status, 0) << run.err;
    DecodedPng png;
    ASSERT_TRUE(DecodePng(ReadFileBytes(output), &png));
    ExpectSamePicture(png, PictureOfPlugin(Sample(card.name)));
  }
}

TEST_F(PngOutput, PacksRenderedThroughMemoryEqualTheCardsRenderedFromDisk) {
  const auto run =
      RunKrtWith({"extract", "--render", "-o", InFolder("pack"), Sample("samples.BIN")});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto cards = krt::samples::SampleCards();
  for (size_t i = 0; i < cards.size(); ++i) {
    SCOPED_TRACE(cards[i].name);
    DecodedPng png;
    ASSERT_TRUE(DecodePng(ReadFileBytes(InFolder("pack/00" + std::to_string(i) + ".png")), &png));
    ExpectSamePicture(png, PictureOfPlugin(Sample(cards[i].name)));
  }
}

}  // namespace
