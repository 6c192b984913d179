#include "draw_character.h"

#include "big_endian.h"
#include "cell_strips.h"
#include "cell_writing.h"
#include "palette_regions.h"

namespace krt::image {

namespace {

// 8-bit output holds 16 banks of 16 colours; a 17th would not fit a byte.
constexpr uint32_t kByteBanks = 16;
constexpr uint32_t kLookupBank = 256;
constexpr uint64_t kEveryByte = 0x0101010101010101ull;

uint32_t CellsOf(const PictureCanvas& canvas) { return canvas.character_size == 16 ? 4 : 1; }
uint32_t CellBytesOf(const PictureCanvas& canvas) { return HasByteDots(canvas.mode) ? 64 : 32; }

// Where the character number starts in a name: 256-colour characters take
// two 16-colour ones' room, so their numbers are one bit higher.
constexpr uint32_t CharacterShift(RenderingMode mode, uint32_t name_width) {
  return (name_width == 4 ? 2 : 0) + (HasByteDots(mode) ? 1 : 0);
}

NameFields OneWordFields(const PictureCanvas& canvas) {
  // The thresholds are the dot data that 10 and 12 bits of character number
  // can address.
  const uint32_t first_threshold =
      (CellBytesOf(canvas) == 64 ? 0x8000u : 0x4000u) * CellsOf(canvas);
  const uint32_t second_threshold = 4 * first_threshold;
  NameFields fields;
  fields.character_mask = 0xFFFF;
  if (canvas.dot_data_size < first_threshold) {
    fields.flip_vertical_mask = 0x0800;
    fields.flip_horizontal_mask = 0x0400;
    fields.character_mask = 0x3FF;
  } else if (canvas.dot_data_size < second_threshold) {
    fields.character_mask = 0xFFF;
  }
  fields.character_shift = CharacterShift(canvas.mode, 2);
  return fields;
}

NameFields TwoWordFields(const PictureCanvas& canvas) {
  NameFields fields;
  // With palettes taken from the names, the flip bits are the top of the
  // palette number instead.
  if (!UsesPalette(canvas.mode) || canvas.palette_regions != nullptr) {
    fields.flip_vertical_mask = 0x80000000u;
    fields.flip_horizontal_mask = 0x40000000u;
  }
  // Bits 2 (16-colour dots) or 3 (256-colour dots) to 27.
  fields.character_shift = CharacterShift(canvas.mode, 4);
  fields.character_mask = 0x0FFFFFFFu;
  return fields;
}

KRT_INLINE DecodedName Decode(const NameFields& fields, uint32_t name) {
  DecodedName decoded;
  decoded.character = (name & fields.character_mask) >> fields.character_shift;
  decoded.flip_horizontal = (name & fields.flip_horizontal_mask) != 0;
  decoded.flip_vertical = (name & fields.flip_vertical_mask) != 0;
  return decoded;
}

constexpr uint32_t BytesPer8Dots(RenderingMode mode) {
  switch (mode) {
    case RenderingMode::kNibbles:
      return 4;
    case RenderingMode::kLookup:
      return 24;
    default:
      return 8;
  }
}

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
KRT_INLINE bool ChooseColours(const CharacterPlan& plan, uint32_t name, int32_t x, int32_t y,
                              CellColours* colours) {
  *colours = CellColours{};
  uint32_t palette = 0;
  if (plan.palette_regions != nullptr) {
    palette = RegionPalette(plan.palette_regions, x, y);
  } else {
    palette = (name >> (kNameWidth == 4 ? 28 : 12)) & 0xF;
  }
  if (palette > plan.palette_limit) palette = 0;
  if constexpr (kMode == RenderingMode::kBankedNibbles) {
    if (palette >= kByteBanks) return false;
    colours->bank_offset = kByteBanks * palette * kEveryByte;
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
KRT_INLINE void WriteCharacterCells(const CharacterPlan& plan, const uint8_t* first_cell,
                                    uint8_t* box, CellColours colours) {
  constexpr uint32_t size = kCells == 4 ? 16 : 8;
  constexpr uint32_t cell_bytes = HasByteDots(kMode) ? 64 : 32;
  for (uint32_t m = 0; m < kCells; ++m) {
    const uint32_t across = kMirror ? (kCells == 4 ? 1 - (m & 1) : 0) : (m & 1);
    const uint32_t down = kUpsideDown ? (kCells == 4 ? 1 - (m >> 1) : 0) : (m >> 1);
    // Buffer rows count from the bottom: the cell in the box's upper half
    // starts eight rows above its lower half.
    uint8_t* lowest_row = box + (size - kCellDots - kCellDots * down) * plan.row_stride +
                          across * BytesPer8Dots(kMode);
    WriteCell<kMode, kMirror, kUpsideDown>(first_cell + cell_bytes * m, lowest_row,
                                           plan.row_stride, colours);
  }
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
KRT_INLINE bool PrepareCharacter(const CharacterPlan& plan, uint32_t name, int32_t x, int32_t y,
                                 ReadyCharacter* ready) {
  // Decode's fields taken one by one, so that none is packed into a record,
  // and the shift and the character size known here as constants.
  constexpr uint32_t shift = CharacterShift(kMode, kNameWidth);
  constexpr uint32_t character_bytes = kCells * (HasByteDots(kMode) ? 64 : 32);
  const uint32_t character = (name & plan.fields.character_mask) >> shift;
  ready->first_cell = nullptr;
  ready->mirror = (name & plan.fields.flip_horizontal_mask) != 0;
  ready->upside_down = (name & plan.fields.flip_vertical_mask) != 0;
  if (HasByteDots(kMode) && (name & 1) != 0) return false;
  if constexpr (UsesPalette(kMode)) {
    if (!ChooseColours<kMode, kNameWidth>(plan, name, x, y, &ready->colours)) return false;
  }
  if (character >= plan.characters) return false;
  // Inside the dot data: the character number is below its character count.
  ready->first_cell = plan.dot_data + uint64_t{character} * character_bytes;
  return true;
}

// Writes a ready character into its box, at `box`.
template <RenderingMode kMode, uint32_t kCells>
KRT_INLINE void WriteCharacter(const CharacterPlan& plan, const ReadyCharacter& c, uint8_t* box) {
  if (c.mirror) {
    if (c.upside_down) {
      WriteCharacterCells<kMode, kCells, true, true>(plan, c.first_cell, box, c.colours);
    } else {
      WriteCharacterCells<kMode, kCells, true, false>(plan, c.first_cell, box, c.colours);
    }
  } else if (c.upside_down) {
    WriteCharacterCells<kMode, kCells, false, true>(plan, c.first_cell, box, c.colours);
  } else {
    WriteCharacterCells<kMode, kCells, false, false>(plan, c.first_cell, box, c.colours);
  }
}

// Draws one character whose box lies inside the picture, at `box`.
template <RenderingMode kMode, uint32_t kNameWidth, uint32_t kCells>
KRT_INLINE void DrawOne(const CharacterPlan& plan, uint32_t name, int32_t x, int32_t y,
                        uint8_t* box) {
  ReadyCharacter c{};
  if (PrepareCharacter<kMode, kNameWidth, kCells>(plan, name, x, y, &c)) {
    WriteCharacter<kMode, kCells>(plan, c, box);
  }
}

#if KRT_CELL_STRIPS

// 16-colour characters are drawn four cells across at a time: four 8-dot
// characters or two 16-dot ones.
constexpr bool DrawsStrips(RenderingMode mode) { return !HasByteDots(mode); }

// Cells across a character's box, and characters whose cells make a strip.
constexpr uint32_t CellsAcross(uint32_t cells) { return cells == 4 ? 2 : 1; }
constexpr uint32_t StripCharacters(uint32_t cells) { return 4 / CellsAcross(cells); }

// Writes the characters of one strip, all ready, into their boxes from `box`.
template <RenderingMode kMode, uint32_t kCells>
KRT_INLINE void WriteStrips(const CharacterPlan& plan,
                            const ReadyCharacter (&group)[StripCharacters(kCells)], uint8_t* box) {
  constexpr uint32_t halves = kCells == 4 ? 2 : 1;
  for (uint32_t half = 0; half < halves; ++half) {
    NibbleCell cells[4];
    uint64_t banks[4];
#pragma GCC unroll 4
    for (uint32_t slot = 0; slot < 4; ++slot) {
      const ReadyCharacter& c = group[slot / CellsAcross(kCells)];
      uint32_t m = 0;
      if constexpr (kCells == 4) {
        // The cell that the flips bring to this quarter of the box.
        const uint32_t across = slot & 1;
        m = (c.mirror ? 1 - across : across) + 2 * (c.upside_down ? 1 - half : half);
      }
      cells[slot] = LoadNibbleCell(c.first_cell + 32 * m, c.mirror, c.upside_down);
      if constexpr (kMode == RenderingMode::kBankedNibbles) banks[slot] = c.colours.bank_offset;
    }
    // The box's upper half lies eight buffer rows above its lower half.
    uint8_t* lowest_row = box + (halves - 1 - half) * kCellDots * plan.row_stride;
    if constexpr (kMode == RenderingMode::kNibbles) {
      WriteNibbleStrip(cells, lowest_row, plan.row_stride);
    } else {
      WriteBankedStrip(cells, banks, lowest_row, plan.row_stride);
    }
  }
}

#endif  // KRT_CELL_STRIPS

template <RenderingMode kMode, uint32_t kNameWidth, uint32_t kCells>
void DrawNames(const CharacterPlan& shared_plan, const uint8_t* names, uint32_t count, int32_t x,
               int32_t y) {
  // A copy of its own that no pixel store can alias.
  const CharacterPlan plan = shared_plan;
  constexpr uint32_t size = kCells == 4 ? 16 : 8;
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
#if KRT_CELL_STRIPS
  if constexpr (DrawsStrips(kMode)) {
    constexpr uint32_t group_size = StripCharacters(kCells);
    for (; end - k >= group_size; k += group_size) {
      ReadyCharacter group[group_size];
      bool all_ready = true;
#pragma GCC unroll 4
      for (uint32_t g = 0; g < group_size; ++g) {
        all_ready &= PrepareCharacter<kMode, kNameWidth, kCells>(
            plan, ReadName<kNameWidth>(names + kNameWidth * (k + g)),
            static_cast<int32_t>(x + k + g), y, &group[g]);
      }
      uint8_t* box = lowest_row + uint64_t(x + k) * box_bytes;
      if (all_ready) {
        WriteStrips<kMode, kCells>(plan, group, box);
        continue;
      }
      // One of them leaves its box as it is: the others each on their own.
      for (uint32_t g = 0; g < group_size; ++g) {
        if (group[g].first_cell != nullptr) {
          WriteCharacter<kMode, kCells>(plan, group[g], box + g * box_bytes);
        }
      }
    }
  }
#endif
  for (; k < end; ++k) {
    const int64_t column = x + k;
    DrawOne<kMode, kNameWidth, kCells>(plan, ReadName<kNameWidth>(names + kNameWidth * k),
                                       static_cast<int32_t>(column), y,
                                       lowest_row + uint64_t(column) * box_bytes);
  }
}

using NameRowDrawer = void (*)(const CharacterPlan&, const uint8_t*, uint32_t, int32_t, int32_t);

template <RenderingMode kMode>
NameRowDrawer DrawerFor(uint32_t name_width, uint32_t cells) {
  if (name_width == 4) return cells == 4 ? DrawNames<kMode, 4, 4> : DrawNames<kMode, 4, 1>;
  return cells == 4 ? DrawNames<kMode, 2, 4> : DrawNames<kMode, 2, 1>;
}

NameRowDrawer DrawerFor(const CharacterPlan& plan) {
  switch (plan.mode) {
    case RenderingMode::kNibbles:
      return DrawerFor<RenderingMode::kNibbles>(plan.name_width, plan.cells);
    case RenderingMode::kBankedNibbles:
      return DrawerFor<RenderingMode::kBankedNibbles>(plan.name_width, plan.cells);
    case RenderingMode::kBytes:
      return DrawerFor<RenderingMode::kBytes>(plan.name_width, plan.cells);
    case RenderingMode::kLookup:
      break;
  }
  return DrawerFor<RenderingMode::kLookup>(plan.name_width, plan.cells);
}

}  // namespace

CharacterPlan PlanCharacters(const PictureCanvas& canvas) {
  CharacterPlan plan;
  plan.mode = canvas.mode;
  plan.name_width = canvas.name_width;
  plan.cells = CellsOf(canvas);
  plan.dot_data = canvas.dot_data;
  plan.width_px = canvas.width_px;
  plan.height_px = canvas.height_px;
  plan.pixels = canvas.pixels;
  plan.row_stride = canvas.row_stride;
  plan.palette_regions = canvas.palette_regions;
  plan.lookup_table = canvas.lookup_table;
  plan.lookup_entries = canvas.lookup_entries;
  plan.fields = canvas.name_width == 4 ? TwoWordFields(canvas) : OneWordFields(canvas);
  plan.character_bytes = plan.cells * CellBytesOf(canvas);
  plan.characters = canvas.dot_data_size / plan.character_bytes;
  const uint32_t bank_size = canvas.mode == RenderingMode::kLookup ? kLookupBank : 16;
  plan.palette_limit = canvas.colour_count / bank_size;
  return plan;
}

DecodedName DecodePatternName(const PictureCanvas& canvas, uint32_t name) {
  return Decode(PlanCharacters(canvas).fields, name);
}

void DrawCharacter(const PictureCanvas& canvas, uint32_t name, int32_t x, int32_t y) {
  const CharacterPlan plan = PlanCharacters(canvas);
  // The name is handed over already read, so it goes through as one stored
  // in the picture's own width.
  uint8_t stored[4];
  if (canvas.name_width == 4) {
    for (uint32_t i = 0; i < 4; ++i) stored[i] = static_cast<uint8_t>(name >> (24 - 8 * i));
  } else {
    stored[0] = static_cast<uint8_t>(name >> 8);
    stored[1] = static_cast<uint8_t>(name);
  }
  DrawNameRow(plan, stored, 1, x, y);
}

void DrawNameRow(const CharacterPlan& plan, const uint8_t* names, uint32_t count, int32_t x,
                 int32_t y) {
  DrawerFor(plan)(plan, names, count, x, y);
}

}  // namespace krt::image
