#include "pack_samples.h"

#include <random>

namespace krt::test {

std::vector<uint8_t> SmallestScreen() {
  std::vector<uint8_t> screen = BuildScreenFile(ScreenPlan{});
  screen.resize(kHeaderSize);
  for (int section = kDescriptorSection; section <= kColourSection; ++section) {
    SetSection(screen, section, kHeaderSize, 0);
  }
  return screen;
}

PackPlan GeneratedPack(uint32_t seed) {
  std::mt19937 random(seed);
  auto below = [&random](uint32_t limit) { return static_cast<uint32_t>(random() % limit); };

  PackPlan pack;
  pack.gap_fill = static_cast<uint8_t>(below(256));
  const uint32_t screens = 1 + below(6);
  for (uint32_t i = 0; i < screens; ++i) {
    ScreenPlan plan;
    plan.bytes_per_page = below(2) == 0 ? 2048 : 4096;
    plan.two_word_names = below(2) == 0;
    plan.magic_end = static_cast<uint8_t>(below(256));
    for (uint32_t& gap : plan.gaps) gap = below(3) == 0 ? below(40) : 0;
    plan.colours.assign(below(64), static_cast<uint16_t>(below(0x10000)));
    plan.dot_data.assign(below(200), static_cast<uint8_t>(below(256)));
    if (below(3) == 0) plan.fifth_section = std::vector<uint8_t>(below(100), 0x5A);
    pack.screens.push_back(below(4) == 0 ? SmallestScreen() : BuildScreenFile(plan));
    pack.gaps_before.push_back(4 * below(16));
  }
  pack.trailer.assign(below(300), 0);
  for (uint8_t& byte : pack.trailer) byte = static_cast<uint8_t>(below(256));
  return pack;
}

}  // namespace krt::test
