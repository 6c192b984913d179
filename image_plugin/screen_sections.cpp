#include "screen_sections.h"

namespace krt::image {

ScreenSections LocateSections(const uint8_t* header, const uint8_t* loaded, uint32_t loaded_from,
                              SectionIndex last_loaded) {
  ScreenSections sections;
  sections.header = header;
  for (int index = kScreenDescriptor; index <= kColourTable; ++index) {
    const Section entry = ReadSection(header, index);
    sections.size[index] = entry.size;
    if (index <= last_loaded) sections.section[index] = loaded + (entry.offset - loaded_from);
  }
  return sections;
}

uint64_t SpanThrough(const uint8_t* header, SectionIndex last) {
  const Section first = ReadSection(header, kScreenDescriptor);
  const Section final_section = ReadSection(header, last);
  return uint64_t{final_section.offset} + final_section.size - first.offset;
}

}  // namespace krt::image
