#include "bench_screens.h"

#include "screen_builder.h"

namespace krt::bench {
namespace {

constexpr uint32_t kCharacters = 256;

std::vector<uint8_t> DotData(bool colours_256, bool cells_2x2) {
  const uint32_t cell_bytes = colours_256 ? 64 : 32;
  const uint32_t cells = kCharacters * (cells_2x2 ? 4 : 1);
  std::vector<uint8_t> dots(cells * cell_bytes);
  for (size_t i = 0; i < dots.size(); ++i) dots[i] = static_cast<uint8_t>(i * 37 + (i >> 7));
  return dots;
}

std::vector<uint16_t> Colours(uint32_t count) {
  std::vector<uint16_t> colours(count);
  for (uint32_t i = 0; i < count; ++i) colours[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
  return colours;
}

}  // namespace

std::vector<uint8_t> LargeScreen(int rendering_mode, bool cells_2x2) {
  const bool colours_256 = rendering_mode >= 2;
  const bool several_palettes = rendering_mode == 1 || rendering_mode == 3;
  test::ScreenPlan plan;
  plan.pages_across = 2;
  plan.pages_down = 2;
  plan.bytes_per_page = 64 * 64 * 2;
  plan.colours_256 = colours_256;
  plan.cells_2x2 = cells_2x2;
  plan.dot_data = DotData(colours_256, cells_2x2);
  plan.colours = Colours(colours_256 ? 512 : 256);
  const uint32_t columns = test::ScreenColumns(plan);
  const uint32_t rows = test::ScreenRows(plan);
  for (uint32_t row = 0; row < rows; ++row) {
    for (uint32_t column = 0; column < columns; ++column) {
      const uint32_t character = (column * 7 + row * 13) % kCharacters;
      const uint32_t flips = (column + row) & 3;
      const uint32_t palette = several_palettes ? (column + 2 * row) % (colours_256 ? 2 : 4) : 0;
      // 256-colour names keep bit 0 clear: it would skip the character.
      const uint32_t number = colours_256 ? character << 1 : character;
      uint32_t name = number | flips << 10 | palette << 12;
      if (name == 0) name = 2;
      test::SetName(plan, column, row, name);
    }
  }
  return test::BuildScreenFile(plan);
}

ScreenPack SmallScreenPack(uint32_t count) {
  test::ScreenPlan small;
  small.bytes_per_page = 64;
  const std::vector<uint8_t> screen = test::BuildScreenFile(small);
  test::PackPlan plan;
  plan.screens.assign(count, screen);
  plan.gaps_before.assign(count, 4);
  plan.trailer.assign(64, 0);
  ScreenPack pack;
  pack.bytes = test::BuildPack(plan);
  pack.last_position = static_cast<uint32_t>(test::ScreenPositions(plan).back());
  pack.screen_size = static_cast<uint32_t>(screen.size());
  return pack;
}

}  // namespace krt::bench
