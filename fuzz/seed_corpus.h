// Seed inputs for the fuzz targets, made with the screen-file builder: a
// screen for every rendering mode, page geometry and name form, packs of
// every shape the walk distinguishes, and both damaged the ways a hostile
// file would be (section ends past 2^32, page counts of 0 and 65535,
// sections shorter than their prefixes, palettes and characters past what
// the screen holds). The fuzz runner writes them to disk;
// the ordinary test suite runs every target over them directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace krt::fuzz {

struct Seed {
  std::string name;
  std::vector<uint8_t> bytes;
};

std::vector<Seed> ScreenSeeds();
std::vector<Seed> PackSeeds();

}  // namespace krt::fuzz
