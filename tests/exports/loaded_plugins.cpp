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

}  // namespace krt::test
