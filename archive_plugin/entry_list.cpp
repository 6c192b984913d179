#include "entry_list.h"

#include <cstring>

#include "entry_record.h"
#include "host_memory.h"

namespace krt::archive {

bool StartEntryList(EntryList* list) {
  *list = EntryList{};
  list->handle = AllocateBlock(1);
  return list->handle != nullptr;
}

namespace {

uint64_t ListBytes(uint32_t records) { return uint64_t{sizeof(fileInfo)} * records + 1; }

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

bool AppendEntry(EntryList* list, const PackEntry& entry) {
  if (list->count == list->capacity) {
    const uint32_t capacity = GrownCapacity(list->count);
    if (!ResizeBlock(&list->handle, ListBytes(capacity))) return false;
    list->capacity = capacity;
  }
  uint8_t* bytes = LockBlock(list->handle);
  if (bytes == nullptr) return false;

  fileInfo record;
  BuildEntryRecord(entry, &record);
  const uint64_t record_at = uint64_t{sizeof(fileInfo)} * list->count;
  std::memcpy(bytes + record_at, &record, sizeof record);
  bytes[record_at + sizeof record] = 0;
  UnlockBlock(list->handle);
  ++list->count;
  return true;
}

bool FinishEntryList(EntryList* list) {
  if (list->capacity == list->count) return true;
  if (!ResizeBlock(&list->handle, ListBytes(list->count))) return false;
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
