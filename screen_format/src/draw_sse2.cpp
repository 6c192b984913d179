// The drawing compiled for processors with 16-byte vectors (SSE2 on x86):
// 16-colour characters four cells across at a time (draw_cell_strips_sse2.h), and
// every mode with the wider loads and stores the compiler then has. The
// 32-bit Windows build compiles this unit alone with -msse2, and calls into
// it only when the processor reports SSE2 (FastestDrawingPath); only
// VectorNameDrawer leaves it, everything else has internal linkage.
#include "draw_cell_strips_sse2.h"
#include "draw_rows.h"
#include "drawing.h"

namespace krt::image {

namespace {

// 16-colour characters are drawn four cells across at a time: four 8-dot
// characters or two 16-dot ones.
struct CellStrips {
  template <RenderingMode kMode>
  static constexpr bool kDraws = !HasByteDots(kMode);
  template <uint32_t kCells>
  static constexpr uint32_t kCharacters = kCells == 4 ? 2 : 4;
  static_assert(kCharacters<1> <= kLargestGroup && kCharacters<4> <= kLargestGroup);

  // Writes the characters of one strip, all ready, into their boxes from
  // `box`.
  template <RenderingMode kMode, uint32_t kCells>
  KRT_INLINE static void Write(size_t row_stride, const ReadyCharacter* group, uint8_t* box) {
    constexpr uint32_t halves = kCells == 4 ? 2 : 1;
    constexpr uint32_t cells_across = kCells == 4 ? 2 : 1;
    for (uint32_t half = 0; half < halves; ++half) {
      NibbleCell cells[4];
      uint64_t banks[4];
#pragma GCC unroll 4
      for (uint32_t slot = 0; slot < 4; ++slot) {
        const ReadyCharacter& c = group[slot / cells_across];
        uint32_t m = 0;
        if constexpr (kCells == 4) {
          // The cell that the flips bring to this quarter of the box.
          const uint32_t across = slot & 1;
          m = (c.mirror ? 1 - across : across) + 2 * (c.upside_down ? 1 - half : half);
        }
        cells[slot] = LoadNibbleCell(c.first_cell + kNibbleCellBytes * m, c.mirror, c.upside_down);
        if constexpr (kMode == RenderingMode::kBankedNibbles) banks[slot] = c.colours.bank_offset;
      }
      // The box's upper half lies eight buffer rows above its lower half.
      uint8_t* lowest_row = box + (halves - 1 - half) * kCellDots * row_stride;
      if constexpr (kMode == RenderingMode::kNibbles) {
        WriteNibbleStrip(cells, lowest_row, row_stride);
      } else {
        WriteBankedStrip(cells, banks, lowest_row, row_stride);
      }
    }
  }
};

}  // namespace

NameDrawer VectorNameDrawer(const PictureCanvas& canvas) { return DrawerFor<CellStrips>(canvas); }

}  // namespace krt::image
