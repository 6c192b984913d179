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

// Screens built valid and then damaged the ways a hostile file would be.
std::vector<Seed> HostileScreens() {
  using test::PutBe16;
  using test::PutBe32;
  using test::SectionOffset;
  using test::SectionSize;
  using test::SetSection;
  const std::vector<uint8_t> base = BuildScreenFile(Mode1());
  std::vector<Seed> seeds;
  auto add = [&](const char* name, std::vector<uint8_t> bytes) {
    seeds.push_back({name, std::move(bytes)});
  };

  // A colour table whose offset plus size passes 2^32: a 32-bit sum would
  // wrap to a small end that fits the file.
  auto wrapping = base;
  SetSection(wrapping, 3, SectionOffset(base, 3), 0xFFFFFFFFu - SectionOffset(base, 3) + 64);
  add("section-end-wraps", wrapping);

  auto no_pages = base;
  PutBe16(no_pages, SectionOffset(base, 0), 0);
  add("no-pages-across", no_pages);

  auto many_pages = base;
  PutBe16(many_pages, SectionOffset(base, 0), 0xFFFF);
  PutBe16(many_pages, SectionOffset(base, 0) + 2, 0xFFFF);
  add("65535-by-65535-pages", many_pages);

  // Sections shorter than their prefixes: the descriptor without both page
  // counts, a name table and a colour table of a few bytes.
  auto short_descriptor = base;
  SetSection(short_descriptor, 0, SectionOffset(base, 0), 3);
  add("descriptor-of-3-bytes", short_descriptor);
  auto short_names = base;
  SetSection(short_names, 1, SectionOffset(base, 1), 15);
  add("name-table-of-15-bytes", short_names);
  auto short_colours = base;
  SetSection(short_colours, 3, SectionOffset(base, 3), 6);
  add("colour-table-of-6-bytes", short_colours);

  // One page of names in a table that declares pages across the screen.
  auto wide = base;
  PutBe16(wide, SectionOffset(base, 0), 64);
  add("pages-of-32-bytes", wide);

  // Palette regions that run off the screen and a 17th 16-colour bank.
  ScreenPlan regions = Mode1();
  regions.colours = Colours(256);
  regions.regions = {PaletteRegion{0, 0, 255, 255, 16}, PaletteRegion{250, 250, 255, 255, 255},
                     PaletteRegion{1, 0, 1, 1, 2}};
  add("regions-off-the-screen", BuildScreenFile(regions));

  // 24 bits with a bank beyond the colours converted.
  ScreenPlan lookup = Mode3();
  lookup.colours = Colours(257);
  lookup.regions = {PaletteRegion{0, 0, 4, 4, 1}, PaletteRegion{4, 0, 4, 4, 7}};
  add("lookup-bank-past-the-colours", BuildScreenFile(lookup));

  // Character numbers at and past the end of the dot data.
  ScreenPlan past_dots = Mode0();
  SetName(past_dots, 9, 9, Name(8, 0));
  SetName(past_dots, 10, 9, Name(0x3FF, 0));
  add("characters-past-the-dots", BuildScreenFile(past_dots));
  return seeds;
}

}  // namespace

std::vector<Seed> ScreenSeeds() {
  std::vector<Seed> seeds = {
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
  for (Seed& seed : HostileScreens()) seeds.push_back(std::move(seed));
  return seeds;
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

  // A fifth section that starts inside the colour table, and a screen that
  // ends one byte past the pack.
  auto fifth_overlaps = Pack({BuildScreenFile(Decorated())}, {4});
  test::PutBe32(fifth_overlaps, 4 + 80, test::SectionOffset(BuildScreenFile(Decorated()), 3));
  auto one_byte_short = Pack({SmallScreen(1), SmallScreen(2)}, {4, 4});
  one_byte_short.pop_back();

  // A section size that takes the screen's end past 2^32.
  auto wrapping = Pack({SmallScreen(1), SmallScreen(2)}, {4, 4});
  const uint32_t colours_at = test::SectionOffset(SmallScreen(1), 3);
  test::PutBe32(wrapping, 4 + 64 + 4, 0xFFFFFFFFu - colours_at + 300);

  return {
      {"fifth-section-overlaps", fifth_overlaps},
      {"one-byte-short", one_byte_short},
      {"screen-end-wraps", wrapping},
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
