// The entry list handed to the host: the fileInfo records of all entries
// back to back and one zero byte after them, where the method tag of a
// further record would begin.
#pragma once

#include <windows.h>

#include <cstdint>

#include "pack_walk.h"

namespace krt::archive {

struct EntryList {
  HLOCAL handle = nullptr;  // unlocked between appends
  uint32_t count = 0;
};

// Allocates the list holding only its final zero byte. False when the
// allocation fails.
bool StartEntryList(EntryList* list);

// Grows the list by one record and writes the entry into it. False when the
// re-allocation or the lock fails; the list then still holds the records
// appended before and can be discarded.
bool AppendEntry(EntryList* list, const PackEntry& entry);

void DiscardEntryList(EntryList* list);

// Gives up the plug-in's hold on the list: its handle now belongs to the host.
HLOCAL HandOverEntryList(EntryList* list);

}  // namespace krt::archive
