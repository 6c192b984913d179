// The bundled samples: four test cards, one for each way a screen can be
// rendered, and a pack holding all four. Each card is something a person can
// check by eye: a border that marks the edges, colour bars, captions in a
// small built-in font, and arrows whose direction shows each flip.
//
// The files are built from a plain description, the same on every run, so
// the committed samples can be made again and compared byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace krt::samples {

struct SampleFile {
  std::string name;  // file name inside samples/
  std::vector<uint8_t> bytes;
};

// What a card shows, for tests that check a rendering against it.
struct CardFacts {
  std::string name;
  uint32_t width_px = 0;
  uint32_t height_px = 0;
  int depth = 0;                // bits per pixel of the rendered picture
  uint32_t char_size = 0;       // 8 or 16 dots
  uint32_t screen_columns = 0;  // the whole screen, in characters
  uint32_t screen_rows = 0;
};

inline constexpr char kPackName[] = "samples.BIN";

// The four cards' facts, in the order they stand in the pack.
std::vector<CardFacts> SampleCards();

// A card as it should look: RGB dots, rows from the top.
struct ExpectedPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgb;
};

// The four screen files, then the pack.
std::vector<SampleFile> BuildSampleFiles();

// How each of the four cards should look when rendered, worked out from its
// layout (tiles, flips, palettes) and colour table, not from the file.
std::vector<ExpectedPicture> ExpectedPictures();

}  // namespace krt::samples
