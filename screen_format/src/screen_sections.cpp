#include "screen_sections.h"

namespace krt::image {

int FourSectionsInOrderWithin(const uint8_t* header, uint32_t length) {
  if (!HasScreenMagic(header)) return 0;
  uint64_t end = 0;
  if (!SectionsInTableOrder(header, kColourTable, &end)) return 0;
  return end <= length ? 1 : 0;
}

ScreenSections LocateSections(const uint8_t* header, const uint8_t* loaded, uint32_t loaded_from,
                              Section last_loaded) {
  ScreenSections sections;
  sections.header = header;
  for (int index = kScreenDescriptor; index <= kColourTable; ++index) {
    const SectionEntry entry = ReadSectionEntry(header, static_cast<Section>(index));
    sections.size[index] = entry.size;
    if (index <= last_loaded) sections.section[index] = loaded + (entry.offset - loaded_from);
  }
  return sections;
}

bool LocateWholeScreen(const uint8_t* image, size_t length, ScreenSections* sections) {
  // A shift, not a comparison with UINT32_MAX: where size_t has 32 bits that
  // comparison is always false, which the compiler reports.
  if (image == nullptr || length < kDetectionBytes || (uint64_t{length} >> 32) != 0) return false;
  if (FourSectionsInOrderWithin(image, static_cast<uint32_t>(length)) == 0) return false;
  *sections = LocateSections(image, image, 0, kColourTable);
  return true;
}

uint64_t SpanThrough(const uint8_t* header, Section last) {
  const SectionEntry first = ReadSectionEntry(header, kScreenDescriptor);
  const SectionEntry final_section = ReadSectionEntry(header, last);
  return uint64_t{final_section.offset} + final_section.size - first.offset;
}

}  // namespace krt::image
