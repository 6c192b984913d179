// Screen packs for the archive tests: the smallest screen a pack can hold,
// and packs generated from a seed with varied screens, gaps and trailers,
// together with where each screen stands.
#pragma once

#include <cstdint>
#include <vector>

#include "screen_builder.h"

namespace krt::test {

// A header whose four sections are empty and start at 256: a 256-byte screen.
std::vector<uint8_t> SmallestScreen();

// One to six screens of varied layouts (page sizes, section gaps, a fifth
// section or none), each after a gap of 0 to 60 bytes, then a trailer of
// 0 to 299 bytes that holds no screen. The same seed gives the same pack.
PackPlan GeneratedPack(uint32_t seed);

}  // namespace krt::test
