// The drawing of rows of characters, as templates over the rendering mode,
// the name width and the character size. Included by the units that draw,
// draw_scalar.cpp and draw_single.cpp (any processor) and draw_sse2.cpp
// (16-byte vectors, with its own compiler flags), so everything here has internal linkage: each unit keeps its own copy,
// compiled with its own flags, and the linker cannot hand one unit's copy to
// the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "big_endian.h"
#include "draw_cells.h"
#include "canvas.h"
#include "palette_regions.h"
#include "pattern_name.h"

namespace krt::image {
namespace {

// 8-bit output holds 16 banks of 16 colours; a 17th would not fit a byte.
constexpr uint32_t kByteBanks = 16;
constexpr uint32_t kNibbleBank = 16;
constexpr uint32_t kLookupBank = 256;
constexpr uint64_t kEveryByte = 0x0101010101010101ull;

// A character is one cell, or 2 x 2 cells when 16 dots square.
inline uint32_t CellsPerCharacter(const PictureCanvas& canvas) {
  return canvas.character_size == 2 * kCellDots ? 4 : 1;
}
constexpr uint32_t CharacterDots(uint32_t cells) { return cells == 4 ? 2 * kCellDots : kCellDots; }

// Where a picture's pattern names keep their fields: character number =
// (name & character_mask) >> the shift of NameCharacterShift; a flip mask of
// 0 means that flip never applies.
struct NameFields {
  uint32_t character_mask = 0;
  uint32_t flip_horizontal_mask = 0;
  uint32_t flip_vertical_mask = 0;
};

inline NameFields OneWordFields(const PictureCanvas& canvas) {
  const bool byte_dots = HasByteDots(canvas.mode);
  const uint32_t short_limit = OneWordShortFormLimit(byte_dots, CellsPerCharacter(canvas));
  NameFields fields;
  fields.character_mask = kOneWordLongCharacter;
  if (canvas.dot_data_size < short_limit) {
    fields.flip_vertical_mask = kOneWordFlipVertical;
    fields.flip_horizontal_mask = kOneWordFlipHorizontal;
    fields.character_mask = kOneWordShortCharacter;
  } else if (canvas.dot_data_size < kOneWordMiddleFormFactor * short_limit) {
    fields.character_mask = kOneWordMiddleCharacter;
  }
  return fields;
}

inline NameFields TwoWordFields(const PictureCanvas& canvas) {
  NameFields fields;
  if (!UsesPalette(canvas.mode) || canvas.palette_regions != nullptr) {
    fields.flip_vertical_mask = kTwoWordFlipVertical;
    fields.flip_horizontal_mask = kTwoWordFlipHorizontal;
  }
  fields.character_mask = kTwoWordCharacter;
  return fields;
}

inline NameFields FieldsOf(const PictureCanvas& canvas) {
  return canvas.name_width == 4 ? TwoWordFields(canvas) : OneWordFields(canvas);
}

struct MirroredCharacters;

// The canvas as one row of names is drawn from it: read once into values of
// the drawing function's own, which no pixel store can alias, with what
// follows from them worked out.
struct RowPlan {
  NameFields fields;
  uint32_t characters;     // whole characters in the dot data
  uint32_t palette_limit;  // a larger palette number becomes 0
  const uint8_t* dot_data;
  int64_t width_px;
  int64_t height_px;
  uint8_t* pixels;
  size_t row_stride;
  const uint8_t* palette_regions;
  const uint8_t* lookup_table;
  uint32_t lookup_entries;
  // 16-colour characters drawn mirrored come from here when not null.
  MirroredCharacters* mirrored;
};

template <RenderingMode kMode, uint32_t kCells>
KRT_INLINE RowPlan ReadCanvas(const PictureCanvas& canvas) {
  RowPlan plan;
  plan.fields = FieldsOf(canvas);
  plan.characters = canvas.dot_data_size / (kCells * CellBytes(kMode));
  plan.palette_limit =
      canvas.colour_count / (kMode == RenderingMode::kLookup ? kLookupBank : kNibbleBank);
  plan.dot_data = canvas.dot_data;
  plan.width_px = canvas.width_px;
  plan.height_px = canvas.height_px;
  plan.pixels = canvas.pixels;
  plan.row_stride = canvas.row_stride;
  plan.palette_regions = canvas.palette_regions;
  plan.lookup_table = canvas.lookup_table;
  plan.lookup_entries = canvas.lookup_entries;
  plan.mirrored = nullptr;
  return plan;
}

// Eight dots take as many bytes as one dot takes bits.
constexpr uint32_t BytesPer8Dots(RenderingMode mode) { return OutputBitsPerDot(mode); }

template <uint32_t kNameWidth>
KRT_INLINE uint32_t ReadName(const uint8_t* at) {
  if constexpr (kNameWidth == 4) {
    return ReadBe32(at);
  } else {
    return ReadBe16(at);
  }
}

// The palette of a character, clamped, or false when its colours cannot all
// be written: a 17th bank of 8-bit pixels would need values past 255, and a
// lookup bank must lie inside the lookup table.
template <RenderingMode kMode, uint32_t kNameWidth>
KRT_INLINE bool ChooseColours(const RowPlan& plan, uint32_t name, int32_t x, int32_t y,
                              CellColours* colours) {
  *colours = CellColours{};
  uint32_t palette = 0;
  if (plan.palette_regions != nullptr) {
    palette = RegionPalette(plan.palette_regions, x, y);
  } else {
    palette = NamePalette(name, kNameWidth);
  }
  if (palette > plan.palette_limit) palette = 0;
  if constexpr (kMode == RenderingMode::kBankedNibbles) {
    if (palette >= kByteBanks) return false;
    colours->bank_offset = kNibbleBank * palette * kEveryByte;
  } else {
    const uint64_t bank_end = uint64_t{palette} * kLookupBank + kLookupBank;
    if (bank_end > plan.lookup_entries) return false;
    colours->bank = plan.lookup_table + uint64_t{3} * kLookupBank * palette;
    // A 4-byte read of an entry reaches the first byte of the next one,
    // which exists unless the bank ends the table.
    colours->whole_word_entries = bank_end < plan.lookup_entries;
  }
  return true;
}

// Writes the one or four cells of a character into its box, whose lowest
// buffer row (the box's bottom row of dots) starts at `box`.
template <RenderingMode kMode, uint32_t kCells, bool kMirror, bool kUpsideDown>
KRT_INLINE void WriteCharacterCells(size_t row_stride, const uint8_t* first_cell, uint8_t* box,
                                    CellColours colours) {
  constexpr uint32_t size = CharacterDots(kCells);
  for (uint32_t m = 0; m < kCells; ++m) {
    const uint32_t across = kMirror ? (kCells == 4 ? 1 - (m & 1) : 0) : (m & 1);
    const uint32_t down = kUpsideDown ? (kCells == 4 ? 1 - (m >> 1) : 0) : (m >> 1);
    // Buffer rows count from the bottom: the cell in the box's upper half
    // starts eight rows above its lower half.
    uint8_t* lowest_row =
        box + (size - kCellDots - kCellDots * down) * row_stride + across * BytesPer8Dots(kMode);
    WriteCell<kMode, kMirror, kUpsideDown>(first_cell + CellBytes(kMode) * m, lowest_row,
                                           row_stride, colours);
  }
}

// The most characters a drawing unit prepares before writing any of them.
constexpr uint32_t kLargestGroup = 4;

// 16-colour characters already mirrored, for one picture. Mirroring a row
// of nibbles costs more than the rest of drawing it, and a picture repeats a
// few hundred characters, so a character drawn mirrored is mirrored once
// into a slot here and drawn unmirrored from there. Slots are chosen by
// character number and kept on the stack. A slot, once filled, keeps its
// character for the whole picture, since characters prepared together
// point into slots before any is written; a character whose slot holds
// another is mirrored each time into the next of kLargestGroup spare slots.
// Each copy holds its cells in the mirrored box's order (left and right
// cells exchanged).
struct MirroredCharacters {
  static constexpr uint32_t kBytes = 16384;
  static constexpr uint32_t kMostSlots = kBytes / kNibbleCellBytes;
  static constexpr uint32_t kLargestCharacter = 4 * kNibbleCellBytes;
  // No character number reaches it: dot data lies in a 32-bit block.
  static constexpr uint32_t kEmpty = UINT32_MAX;
  uint32_t held[kMostSlots];  // the character in each slot
  uint8_t cells[kBytes];
  uint8_t spares[kLargestGroup][kLargestCharacter];
  uint32_t next_spare;
};

template <uint32_t kCells>
constexpr uint32_t MirroredSlots() {
  return MirroredCharacters::kBytes / (kCells * kNibbleCellBytes);
}

template <uint32_t kCells>
void ClearMirroredCharacters(MirroredCharacters* mirrored) {
  for (uint32_t slot = 0; slot < MirroredSlots<kCells>(); ++slot) {
    mirrored->held[slot] = MirroredCharacters::kEmpty;
  }
  mirrored->next_spare = 0;
}

// Mirrors the character whose first cell is `first_cell` into `copy`. Done
// once per character and picture, so kept out of the drawing loops.
template <uint32_t kCells>
[[gnu::noinline]] void MirrorCharacter(const uint8_t* first_cell, uint8_t* copy) {
  for (uint32_t m = 0; m < kCells; ++m) {
    const uint8_t* from = first_cell + kNibbleCellBytes * (kCells == 4 ? m ^ 1 : m);
    for (uint32_t row = 0; row < kCellDots; ++row) {
      StoreWord32(copy + kNibbleCellBytes * m + 4 * row,
                  MirrorNibbleRow(LoadWord32(from + 4 * row)));
    }
  }
}

// Where the mirrored copy of `character`, whose own first cell is
// `first_cell`, starts; made now unless its slot holds it already.
template <uint32_t kCells>
KRT_INLINE const uint8_t* MirroredCharacter(MirroredCharacters* mirrored, uint32_t character,
                                            const uint8_t* first_cell) {
  const uint32_t slot = character % MirroredSlots<kCells>();
  uint8_t* copy = mirrored->cells + slot * (kCells * kNibbleCellBytes);
  if (__builtin_expect(mirrored->held[slot] != character, 0)) {
    if (mirrored->held[slot] != MirroredCharacters::kEmpty) {
      copy = mirrored->spares[mirrored->next_spare++ % kLargestGroup];
    } else {
      mirrored->held[slot] = character;
    }
    MirrorCharacter<kCells>(first_cell, copy);
  }
  return copy;
}

// A character ready to be drawn: where its cells start (null when it is not
// drawn), its flips and its colours. Left uninitialised until
// PrepareCharacter fills it: strips keep several on the stack, and zeroing
// them first costs as much as a cell.
struct ReadyCharacter {
  const uint8_t* first_cell;
  bool mirror;
  bool upside_down;
  CellColours colours;
};

// False when the character leaves its box as it is: a skipped name, a
// palette whose colours cannot be written, or a character past the dot data.
template <RenderingMode kMode, uint32_t kNameWidth, uint32_t kCells>
KRT_INLINE bool PrepareCharacter(const RowPlan& plan, uint32_t name, int32_t x, int32_t y,
                                 ReadyCharacter* ready) {
  constexpr uint32_t shift = NameCharacterShift(kNameWidth, HasByteDots(kMode));
  constexpr uint32_t character_bytes = kCells * CellBytes(kMode);
  const uint32_t character = (name & plan.fields.character_mask) >> shift;
  ready->mirror = (name & plan.fields.flip_horizontal_mask) != 0;
  ready->upside_down = (name & plan.fields.flip_vertical_mask) != 0;
  bool drawn = !(HasByteDots(kMode) && (name & kNameSkipBit) != 0);
  if constexpr (UsesPalette(kMode)) {
    drawn = drawn && ChooseColours<kMode, kNameWidth>(plan, name, x, y, &ready->colours);
  }
  drawn = drawn && character < plan.characters;
  // Inside the dot data when drawn: the character number is below its
  // character count.
  ready->first_cell = drawn ? plan.dot_data + uint64_t{character} * character_bytes : nullptr;
  if constexpr (!HasByteDots(kMode)) {
    if (drawn && ready->mirror && plan.mirrored != nullptr) {
      ready->first_cell = MirroredCharacter<kCells>(plan.mirrored, character, ready->first_cell);
      ready->mirror = false;
    }
  }
  return drawn;
}

// Writes a ready character into its box, at `box`.
template <RenderingMode kMode, uint32_t kCells>
KRT_INLINE void WriteCharacter(size_t row_stride, const ReadyCharacter& c, uint8_t* box) {
  if (c.mirror) {
    if (c.upside_down) {
      WriteCharacterCells<kMode, kCells, true, true>(row_stride, c.first_cell, box, c.colours);
    } else {
      WriteCharacterCells<kMode, kCells, true, false>(row_stride, c.first_cell, box, c.colours);
    }
  } else if (c.upside_down) {
    WriteCharacterCells<kMode, kCells, false, true>(row_stride, c.first_cell, box, c.colours);
  } else {
    WriteCharacterCells<kMode, kCells, false, false>(row_stride, c.first_cell, box, c.colours);
  }
}

// Where characters of a 24-bit picture were drawn already: a character shown
// again with the same palette and mirroring is copied from its earlier box,
// row by row (in reverse when only the vertical flip differs), instead of
// being looked up dot by dot again. Pictures repeat a few hundred characters
// many times over. A fixed table with one entry per slot, kept on the stack
// for one picture; a newer character takes the slot of an older one.
struct DrawnBox {
  uint32_t cell;  // offset of the character's first cell in the dot data
  uint32_t bank;  // offset of its palette's first entry in the lookup table
  uint32_t box;   // offset of its box's lowest row in the pixel block
  bool mirror;
  bool upside_down;
};

struct DrawnBoxes {
  static constexpr uint32_t kSlotBits = 10;
  // An offset no character has: dot data ends before it.
  static constexpr uint32_t kEmpty = UINT32_MAX;
  DrawnBox slots[1u << kSlotBits];
};

inline void ClearDrawnBoxes(DrawnBoxes* boxes) {
  for (DrawnBox& slot : boxes->slots) slot = DrawnBox{DrawnBoxes::kEmpty, 0, 0, false, false};
}

// The slot of a character with its palette and mirroring.
KRT_INLINE uint32_t SlotOf(uint32_t cell, uint32_t bank, bool mirror) {
  const uint32_t key = ((cell >> 6) * 2 + (mirror ? 1 : 0)) ^ (bank >> 8) * 0x9E3779B1u;
  return (key * 0x9E3779B1u) >> (32 - DrawnBoxes::kSlotBits);
}

// Writes a ready 24-bit character into its box at `box`, copied from an
// earlier box when `boxes` knows one that shows the same.
template <uint32_t kCells>
KRT_INLINE void WriteLookupCharacter(const RowPlan& plan, DrawnBoxes* boxes,
                                     const ReadyCharacter& c, uint8_t* box) {
  constexpr uint32_t size = CharacterDots(kCells);
  constexpr uint32_t row_bytes = size / kCellDots * BytesPer8Dots(RenderingMode::kLookup);
  // All three fit 32 bits: the dot data, the lookup table and the pixel
  // block are 32-bit blocks.
  const auto cell = static_cast<uint32_t>(c.first_cell - plan.dot_data);
  const auto bank = static_cast<uint32_t>(c.colours.bank - plan.lookup_table);
  DrawnBox& slot = boxes->slots[SlotOf(cell, bank, c.mirror)];
  if (slot.cell == cell && slot.bank == bank && slot.mirror == c.mirror) {
    const uint8_t* from = plan.pixels + slot.box;
    const size_t stride = plan.row_stride;
    if (slot.upside_down == c.upside_down) {
      for (uint32_t i = 0; i < size; ++i)
        std::memcpy(box + i * stride, from + i * stride, row_bytes);
    } else {
      for (uint32_t i = 0; i < size; ++i) {
        std::memcpy(box + i * stride, from + (size - 1 - i) * stride, row_bytes);
      }
    }
    return;
  }
  WriteCharacter<RenderingMode::kLookup, kCells>(plan.row_stride, c, box);
  slot = DrawnBox{cell, bank, static_cast<uint32_t>(box - plan.pixels), c.mirror, c.upside_down};
}

// How a drawing unit writes several neighbouring characters at once: `kDraws`
// says for which modes it does, `kCharacters<kCells>` how many make a group,
// and Write draws a group that is all ready. This one never does; the vector
// unit has its own.
struct OneAtATime {
  template <RenderingMode kMode>
  static constexpr bool kDraws = false;
  template <uint32_t kCells>
  static constexpr uint32_t kCharacters = 1;
  template <RenderingMode kMode, uint32_t kCells>
  static void Write(size_t, const ReadyCharacter*, uint8_t*) {}
};

// Draws the name stored at `name` in its box at character column `column`
// of row y, whose boxes' lowest buffer row starts at `lowest_row`, unless it
// leaves the box as it is. The column stays 64-bit, so that a loop over
// columns steps the box by a constant.
template <RenderingMode kMode, uint32_t kNameWidth, uint32_t kCells>
KRT_INLINE void DrawOne(const RowPlan& plan, DrawnBoxes* boxes, const uint8_t* name, int64_t column,
                        int32_t y, uint8_t* lowest_row) {
  constexpr uint32_t box_bytes = CharacterDots(kCells) / kCellDots * BytesPer8Dots(kMode);
  ReadyCharacter c;
  if (!PrepareCharacter<kMode, kNameWidth, kCells>(plan, ReadName<kNameWidth>(name),
                                                   static_cast<int32_t>(column), y, &c)) {
    return;
  }
  uint8_t* box = lowest_row + uint64_t(column) * box_bytes;
  if constexpr (kMode == RenderingMode::kLookup) {
    if (boxes != nullptr) {
      WriteLookupCharacter<kCells>(plan, boxes, c, box);
      return;
    }
  }
  WriteCharacter<kMode, kCells>(plan.row_stride, c, box);
}

// Draws a group of neighbouring characters, from x on, as one, and returns
// true; or returns false, having written nothing, when one of them leaves its
// box as it is. Preparing them all before writing any keeps every value in
// registers.
template <typename Groups, RenderingMode kMode, uint32_t kNameWidth, uint32_t kCells>
KRT_INLINE bool WriteGroup(const RowPlan& plan, const uint8_t* names, int32_t x, int32_t y,
                           uint8_t* box) {
  constexpr uint32_t group_size = Groups::template kCharacters<kCells>;
  ReadyCharacter group[group_size];
#pragma GCC unroll 4
  for (uint32_t g = 0; g < group_size; ++g) {
    if (!PrepareCharacter<kMode, kNameWidth, kCells>(plan,
                                                     ReadName<kNameWidth>(names + kNameWidth * g),
                                                     x + static_cast<int32_t>(g), y, &group[g])) {
      return false;
    }
  }
  Groups::template Write<kMode, kCells>(plan.row_stride, group, box);
  return true;
}

// Draws `count` names stored one after another from `names` at character
// columns x, x + 1, ... of row y; see DrawNameRow. Inlined into the walk
// below, so that the plan stays in its registers.
template <typename Groups, RenderingMode kMode, uint32_t kNameWidth, uint32_t kCells>
KRT_INLINE void DrawRow(const RowPlan& plan, DrawnBoxes* boxes, const uint8_t* names,
                        uint32_t count, int32_t x, int32_t y) {
  constexpr uint32_t size = CharacterDots(kCells);
  // Every box of the row shares its top and bottom: all inside the picture
  // or none.
  const int64_t top = int64_t{y} * size;
  if (y < 0 || top + size > plan.height_px) return;
  // Boxes left of the picture, or reaching past its right edge, are not
  // drawn: only columns 0 to columns - 1 fit.
  const int64_t columns = plan.width_px / size;
  const int64_t first = x < 0 ? -int64_t{x} : 0;
  const int64_t end = columns - x < int64_t{count} ? columns - x : int64_t{count};
  uint8_t* lowest_row = plan.pixels + uint64_t(plan.height_px - top - size) * plan.row_stride;
  constexpr uint32_t box_bytes = size / kCellDots * BytesPer8Dots(kMode);
  int64_t k = first;
  if constexpr (Groups::template kDraws<kMode>) {
    constexpr uint32_t group_size = Groups::template kCharacters<kCells>;
    for (; end - k >= group_size; k += group_size) {
      if (WriteGroup<Groups, kMode, kNameWidth, kCells>(plan, names + kNameWidth * k,
                                                        static_cast<int32_t>(x + k), y,
                                                        lowest_row + uint64_t(x + k) * box_bytes)) {
        continue;
      }
      // One of them leaves its box as it is: the others each on their own.
      for (uint32_t g = 0; g < group_size; ++g) {
        DrawOne<kMode, kNameWidth, kCells>(plan, boxes, names + kNameWidth * (k + g), x + k + g, y,
                                           lowest_row);
      }
    }
  }
  for (; k < end; ++k) {
    DrawOne<kMode, kNameWidth, kCells>(plan, boxes, names + kNameWidth * k, x + k, y, lowest_row);
  }
}

// Visits page rows, pages, rows and names in storage order and draws every
// name inside the used extent, the screen's first name at character column
// origin_x and row origin_y; pages, rows and names past the extent are not
// visited.
template <typename Groups, RenderingMode kMode, uint32_t kNameWidth, uint32_t kCells>
KRT_INLINE void WalkNames(const RowPlan& plan, DrawnBoxes* drawn, const PictureLayout& layout,
                          int32_t origin_x, int32_t origin_y) {
  const PageGeometry& geometry = layout.geometry;
  const uint64_t names_per_page = uint64_t{geometry.names_per_row} * geometry.rows_per_page;
  const uint64_t used_width = static_cast<uint64_t>(layout.used_width);
  const uint64_t used_height = static_cast<uint64_t>(layout.used_height);
  for (uint64_t page_row = 0; page_row < geometry.pages_down; ++page_row) {
    const uint64_t first_row = page_row * geometry.rows_per_page;
    if (first_row >= used_height) break;
    for (uint64_t page_column = 0; page_column < geometry.pages_across; ++page_column) {
      const uint64_t first_column = page_column * geometry.names_per_row;
      if (first_column >= used_width) break;
      const uint64_t page = page_row * geometry.pages_across + page_column;
      // The names of a page row that lie inside the used width.
      const uint64_t names_used = used_width - first_column < geometry.names_per_row
                                      ? used_width - first_column
                                      : geometry.names_per_row;
      for (uint64_t row = 0; row < geometry.rows_per_page; ++row) {
        if (first_row + row >= used_height) break;
        const uint64_t index = page * names_per_page + row * geometry.names_per_row;
        DrawRow<Groups, kMode, kNameWidth, kCells>(
            plan, drawn, layout.names + index * kNameWidth, static_cast<uint32_t>(names_used),
            static_cast<int32_t>(origin_x + int64_t(first_column)),
            static_cast<int32_t>(origin_y + int64_t(first_row + row)));
      }
    }
  }
}

// WalkNames with the canvas read once, before the first row, and the
// scratch of the mode on the stack: the boxes drawn so far for 24-bit
// pictures, the mirrored characters for 16-colour 8-dot ones. 16-dot
// characters would fill the slots four times as fast, and their pictures
// use as many characters, so they are mirrored as they are drawn.
template <typename Groups, RenderingMode kMode, uint32_t kNameWidth, uint32_t kCells>
void DrawNames(const PictureCanvas& canvas, const PictureLayout& layout, int32_t origin_x,
               int32_t origin_y) {
  RowPlan plan = ReadCanvas<kMode, kCells>(canvas);
  if constexpr (kMode == RenderingMode::kLookup) {
    DrawnBoxes boxes;
    ClearDrawnBoxes(&boxes);
    WalkNames<Groups, kMode, kNameWidth, kCells>(plan, &boxes, layout, origin_x, origin_y);
  } else if constexpr (!HasByteDots(kMode) && kCells == 1) {
    MirroredCharacters mirrored;
    ClearMirroredCharacters<kCells>(&mirrored);
    plan.mirrored = &mirrored;
    WalkNames<Groups, kMode, kNameWidth, kCells>(plan, nullptr, layout, origin_x, origin_y);
  } else {
    WalkNames<Groups, kMode, kNameWidth, kCells>(plan, nullptr, layout, origin_x, origin_y);
  }
}

template <typename Groups, RenderingMode kMode>
NameDrawer DrawerFor(uint32_t name_width, uint32_t cells) {
  if (name_width == 4) {
    return cells == 4 ? DrawNames<Groups, kMode, 4, 4> : DrawNames<Groups, kMode, 4, 1>;
  }
  return cells == 4 ? DrawNames<Groups, kMode, 2, 4> : DrawNames<Groups, kMode, 2, 1>;
}

// The drawing function of this unit for the canvas's mode, name width and
// character size.
template <typename Groups>
NameDrawer DrawerFor(const PictureCanvas& canvas) {
  const uint32_t cells = CellsPerCharacter(canvas);
  switch (canvas.mode) {
    case RenderingMode::kNibbles:
      return DrawerFor<Groups, RenderingMode::kNibbles>(canvas.name_width, cells);
    case RenderingMode::kBankedNibbles:
      return DrawerFor<Groups, RenderingMode::kBankedNibbles>(canvas.name_width, cells);
    case RenderingMode::kBytes:
      return DrawerFor<Groups, RenderingMode::kBytes>(canvas.name_width, cells);
    case RenderingMode::kLookup:
      break;
  }
  return DrawerFor<Groups, RenderingMode::kLookup>(canvas.name_width, cells);
}

}  // namespace
}  // namespace krt::image
