#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "krt_test_support.h"
#include "palette_files.h"
#include "screen_builder.h"
#include "screen_format/screen.h"
#include "screen_pieces.h"

namespace {

using namespace krt::test;
using krt::host::Rgb;

// The dot at (x, y) from the top of an indexed sheet.
uint8_t Dot(const krt::host::Bitmap& sheet, uint32_t x, uint32_t y) {
  const uint8_t* row = sheet.Row(y);
  if (sheet.depth == 8) return row[x];
  return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0xF;
}

// Three characters and half of a fourth, every cell filled with its own
// number plus 1: each lands at its column and row, its cells top-left,
// top-right, bottom-left, bottom-right, and the rest of the sheet is 0.
TEST(CharacterSheet, CharactersAndCellsLandInStorageOrder) {
  const struct {
    bool colours_256, cells_2x2;
    uint32_t columns;
  } cases[] = {{false, false, 16}, {false, true, 2}, {true, true, 1}, {true, false, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.colours_256 << c.cells_2x2 << c.columns);
    ScreenPlan plan;
    plan.colours_256 = c.colours_256;
    plan.cells_2x2 = c.cells_2x2;
    SetName(plan, 0, 0, 0x0008);
    const uint32_t cells = c.cells_2x2 ? 4 : 1, cell_bytes = c.colours_256 ? 64 : 32;
    for (uint32_t cell = 0; cell < 3 * cells + cells / 2; ++cell) {
      const auto value = static_cast<uint8_t>(cell + 1);
      plan.dot_data.insert(plan.dot_data.end(), cell_bytes,
                           c.colours_256 ? value : static_cast<uint8_t>(value << 4 | value));
    }
    krt::host::Bitmap sheet;
    ASSERT_TRUE(krt::host::DrawCharacterSheet(BuildScreenFile(plan), {c.columns, 0}, &sheet).ok);
    const uint32_t size = c.cells_2x2 ? 16 : 8;
    EXPECT_EQ(sheet.depth, c.colours_256 ? 8 : 4);
    EXPECT_EQ(sheet.width, c.columns * size);
    EXPECT_EQ(sheet.rows, (3 + c.columns - 1) / c.columns * size);
    for (uint32_t y = 0; y < sheet.rows; ++y) {
      for (uint32_t x = 0; x < sheet.width; ++x) {
        const uint32_t k = y / size * c.columns + x / size;
        const uint32_t cell = k * cells + (y % size) / 8 * (cells == 4 ? 2 : 1) + (x % size) / 8;
        ASSERT_EQ(Dot(sheet, x, y), k < 3 ? (cell + 1) & (c.colours_256 ? 0xFF : 0xF) : 0)
            << x << "," << y;
      }
    }
  }
}

// The sheet's colours are one bank, from the lowest palette the names use
// unless --bank says; entries past the table's end are black.
TEST(CharacterSheet, ColoursAreOneBankBlackPastTheTable) {
  const struct {
    std::optional<uint32_t> bank;
    uint32_t first_entry;  // of the table, in slot 0
  } cases[] = {{std::nullopt, 16}, {0, 0}, {1, 16}, {2, 32}, {4096, 65536}};
  ScreenPlan plan;
  SetName(plan, 0, 0, 0x2000);
  SetName(plan, 1, 0, 0x1001);
  plan.dot_data.assign(32, 0);
  for (uint16_t k = 0; k < 20; ++k) plan.colours.push_back(static_cast<uint16_t>(0x8000 | k));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first_entry);
    krt::host::Bitmap sheet;
    ASSERT_TRUE(krt::host::DrawCharacterSheet(BuildScreenFile(plan), {16, c.bank}, &sheet).ok);
    ASSERT_EQ(sheet.palette_entries, 16u);
    for (uint32_t k = 0; k < 16; ++k) {
      const uint32_t entry = c.first_entry + k;
      // Red is entry k's low five bits times 8, plus 4 for bit 15.
      const uint8_t red = entry < 20 ? static_cast<uint8_t>((entry & 0x1F) * 8 + 4) : 0;
      EXPECT_EQ(sheet.ColourSlot(k)[2], red) << k;
      EXPECT_EQ(sheet.ColourSlot(k)[0], entry < 20 ? 4 : 0) << k;
    }
  }
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(PaletteFiles, EachFormatHasItsBytes) {
  const std::vector<Rgb> colours = {{255, 0, 8}, {16, 32, 48}};
  std::vector<uint8_t> adobe(768, 0);
  std::copy_n(std::begin({255, 0, 8, 16, 32, 48}), 6, adobe.begin());
  adobe.insert(adobe.end(), {0, 2, 0xFF, 0xFF});
  const struct {
    krt::host::PaletteFormat format;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {krt::host::PaletteFormat::kGimp,
       Bytes("GIMP Palette\nName: card\nColumns: 16\n#\n255   0   8\tcolour 0\n"
             " 16  32  48\tcolour 1\n")},
      {krt::host::PaletteFormat::kJasc, Bytes("JASC-PAL\r\n0100\r\n2\r\n255 0 8\r\n16 32 48\r\n")},
      {krt::host::PaletteFormat::kAdobe, adobe},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(krt::host::EncodePaletteFile(colours, c.format, "card", &bytes).ok);
    EXPECT_EQ(bytes, c.bytes) << krt::host::ExtensionOf(c.format);
  }
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(krt::host::EncodePaletteFile(std::vector<Rgb>(257), krt::host::PaletteFormat::kAdobe,
                                            "card", &bytes)
                   .ok);
}

class PiecesCommand : public KrtTest {};

// Outputs for good screens and pack entries; one line per damaged input and
// no file for it.
TEST_F(PiecesCommand, DamagedInputsFailOneLineEachAndTheRestIsWritten) {
  WriteFileBytes(InFolder("blank.2D"), BuildScreenFile(ScreenPlan{}));
  auto cut = ReadFileBytes(Sample("card1-16-colours.2D"));
  cut.resize(cut.size() - 1);
  WriteFileBytes(InFolder("cut.2D"), cut);
  const struct {
    std::vector<std::string> command;
    const char* blank_says;
    const char* suffix;
  } cases[] = {{{"tiles"}, "the screen holds no whole character", "-tiles.png"},
               {{"palette", "--format", "gpl"}, "the screen holds no colours\n", "-palette.gpl"},
               {{"tmx"}, "the screen has no picture: no pattern name shows anything", ".tmx"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command[0]);
    const std::string out = InFolder(c.command[0] + "/");
    auto arguments = c.command;
    arguments.insert(arguments.end(),
                     {"-o", out, InFolder("blank.2D"), InFolder("cut.2D"), Sample("samples.BIN")});
    const auto run = RunKrtWith(arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(SaysFailure(run, InFolder("blank.2D"), c.blank_says));
    EXPECT_TRUE(SaysFailure(run, InFolder("cut.2D"), "not a screen file IFKRT reads\n"));
    std::vector<std::string> expected, outputs;
    for (const char* entry : {"000", "001", "002", "003"}) {
      expected.push_back(std::string("samples-") + entry + c.suffix);
    }
    // A map's tilesets are beside it; the damaged inputs have nothing.
    for (const std::string& name : FilesIn(out)) {
      EXPECT_EQ(name.rfind("samples-", 0), 0u) << name;
      if (name.ends_with(c.suffix)) outputs.push_back(name);
    }
    EXPECT_EQ(outputs, expected);
  }
}

// Names say nothing of how characters are drawn: the format word does, so a
// screen whose names are all zero still has its sheet. (The default bank
// is the names' lowest, which such a screen does not have: one is given.)
TEST_F(PiecesCommand, ZeroedNamesGiveTheCardsOwnSheet) {
  for (const char* card : {"card1-16-colours.2D", "card3-256-colours-16-dot.2D"}) {
    SCOPED_TRACE(card);
    auto bytes = ReadFileBytes(Sample(card));
    // Section 1's offset and size, big-endian at header bytes 32 and 36.
    const auto be32 = [&](size_t at) {
      return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
             uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
    };
    const uint32_t names_at = be32(32) + 16;
    const uint32_t names_end = be32(32) + be32(36);
    std::fill(bytes.begin() + names_at, bytes.begin() + names_end, 0);
    WriteFileBytes(InFolder("zeroed.2D"), bytes);
    ASSERT_EQ(RunKrtWith({"tiles", "--bank", "0", Sample(card), "-o", InFolder("card.png")}).status,
              0);
    ASSERT_EQ(
        RunKrtWith({"tiles", "--bank", "0", InFolder("zeroed.2D"), "-o", InFolder("zeroed.png")})
            .status,
        0);
    EXPECT_EQ(ReadFileBytes(InFolder("zeroed.png")), ReadFileBytes(InFolder("card.png")));
  }
}

// The map's text after `key`, up to the next tag.
std::string After(const std::string& text, const std::string& key) {
  const size_t at = text.find(key);
  if (at == std::string::npos) return "";
  const size_t start = at + key.size();
  return text.substr(start, text.find('<', start) - start);
}

// Maps keep the character size, one tileset per bank drawn, every flip the
// names make (each card has an arrow of each) and the raw names, row by row,
// as the format library reads them.
TEST_F(PiecesCommand, TmxMapsKeepSizesBanksFlipsAndNames) {
  const struct {
    const char* card;
    int size, tilesets;
  } cases[] = {{"card2-palette-regions", 8, 2},
               {"card3-256-colours-16-dot", 16, 1},
               {"card4-three-palettes", 8, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.card);
    ASSERT_EQ(RunKrtWith({"tmx", "-q", Sample(std::string(c.card) + ".2D")}).status, 0);
    const auto bytes = ReadFileBytes(Sample(std::string(c.card) + ".tmx"));
    const std::string tmx(bytes.begin(), bytes.end());
    EXPECT_EQ(std::stoi(After(tmx, "tilewidth=\"")), c.size);
    int tilesets = 0, flips = 0;
    for (size_t at = tmx.find("<tileset "); at != std::string::npos;
         at = tmx.find("<tileset ", at + 1)) {
      ++tilesets;
    }
    std::istringstream data(After(tmx, "<data encoding=\"csv\">"));
    for (std::string gid; std::getline(data, gid, ',');) flips |= 1 << (std::stoul(gid) >> 30);
    EXPECT_EQ(tilesets, c.tilesets);
    EXPECT_EQ(flips, 0b1111);  // bit k: GIDs with flip bits k

    const auto screen = ReadFileBytes(Sample(std::string(c.card) + ".2D"));
    krt::format::ScreenDescription described;
    krt::format::DescribeScreen(screen.data(), screen.size(), &described);
    std::vector<krt::format::CellView> cells(size_t(described.used_width) * described.used_height);
    ASSERT_TRUE(krt::format::DescribeCells(screen.data(), screen.size(), cells.data()));
    std::istringstream names(After(tmx, "<property name=\"pattern names\">"));
    size_t k = 0;
    for (std::string name; names >> std::ws && std::getline(names, name, ',');) {
      for (std::istringstream row(name); std::getline(row, name);) {
        ASSERT_LT(k, cells.size());
        EXPECT_EQ(std::stoul(name, nullptr, 16), cells[k++].name) << k;
      }
    }
    EXPECT_EQ(k, cells.size());
  }
}

}  // namespace
