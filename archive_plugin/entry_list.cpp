#include "entry_list.h"

#include <cstring>

#include "entry_record.h"
#include "host_memory.h"

namespace krt::archive {

namespace {

uint64_t ListBytes(const EntryList& list, uint32_t records) {
  return list.wide ? EntryListBytes<fileInfoW>(records) : EntryListBytes<fileInfo>(records);
}

size_t RecordSize(const EntryList& list) { return list.wide ? sizeof(fileInfoW) : sizeof(fileInfo); }

template <typename Record>
void WriteRecord(const PackEntry& entry, uint8_t* at) {
  Record record;
  BuildEntryRecord(entry, &record);
  std::memcpy(at, &record, sizeof record);
}

// Room for half as many records again as the list holds, and one at a time
// while it is small. Growing by a share of the size keeps a listing of many
// thousand screens linear whatever the heap does on re-allocation; growing
// by one record each time copies the whole list every time on a heap that
// cannot grow the block in place.
uint32_t GrownCapacity(uint32_t count) {
  const uint32_t more = count / 2 > 0 ? count / 2 : 1;
  return count > UINT32_MAX - more ? UINT32_MAX : count + more;
}

}  // namespace

bool StartEntryList(bool wide, EntryList* list) {
  *list = EntryList{};
  list->wide = wide;
  list->handle = AllocateBlock(ListBytes(*list, 0));
  return list->handle != nullptr;
}

bool AppendEntry(EntryList* list, const PackEntry& entry) {
  if (list->count == list->capacity) {
    const uint32_t capacity = GrownCapacity(list->count);
    if (!ResizeBlock(&list->handle, ListBytes(*list, capacity))) return false;
    list->capacity = capacity;
  }
  uint8_t* bytes = LockBlock(list->handle);
  if (bytes == nullptr) return false;

  const uint64_t record_at = uint64_t{RecordSize(*list)} * list->count;
  if (list->wide) {
    WriteRecord<fileInfoW>(entry, bytes + record_at);
  } else {
    WriteRecord<fileInfo>(entry, bytes + record_at);
  }
  // The end mark after the last record, whatever the block held there.
  const uint64_t end_at = record_at + RecordSize(*list);
  std::memset(bytes + end_at, 0, ListBytes(*list, 0));
  UnlockBlock(list->handle);
  ++list->count;
  return true;
}

bool FinishEntryList(EntryList* list) {
  if (list->capacity == list->count) return true;
  if (!ResizeBlock(&list->handle, ListBytes(*list, list->count))) return false;
  list->capacity = list->count;
  return true;
}

void DiscardEntryList(EntryList* list) {
  if (list->handle != nullptr) FreeBlock(list->handle);
  *list = EntryList{};
}

HLOCAL HandOverEntryList(EntryList* list) {
  HLOCAL handle = list->handle;
  *list = EntryList{};
  return handle;
}

}  // namespace krt::archive
