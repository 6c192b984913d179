#include "archive_requests.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "result_words.h"

namespace krt::host {
namespace {

constexpr size_t kRecordSize = sizeof(fileInfo);

ListedEntry EntryOf(const fileInfo& record) {
  ListedEntry entry;
  // The name field is zero-terminated within its 200 bytes when the plug-in
  // behaves; the bound keeps a bad record from running past it.
  const char* end = std::find(record.filename, record.filename + sizeof record.filename, '\0');
  entry.name.assign(record.filename, end);
  entry.position = record.position;
  entry.size = record.filesize;
  return entry;
}

bool PositionFits(const ListedEntry& entry, Outcome* refusal) {
  if (entry.position <= uint32_t{std::numeric_limits<int32_t>::max()}) return true;
  *refusal = Outcome::Failed("the entry lies beyond the first 2 GB of the pack");
  return false;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

Outcome ListPack(const ArchivePlugin& plugin, const std::string& pack,
                 std::vector<ListedEntry>* entries) {
  return ListEntries(plugin, FileSource(pack, 0), entries);
}

Outcome ListEntries(const ArchivePlugin& plugin, const CallSource& source,
                    std::vector<ListedEntry>* entries) {
  const ListCall call = CallGetArchiveInfo(plugin, source);
  if (call.result != kSuccess) {
    return Outcome::Failed(DescribeResult(ExportCall::kArchiveInfo, call.result));
  }
  const TakenBlock list = TakeHandedOverBlock(call.list);
  if (!list.taken) return Outcome::Failed(list.error);
  const std::vector<uint8_t>& bytes = list.bytes;
  // Records follow one another until one whose method tag begins with a zero
  // byte, or until the block ends.
  entries->clear();
  for (size_t offset = 0; offset + kRecordSize <= bytes.size() && bytes[offset] != 0;
       offset += kRecordSize) {
    fileInfo record;
    std::memcpy(&record, bytes.data() + offset, kRecordSize);
    entries->push_back(EntryOf(record));
  }
  return Outcome::Done();
}

Outcome FindEntry(const ArchivePlugin& plugin, const std::string& pack, const std::string& name,
                  ListedEntry* entry) {
  fileInfo record{};
  const int32_t code =
      plugin.GetFileInfo(pack.c_str(), 0, name.c_str(), kFileInput | kIgnoreCaseFlag, &record);
  if (code == kSuccess) {
    *entry = EntryOf(record);
    return Outcome::Done();
  }
  if (code != kBadArgument) return Outcome::Failed(DescribeResult(ExportCall::kFileInfo, code));
  // GetFileInfo refuses spellings that no listing gives (such as "0001.2D");
  // the list still tells whether the pack has such a name and how many
  // entries it has.
  std::vector<ListedEntry> entries;
  const Outcome listed = ListPack(plugin, pack, &entries);
  if (!listed.ok) return listed;
  for (const ListedEntry& listed_entry : entries) {
    if (SameNameIgnoringCase(listed_entry.name, name)) {
      *entry = listed_entry;
      return Outcome::Done();
    }
  }
  return Outcome::Failed("the pack has no entry of that name (it has " +
                         std::to_string(entries.size()) + ")");
}

Outcome ExtractEntryToDisk(const ArchivePlugin& plugin, const std::string& pack,
                           const ListedEntry& entry, const std::string& destination,
                           ProgressHook progress) {
  Outcome refusal;
  if (!PositionFits(entry, &refusal)) return refusal;
  const int32_t code = CallGetFileToDisk(
      plugin, FileSource(pack, static_cast<int32_t>(entry.position)), destination, progress);
  if (code != kSuccess) return Outcome::Failed(DescribeResult(ExportCall::kFileToDisk, code));
  return Outcome::Done();
}

Outcome ExtractEntryToMemory(const ArchivePlugin& plugin, const std::string& pack,
                             const ListedEntry& entry, ProgressHook progress,
                             std::vector<uint8_t>* bytes) {
  Outcome refusal;
  if (!PositionFits(entry, &refusal)) return refusal;
  const FileCall call =
      CallGetFileToMemory(plugin, FileSource(pack, static_cast<int32_t>(entry.position)), progress);
  if (call.result != kSuccess) {
    return Outcome::Failed(DescribeResult(ExportCall::kFileToMemory, call.result));
  }
  TakenBlock block = TakeHandedOverBlock(call.block);
  if (!block.taken) return Outcome::Failed(block.error);
  *bytes = std::move(block.bytes);
  // A block may be rounded up by the allocator; the entry is its first bytes.
  if (bytes->size() < entry.size) {
    return Outcome::Failed("the plug-in handed over " + std::to_string(bytes->size()) +
                           " bytes for an entry of " + std::to_string(entry.size));
  }
  bytes->resize(entry.size);
  return Outcome::Done();
}

}  // namespace krt::host
