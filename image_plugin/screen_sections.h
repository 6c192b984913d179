// Where the sections of a loaded screen lie in memory. A memory image holds
// the whole screen file; a file is loaded as a copy that starts at section 0
// and ends with the last section the caller needs.
#pragma once

#include <cstdint>

#include "screen_header.h"

namespace krt::image {

struct ScreenSections {
  const uint8_t* header = nullptr;  // the 256 header bytes
  // Each section's first byte, or null when it was not loaded. Sizes are
  // those of the section table either way.
  const uint8_t* section[4] = {};
  uint32_t size[4] = {};

  const uint8_t* palette_regions() const { return header + kPaletteRegionsOffset; }
};

// `loaded` holds the bytes of the screen file from header offset
// `loaded_from` on, at least up to the end of section `last_loaded`. The
// header must have passed CheckScreenHeader, which puts the sections in
// table order at or after `loaded_from` when that is section 0's offset.
ScreenSections LocateSections(const uint8_t* header, const uint8_t* loaded, uint32_t loaded_from,
                              SectionIndex last_loaded);

// Bytes from section 0's start to the end of section `last`, which a file
// copy must hold. The header must have passed CheckScreenHeader.
uint64_t SpanThrough(const uint8_t* header, SectionIndex last);

}  // namespace krt::image
