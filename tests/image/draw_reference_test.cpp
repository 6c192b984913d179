// The word-at-a-time drawing against a dot-by-dot reference written from the
// box's point of view: for every dot of a character's box, which dot of which
// cell lands there. Random names over every rendering mode, name width and
// character size, with flips, skip bits, characters past the dot data and
// palettes past the colours, must give the same bytes, on the scalar path and
// on the vector path where the processor has it.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "canvas_fixture.h"
#include "drawing.h"
#include "palette_regions.h"

namespace {

using krt::image::DrawingPath;
using krt::image::PictureCanvas;
using krt::image::RenderingMode;
using krt::test::TestCanvas;

constexpr int32_t kAcross = 5;
constexpr int32_t kDown = 3;
constexpr uint32_t kCharacters = 6;

uint32_t DotValue(const PictureCanvas& c, const uint8_t* cell, uint32_t sx, uint32_t sy) {
  if (c.mode == RenderingMode::kBytes || c.mode == RenderingMode::kLookup) {
    return cell[8 * sy + sx];
  }
  const uint8_t pair = cell[4 * sy + sx / 2];
  return sx % 2 == 0 ? pair >> 4 : pair & 0xF;
}

// Returns false where the reference passes the character over.
bool ReferenceDraw(const PictureCanvas& c, uint32_t name, int32_t x, int32_t y,
                   std::vector<uint8_t>* pixels) {
  const bool byte_dots = c.mode == RenderingMode::kBytes || c.mode == RenderingMode::kLookup;
  const bool banked = c.mode == RenderingMode::kBankedNibbles || c.mode == RenderingMode::kLookup;
  if (byte_dots && (name & 1) != 0) return false;
  uint32_t palette = 0;
  if (banked) {
    palette = c.palette_regions != nullptr ? krt::image::RegionPalette(c.palette_regions, x, y)
              : c.name_width == 4          ? name >> 28
                                           : (name >> 12) & 0xF;
    const uint32_t bank = c.mode == RenderingMode::kLookup ? 256 : 16;
    if (palette > c.colour_count / bank) palette = 0;
    if (c.mode == RenderingMode::kBankedNibbles && palette >= 16) return false;
    if (c.mode == RenderingMode::kLookup && 256 * palette + 256 > c.lookup_entries) return false;
  }
  const auto decoded = krt::image::DecodePatternName(c, name);
  const uint32_t cs = c.character_size;
  const uint32_t cells = cs == 16 ? 4 : 1;
  const uint32_t cell_bytes = byte_dots ? 64 : 32;
  if (decoded.character >= c.dot_data_size / (cells * cell_bytes)) return false;
  for (uint32_t by = 0; by < cs; ++by) {
    for (uint32_t bx = 0; bx < cs; ++bx) {
      const uint32_t sx = decoded.flip_horizontal ? cs - 1 - bx : bx;
      const uint32_t sy = decoded.flip_vertical ? cs - 1 - by : by;
      const uint32_t m = sx / 8 + 2 * (sy / 8);
      const uint8_t* cell = c.dot_data + (decoded.character * cells + m) * cell_bytes;
      const uint32_t d = DotValue(c, cell, sx % 8, sy % 8);
      const uint32_t px = x * cs + bx;
      const uint32_t row = c.height_px - 1 - (y * cs + by);
      uint8_t* out = pixels->data() + size_t{row} * c.row_stride;
      switch (c.mode) {
        case RenderingMode::kNibbles:
          out[px / 2] |= static_cast<uint8_t>(px % 2 == 0 ? d << 4 : d);
          break;
        case RenderingMode::kBankedNibbles:
          out[px] = static_cast<uint8_t>(16 * palette + d);
          break;
        case RenderingMode::kBytes:
          out[px] = static_cast<uint8_t>(d);
          break;
        case RenderingMode::kLookup:
          for (uint32_t k = 0; k < 3; ++k)
            out[3 * px + k] = c.lookup_table[3 * (256 * palette + d) + k];
          break;
      }
    }
  }
  return true;
}

struct ReferenceCase {
  RenderingMode mode;
  uint32_t character_size;
  uint32_t name_width;
  bool regions;
  DrawingPath path;
};

std::string CaseName(const testing::TestParamInfo<ReferenceCase>& info) {
  const ReferenceCase& c = info.param;
  return "mode" + std::to_string(static_cast<int>(c.mode)) + "_" +
         std::to_string(c.character_size) + "dot_" + std::to_string(c.name_width) + "byte" +
         (c.regions ? "_regions" : "") + (c.path == DrawingPath::kVector ? "_vector" : "_scalar");
}

uint32_t RandomName(std::mt19937& random, uint32_t name_width) {
  // Small character numbers, so that most names draw; every other bit random.
  const uint32_t bits = static_cast<uint32_t>(random());
  if (name_width == 2) return (bits & 0xFC00) | (bits & 0xF);
  return (bits & 0xF0000000u) | (bits & 0x7F);
}

class ReferenceDrawing : public testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceDrawing, RowsAndSingleCharactersMatchDotByDot) {
  const ReferenceCase& p = GetParam();
  std::mt19937 random(1234);
  TestCanvas t(p.mode, p.character_size, p.name_width, kAcross, kDown);
  const bool byte_dots = p.mode == RenderingMode::kBytes || p.mode == RenderingMode::kLookup;
  const uint32_t cells = p.character_size == 16 ? 4 : 1;
  t.dots.resize(kCharacters * cells * (byte_dots ? 64 : 32));
  for (uint8_t& dot : t.dots) dot = static_cast<uint8_t>(random());
  if (p.regions) {
    // Palettes 0 to 2 by position, and one past the 16 banks of 8-bit output.
    t.regions = {0, 0, 2, 3, 1, 2, 0, 2, 3, 2, 4, 1, 1, 2, 17};
    t.regions.resize(160, 0);
  }
  // 512 lookup entries: palette 1 is the bank that ends the table.
  t.FillLookupWithEntryNumbers(512);
  t.canvas.colour_count = p.mode == RenderingMode::kLookup ? 512 : 48;

  for (int round = 0; round < 40; ++round) {
    std::vector<uint8_t> stored(size_t{p.name_width} * kAcross);
    std::vector<uint32_t> names(kAcross);
    for (int32_t x = 0; x < kAcross; ++x) {
      names[x] = RandomName(random, p.name_width);
      for (uint32_t i = 0; i < p.name_width; ++i) {
        stored[p.name_width * x + i] =
            static_cast<uint8_t>(names[x] >> (8 * (p.name_width - 1 - i)));
      }
    }
    const int32_t y = round % kDown;
    std::fill(t.pixels.begin(), t.pixels.end(), 0);
    krt::image::DrawNameRow(t.canvas, p.path, stored.data(), kAcross, 0, y);
    const std::vector<uint8_t> row_drawn = t.pixels;

    std::fill(t.pixels.begin(), t.pixels.end(), 0);
    for (int32_t x = 0; x < kAcross; ++x) t.Draw(names[x], x, y);
    EXPECT_EQ(t.pixels, row_drawn) << "round " << round;

    std::vector<uint8_t> expected(t.pixels.size(), 0);
    for (int32_t x = 0; x < kAcross; ++x) ReferenceDraw(t.canvas, names[x], x, y, &expected);
    ASSERT_EQ(row_drawn, expected) << "round " << round;
  }
}

// A name that draws one of the canvas's characters, with every flip and
// palette bit random.
uint32_t DrawableName(std::mt19937& random, const ReferenceCase& p) {
  const bool byte_dots = p.mode == RenderingMode::kBytes || p.mode == RenderingMode::kLookup;
  const uint32_t bits = static_cast<uint32_t>(random());
  const uint32_t character = bits % kCharacters;
  if (p.name_width == 2) return (bits & 0xFC00) | character << (byte_dots ? 1 : 0);
  return (bits & 0xF0000000u) | character << (byte_dots ? 3 : 2);
}

std::vector<uint8_t> StoreNames(const std::vector<uint32_t>& names, uint32_t name_width) {
  std::vector<uint8_t> stored(size_t{name_width} * names.size());
  for (size_t x = 0; x < names.size(); ++x) {
    for (uint32_t i = 0; i < name_width; ++i) {
      stored[name_width * x + i] = static_cast<uint8_t>(names[x] >> (8 * (name_width - 1 - i)));
    }
  }
  return stored;
}

// The furnishing of the canvas above: kCharacters random characters, the
// case's palette regions, and 512 lookup entries, palette 1 being the bank
// that ends the table.
void Furnish(const ReferenceCase& p, std::mt19937& random, TestCanvas* t) {
  const bool byte_dots = p.mode == RenderingMode::kBytes || p.mode == RenderingMode::kLookup;
  const uint32_t cells = p.character_size == 16 ? 4 : 1;
  t->dots.resize(kCharacters * cells * (byte_dots ? 64 : 32));
  for (uint8_t& dot : t->dots) dot = static_cast<uint8_t>(random());
  if (p.regions) {
    t->regions = {0, 0, 2, 3, 1, 2, 0, 2, 3, 2, 4, 1, 1, 2, 17};
    t->regions.resize(160, 0);
  }
  t->FillLookupWithEntryNumbers(512);
  t->canvas.colour_count = p.mode == RenderingMode::kLookup ? 512 : 48;
}

// Rows of mostly drawable characters, so that neighbours are drawn together
// as often as alone: a row wider than the picture, starting left of it, at
// its edge or inside it, with now and then one character that leaves its box
// as it is among the others.
TEST_P(ReferenceDrawing, WideRowsOfMostlyDrawableCharactersMatchDotByDot) {
  const ReferenceCase& p = GetParam();
  std::mt19937 random(99);
  constexpr int32_t kWide = 11;
  TestCanvas t(p.mode, p.character_size, p.name_width, kWide, kDown);
  Furnish(p, random, &t);

  const int32_t starts[] = {-2, -1, 0, 1, 3};
  for (int round = 0; round < 60; ++round) {
    std::vector<uint32_t> names(kWide + 2);
    for (uint32_t& name : names) {
      name = random() % 8 == 0 ? RandomName(random, p.name_width) : DrawableName(random, p);
    }
    const std::vector<uint8_t> stored = StoreNames(names, p.name_width);
    const int32_t first = starts[round % 5];
    const int32_t y = round % kDown;
    std::fill(t.pixels.begin(), t.pixels.end(), 0);
    krt::image::DrawNameRow(t.canvas, p.path, stored.data(), static_cast<uint32_t>(names.size()),
                            first, y);

    std::vector<uint8_t> expected(t.pixels.size(), 0);
    for (int32_t k = 0; k < static_cast<int32_t>(names.size()); ++k) {
      const int32_t x = first + k;
      if (x >= 0 && x < kWide) ReferenceDraw(t.canvas, names[k], x, y, &expected);
    }
    ASSERT_EQ(t.pixels, expected) << "round " << round << ", first column " << first;
  }
}

// Characters 512 apart share a slot where mirrored characters are kept;
// drawn mirrored and not in turn, each must still show its own dots.
TEST_P(ReferenceDrawing, CharactersSharingAMirrorSlotShowTheirOwnDots) {
  const ReferenceCase& p = GetParam();
  std::mt19937 random(7);
  const uint32_t numbers[] = {1, 513, 1, 1025, 513, 2, 514, 2, 1};
  constexpr int32_t kWide = 9;
  TestCanvas t(p.mode, p.character_size, p.name_width, kWide, kDown);
  Furnish(p, random, &t);
  const bool byte_dots = p.mode == RenderingMode::kBytes || p.mode == RenderingMode::kLookup;
  t.dots.resize(1100 * (p.character_size == 16 ? 4 : 1) * (byte_dots ? 64 : 32));
  for (uint8_t& dot : t.dots) dot = static_cast<uint8_t>(random());
  t.Attach();
  for (int round = 0; round < 20; ++round) {
    std::vector<uint32_t> names;
    for (uint32_t number : numbers) {
      const uint32_t name = DrawableName(random, p);
      names.push_back(p.name_width == 2 ? (name & 0xF000) | (number << (byte_dots ? 1 : 0))
                                        : (name & 0xF0000000u) | number << (byte_dots ? 3 : 2));
    }
    std::fill(t.pixels.begin(), t.pixels.end(), 0);
    krt::image::DrawNameRow(t.canvas, p.path, StoreNames(names, p.name_width).data(), kWide, 0,
                            round % kDown);
    std::vector<uint8_t> expected(t.pixels.size(), 0);
    for (int32_t x = 0; x < kWide; ++x)
      ReferenceDraw(t.canvas, names[x], x, round % kDown, &expected);
    ASSERT_EQ(t.pixels, expected) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, ReferenceDrawing, testing::ValuesIn([] {
                           std::vector<DrawingPath> paths{DrawingPath::kScalar};
                           if (krt::image::FastestDrawingPath() == DrawingPath::kVector) {
                             paths.push_back(DrawingPath::kVector);
                           }
                           std::vector<ReferenceCase> cases;
                           for (auto mode : {RenderingMode::kNibbles, RenderingMode::kBankedNibbles,
                                             RenderingMode::kBytes, RenderingMode::kLookup}) {
                             for (uint32_t size : {8u, 16u}) {
                               for (uint32_t width : {2u, 4u}) {
                                 for (DrawingPath path : paths) {
                                   cases.push_back({mode, size, width, false, path});
                                   if (mode == RenderingMode::kBankedNibbles ||
                                       mode == RenderingMode::kLookup) {
                                     cases.push_back({mode, size, width, true, path});
                                   }
                                 }
                               }
                             }
                           }
                           return cases;
                         }()),
                         CaseName);

}  // namespace
