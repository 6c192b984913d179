// Seed inputs for the fuzz targets, made with the screen-file builder: a
// screen for every rendering mode, page geometry and name form, and packs of
// every shape the walk distinguishes. The fuzz runner writes them to disk;
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
