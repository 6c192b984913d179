#include "loaded_plugins.h"

#include <gtest/gtest.h>

namespace krt::test {
namespace {

const host::PluginSet& Plugins() {
  return host::PluginsBesideProgram([](const std::string& reason) { ADD_FAILURE() << reason; });
}

}  // namespace

const host::ImagePlugin& Ifkrt() { return Plugins().image; }
const host::ArchivePlugin& Axkrt() { return Plugins().archive; }

std::vector<uint8_t> TakeBlock(MemoryHandle handle) {
  host::TakenBlock block = host::TakeHandedOverBlock(handle);
  if (!block.taken) {
    ADD_FAILURE() << block.error;
    return {};
  }
  EXPECT_FALSE(block.was_locked) << "the block was handed over locked";
  EXPECT_TRUE(block.freed);
  return std::move(block.bytes);
}

uintptr_t AsSource(const void* buffer) { return reinterpret_cast<uintptr_t>(buffer); }
uintptr_t HandleSource(HANDLE file) { return reinterpret_cast<uintptr_t>(file); }

HANDLE OpenHostHandle(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

void ExpectHandleLeftAt(HANDLE file, const std::vector<uint8_t>& bytes, uint32_t at) {
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), at);
  uint8_t next[4] = {};
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(file, next, sizeof next, &got, nullptr));
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(std::vector<uint8_t>(next, next + got),
            std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + 4));
  EXPECT_TRUE(CloseHandle(file));
}

}  // namespace krt::test
