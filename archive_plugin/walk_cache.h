// Naming an entry as the listing names it: by its number in a walk of the
// pack from the source's first byte. A host that extracts every entry of a
// pack into a folder asks for one entry a call; the walks of a pack's file
// are kept between calls, so that the calls of such a run cost one walk in
// all instead of one walk each.
//
// The plug-in keeps at most kCachedWalks walks, the least recently used one
// giving way, each of at most kCachedWalkEntries entries of 8 bytes: at
// most 8 MiB. A walk is kept for one file as it stood: its identity (volume
// and file index), its size and its last-write time. A call whose file
// differs in any of these walks again, and a kept entry is used only while
// its section table still reads as it did in the walk.
#pragma once

#include <cstdint>

#include <windows.h>

#include "screen_format/pack_walk.h"
#include "plugin_interface.h"

namespace krt::archive {

constexpr uint32_t kCachedWalks = 4;
constexpr uint32_t kCachedWalkEntries = 1u << 18;

// The name of the entry whose magic stands at `position` in the source of
// `total_length` bytes, whose header (at least kScreenHeaderSize bytes)
// this call has read at `header`, into `name` (kEntryNameSize bytes): the
// listing's name, or, when the walk from the first byte passes the position
// or ends before it, a name of the position. A read that fails on the way
// fails the naming. The source is the memory `image` when there is one,
// walked each time (the entry stands at its start), else the open `file`,
// which uses the kept walks.
Result NameEntryAt(HANDLE file, const uint8_t* image, uint32_t total_length, uint32_t position,
                   const uint8_t* header, char* name);

}  // namespace krt::archive
