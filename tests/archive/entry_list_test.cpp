#include "entry_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "entry_record.h"

namespace {

using krt::archive::EntryList;
using krt::archive::PackEntry;

constexpr size_t kRecord = sizeof(krt::fileInfo);

std::vector<uint8_t> ZeroRecordExcept(const PackEntry& entry, const char* name) {
  std::vector<uint8_t> record(kRecord, 0);
  std::memcpy(record.data(), "AxKRT", 6);
  std::memcpy(record.data() + 8, &entry.position, 4);
  std::memcpy(record.data() + 12, &entry.extent, 4);
  std::memcpy(record.data() + 16, &entry.extent, 4);
  std::memcpy(record.data() + 224, name, std::strlen(name));
  return record;
}

TEST(EntryRecord, FieldsAtTheirOffsetsAndEverythingElseZero) {
  const PackEntry entry{7, 0x01020304u, 0x0A0B0C0Du};
  krt::fileInfo record;
  std::memset(&record, 0xEE, sizeof record);
  krt::archive::BuildEntryRecord(entry, &record);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + kRecord), ZeroRecordExcept(entry, "007.2D"));
}

TEST(EntryRecord, NamesGrowPastThreeDigits) {
  const std::pair<uint32_t, const char*> names[] = {
      {0, "000.2D"}, {42, "042.2D"}, {999, "999.2D"}, {1000, "1000.2D"}, {123456, "123456.2D"}};
  for (const auto& [index, name] : names) {
    krt::fileInfo record;
    krt::archive::BuildEntryRecord(PackEntry{index, 0, 256}, &record);
    EXPECT_STREQ(record.filename, name);
  }
}

TEST(EntryList, HoldsTheRecordsAndOneFinalZeroByte) {
  EntryList list;
  ASSERT_TRUE(krt::archive::StartEntryList(&list));
  EXPECT_EQ(LocalSize(list.handle), 1u);
  const PackEntry entries[] = {{0, 4, 2356}, {1, 2420, 256}, {2, 2676, 300}};
  for (const PackEntry& entry : entries) ASSERT_TRUE(krt::archive::AppendEntry(&list, entry));
  EXPECT_EQ(list.count, 3u);

  HLOCAL handle = krt::archive::HandOverEntryList(&list);
  EXPECT_EQ(list.handle, nullptr);
  ASSERT_EQ(LocalSize(handle), 1285u);
  const auto* bytes = static_cast<const uint8_t*>(LocalLock(handle));
  ASSERT_NE(bytes, nullptr);
  const char* names[] = {"000.2D", "001.2D", "002.2D"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(std::vector<uint8_t>(bytes + kRecord * i, bytes + kRecord * (i + 1)),
              ZeroRecordExcept(entries[i], names[i]))
        << i;
  }
  EXPECT_EQ(bytes[1284], 0);
  LocalUnlock(handle);
  EXPECT_EQ(LocalFree(handle), nullptr);
}

TEST(EntryList, DiscardFreesTheList) {
  EntryList list;
  ASSERT_TRUE(krt::archive::StartEntryList(&list));
  ASSERT_TRUE(krt::archive::AppendEntry(&list, PackEntry{0, 0, 256}));
  krt::archive::DiscardEntryList(&list);
  EXPECT_EQ(list.handle, nullptr);
  EXPECT_EQ(list.count, 0u);
}

}  // namespace
