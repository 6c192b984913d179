#include "colour_conversion.h"

#include "big_endian.h"

namespace krt::image {

void ConvertColourEntry(const uint8_t* entry, uint8_t* out) {
  const uint16_t colour = ReadBe16(entry);
  const auto flag = static_cast<uint8_t>((colour & 0x8000) != 0 ? 4 : 0);
  out[0] = static_cast<uint8_t>((((colour >> 10) & 0x1F) << 3) + flag);
  out[1] = static_cast<uint8_t>((((colour >> 5) & 0x1F) << 3) + flag);
  out[2] = static_cast<uint8_t>(((colour & 0x1F) << 3) + flag);
}

}  // namespace krt::image
