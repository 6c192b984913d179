// Every limit the screen format library reads by, named once. The plug-ins,
// krt, the page and the desktop loaders all take them from here.
#pragma once

#include <cstdint>

namespace krt::format {

// The shortest memory image the image plug-in reads: the magic and the
// section table through the colour table's entry.
inline constexpr uint32_t kShortestScreenImage = 96;

// A pack is searched one window of this many bytes at a time (the magic may
// stand at offsets 0, 4, ..., 60 of it); a memory image shorter than one
// window holds no pack.
inline constexpr uint32_t kScanWindowSize = 160;

// The largest pixel block a picture is drawn into: 16384 x 16384 dots at 8
// bits, about 9400 x 9400 at 24. A few hundred kilobytes of pattern names
// can declare a picture of hundreds of megabytes, which in a 32-bit viewer
// exhausts the address space; the biggest real screens (4 x 4 pages of
// 64 x 64 names of 16-dot characters, 48 MB at 24 bits) stay well inside.
inline constexpr uint64_t kLargestPixelBlock = uint64_t{1} << 28;

}  // namespace krt::format
