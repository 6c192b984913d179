#include <gtest/gtest.h>

#include <vector>

#include "sample_cards.h"
#include "screen_format/limits.h"
#include "screen_format/screen.h"

namespace {

using namespace krt::format;

// Each card rebuilt from what its cells say they show: the stored character,
// flipped, its dots taken from the cell's palette bank. That must be the
// picture the card was drawn to show.
TEST(ScreenDoor, CellsRebuildEveryCard) {
  const auto files = krt::samples::BuildSampleFiles();
  const auto expected = krt::samples::ExpectedPictures();
  for (size_t card = 0; card < expected.size(); ++card) {
    SCOPED_TRACE(files[card].name);
    const std::vector<uint8_t>& image = files[card].bytes;
    ScreenDescription screen;
    ASSERT_EQ(DescribeScreen(image.data(), image.size(), &screen), ScreenStatus::kReady);
    ASSERT_EQ(uint32_t(screen.width_px), expected[card].width);
    std::vector<CellView> cells(size_t(screen.used_width) * screen.used_height);
    ASSERT_TRUE(DescribeCells(image.data(), image.size(), cells.data()));

    const int32_t size = int32_t(screen.character_size);
    const uint32_t bits = screen.colour_mode == 256 ? 8 : 4;
    DotCanvas box;
    box.width_px = box.height_px = size;
    box.row_stride = uint32_t(size) * bits / 8;
    std::vector<uint8_t> dots(size_t(box.row_stride) * size);
    box.pixels = dots.data();
    size_t drawn = 0;
    for (size_t k = 0; k < cells.size(); ++k) {
      const CellView& cell = cells[k];
      if (!cell.drawn) continue;
      ++drawn;
      ASSERT_TRUE(DrawStoredCharacter(image.data(), image.size(), cell.character, box, 0, 0));
      const int32_t left = int32_t(k % screen.used_width) * size;
      const int32_t top = int32_t(k / screen.used_width) * size;
      for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
          // Box rows are stored bottom row first.
          const int32_t from_x = cell.flip_horizontal ? size - 1 - x : x;
          const int32_t from_y = cell.flip_vertical ? size - 1 - y : y;
          const uint8_t* row = dots.data() + size_t(size - 1 - from_y) * box.row_stride;
          const uint32_t dot =
              bits == 8 ? row[from_x] : (row[from_x / 2] >> (from_x % 2 == 0 ? 4 : 0)) & 0xF;
          uint8_t bgr[3];
          ScreenColour(image.data(), image.size(), cell.palette * screen.colour_mode + dot, bgr);
          const uint8_t* want =
              expected[card].rgb.data() + 3 * (size_t(top + y) * expected[card].width + left + x);
          ASSERT_EQ((std::vector<uint8_t>{bgr[2], bgr[1], bgr[0]}),
                    (std::vector<uint8_t>{want[0], want[1], want[2]}))
              << "cell " << k << " dot " << x << "," << y;
        }
      }
    }
    EXPECT_GT(drawn, cells.size() / 2);
  }
}

// A card's first bytes pass with its length or an unknown one, not when the
// file ends before its colour table, nor from too few bytes, nor one byte in.
TEST(ScreenDoor, ScreenFileStartIsTheHeaderCheck) {
  const std::vector<uint8_t> card = krt::samples::BuildSampleFiles()[0].bytes;
  const uint8_t* start = card.data();
  EXPECT_TRUE(IsScreenFileStart(start, kShortestScreenImage, card.size()));
  EXPECT_TRUE(IsScreenFileStart(start, card.size(), uint64_t{1} << 40));
  EXPECT_FALSE(IsScreenFileStart(start, kShortestScreenImage, kShortestScreenImage));
  EXPECT_FALSE(IsScreenFileStart(start, kShortestScreenImage - 1, card.size()));
  EXPECT_FALSE(IsScreenFileStart(start + 1, kShortestScreenImage, card.size() - 1));
}

}  // namespace
