#include "seed_corpus.h"

#include "screen_builder.h"

namespace krt::fuzz {
namespace {

using test::BuildPack;
using test::BuildScreenFile;
using test::PackPlan;
using test::PaletteRegion;
using test::ScreenPlan;
using test::SetName;

// 1-word names in the 10-bit form: character, flips, palette.
constexpr uint32_t kFlipH = 0x400;
constexpr uint32_t kFlipV = 0x800;
uint32_t Name(uint32_t character, uint32_t palette) { return character | (palette << 12); }

std::vector<uint8_t> DotPattern(size_t bytes) {
  std::vector<uint8_t> dots(bytes);
  for (size_t i = 0; i < bytes; ++i) dots[i] = static_cast<uint8_t>(i * 37 + 11);
  return dots;
}

std::vector<uint16_t> Colours(size_t count) {
  std::vector<uint16_t> colours(count);
  for (size_t i = 0; i < count; ++i)
    colours[i] = static_cast<uint16_t>(i * 0x0421 + (i & 1) * 0x8000);
  return colours;
}

// A small 16-colour screen of 8-dot characters in palette 0: mode 0.
ScreenPlan Mode0() {
  ScreenPlan plan;
  plan.dot_data = DotPattern(8 * 32);
  plan.colours = Colours(16);
  SetName(plan, 0, 0, Name(1, 0));
  SetName(plan, 1, 0, Name(2, 0) | kFlipH);
  SetName(plan, 2, 1, Name(3, 0) | kFlipV);
  SetName(plan, 5, 3, Name(4, 0) | kFlipH | kFlipV);
  return plan;
}

ScreenPlan Mode1() {
  ScreenPlan plan = Mode0();
  plan.colours = Colours(48);
  SetName(plan, 3, 2, Name(5, 1));
  SetName(plan, 6, 4, Name(6, 2) | kFlipH);
  return plan;
}

ScreenPlan Mode2() {
  ScreenPlan plan;
  plan.colours_256 = true;
  plan.dot_data = DotPattern(8 * 64);
  plan.colours = Colours(256);
  // Character numbers sit above the skip bit; odd names are not drawn.
  SetName(plan, 0, 0, 2);
  SetName(plan, 1, 0, 4 | kFlipH);
  SetName(plan, 2, 0, 5);
  SetName(plan, 4, 2, 6 | kFlipV);
  return plan;
}

ScreenPlan Mode3() {
  ScreenPlan plan = Mode2();
  plan.colours = Colours(600);
  plan.regions = {PaletteRegion{0, 0, 2, 2, 1}, PaletteRegion{2, 0, 4, 4, 0},
                  PaletteRegion{0, 2, 8, 2, 2}};
  return plan;
}

ScreenPlan LargeCells() {
  ScreenPlan plan = Mode1();
  plan.cells_2x2 = true;
  plan.dot_data = DotPattern(8 * 4 * 32);
  plan.regions = {PaletteRegion{0, 0, 3, 1, 1}, PaletteRegion{1, 1, 5, 3, 2}};
  return plan;
}

ScreenPlan TwoWordNames() {
  ScreenPlan plan;
  plan.two_word_names = true;
  plan.bytes_per_page = 4096;
  plan.dot_data = DotPattern(8 * 32);
  plan.colours = Colours(32);
  SetName(plan, 0, 0, 1u << 2);
  SetName(plan, 3, 1, (2u << 2) | 0xC0000000u);
  SetName(plan, 7, 5, (3u << 2) | 0x40000000u);
  return plan;
}

ScreenPlan FourPages() {
  ScreenPlan plan = Mode0();
  plan.pages_across = 2;
  plan.pages_down = 2;
  SetName(plan, 40, 3, Name(2, 0));
  SetName(plan, 3, 40, Name(3, 0));
  return plan;
}

ScreenPlan BigPage() {
  ScreenPlan plan = Mode0();
  plan.bytes_per_page = 8192;
  SetName(plan, 63, 63, Name(1, 0));
  return plan;
}

ScreenPlan SeventeenRows() {
  ScreenPlan plan = Mode0();
  plan.bytes_per_page = 2176;
  SetName(plan, 60, 16, Name(1, 0));
  return plan;
}

// Dot data from the first threshold on: 12-bit names without flips.
ScreenPlan WideCharacterNumbers() {
  ScreenPlan plan = Mode0();
  plan.dot_data = DotPattern(0x4000);
  SetName(plan, 7, 7, 0xC12);
  return plan;
}

ScreenPlan Decorated() {
  ScreenPlan plan = Mode0();
  plan.gaps = {4, 12, 0, 8, 4};
  plan.gap_fill = 0x5A;
  plan.magic_end = 0;
  plan.descriptor_tail = {1, 2, 3, 4};
  plan.name_table_tail = {9};
  plan.fifth_section = std::vector<uint8_t>(24, 0x77);
  return plan;
}

ScreenPlan Empty() { return ScreenPlan{}; }

// Bytes per page that fail the row test (2-byte names) or pass it but are no
// whole number of rows (4-byte names).
ScreenPlan RowTestFails() {
  ScreenPlan plan = Mode0();
  plan.bytes_per_page = 2112;
  return plan;
}

ScreenPlan HalfRows() {
  ScreenPlan plan = TwoWordNames();
  plan.bytes_per_page = 4160;
  return plan;
}

// A screen of one 64-byte page row: small enough for packs of many screens.
std::vector<uint8_t> SmallScreen(uint32_t character) {
  ScreenPlan plan;
  plan.bytes_per_page = 64;
  plan.dot_data = DotPattern(4 * 32);
  plan.colours = Colours(16);
  SetName(plan, character % 32, 0, Name(character % 4, 0));
  return BuildScreenFile(plan);
}

std::vector<uint8_t> Pack(std::vector<std::vector<uint8_t>> screens, std::vector<uint32_t> gaps,
                          std::vector<uint8_t> trailer = {}) {
  PackPlan plan;
  plan.screens = std::move(screens);
  plan.gaps_before = std::move(gaps);
  plan.trailer = std::move(trailer);
  return BuildPack(plan);
}

}  // namespace

std::vector<Seed> ScreenSeeds() {
  return {
      {"mode0", BuildScreenFile(Mode0())},
      {"mode1", BuildScreenFile(Mode1())},
      {"mode2", BuildScreenFile(Mode2())},
      {"mode3", BuildScreenFile(Mode3())},
      {"large-cells", BuildScreenFile(LargeCells())},
      {"two-word-names", BuildScreenFile(TwoWordNames())},
      {"four-pages", BuildScreenFile(FourPages())},
      {"big-page", BuildScreenFile(BigPage())},
      {"seventeen-rows", BuildScreenFile(SeventeenRows())},
      {"wide-character-numbers", BuildScreenFile(WideCharacterNumbers())},
      {"decorated", BuildScreenFile(Decorated())},
      {"empty", BuildScreenFile(Empty())},
      {"row-test-fails", BuildScreenFile(RowTestFails())},
      {"half-rows", BuildScreenFile(HalfRows())},
  };
}

std::vector<Seed> PackSeeds() {
  std::vector<std::vector<uint8_t>> twelve;
  for (uint32_t i = 0; i < 12; ++i) twelve.push_back(SmallScreen(i));
  std::vector<uint8_t> named = Pack(twelve, {8, 4, 0, 60, 4, 4, 8, 12, 16, 20, 24, 28});
  const char name[] = "011.2D";
  std::copy(name, name + sizeof name, named.begin());

  auto damaged = Pack({SmallScreen(0), SmallScreen(1), SmallScreen(2)}, {4, 4, 4});
  test::PutBe32(damaged, 4 + SmallScreen(0).size() + 4 + 16, 255);  // section 0 inside header

  auto with_trailing_magic = Pack({SmallScreen(3)}, {4}, std::vector<uint8_t>(100, 0));
  std::copy(test::kMagic, test::kMagic + test::kMagicLength, with_trailing_magic.end() - 40);

  return {
      {"three-screens", Pack({SmallScreen(0), SmallScreen(1), SmallScreen(2)}, {4, 8, 60},
                             std::vector<uint8_t>(200, 0))},
      {"twelve-named", named},
      {"mixed-modes", Pack({BuildScreenFile(Mode1()), BuildScreenFile(Mode3())}, {12, 4})},
      {"fifth-section", Pack({BuildScreenFile(Decorated()), SmallScreen(5)}, {4, 0})},
      {"damaged-second", damaged},
      {"trailing-magic", with_trailing_magic},
      {"lone-screen", SmallScreen(6)},
      {"magic-at-60", Pack({SmallScreen(7)}, {60})},
      {"too-far-apart", Pack({SmallScreen(0), SmallScreen(1)}, {4, 64})},
  };
}

}  // namespace krt::fuzz
