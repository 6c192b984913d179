// Screens and packs for the benchmarks, made with the tests' builder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace krt::bench {

// A 2 x 2-page screen of 64 x 64 names per page, every name non-zero with
// varied characters and flips, laid out so that it renders in the given
// mode: 0 (16 colours, one palette), 1 (16 colours, several palettes),
// 2 (256 colours, one palette) or 3 (256 colours, several palettes).
std::vector<uint8_t> LargeScreen(int rendering_mode, bool cells_2x2);

struct ScreenPack {
  std::vector<uint8_t> bytes;
  uint32_t last_position = 0;  // where the last screen's magic stands
  uint32_t screen_size = 0;    // every screen's own bytes
};

// A pack of `count` small screens, each 4 bytes after the previous one.
ScreenPack SmallScreenPack(uint32_t count);

}  // namespace krt::bench
