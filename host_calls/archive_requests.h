// Archive requests to AXKRT, made as a viewer makes them: GetArchiveInfo for
// the entry list, GetFileInfo to find an entry by name, and GetFile to
// extract one, to a disk file or to memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image_requests.h"
#include "outcome.h"
#include "plugin_calls.h"

namespace krt::host {

struct ListedEntry {
  std::string name;
  uint32_t position = 0;  // of the entry's first byte in the pack
  uint32_t size = 0;
};

// The entries GetArchiveInfo lists for `source`, a pack file or image.
Outcome ListEntries(const ArchivePlugin& plugin, const CallSource& source,
                    std::vector<ListedEntry>* entries);

Outcome ListPack(const ArchivePlugin& plugin, const std::string& pack,
                 std::vector<ListedEntry>* entries);

// Looks the entry up by name, without regard to case.
Outcome FindEntry(const ArchivePlugin& plugin, const std::string& pack, const std::string& name,
                  ListedEntry* entry);

// Has the plug-in write the entry's bytes to the file `destination`.
Outcome ExtractEntryToDisk(const ArchivePlugin& plugin, const std::string& pack,
                           const ListedEntry& entry, const std::string& destination,
                           ProgressHook progress);

Outcome ExtractEntryToMemory(const ArchivePlugin& plugin, const std::string& pack,
                             const ListedEntry& entry, ProgressHook progress,
                             std::vector<uint8_t>* bytes);

}  // namespace krt::host
