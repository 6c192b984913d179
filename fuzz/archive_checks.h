// What AXKRT promises a host about its entry records, checked on one answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugin_interface.h"
#include "reference_layout.h"

namespace krt::fuzz {

inline constexpr size_t kRecordSize = sizeof(fileInfo);

// The record AXKRT writes for entry `index`: method tag, position, both
// sizes, the entry name, every other byte zero.
fileInfo ExpectedRecord(const PackEntry& entry, int32_t index);
fileInfo ZeroRecord();
fileInfo UntouchedRecord();
bool SameRecord(const fileInfo& a, const fileInfo& b);

// Checks an entry list taken over from GetArchiveInfo: one record per entry
// of `entries`, in order, and the list's zero end mark.
void CheckEntryList(const std::vector<uint8_t>& list, const std::vector<PackEntry>& entries);

inline uint64_t EntryListSize(size_t entries) { return EntryListBytes<fileInfo>(entries); }

}  // namespace krt::fuzz
