#include "archive_calls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "loaded_plugins.h"
#include "screen_builder.h"

namespace krt::test {
namespace {

// Anything but 0, to see that a failure clears the slot.
MemoryHandle const kStaleSlot = reinterpret_cast<MemoryHandle>(uintptr_t{0x5EED});

Listing ReadListing(int32_t result, MemoryHandle slot) {
  Listing listing;
  listing.result = result;
  if (result != 0) {
    listing.slot_cleared = slot == nullptr;
    return listing;
  }
  if (slot == nullptr) {
    ADD_FAILURE() << "success without a list";
    return listing;
  }
  const std::vector<uint8_t> bytes = TakeBlock(slot);
  listing.block_size = bytes.size();
  const size_t count = bytes.size() / sizeof(fileInfo);
  listing.records.resize(count);
  if (count > 0) std::memcpy(listing.records.data(), bytes.data(), count * sizeof(fileInfo));
  listing.ends_with_zero = bytes.size() % sizeof(fileInfo) == 1 && bytes.back() == 0;
  return listing;
}

}  // namespace

Listing ListFile(const std::string& path, int32_t start_offset) {
  MemoryHandle slot = kStaleSlot;
  const int32_t result = Axkrt().GetArchiveInfo(path.c_str(), start_offset, 0, &slot);
  return ReadListing(result, slot);
}

Listing ListImage(const std::vector<uint8_t>& image) {
  MemoryHandle slot = kStaleSlot;
  const int32_t result =
      Axkrt().GetArchiveInfo(reinterpret_cast<const char*>(image.data()),
                             static_cast<int32_t>(image.size()), kMemoryInput, &slot);
  return ReadListing(result, slot);
}

std::vector<uint8_t> TakeBlock(HLOCAL block) {
  const SIZE_T size = LocalSize(block);
  const auto* bytes = static_cast<const uint8_t*>(LocalLock(block));
  std::vector<uint8_t> copy;
  if (bytes != nullptr) copy.assign(bytes, bytes + size);
  EXPECT_NE(bytes, nullptr);
  LocalUnlock(block);
  EXPECT_EQ(LocalFree(block), nullptr);
  return copy;
}

namespace {

Extracted Collect(int32_t result, uint32_t output_flag, MemoryHandle slot,
                  const std::string& destination) {
  Extracted extracted;
  extracted.result = result;
  if (output_flag == kMemoryOutput) {
    if (result != 0) {
      EXPECT_EQ(slot, kStaleSlot) << "the slot was written although the call failed";
    } else if (slot != kStaleSlot && slot != nullptr) {
      extracted.bytes = TakeBlock(slot);
    } else {
      ADD_FAILURE() << "success without a handle";
    }
    return extracted;
  }
  extracted.destination_exists = FileExists(destination);
  if (extracted.destination_exists) extracted.bytes = ReadWholeFile(destination);
  return extracted;
}

char* Destination(uint32_t output_flag, MemoryHandle* slot, std::string* path) {
  if (output_flag == kMemoryOutput) return reinterpret_cast<char*>(slot);
  return path->data();
}

}  // namespace

Extracted ExtractFromFile(const std::string& path, int32_t position, uint32_t output_flag,
                          const std::string& destination) {
  MemoryHandle slot = kStaleSlot;
  std::string to = destination;
  const int32_t result = Axkrt().GetFile(
      path.c_str(), position, Destination(output_flag, &slot, &to), output_flag, nullptr, 0);
  return Collect(result, output_flag, slot, destination);
}

Extracted ExtractFromImage(const std::vector<uint8_t>& image, uint32_t output_flag,
                           const std::string& destination) {
  MemoryHandle slot = kStaleSlot;
  std::string to = destination;
  const int32_t result = Axkrt().GetFile(
      reinterpret_cast<const char*>(image.data()), static_cast<int32_t>(image.size()),
      Destination(output_flag, &slot, &to), output_flag | kMemoryInput, nullptr, 0);
  return Collect(result, output_flag, slot, destination);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
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
