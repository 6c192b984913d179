#include "screen_header.h"

#include "big_endian.h"
#include "screen_magic.h"

namespace krt::image {

Section ReadSection(const uint8_t* header, int index) {
  const uint8_t* entry = header + 16 + 16 * index;
  return Section{ReadBe32(entry), ReadBe32(entry + 4)};
}

int CheckScreenHeader(const uint8_t* header, uint32_t length) {
  if (!HasScreenMagic(header)) return 0;
  uint64_t running_end = kScreenHeaderSize;
  for (int index = kScreenDescriptor; index <= kColourTable; ++index) {
    const Section section = ReadSection(header, index);
    if (section.offset < running_end) return 0;
    running_end = uint64_t{section.offset} + section.size;
  }
  return running_end <= length ? 1 : 0;
}

}  // namespace krt::image
