#include "archive_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "loaded_plugins.h"
#include "screen_builder.h"

namespace krt::test {
namespace {

Listing ReadListing(const host::ListCall& call) {
  Listing listing;
  listing.result = call.result;
  if (call.result != 0) {
    listing.slot_cleared = call.slot_cleared;
    return listing;
  }
  if (call.list == nullptr) {
    ADD_FAILURE() << "success without a list";
    return listing;
  }
  const std::vector<uint8_t> bytes = TakeBlock(call.list);
  listing.block_size = bytes.size();
  const size_t record = ListRecordSize(), end_mark = ListEndMark();
  const size_t count = bytes.size() < end_mark ? 0 : (bytes.size() - end_mark) / record;
  for (size_t i = 0; i < count; ++i) {
    fileInfoW wide;
    std::memcpy(WideForms() ? static_cast<void*>(&wide) : &listing.records.emplace_back(),
                bytes.data() + i * record, record);
    if (WideForms()) listing.records.push_back(host::AnsiRecordOf(wide));
  }
  listing.ends_with_zero = bytes.size() == count * record + end_mark &&
                           std::all_of(bytes.end() - end_mark, bytes.end(), [](int b) { return !b; });
  return listing;
}

Extracted Extract(const host::CallSource& source, uint32_t output_flag,
                  const std::string& destination) {
  Extracted extracted;
  if (output_flag == kMemoryOutput) {
    const host::FileCall call = host::CallGetFileToMemory(Axkrt(), source, {});
    extracted.result = call.result;
    if (call.result != 0) {
      EXPECT_TRUE(call.slot_untouched) << "the slot was written although the call failed";
    } else if (call.block != nullptr) {
      extracted.bytes = TakeBlock(call.block);
    } else {
      ADD_FAILURE() << "success without a handle";
    }
    return extracted;
  }
  extracted.result = host::CallGetFileToDisk(Axkrt(), source, destination, {});
  extracted.destination_exists = FileExists(destination);
  if (extracted.destination_exists) extracted.bytes = ReadWholeFile(destination);
  return extracted;
}

}  // namespace

size_t ListRecordSize() { return WideForms() ? sizeof(fileInfoW) : sizeof(fileInfo); }

size_t ListEndMark() {
  if (WideForms()) return sizeof(fileInfoW);
  return sizeof(void*) == 4 ? 1 : sizeof(fileInfo);
}

Listing ListFile(const std::string& path, int32_t start_offset) {
  return ReadListing(host::CallGetArchiveInfo(Axkrt(), host::FileSource(path, start_offset)));
}

Listing ListImage(const std::vector<uint8_t>& image) {
  return ReadListing(host::CallGetArchiveInfo(Axkrt(), host::MemorySource(image)));
}

Extracted ExtractFromFile(const std::string& path, int32_t position, uint32_t output_flag,
                          const std::string& destination) {
  return Extract(host::FileSource(path, position), output_flag, destination);
}

Extracted ExtractFromImage(const std::vector<uint8_t>& image, uint32_t output_flag,
                           const std::string& destination) {
  return Extract(host::MemorySource(image), output_flag, destination);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(PathOf(path), error);
}

std::string FreshPath(const std::string& stem) {
  const std::string path = WriteTempFile({}, stem);
  RemoveFile(path);
  return path;
}

std::vector<uint8_t> RecordBytes(const fileInfo& record) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  return std::vector<uint8_t>(bytes, bytes + sizeof record);
}

}  // namespace krt::test
