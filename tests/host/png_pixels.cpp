// krt_png_pixels FILE: prints what a PNG file holds as plain text (size, bit
// depth, colour type, palette, then every row's bytes in hex) so that two
// encoders' files can be compared picture for picture with diff.
#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace {

bool Print(png_structp png, png_infop info, FILE* file) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  const png_uint_32 height = png_get_image_height(png, info);
  std::printf("%ux%u depth %d colour type %d\n", unsigned(png_get_image_width(png, info)),
              unsigned(height), png_get_bit_depth(png, info), png_get_color_type(png, info));
  png_colorp palette = nullptr;
  int entries = 0;
  if (png_get_PLTE(png, info, &palette, &entries) != 0) {
    std::printf("palette of %d:", entries);
    for (int k = 0; k < entries; ++k) {
      std::printf(" %02x%02x%02x", palette[k].red, palette[k].green, palette[k].blue);
    }
    std::printf("\n");
  }
  const size_t row_bytes = png_get_rowbytes(png, info);
  png_bytepp rows = png_get_rows(png, info);
  for (png_uint_32 r = 0; r < height; ++r) {
    for (size_t i = 0; i < row_bytes; ++i) std::printf("%02x", rows[r][i]);
    std::printf("\n");
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  FILE* file = argc == 2 ? std::fopen(argv[1], "rb") : nullptr;
  if (file == nullptr) {
    std::fprintf(stderr, "usage: krt_png_pixels FILE (an existing PNG file)\n");
    return 2;
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool printed = Print(png, info, file);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  if (!printed) std::fprintf(stderr, "krt_png_pixels: %s is not a readable PNG file\n", argv[1]);
  return printed ? 0 : 1;
}
