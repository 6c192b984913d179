// GetArchiveInfo: the list of every entry of a pack, handed to the host.
#include "entry_list.h"
#include "pack_source.h"
#include "plugin_interface.h"
#include "screen_format/pack_walk.h"

namespace krt::archive {
namespace {

// Appends every entry the walk yields. False when the list could not grow.
bool ListEntries(PackWalk* walk, EntryList* list) {
  PackEntry entry;
  while (NextPackEntry(walk, &entry)) {
    if (!AppendEntry(list, entry)) return false;
  }
  return true;
}

Result ListPack(HostPath source, LengthArgument offset_or_length, uint32_t flag,
                MemoryHandle* list_slot) {
  OpenedPack pack;
  const Result opened = OpenPack(source, offset_or_length, flag, &pack);
  if (opened != kSuccess) return opened;
  EntryList list;
  if (!StartEntryList(source.wide, &list)) {
    ClosePack(&pack);
    return kAllocationFailed;
  }

  PackWalk walk;
  StartPackWalk(pack.source, pack.start_offset, pack.total_length, &walk);
  const bool grown = ListEntries(&walk, &list) && FinishEntryList(&list);
  ClosePack(&pack);

  // A listing cut short by a failure is no listing: the host gets all or none.
  if (!grown || walk.end_result != kSuccess || list.count == 0) {
    DiscardEntryList(&list);
    return kNotValidData;
  }
  *list_slot = HandOverEntryList(&list);
  return kSuccess;
}

Result ListPackInto(HostPath source, LengthArgument offset_or_length, uint32_t flag,
                    MemoryHandle* list_slot) {
  if (list_slot == nullptr) return kBadArgument;
  *list_slot = nullptr;
  return ListPack(source, offset_or_length, flag, list_slot);
}

}  // namespace
}  // namespace krt::archive

KRT_EXPORT int32_t KRT_STDCALL GetArchiveInfo(const char* source,
                                              krt::LengthArgument offset_or_length, uint32_t flag,
                                              krt::MemoryHandle* list_slot) {
  return krt::archive::ListPackInto(krt::AnsiPath(source), offset_or_length, flag, list_slot);
}

// The list holds fileInfoW records.
KRT_EXPORT int32_t KRT_STDCALL GetArchiveInfoW(const krt::WideChar* source,
                                               krt::LengthArgument offset_or_length, uint32_t flag,
                                               krt::MemoryHandle* list_slot) {
  return krt::archive::ListPackInto(krt::WidePath(source), offset_or_length, flag, list_slot);
}
