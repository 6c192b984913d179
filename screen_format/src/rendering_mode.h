// The four ways a picture's dots become pixels, chosen once per picture from
// the colour mode and the number of palettes in use.
#pragma once

#include <cstdint>

namespace krt::image {

enum class RenderingMode : uint8_t {
  kNibbles = 0,        // 16-colour dots written as 4-bit pixels
  kBankedNibbles = 1,  // 16-colour dots as 16 x palette + dot, 8-bit pixels
  kBytes = 2,          // 256-colour dots written as 8-bit pixels
  kLookup = 3,         // 256-colour dots looked up as 24-bit pixels
};

constexpr bool UsesPalette(RenderingMode mode) {
  return mode == RenderingMode::kBankedNibbles || mode == RenderingMode::kLookup;
}

constexpr bool HasByteDots(RenderingMode mode) {
  return mode == RenderingMode::kBytes || mode == RenderingMode::kLookup;
}

// Bits a dot takes in the output, which is also the bytes eight dots take.
constexpr uint32_t OutputBitsPerDot(RenderingMode mode) {
  switch (mode) {
    case RenderingMode::kNibbles:
      return 4;
    case RenderingMode::kLookup:
      return 24;
    default:
      return 8;
  }
}

}  // namespace krt::image
