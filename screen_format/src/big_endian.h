// Numbers in screen files are big-endian and need not be aligned, so they are
// assembled byte by byte here and nowhere else.
#pragma once

#include <cstdint>

namespace krt {

inline uint16_t ReadBe16(const uint8_t* at) {
  return static_cast<uint16_t>((at[0] << 8) | at[1]);
}

inline uint32_t ReadBe32(const uint8_t* at) {
  return (static_cast<uint32_t>(at[0]) << 24) | (static_cast<uint32_t>(at[1]) << 16) |
         (static_cast<uint32_t>(at[2]) << 8) | static_cast<uint32_t>(at[3]);
}

}  // namespace krt
