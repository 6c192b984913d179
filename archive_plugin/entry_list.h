// The entry list handed to the host: the fileInfo (or fileInfoW) records of
// all entries back to back, then the list's end mark (EntryListBytes in
// plugin_interface.h), where the method tag of a further record would begin.
#pragma once

#include <windows.h>

#include <cstdint>

#include "screen_format/pack_walk.h"

namespace krt::archive {

struct EntryList {
  HLOCAL handle = nullptr;  // unlocked between appends
  uint32_t count = 0;
  uint32_t capacity = 0;  // records the block has room for
  bool wide = false;      // fileInfoW records, for the W export
};

// Allocates the list holding only its end mark, of fileInfoW records when
// `wide` is set and fileInfo records otherwise. False when the allocation
// fails.
bool StartEntryList(bool wide, EntryList* list);

// Writes the entry as one more record, growing the block when it is full.
// False when the re-allocation or the lock fails; the list then still holds
// the records appended before and can be discarded.
bool AppendEntry(EntryList* list, const PackEntry& entry);

// Cuts the block to exactly its records and the end mark. False when that
// re-allocation fails.
bool FinishEntryList(EntryList* list);

void DiscardEntryList(EntryList* list);

// Gives up the plug-in's hold on the list: its handle now belongs to the host.
HLOCAL HandOverEntryList(EntryList* list);

}  // namespace krt::archive
