#include "bitmap_setup.h"

#include "big_endian.h"

namespace krt::image {

namespace {

void PutLe16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* at, uint32_t value) {
  PutLe16(at, value);
  PutLe16(at + 2, value >> 16);
}

void WriteBitmapHeader(const PictureLayout& layout, const BitmapSizes& sizes, uint8_t* block) {
  PutLe32(block + 0, kBitmapHeaderSize);
  PutLe32(block + 4, static_cast<uint32_t>(layout.width_px));
  // Positive: rows are stored bottom row first.
  PutLe32(block + 8, static_cast<uint32_t>(layout.height_px));
  PutLe16(block + 12, 1);
  PutLe16(block + 14, layout.output_depth);
  // Compression, resolution and colours used stay zero, as allocated.
  PutLe32(block + 20, static_cast<uint32_t>(sizes.pixel_bytes));
}

}  // namespace

uint32_t StartEntry(const PictureLayout& layout, uint32_t entries) {
  if (layout.mode == RenderingMode::kBankedNibbles) return 0;
  for (uint32_t bank = 0; bank < kBankCount; ++bank) {
    if (layout.bank_flags[bank] == 0) continue;
    const uint32_t start = bank * layout.colour_mode;
    return start > entries ? 0 : start;
  }
  return 0;
}

void ConvertColourEntry(const uint8_t* entry, uint8_t* out) {
  const uint16_t colour = ReadBe16(entry);
  const auto flag = static_cast<uint8_t>((colour & 0x8000) != 0 ? 4 : 0);
  out[0] = static_cast<uint8_t>((((colour >> 10) & 0x1F) << 3) + flag);
  out[1] = static_cast<uint8_t>((((colour >> 5) & 0x1F) << 3) + flag);
  out[2] = static_cast<uint8_t>(((colour & 0x1F) << 3) + flag);
}

BitmapSizes MeasureBitmap(const PictureLayout& layout, uint32_t colour_table_size) {
  BitmapSizes sizes;
  const uint64_t bits_per_row = uint64_t{layout.output_depth} * uint64_t(layout.width_px);
  sizes.row_stride = (bits_per_row + 31) / 32 * 4;
  sizes.pixel_bytes = sizes.row_stride * uint64_t(layout.height_px);
  if (layout.mode == RenderingMode::kLookup && colour_table_size >= kTablePrefixSize) {
    sizes.lookup_bytes = uint64_t{kLookupEntrySize} * colour_table_size - 3 * kTablePrefixSize;
  }
  return sizes;
}

uint32_t BitmapColourCount(const PictureLayout& layout, uint32_t entries) {
  // One palette: its bank alone. Otherwise every colour of the table.
  const uint32_t count = layout.palette_count == 1 ? layout.colour_mode : entries;
  if (layout.mode == RenderingMode::kLookup) return count;
  return count > kBitmapColourSlots ? kBitmapColourSlots : count;
}

uint32_t SetUpBitmap(const ScreenSections& screen, const PictureLayout& layout,
                     const BitmapSizes& sizes, uint8_t* info_block, uint8_t* lookup_table) {
  WriteBitmapHeader(layout, sizes, info_block);

  const uint32_t entries = ColourEntryCount(screen.size[kColourTable]);
  const uint8_t* colours = entries == 0 ? nullptr : screen.section[kColourTable] + kTablePrefixSize;
  const uint32_t count = BitmapColourCount(layout, entries);
  if (layout.mode == RenderingMode::kLookup) {
    // Several palettes, so the count is the table's own: every entry exists.
    for (uint32_t k = 0; k < count; ++k) {
      ConvertColourEntry(colours + 2 * k, lookup_table + kLookupEntrySize * k);
    }
    return count;
  }

  const uint32_t start = StartEntry(layout, entries);
  uint8_t* slots = info_block + kBitmapHeaderSize;
  // A bank that runs past the end of the table leaves its missing slots zero.
  for (uint32_t k = 0; k < count && start + k < entries; ++k) {
    ConvertColourEntry(colours + 2 * uint64_t{start + k}, slots + 4 * k);
  }
  return count;
}

}  // namespace krt::image
