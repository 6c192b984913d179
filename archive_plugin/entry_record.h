// The host's fileInfo record describing one entry of a pack.
#pragma once

#include "pack_walk.h"
#include "plugin_interface.h"

namespace krt::archive {

// Entries are stored, not compressed; this tag says which plug-in made them.
constexpr char kMethodTag[] = "AxKRT";

// Fills the whole record: method tag, position, both sizes equal to the
// screen extent, the name "%03d.2D" of the entry index; all else zero.
void BuildEntryRecord(const PackEntry& entry, fileInfo* record);

}  // namespace krt::archive
