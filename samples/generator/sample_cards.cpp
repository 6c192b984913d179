#include "sample_cards.h"

#include <array>
#include <stdexcept>

#include "card_layout.h"
#include "screen_builder.h"

namespace krt::samples {
namespace {

using test::PaletteRegion;
using test::ScreenPlan;

struct Rgb {
  uint8_t r, g, b;
};

// A colour table entry: blue, green and red in five bits each, with the
// marker bit that screen dumps carry.
uint16_t ColourEntry(Rgb c) {
  return static_cast<uint16_t>(0x8000 | (c.b >> 3) << 10 | (c.g >> 3) << 5 | (c.r >> 3));
}

// The sixteen colours every card uses: navy paper, white ink, the classic
// bars, greys and a few more.
constexpr std::array<Rgb, 16> kTestColours = {{
    {0, 0, 96},       // 0 navy: the paper
    {255, 255, 255},  // 1 white: the ink
    {255, 255, 0},    // 2 yellow
    {0, 255, 255},    // 3 cyan
    {0, 255, 0},      // 4 green
    {255, 0, 255},    // 5 magenta
    {255, 0, 0},      // 6 red
    {0, 0, 255},      // 7 blue
    {0, 0, 0},        // 8 black
    {64, 64, 64},     // 9 dark grey
    {128, 128, 128},  // 10 grey
    {192, 192, 192},  // 11 light grey
    {255, 128, 0},    // 12 orange
    {255, 128, 192},  // 13 pink
    {128, 64, 0},     // 14 brown
    {128, 255, 128},  // 15 light green
}};

constexpr uint8_t kPaper = 0;
constexpr uint8_t kInk = 1;
constexpr uint8_t kYellow = 2;
constexpr uint8_t kRed = 6;

void AppendTestColours(std::vector<uint16_t>& colours, bool inverted) {
  for (const Rgb& c : kTestColours) {
    colours.push_back(ColourEntry(
        inverted ? Rgb{uint8_t(255 - c.r), uint8_t(255 - c.g), uint8_t(255 - c.b)} : c));
  }
}

uint8_t Mix(uint8_t from, uint8_t to, double t) {
  return static_cast<uint8_t>(from + (to - from) * t + 0.5);
}

// A ramp through the given stops, evenly spaced.
Rgb Ramp(const std::vector<Rgb>& stops, double t) {
  const double scaled = t * static_cast<double>(stops.size() - 1);
  size_t k = static_cast<size_t>(scaled);
  if (k >= stops.size() - 1) k = stops.size() - 2;
  const double f = scaled - static_cast<double>(k);
  return {Mix(stops[k].r, stops[k + 1].r, f), Mix(stops[k].g, stops[k + 1].g, f),
          Mix(stops[k].b, stops[k + 1].b, f)};
}

// A bank of 256 colours: its own paper at 0, the test colours at 1-15, and
// a ramp through the stops at 16-255.
void AppendRampBank(std::vector<uint16_t>& colours, Rgb paper, const std::vector<Rgb>& stops) {
  colours.push_back(ColourEntry(paper));
  for (size_t k = 1; k < kTestColours.size(); ++k) colours.push_back(ColourEntry(kTestColours[k]));
  for (int i = 16; i < 256; ++i) colours.push_back(ColourEntry(Ramp(stops, (i - 16) / 239.0)));
}

const std::vector<Rgb> kRainbow = {{255, 0, 0},   {255, 255, 0}, {0, 255, 0},
                                   {0, 255, 255}, {0, 0, 255},   {255, 0, 255}};
const std::vector<Rgb> kFire = {{0, 0, 0}, {255, 0, 0}, {255, 255, 0}, {255, 255, 255}};
const std::vector<Rgb> kIce = {{0, 0, 0}, {0, 0, 255}, {0, 255, 255}, {255, 255, 255}};

char HexDigit(uint32_t k) { return "0123456789ABCDEF"[k & 0xF]; }

// Sixteen bars of two characters each, with their colour numbers below.
void ColourBars(Card& card, uint32_t column, uint32_t top, uint32_t height, uint8_t palette) {
  for (uint32_t k = 0; k < 16; ++k) {
    const Tile bar = SolidTile(card.tile_size(), static_cast<uint8_t>(k));
    for (uint32_t row = top; row < top + height; ++row) {
      card.Put(column + 2 * k, row, bar, palette);
      card.Put(column + 2 * k + 1, row, bar, palette);
    }
    card.Write(column + 2 * k, top + height, std::string(1, HexDigit(k)), kInk, kPaper, palette);
  }
}

struct FlipDemo {
  uint32_t column;
  const char* caption;
  bool flip_h;
  bool flip_v;
};

// One arrow in each of the four flips, each captioned with its flip.
void FlipRow(Card& card, const std::array<FlipDemo, 4>& demos, uint32_t row, uint8_t palette) {
  const Tile arrow = ArrowTile(card.tile_size(), kYellow, kPaper);
  for (const FlipDemo& demo : demos) {
    card.Put(demo.column, row, arrow, palette, demo.flip_h, demo.flip_v);
    const std::string caption = demo.caption;
    card.Write(demo.column - static_cast<uint32_t>(caption.size() / 2), row + 1, caption, kInk,
               kPaper, palette);
  }
}

constexpr std::array<FlipDemo, 4> kWideFlips = {{{5, "AS IS", false, false},
                                                 {14, "H FLIP", true, false},
                                                 {23, "V FLIP", false, true},
                                                 {32, "H+V FLIP", true, true}}};

// 240 colours side by side, one dot column each, from colour 16 on.
void GradientBar(Card& card, uint32_t column, uint32_t top, uint32_t height, uint8_t palette) {
  const uint32_t size = card.tile_size();
  const uint32_t tiles = 240 / size;
  for (uint32_t k = 0; k < tiles; ++k) {
    Tile tile = SolidTile(size, 0);
    for (uint32_t y = 0; y < size; ++y) {
      for (uint32_t x = 0; x < size; ++x) tile.At(x, y) = static_cast<uint8_t>(16 + size * k + x);
    }
    for (uint32_t row = top; row < top + height; ++row) card.Put(column + k, row, tile, palette);
  }
}

// Pattern names in their 1-word, 10-bit form: flips in bits 10 and 11,
// palette in bits 12-15. 256-colour characters count in steps of two, bit 0
// being the skip bit.
uint32_t OneWordName(const Placement& p, bool colours_256) {
  const uint32_t character = colours_256 ? p.character << 1 : p.character;
  if (character > 0x3FF) throw std::logic_error("too many characters for 1-word names");
  return character | uint32_t{p.flip_h} << 10 | uint32_t{p.flip_v} << 11 |
         uint32_t{p.palette} << 12;
}

// Pattern names of 2 words, 16 colours: the character in bits 2-27, flips in
// bits 30 and 31 (honoured because the card has palette regions).
uint32_t TwoWordName(const Placement& p) {
  return p.character << 2 | uint32_t{p.flip_h} << 30 | uint32_t{p.flip_v} << 31;
}

void PlaceNames(const Card& card, ScreenPlan& plan, bool two_word) {
  for (uint32_t row = 0; row < card.rows(); ++row) {
    for (uint32_t column = 0; column < card.columns(); ++column) {
      const Placement& p = *card.At(column, row);
      const uint32_t name = two_word ? TwoWordName(p) : OneWordName(p, plan.colours_256);
      if (!test::SetName(plan, column, row, name)) throw std::logic_error("card off the screen");
    }
  }
}

// Below this much dot data, 1-word names keep their flip bits.
void CheckTenBitForm(const ScreenPlan& plan) {
  const size_t cells = plan.cells_2x2 ? 4 : 1;
  const size_t limit = (plan.colours_256 ? 0x8000 : 0x4000) * cells;
  if (plan.dot_data.size() >= limit) throw std::logic_error("dot data too large for flips");
}

// A card as laid out, and the screen file description made from it.
struct BuiltCard {
  Card card;
  ScreenPlan plan;
};

struct Caption {
  uint32_t column;
  uint32_t row;
  const char* text;
};

// A card's frame: paper as character 0, the border, a yellow title and a
// white subtitle.
Card StartCard(uint32_t columns, uint32_t rows, uint32_t tile_size, Caption title, Caption subtitle,
               uint8_t palette = 0) {
  Card card(columns, rows, tile_size);
  card.CharacterOf(SolidTile(tile_size, kPaper));
  card.Border(kInk, kRed, kYellow, palette);
  card.Write(title.column, title.row, title.text, kYellow, kPaper, palette);
  card.Write(subtitle.column, subtitle.row, subtitle.text, kInk, kPaper, palette);
  return card;
}

// Paper wherever nothing was placed, then the card's tiles and names into
// the plan.
BuiltCard FinishCard(Card card, ScreenPlan plan, uint8_t palette = 0) {
  card.FillEmpty(SolidTile(card.tile_size(), kPaper), palette);
  plan.dot_data = card.DotData(plan.colours_256);
  PlaceNames(card, plan, plan.two_word_names);
  if (!plan.two_word_names) CheckTenBitForm(plan);
  return {card, plan};
}

BuiltCard OnePaletteCard() {
  constexpr uint8_t kBank = 1;  // the card's colours are the second bank
  Card card = StartCard(40, 28, 8, {2, 2, "TEST CARD 1: 16 COLOURS"},
                        {2, 3, "ONE PALETTE, 4 BITS PER DOT"}, kBank);
  ColourBars(card, 4, 5, 7, kBank);
  FlipRow(card, kWideFlips, 15, kBank);
  card.Write(2, 22, "USED 40X28 OF 64X32 CHARACTERS", kInk, kPaper, kBank);
  card.Write(2, 24, "COLOURS FROM BANK 1 OF 2", kInk, kPaper, kBank);

  ScreenPlan plan;
  plan.pages_across = 2;
  // Bank 0 is all magenta: a picture taking its colours from there is wrong
  // at a glance.
  plan.colours.assign(16, ColourEntry({255, 0, 255}));
  AppendTestColours(plan.colours, false);
  return FinishCard(card, plan, kBank);
}

BuiltCard PaletteRegionCard() {
  Card card = StartCard(40, 28, 8, {2, 2, "TEST CARD 2: 16 COLOURS"},
                        {2, 3, "PALETTE REGIONS, 8 BITS PER DOT"});
  card.Write(4, 5, "PALETTE 0", kInk, kPaper);
  ColourBars(card, 4, 6, 3, 0);
  FlipRow(card, kWideFlips, 11, 0);
  card.Write(4, 15, "PALETTE 1: INVERTED", kInk, kPaper);
  ColourBars(card, 4, 16, 3, 0);
  FlipRow(card, kWideFlips, 21, 0);
  card.Write(2, 24, "USED 40X28 OF 48X32 CHARACTERS", kInk, kPaper);
  card.Write(2, 25, "3 PAGES ACROSS, 2-WORD NAMES", kInk, kPaper);

  ScreenPlan plan;
  plan.pages_across = 3;
  plan.two_word_names = true;
  AppendTestColours(plan.colours, false);
  AppendTestColours(plan.colours, true);
  // The top half in palette 0, the bottom half in palette 1.
  plan.regions = {PaletteRegion{0, 0, 40, 14, 0}, PaletteRegion{0, 14, 40, 14, 1}};
  // A fifth section, which the pack carries along and nothing interprets.
  const std::string note = "KRT SAMPLE: NOTES IN THE FIFTH SECTION";
  plan.fifth_section = std::vector<uint8_t>(note.begin(), note.end());
  return FinishCard(card, plan);
}

BuiltCard LargeCharacterCard() {
  Card card = StartCard(20, 14, 16, {2, 1, "TEST CARD 3"}, {1, 2, "256 COLOURS 16-DOT"});
  GradientBar(card, 2, 4, 2, 0);
  for (uint32_t k = 0; k < 16; ++k) {
    card.Put(2 + k, 7, SolidTile(16, static_cast<uint8_t>(k)));
    card.Write(2 + k, 8, std::string(1, HexDigit(k)), kInk, kPaper);
  }
  FlipRow(card,
          {{{3, "AS IS", false, false},
            {8, "H", true, false},
            {12, "V", false, true},
            {17, "HV", true, true}}},
          10, 0);
  card.Write(3, 12, "20X14 OF 64X64", kInk, kPaper);

  ScreenPlan plan;
  plan.colours_256 = true;
  plan.cells_2x2 = true;
  plan.bytes_per_page = 8192;  // 64 x 64 names of 1 word
  AppendRampBank(plan.colours, kTestColours[0], kRainbow);
  return FinishCard(card, plan);
}

BuiltCard ThreePaletteCard() {
  Card card = StartCard(40, 28, 8, {2, 2, "TEST CARD 4: 256 COLOURS"},
                        {2, 3, "THREE PALETTES, 24 BITS PER DOT"});
  const char* captions[] = {"PALETTE 0: RAINBOW", "PALETTE 1: FIRE", "PALETTE 2: ICE"};
  for (uint8_t p = 0; p < 3; ++p) {
    card.Write(5, 5 + 5 * p, captions[p], kInk, kPaper, p);
    GradientBar(card, 5, 6 + 5 * p, 3, p);
  }
  FlipRow(card, kWideFlips, 20, 0);
  card.Write(2, 24, "USED 40X28 OF 64X64 CHARACTERS", kInk, kPaper);

  ScreenPlan plan;
  plan.colours_256 = true;
  plan.pages_across = 2;
  plan.pages_down = 2;
  AppendRampBank(plan.colours, kTestColours[0], kRainbow);
  AppendRampBank(plan.colours, {64, 0, 0}, kFire);
  AppendRampBank(plan.colours, {0, 32, 64}, kIce);
  return FinishCard(card, plan);
}

std::vector<BuiltCard> BuildCards() {
  return {OnePaletteCard(), PaletteRegionCard(), LargeCharacterCard(), ThreePaletteCard()};
}

// The bank a character's colours come from: its palette region's, when the
// screen has regions, else the palette of its pattern name.
uint32_t BankOf(const BuiltCard& built, uint32_t column, uint32_t row) {
  for (const PaletteRegion& region : built.plan.regions) {
    if (column >= region.x && column < uint32_t{region.x} + region.width && row >= region.y &&
        row < uint32_t{region.y} + region.height) {
      return region.palette;
    }
  }
  return built.plan.regions.empty() ? built.card.At(column, row)->palette : 0;
}

// A colour entry as the plug-in converts it: five bits shifted up by three,
// plus 4 when the marker bit is set.
Rgb Converted(uint16_t entry) {
  const uint8_t marker = (entry & 0x8000) != 0 ? 4 : 0;
  return {static_cast<uint8_t>((entry & 0x1F) << 3 | marker),
          static_cast<uint8_t>((entry >> 5 & 0x1F) << 3 | marker),
          static_cast<uint8_t>((entry >> 10 & 0x1F) << 3 | marker)};
}

ExpectedPicture Expected(const BuiltCard& built) {
  const Card& card = built.card;
  const uint32_t size = card.tile_size();
  const uint32_t bank_size = built.plan.colours_256 ? 256 : 16;
  ExpectedPicture picture;
  picture.width = card.columns() * size;
  picture.height = card.rows() * size;
  picture.rgb.resize(size_t{3} * picture.width * picture.height);
  for (uint32_t row = 0; row < card.rows(); ++row) {
    for (uint32_t column = 0; column < card.columns(); ++column) {
      const Placement& p = *card.At(column, row);
      const Tile& tile = card.TileOf(p.character);
      const uint32_t bank = BankOf(built, column, row);
      for (uint32_t y = 0; y < size; ++y) {
        for (uint32_t x = 0; x < size; ++x) {
          const uint8_t dot = tile.At(p.flip_h ? size - 1 - x : x, p.flip_v ? size - 1 - y : y);
          const Rgb c = Converted(built.plan.colours.at(bank * bank_size + dot));
          uint8_t* out =
              &picture.rgb[3 * ((size_t{row} * size + y) * picture.width + column * size + x)];
          out[0] = c.r;
          out[1] = c.g;
          out[2] = c.b;
        }
      }
    }
  }
  return picture;
}

}  // namespace

std::vector<CardFacts> SampleCards() {
  return {
      {"card1-16-colours.2D", 320, 224, 4, 8, 64, 32},
      {"card2-palette-regions.2D", 320, 224, 8, 8, 48, 32},
      {"card3-256-colours-16-dot.2D", 320, 224, 8, 16, 64, 64},
      {"card4-three-palettes.2D", 320, 224, 24, 8, 64, 64},
  };
}

std::vector<SampleFile> BuildSampleFiles() {
  const std::vector<CardFacts> facts = SampleCards();
  const std::vector<BuiltCard> cards = BuildCards();
  std::vector<SampleFile> files;
  test::PackPlan pack;
  for (size_t i = 0; i < cards.size(); ++i) {
    files.push_back({facts[i].name, test::BuildScreenFile(cards[i].plan)});
    pack.screens.push_back(files.back().bytes);
  }
  // The first screen 4 bytes in, as packs have it; then no gap, and gaps of 8
  // and 60 bytes, the farthest a screen may lie from the one before.
  pack.gaps_before = {4, 0, 8, 60};
  pack.gap_fill = 0xEE;
  pack.trailer.assign(40, 0);
  files.push_back({kPackName, test::BuildPack(pack)});
  return files;
}

std::vector<ExpectedPicture> ExpectedPictures() {
  std::vector<ExpectedPicture> pictures;
  for (const BuiltCard& card : BuildCards()) pictures.push_back(Expected(card));
  return pictures;
}

}  // namespace krt::samples
