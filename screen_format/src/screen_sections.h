// IFKRT's view of a screen's sections: which headers it accepts, and where
// the sections of a loaded screen lie in memory. A memory image holds the
// whole screen file; a file is loaded as a copy that starts at section 0 and
// ends with the last section the caller needs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "screen_layout.h"

namespace krt::image {

// IsSupported reads this much of a file: the magic and the section table.
// A memory image must hold at least as much.
constexpr uint32_t kDetectionBytes = format::kShortestScreenImage;

// IFKRT's acceptance rule. Answers 1 when bytes 0-71 of `header` hold the
// magic and the four sections in table order, with the colour table ending
// within `length` bytes of the header's first byte; 0 otherwise. The fifth
// section entry and the palette regions play no part.
int FourSectionsInOrderWithin(const uint8_t* header, uint32_t length);

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
// header must have passed FourSectionsInOrderWithin, which puts the sections
// in table order at or after `loaded_from` when that is section 0's offset.
ScreenSections LocateSections(const uint8_t* header, const uint8_t* loaded, uint32_t loaded_from,
                              Section last_loaded);

// The sections of a whole screen file of `length` bytes at `image`, after
// FourSectionsInOrderWithin: false for an image shorter than
// kDetectionBytes, longer than 32 bits can count, or failing the check.
bool LocateWholeScreen(const uint8_t* image, size_t length, ScreenSections* sections);

// Bytes from section 0's start to the end of section `last`, which a file
// copy must hold. The header must have passed FourSectionsInOrderWithin.
uint64_t SpanThrough(const uint8_t* header, Section last);

}  // namespace krt::image
