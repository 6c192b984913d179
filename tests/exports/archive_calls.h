// Calling AXKRT as a host does and collecting what it hands back: the entry
// list's records read out of its block, an extracted entry's bytes, and the
// block freed again, as the host that owns them would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "loaded_plugins.h"
#include "plugin_interface.h"

namespace krt::test {

struct Listing {
  int32_t result = -100;
  bool slot_cleared = false;  // the slot held 0 after a failure
  uint64_t block_size = 0;
  std::vector<fileInfo> records;
  bool ends_with_zero = false;
};

// The size of a listed record, and what follows the last one: one zero byte
// after 32-bit fileInfo records, a whole zero record after any other.
size_t ListRecordSize();
size_t ListEndMark();

// GetArchiveInfo from a file at a start offset, or from a memory image. The
// records of a W listing are read as fileInfoW and kept as fileInfo.
Listing ListFile(const std::string& path, int32_t start_offset);
Listing ListImage(const std::vector<uint8_t>& image);

struct Extracted {
  int32_t result = -100;
  std::vector<uint8_t> bytes;  // from the handle or from the destination file
  bool destination_exists = false;
};

// GetFile from a file at an entry position, or from a memory image, to
// memory (a handle) or to a disk file at `destination`.
Extracted ExtractFromFile(const std::string& path, int32_t position, uint32_t output_flag,
                          const std::string& destination = "");
Extracted ExtractFromImage(const std::vector<uint8_t>& image, uint32_t output_flag,
                           const std::string& destination = "");

std::vector<uint8_t> ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

// A path in the test's temporary folder where nothing exists yet.
std::string FreshPath(const std::string& stem);

// The record's bytes, for whole-record comparisons.
std::vector<uint8_t> RecordBytes(const fileInfo& record);

}  // namespace krt::test
