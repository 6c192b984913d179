// The host's fileInfo record describing one entry of a pack.
#pragma once

#include <cstddef>

#include "plugin_interface.h"
#include "screen_format/pack_walk.h"

namespace krt::archive {

// Entries are stored, not compressed; this tag says which plug-in made them.
constexpr char kMethodTag[] = "AxKRT";

// Room for any entry name, its terminating zero included.
constexpr size_t kEntryNameSize = 24;

// The entry's name in the listing: "%03d.2D" of its index.
void FormatEntryName(uint32_t index, char* name);

// The name of an entry that no listing of its pack names: "pos" and the
// position of its magic in decimal, then ".2D". It is never an entry name
// that GetFileInfo takes, so it cannot pass for another entry's.
void FormatUnlistedName(uint32_t position, char* name);

// Fills the whole record, fileInfo or fileInfoW: method tag, position, both
// sizes equal to the screen extent, the name "%03d.2D" of the entry index;
// all else zero.
template <typename Record>
void BuildEntryRecord(const PackEntry& entry, Record* record);

// An ASCII name spelt in the host's characters, terminating zero included.
template <typename Char>
void SpellName(const char* name, Char* spelt) {
  size_t at = 0;
  for (; name[at] != '\0'; ++at) spelt[at] = static_cast<Char>(name[at]);
  spelt[at] = 0;
}

}  // namespace krt::archive
