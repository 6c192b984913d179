// Random but reproducible screen files for each rendering mode, the same on
// every platform: a fixed generator, no library distributions.
#pragma once

#include <cstdint>
#include <vector>

namespace krt::test {

// The rendering mode a generated screen is made to need, told by the
// output it gets: 16-colour 4-bit, 16-colour banked 8-bit, 256-colour 8-bit
// and 256-colour 24-bit.
enum class TargetMode { kNibbles = 0, kBankedNibbles = 1, kBytes = 2, kLookup = 3 };

// A valid screen file with at least one non-zero pattern name. Names vary
// in character number (some past the dot data), flips, palettes and odd
// values; sizes vary across the page geometries and the name forms.
std::vector<uint8_t> GenerateScreen(TargetMode mode, uint32_t seed);

}  // namespace krt::test
