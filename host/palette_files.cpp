#include "palette_files.h"

#include <cstdio>

#include "output_naming.h"
#include "png_writer.h"

namespace krt::host {
namespace {

struct FormatName {
  PaletteFormat format;
  const char* option;
  const char* extension;
};

constexpr FormatName kFormats[] = {
    {PaletteFormat::kSwatches, "png", ".png"},
    {PaletteFormat::kGimp, "gpl", ".gpl"},
    {PaletteFormat::kJasc, "pal", ".pal"},
    {PaletteFormat::kAdobe, "act", ".act"},
};

// An Adobe colour table: 256 slots of red, green, blue, then the number of
// colours used and the transparent slot (none), both 16-bit big-endian.
constexpr uint32_t kAdobeSlots = 256;
constexpr uint16_t kAdobeNoTransparency = 0xFFFF;

// As many colours as the largest swatch picture holds.
constexpr uint64_t kMostColours = kLargestSheetDots / (kSwatchDots * kSwatchDots);

void Append(std::vector<uint8_t>* bytes, const std::string& text) {
  bytes->insert(bytes->end(), text.begin(), text.end());
}

std::string Triple(const Rgb& colour, const char* format) {
  char line[32];
  std::snprintf(line, sizeof line, format, colour.red, colour.green, colour.blue);
  return line;
}

std::vector<uint8_t> GimpPalette(const std::vector<Rgb>& colours, const std::string& name) {
  std::vector<uint8_t> bytes;
  Append(&bytes,
         "GIMP Palette\nName: " + name + "\nColumns: " + std::to_string(kSwatchesPerRow) + "\n#\n");
  for (size_t k = 0; k < colours.size(); ++k) {
    Append(&bytes, Triple(colours[k], "%3u %3u %3u") + "\tcolour " + std::to_string(k) + "\n");
  }
  return bytes;
}

std::vector<uint8_t> JascPalette(const std::vector<Rgb>& colours) {
  std::vector<uint8_t> bytes;
  Append(&bytes, "JASC-PAL\r\n0100\r\n" + std::to_string(colours.size()) + "\r\n");
  for (const Rgb& colour : colours) Append(&bytes, Triple(colour, "%u %u %u\r\n"));
  return bytes;
}

std::vector<uint8_t> AdobeTable(const std::vector<Rgb>& colours) {
  std::vector<uint8_t> bytes(3 * kAdobeSlots, 0);
  for (size_t k = 0; k < colours.size(); ++k) {
    bytes[3 * k] = colours[k].red;
    bytes[3 * k + 1] = colours[k].green;
    bytes[3 * k + 2] = colours[k].blue;
  }
  const auto used = static_cast<uint16_t>(colours.size());
  bytes.insert(bytes.end(), {static_cast<uint8_t>(used >> 8), static_cast<uint8_t>(used),
                             kAdobeNoTransparency >> 8, kAdobeNoTransparency & 0xFF});
  return bytes;
}

Bitmap SwatchPicture(const std::vector<Rgb>& colours) {
  Bitmap picture;
  picture.width = kSwatchesPerRow * kSwatchDots;
  picture.rows =
      static_cast<uint32_t>((colours.size() + kSwatchesPerRow - 1) / kSwatchesPerRow * kSwatchDots);
  picture.depth = 24;
  picture.stride = 3 * picture.width;
  picture.bottom_up = false;
  picture.info.assign(kBitmapHeaderSize, 0);
  picture.pixels.assign(static_cast<size_t>(picture.stride) * picture.rows, 0);
  for (uint32_t y = 0; y < picture.rows; ++y) {
    uint8_t* row = picture.pixels.data() + static_cast<size_t>(picture.stride) * y;
    for (uint32_t x = 0; x < picture.width; ++x) {
      const size_t k = (y / kSwatchDots) * kSwatchesPerRow + x / kSwatchDots;
      if (k >= colours.size()) break;
      // Blue, green, red, as a bitmap stores them.
      row[3 * x] = colours[k].blue;
      row[3 * x + 1] = colours[k].green;
      row[3 * x + 2] = colours[k].red;
    }
  }
  return picture;
}

}  // namespace

const char* ExtensionOf(PaletteFormat format) {
  for (const FormatName& name : kFormats) {
    if (name.format == format) return name.extension;
  }
  return "";
}

Outcome ChoosePaletteFormat(const std::string& format_option, const std::string& named_file,
                            PaletteFormat* format) {
  const std::string extension = LowerExtension(named_file);
  const FormatName* by_option = nullptr;
  const FormatName* by_extension = nullptr;
  for (const FormatName& name : kFormats) {
    if (format_option == name.option) by_option = &name;
    if (extension == name.extension) by_extension = &name;
  }
  if (!format_option.empty() && by_option == nullptr) {
    return Outcome::Failed("unknown palette format \"" + format_option +
                           "\" (use png, gpl, pal or act)");
  }
  if (by_option == nullptr && by_extension == nullptr && !extension.empty()) {
    return Outcome::Failed(
        "krt writes palettes as .png, .gpl, .pal or .act files; name the "
        "output so, or give --format (not " +
        named_file + ")");
  }
  if (by_option != nullptr && by_extension != nullptr && by_option != by_extension) {
    return Outcome::Failed("the output name " + named_file + " contradicts --format " +
                           format_option);
  }
  const FormatName* chosen = by_option != nullptr ? by_option : by_extension;
  *format = chosen != nullptr ? chosen->format : PaletteFormat::kSwatches;
  return Outcome::Done();
}

Outcome EncodePaletteFile(const std::vector<Rgb>& colours, PaletteFormat format,
                          const std::string& name, std::vector<uint8_t>* bytes) {
  if (colours.size() > kMostColours) {
    return Outcome::Failed(std::to_string(colours.size()) + " colours are more than krt writes (" +
                           std::to_string(kMostColours) + ")");
  }
  switch (format) {
    case PaletteFormat::kSwatches: {
      std::string error;
      if (!EncodePng(SwatchPicture(colours), bytes, &error)) return Outcome::Failed(error);
      return Outcome::Done();
    }
    case PaletteFormat::kGimp:
      *bytes = GimpPalette(colours, name);
      return Outcome::Done();
    case PaletteFormat::kJasc:
      *bytes = JascPalette(colours);
      return Outcome::Done();
    case PaletteFormat::kAdobe:
      if (colours.size() > kAdobeSlots) {
        return Outcome::Failed("an Adobe colour table holds 256 colours, the screen has " +
                               std::to_string(colours.size()) + "; use png, gpl or pal");
      }
      *bytes = AdobeTable(colours);
      return Outcome::Done();
  }
  return Outcome::Failed("unknown palette format");
}

}  // namespace krt::host
