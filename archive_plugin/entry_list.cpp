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

bool AppendEntry(EntryList* list, const PackEntry& entry) {
  const uint64_t record_at = uint64_t{sizeof(fileInfo)} * list->count;
  const uint64_t final_byte_at = record_at + sizeof(fileInfo);
  // Exactly one record more each time, so the list never holds more records
  // than entries.
  if (!ResizeBlock(&list->handle, final_byte_at + 1)) return false;
  uint8_t* bytes = LockBlock(list->handle);
  if (bytes == nullptr) return false;

  fileInfo record;
  BuildEntryRecord(entry, &record);
  std::memcpy(bytes + record_at, &record, sizeof record);
  bytes[final_byte_at] = 0;
  UnlockBlock(list->handle);
  ++list->count;
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
