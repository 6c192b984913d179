#include "entry_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "entry_record.h"

namespace {

using krt::archive::EntryList;
using krt::archive::PackEntry;

// Numbers are pointer-sized; names are 200 bytes, or 200 UTF-16 units in
// fileInfoW.
constexpr size_t kNumber = sizeof(void*);
constexpr size_t kRecord = 8 + 4 * kNumber + 400 + 4 + (kNumber - 4);
constexpr size_t kWideRecord = 8 + 4 * kNumber + 800 + 4 + (kNumber - 4);

std::vector<uint8_t> ZeroRecordExcept(const PackEntry& entry, const char* name, bool wide = false) {
  const size_t unit = wide ? 2 : 1;
  std::vector<uint8_t> record(wide ? kWideRecord : kRecord, 0);
  std::memcpy(record.data(), "AxKRT", 6);
  std::memcpy(record.data() + 8, &entry.position, 4);
  std::memcpy(record.data() + 8 + kNumber, &entry.extent, 4);
  std::memcpy(record.data() + 8 + 2 * kNumber, &entry.extent, 4);
  for (size_t k = 0; name[k]; ++k) record[8 + 4 * kNumber + 200 * unit + k * unit] = name[k];
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

// fileInfo (false) or fileInfoW (true): the 32-bit fileInfo list ends in one
// zero byte, every other list in one zero record.
class EntryListForms : public testing::TestWithParam<bool> {};

TEST_P(EntryListForms, HoldsTheRecordsAndTheirEndMark) {
  const bool wide = GetParam();
  const size_t record = wide ? kWideRecord : kRecord;
  const size_t end_mark = !wide && kNumber == 4 ? 1 : record;
  EntryList list;
  ASSERT_TRUE(krt::archive::StartEntryList(wide, &list));
  EXPECT_EQ(LocalSize(list.handle), end_mark);
  const PackEntry entries[] = {{0, 4, 2356}, {1, 2420, 256}, {2, 2676, 300}};
  for (const PackEntry& entry : entries) ASSERT_TRUE(krt::archive::AppendEntry(&list, entry));
  EXPECT_EQ(list.count, 3u);

  HLOCAL handle = krt::archive::HandOverEntryList(&list);
  EXPECT_EQ(list.handle, nullptr);
  ASSERT_EQ(LocalSize(handle), 3 * record + end_mark);
  const auto* bytes = static_cast<const uint8_t*>(LocalLock(handle));
  ASSERT_NE(bytes, nullptr);
  const char* names[] = {"000.2D", "001.2D", "002.2D"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(std::vector<uint8_t>(bytes + record * i, bytes + record * (i + 1)),
              ZeroRecordExcept(entries[i], names[i], wide))
        << i;
  }
  EXPECT_EQ(std::vector<uint8_t>(bytes + 3 * record, bytes + 3 * record + end_mark),
            std::vector<uint8_t>(end_mark, 0));
  LocalUnlock(handle);
  EXPECT_EQ(LocalFree(handle), nullptr);
}

INSTANTIATE_TEST_SUITE_P(AnsiAndWide, EntryListForms, testing::Bool());

TEST(EntryList, DiscardFreesTheList) {
  EntryList list;
  ASSERT_TRUE(krt::archive::StartEntryList(false, &list));
  ASSERT_TRUE(krt::archive::AppendEntry(&list, PackEntry{0, 0, 256}));
  krt::archive::DiscardEntryList(&list);
  EXPECT_EQ(list.handle, nullptr);
  EXPECT_EQ(list.count, 0u);
}

}  // namespace
