#include "screen_format/pack_walk.h"

#include "screen_format/locate_screen.h"

namespace krt::archive {
namespace {

bool EndWalk(PackWalk* walk, Result end_result) {
  walk->ended = true;
  walk->end_result = end_result;
  return false;
}

}  // namespace

void StartPackWalk(const PackSource& source, int64_t start_offset, uint32_t total_length,
                   PackWalk* walk) {
  walk->source = source;
  walk->offset = start_offset;
  walk->total_length = total_length;
  walk->next_index = 0;
  walk->ended = false;
  walk->end_result = kSuccess;
}

bool NextPackEntry(PackWalk* walk, PackEntry* entry) {
  if (walk->ended) return false;
  if (walk->offset + format::kScanWindowSize > walk->total_length) return EndWalk(walk, kSuccess);

  const uint8_t* window = nullptr;
  if (walk->source.image != nullptr) {
    // A file read refuses a negative offset by itself; an image needs telling.
    if (walk->offset < 0) return EndWalk(walk, kSuccess);
    window = walk->source.image + walk->offset;
  } else {
    const Result read =
        walk->source.read(walk->source.context, walk->offset, format::kScanWindowSize, walk->window);
    if (read != kSuccess) return EndWalk(walk, read);
    window = walk->window;
  }

  // The window fitted at an offset of 0 or more, below the total length.
  const auto available = static_cast<uint32_t>(walk->total_length - walk->offset);
  ScreenLocation screen;
  if (!LocateScreen(window, available, &screen)) return EndWalk(walk, kSuccess);

  const int64_t position = walk->offset + screen.magic_offset;
  const int64_t next_offset = position + screen.extent;
  // A screen is never shorter than its header, but a walk that stood still
  // or went back would never end, so that is not left to the scan alone.
  if (next_offset <= walk->offset) return EndWalk(walk, kSuccess);

  entry->index = walk->next_index;
  entry->position = static_cast<uint32_t>(position);
  entry->extent = screen.extent;
  walk->offset = next_offset;
  ++walk->next_index;
  return true;
}

}  // namespace krt::archive
