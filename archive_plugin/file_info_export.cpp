// GetFileInfo: the record of one entry, found by its name.
#include <cstring>

#include "entry_record.h"
#include "pack_source.h"
#include "plugin_interface.h"
#include "screen_format/entry_name.h"
#include "screen_format/pack_walk.h"

namespace krt::archive {
namespace {

// Walks the pack to the entry of that index. kNotValidData when the pack
// ends before it, or the code of a read that failed on the way.
Result FindEntry(const OpenedPack& pack, int32_t wanted_index, PackEntry* found) {
  PackWalk walk;
  StartPackWalk(pack.source, pack.start_offset, pack.total_length, &walk);
  PackEntry entry;
  while (NextPackEntry(&walk, &entry)) {
    if (static_cast<int64_t>(entry.index) == wanted_index) {
      *found = entry;
      return kSuccess;
    }
  }
  return walk.end_result != kSuccess ? walk.end_result : kNotValidData;
}

template <typename Char>
Result DescribeEntry(HostPath source, LengthArgument offset_or_length, const Char* entry_name,
                     uint32_t flag, EntryInfo<Char>* record) {
  const bool ignore_case = (flag & kIgnoreCaseFlag) != 0;
  int32_t wanted_index = 0;
  if (IsEntryName(entry_name, ignore_case)) {
    wanted_index = EntryIndexOfName(entry_name);
  } else if (!IsLongEntryName(entry_name, ignore_case, &wanted_index)) {
    return kBadArgument;
  }

  OpenedPack pack;
  const Result opened = OpenPack(source, offset_or_length, flag, &pack);
  if (opened != kSuccess) return opened;
  PackEntry entry;
  const Result result = FindEntry(pack, wanted_index, &entry);
  ClosePack(&pack);
  if (result == kSuccess) BuildEntryRecord(entry, record);
  return result;
}

template <typename Char>
Result DescribeEntryInto(HostPath source, LengthArgument offset_or_length, const Char* entry_name,
                         uint32_t flag, EntryInfo<Char>* info) {
  if (info == nullptr) return kBadArgument;
  // The caller's record stays all zero unless the entry is found.
  std::memset(info, 0, sizeof *info);
  return DescribeEntry(source, offset_or_length, entry_name, flag, info);
}

}  // namespace
}  // namespace krt::archive

KRT_EXPORT int32_t KRT_STDCALL GetFileInfo(const char* source, krt::LengthArgument offset_or_length,
                                           const char* entry_name, uint32_t flag,
                                           krt::fileInfo* info) {
  return krt::archive::DescribeEntryInto(krt::AnsiPath(source), offset_or_length, entry_name, flag,
                                         info);
}

KRT_EXPORT int32_t KRT_STDCALL GetFileInfoW(const krt::WideChar* source,
                                            krt::LengthArgument offset_or_length,
                                            const krt::WideChar* entry_name, uint32_t flag,
                                            krt::fileInfoW* info) {
  return krt::archive::DescribeEntryInto(krt::WidePath(source), offset_or_length, entry_name, flag,
                                         info);
}
