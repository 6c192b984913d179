// A 16-bit colour entry of the colour table as the three bytes a Windows
// bitmap stores: blue, green, red.
#pragma once

#include <cstdint>

namespace krt::image {

// `entry` is the big-endian 16-bit entry: bit 15 a flag, bits 14-10 blue,
// 9-5 green, 4-0 red. Each 5-bit component becomes component x 8, plus 4
// when the flag is set. Writes out[0] = blue, out[1] = green, out[2] = red.
void ConvertColourEntry(const uint8_t* entry, uint8_t* out);

}  // namespace krt::image
