#include "entry_record.h"

#include <windows.h>

#include <cstring>

namespace krt::archive {

template <typename Record>
void BuildEntryRecord(const PackEntry& entry, Record* record) {
  std::memset(record, 0, sizeof *record);
  std::memcpy(record->method, kMethodTag, sizeof kMethodTag);
  record->position = entry.position;
  record->compsize = entry.extent;
  record->filesize = entry.extent;
  static_assert(sizeof record->filename / sizeof record->filename[0] >= kEntryNameSize);
  char name[kEntryNameSize];
  FormatEntryName(entry.index, name);
  SpellName(name, record->filename);
}

template void BuildEntryRecord(const PackEntry&, fileInfo*);
template void BuildEntryRecord(const PackEntry&, fileInfoW*);

// An index or position has at most ten digits, so either name fits in
// kEntryNameSize bytes.
void FormatEntryName(uint32_t index, char* name) {
  wsprintfA(name, "%03d.2D", static_cast<int>(index));
}

void FormatUnlistedName(uint32_t position, char* name) { wsprintfA(name, "pos%u.2D", position); }

}  // namespace krt::archive
