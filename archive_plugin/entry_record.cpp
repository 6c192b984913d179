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
  // An index has at most ten digits, far inside the 200-byte name field.
  wsprintfA(record->filename, "%03d.2D", static_cast<int>(entry.index));
}

}  // namespace krt::archive
