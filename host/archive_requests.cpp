#include "archive_requests.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "handed_over_block.h"
#include "result_words.h"

namespace krt::host {
namespace {

constexpr uint32_t kFileInput = 0;
constexpr uint32_t kMemoryOutput = 1u << kOutputModeShift;
constexpr size_t kRecordSize = sizeof(fileInfo);

PackEntry EntryOf(const fileInfo& record) {
  PackEntry entry;
  // The name field is zero-terminated within its 200 bytes when the plug-in
  // behaves; the bound keeps a bad record from running past it.
  const char* end = std::find(record.filename, record.filename + sizeof record.filename, '\0');
  entry.name.assign(record.filename, end);
  entry.position = record.position;
  entry.size = record.filesize;
  return entry;
}

bool PositionFits(const PackEntry& entry, Outcome* refusal) {
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
                 std::vector<PackEntry>* entries) {
  MemoryHandle list = nullptr;
  const int32_t code = plugin.GetArchiveInfo(pack.c_str(), 0, kFileInput, &list);
  if (code != kSuccess) {
    FreeHandedOverBlock(list);
    return Outcome::Failed(DescribeResult(Request::kArchiveInfo, code));
  }
  std::vector<uint8_t> bytes;
  std::string error;
  if (!TakeHandedOverBlock(list, &bytes, &error)) return Outcome::Failed(error);
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
                  PackEntry* entry) {
  fileInfo record{};
  const int32_t code =
      plugin.GetFileInfo(pack.c_str(), 0, name.c_str(), kFileInput | kIgnoreCaseFlag, &record);
  if (code == kSuccess) {
    *entry = EntryOf(record);
    return Outcome::Done();
  }
  if (code != kBadArgument) return Outcome::Failed(DescribeResult(Request::kFileInfo, code));
  // GetFileInfo takes only names of three digits, but a pack lists its
  // 1001st entry as "1000.2D"; such a name is looked up in the list.
  std::vector<PackEntry> entries;
  const Outcome listed = ListPack(plugin, pack, &entries);
  if (!listed.ok) return listed;
  for (const PackEntry& listed_entry : entries) {
    if (SameNameIgnoringCase(listed_entry.name, name)) {
      *entry = listed_entry;
      return Outcome::Done();
    }
  }
  return Outcome::Failed("the pack has no entry of that name (it has " +
                         std::to_string(entries.size()) + ")");
}

Outcome ExtractEntryToDisk(const ArchivePlugin& plugin, const std::string& pack,
                           const PackEntry& entry, const std::string& destination,
                           ProgressHook progress) {
  Outcome refusal;
  if (!PositionFits(entry, &refusal)) return refusal;
  // The plug-in takes the destination as a writable string.
  std::vector<char> path(destination.begin(), destination.end());
  path.push_back('\0');
  const int32_t code =
      plugin.GetFile(pack.c_str(), static_cast<int32_t>(entry.position), path.data(), kFileInput,
                     progress.callback, progress.user_value);
  if (code != kSuccess) return Outcome::Failed(DescribeResult(Request::kFileToDisk, code));
  return Outcome::Done();
}

Outcome ExtractEntryToMemory(const ArchivePlugin& plugin, const std::string& pack,
                             const PackEntry& entry, ProgressHook progress,
                             std::vector<uint8_t>* bytes) {
  Outcome refusal;
  if (!PositionFits(entry, &refusal)) return refusal;
  MemoryHandle block = nullptr;
  const int32_t code = plugin.GetFile(pack.c_str(), static_cast<int32_t>(entry.position),
                                      reinterpret_cast<char*>(&block), kFileInput | kMemoryOutput,
                                      progress.callback, progress.user_value);
  if (code != kSuccess) {
    FreeHandedOverBlock(block);
    return Outcome::Failed(DescribeResult(Request::kFileToMemory, code));
  }
  std::string error;
  if (!TakeHandedOverBlock(block, bytes, &error)) return Outcome::Failed(error);
  // A block may be rounded up by the allocator; the entry is its first bytes.
  if (bytes->size() < entry.size) {
    return Outcome::Failed("the plug-in handed over " + std::to_string(bytes->size()) +
                           " bytes for an entry of " + std::to_string(entry.size));
  }
  bytes->resize(entry.size);
  return Outcome::Done();
}

}  // namespace krt::host
