#include "entry_record.h"

#include <windows.h>

#include <cstring>

namespace krt::archive {

void BuildEntryRecord(const PackEntry& entry, fileInfo* record) {
  std::memset(record, 0, sizeof *record);
  std::memcpy(record->method, kMethodTag, sizeof kMethodTag);
  record->position = entry.position;
  record->compsize = entry.extent;
  record->filesize = entry.extent;
  static_assert(sizeof record->filename >= kEntryNameSize);
  FormatEntryName(entry.index, record->filename);
}

// An index or position has at most ten digits, so either name fits in
// kEntryNameSize bytes.
void FormatEntryName(uint32_t index, char* name) {
  wsprintfA(name, "%03d.2D", static_cast<int>(index));
}

void FormatUnlistedName(uint32_t position, char* name) { wsprintfA(name, "pos%u.2D", position); }

}  // namespace krt::archive
