#include "archive_checks.h"

#include <cstdio>
#include <cstring>

#include "fuzz_check.h"

namespace krt::fuzz {

fileInfo ExpectedRecord(const PackEntry& entry, int32_t index) {
  fileInfo record = ZeroRecord();
  std::memcpy(record.method, "AxKRT", 6);
  record.position = static_cast<uint32_t>(entry.position);
  record.compsize = static_cast<uint32_t>(entry.screen_extent);
  record.filesize = static_cast<uint32_t>(entry.screen_extent);
  std::snprintf(record.filename, sizeof record.filename, "%03d.2D", index);
  return record;
}

fileInfo ZeroRecord() {
  fileInfo record;
  std::memset(&record, 0, sizeof record);
  return record;
}

fileInfo UntouchedRecord() {
  fileInfo record;
  std::memset(&record, 0xCD, sizeof record);
  return record;
}

bool SameRecord(const fileInfo& a, const fileInfo& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void CheckEntryList(const std::vector<uint8_t>& list, const std::vector<PackEntry>& entries) {
  KRT_FUZZ_CHECK(list.size() == EntryListSize(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    fileInfo listed;
    std::memcpy(&listed, list.data() + kRecordSize * i, sizeof listed);
    KRT_FUZZ_CHECK(SameRecord(listed, ExpectedRecord(entries[i], static_cast<int32_t>(i))));
  }
  KRT_FUZZ_CHECK(list.back() == 0);
}

}  // namespace krt::fuzz
