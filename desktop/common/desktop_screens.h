// What the desktop loaders (the Qt image plug-in and the gdk-pixbuf module)
// share: telling screens and packs by their first bytes, finding a file's
// pictures, and drawing one top row first into the toolkit's own buffer.
// Everything reads through the screen format library.
#pragma once

#include <cstddef>
#include <cstdint>

#include "screen_format/limits.h"
#include "screen_format/screen.h"

namespace krt::desktop {

enum class FileKind : uint8_t { kNeither, kScreen, kPack };

// How many first bytes Sniff looks at: a pack's first screen may begin up to
// 64 bytes in, and its scan window runs on from there.
inline constexpr size_t kSniffBytes = 4 + format::kScanWindowSize;

// A screen file by its header; otherwise a pack when a screen stands within
// its first scan window from byte 4 on, as the archive plug-in judges it.
// `file_length` is the whole file's, or UINT64_MAX when unknown (a pipe).
FileKind Sniff(const uint8_t* first_bytes, size_t available, uint64_t file_length);

// One picture of a file: the bytes of its screen.
struct ScreenSlice {
  size_t offset = 0;
  size_t length = 0;
};

// The pictures of a whole file in memory: a screen file is one, a pack one
// per entry. Writes at most `capacity` slices into `slices` (null when 0) and
// returns how many the file holds.
size_t ListScreens(const uint8_t* bytes, size_t length, ScreenSlice* slices, size_t capacity);

enum class PictureStatus : uint8_t {
  kReady,
  kNotAScreen,  // no screen header, or the section table runs past the end
  kNoPicture,   // a screen without a picture (no pages, nothing to show, ...)
  kTooLarge,    // past the drawing limit
  kOutOfMemory,
};

// A short English sentence for a status, for error messages.
const char* Explain(PictureStatus status);

// Describes one screen for drawing: kReady when it has a picture within the
// drawing limit.
PictureStatus Measure(const uint8_t* screen, size_t length, format::ScreenDescription* screen_out);

// Where a picture is drawn, top row first. With `indexed` (4- and 8-bit
// pictures only) one byte per dot holds the dot value and `colours` receives
// the colour table's 256 entries as red, green, blue; otherwise three bytes
// per dot hold red, green and blue.
struct PictureTarget {
  uint8_t* rows = nullptr;
  size_t row_stride = 0;
  bool indexed = false;
  uint8_t* colours = nullptr;  // 3 * 256 bytes when indexed
};

// Draws a screen that Measure found ready into `target`.
PictureStatus Draw(const uint8_t* screen, size_t length, const format::ScreenDescription& measured,
                   const PictureTarget& target);

}  // namespace krt::desktop
