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

struct PackEntry {
  std::string name;
  uint32_t position = 0;  // of the entry's first byte in the pack
  uint32_t size = 0;
};

Outcome ListPack(const ArchivePlugin& plugin, const std::string& pack,
                 std::vector<PackEntry>* entries);

// Looks the entry up by name, without regard to case.
Outcome FindEntry(const ArchivePlugin& plugin, const std::string& pack, const std::string& name,
                  PackEntry* entry);

// Has the plug-in write the entry's bytes to the file `destination`.
Outcome ExtractEntryToDisk(const ArchivePlugin& plugin, const std::string& pack,
                           const PackEntry& entry, const std::string& destination,
                           ProgressHook progress);

Outcome ExtractEntryToMemory(const ArchivePlugin& plugin, const std::string& pack,
                             const PackEntry& entry, ProgressHook progress,
                             std::vector<uint8_t>* bytes);

}  // namespace krt::host
