#include "screen_generator.h"

#include "screen_builder.h"

namespace krt::test {

namespace {

class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed == 0 ? 0x9E3779B9u : seed) {}
  uint32_t Next() {  // xorshift32
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  uint32_t Below(uint32_t bound) { return Next() % bound; }
  bool Chance(uint32_t percent) { return Below(100) < percent; }

 private:
  uint32_t state_;
};

struct Choices {
  bool banked;        // the picture is to use several palettes
  bool regions;       // palettes come from palette regions
  bool short_table;   // fewer colours than a bank: several palettes, unbanked
  uint32_t bank;      // colours a bank: 16 or 256
  uint32_t palettes;  // palettes the names or regions choose from
};

uint32_t OneWordName(Random& random, const ScreenPlan& plan, uint32_t character, uint32_t palette) {
  uint32_t name = random.Next() & 0x0C00;  // flips in the 10-bit form
  name |= (plan.colours_256 ? character << 1 : character) & 0x3FF;
  if (plan.colours_256 && random.Chance(10)) name |= 1;  // skipped
  if (random.Chance(10)) name |= random.Next() & 0x0FFF;
  return name | (palette << 12);
}

uint32_t TwoWordName(Random& random, const ScreenPlan& plan, uint32_t character, uint32_t palette) {
  uint32_t name = plan.colours_256 ? character << 3 : character << 2;
  name |= random.Next() & (plan.colours_256 ? 0x7u : 0x3u);
  if (random.Chance(10)) name |= random.Next() & 0x0FFFFFFF;
  return name | (palette << 28);
}

void FillNames(Random& random, const Choices& choices, uint32_t characters, ScreenPlan& plan) {
  const uint32_t columns = ScreenColumns(plan);
  const uint32_t rows = ScreenRows(plan);
  // Names end at a random column and row, so the used extent varies.
  const uint32_t last_column = random.Below(columns);
  const uint32_t last_row = random.Below(rows);
  const uint32_t single_palette = random.Below(choices.palettes);
  const bool many_palettes = (choices.banked && !choices.regions) || choices.short_table;
  for (uint32_t row = 0; row <= last_row; ++row) {
    for (uint32_t column = 0; column <= last_column; ++column) {
      if (random.Chance(30)) continue;
      const uint32_t character = random.Below(characters + 3);
      const uint32_t palette = many_palettes ? random.Below(choices.palettes) : single_palette;
      SetName(plan, column, row,
              plan.two_word_names ? TwoWordName(random, plan, character, palette)
                                  : OneWordName(random, plan, character, palette));
    }
  }
  // The corners fix the extent; in different banks they make a banked
  // picture certain.
  const uint32_t corner = many_palettes ? 1 : single_palette;
  const uint32_t origin = many_palettes ? 0 : single_palette;
  SetName(plan, last_column, last_row, plan.two_word_names ? corner << 28 | 8 : corner << 12 | 2);
  SetName(plan, 0, 0, plan.two_word_names ? origin << 28 | 8 : origin << 12 | 2);
}

void AddRegions(Random& random, const Choices& choices, ScreenPlan& plan) {
  const uint32_t count = 1 + random.Below(4);
  for (uint32_t i = 0; i < count; ++i) {
    PaletteRegion region;
    // At most 1: inside any used extent, so every record qualifies.
    region.x = static_cast<uint8_t>(i == 0 ? 0 : random.Below(2));
    region.y = static_cast<uint8_t>(i == 0 ? 0 : random.Below(2));
    region.width = static_cast<uint8_t>(1 + random.Below(6));
    region.height = static_cast<uint8_t>(1 + random.Below(6));
    region.palette = static_cast<uint8_t>(
        choices.banked ? (i == 1 ? 1 : random.Below(choices.palettes + 1)) : 2);
    plan.regions.push_back(region);
  }
  // Palettes 0 then 1 in the first two records: two palettes in use.
  if (choices.banked && count == 1) plan.regions.push_back({1, 1, 2, 2, 1});
  if (choices.banked) plan.regions[0].palette = 0;
}

}  // namespace

std::vector<uint8_t> GenerateScreen(TargetMode mode, uint32_t seed) {
  Random random(seed * 2654435761u + static_cast<uint32_t>(mode) * 40503u + 1);
  ScreenPlan plan;
  plan.colours_256 = mode == TargetMode::kBytes || mode == TargetMode::kLookup;
  plan.cells_2x2 = random.Chance(40);
  plan.two_word_names = random.Chance(40);
  const uint32_t page_sizes[] = {64, 128, 1024, 2048, 2176, 4096};
  plan.bytes_per_page = page_sizes[random.Below(6)];
  plan.pages_across = static_cast<uint16_t>(1 + random.Below(2));
  plan.pages_down = static_cast<uint16_t>(1 + random.Below(2));

  Choices choices;
  choices.banked = mode == TargetMode::kBankedNibbles || mode == TargetMode::kLookup;
  choices.regions = random.Chance(40);
  choices.short_table = !choices.banked && !choices.regions && random.Chance(30);
  choices.bank = plan.colours_256 ? 256 : 16;
  choices.palettes = 2 + random.Below(3);

  const uint32_t cell_bytes = plan.colours_256 ? 64 : 32;
  const uint32_t characters = 1 + random.Below(24);
  const uint32_t dot_bytes =
      characters * (plan.cells_2x2 ? 4 : 1) * cell_bytes + random.Below(cell_bytes);
  for (uint32_t i = 0; i < dot_bytes; ++i) {
    plan.dot_data.push_back(static_cast<uint8_t>(random.Next() >> 24));
  }

  // Banked pictures need a full bank. A single bank may lie past the end of
  // the table.
  uint32_t entries =
      choices.bank * (1 + random.Below(choices.palettes)) + random.Below(choices.bank);
  if (choices.short_table) entries = random.Below(choices.bank);
  for (uint32_t i = 0; i < entries; ++i) {
    plan.colours.push_back(static_cast<uint16_t>(random.Next() >> 16));
  }

  FillNames(random, choices, characters, plan);
  if (choices.regions) AddRegions(random, choices, plan);
  return BuildScreenFile(plan);
}

}  // namespace krt::test
