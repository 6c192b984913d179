// A screen's colours as the files palette tools import: a picture of
// swatches, a GIMP palette, a JASC palette or an Adobe colour table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "outcome.h"
#include "screen_pieces.h"

namespace krt::host {

enum class PaletteFormat { kSwatches, kGimp, kJasc, kAdobe };

// The file extension of each format: .png, .gpl, .pal, .act.
const char* ExtensionOf(PaletteFormat format);

// From --format ("", "png", "gpl", "pal" or "act") and the -o file name's
// extension, as ChooseFormat does for pictures; PNG swatches by default.
Outcome ChoosePaletteFormat(const std::string& format_option, const std::string& named_file,
                            PaletteFormat* format);

// Swatches: 16 colours a row, each 16 x 16 dots, as an RGB picture; places
// past the last colour are black.
inline constexpr uint32_t kSwatchesPerRow = 16;
inline constexpr uint32_t kSwatchDots = 16;

// The file's bytes; `name` is the palette's name where the format keeps one.
// Fails for more colours than the format holds (an Adobe table holds 256)
// or than krt writes.
Outcome EncodePaletteFile(const std::vector<Rgb>& colours, PaletteFormat format,
                          const std::string& name, std::vector<uint8_t>* bytes);

}  // namespace krt::host
