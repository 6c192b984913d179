#include "plugin_picture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "loaded_plugins.h"

namespace krt::test {
namespace {

std::vector<uint8_t> TakeBlock(HLOCAL block) {
  std::vector<uint8_t> bytes(LocalSize(block));
  const void* locked = LocalLock(block);
  EXPECT_NE(locked, nullptr);
  if (locked != nullptr && !bytes.empty()) std::memcpy(bytes.data(), locked, bytes.size());
  LocalUnlock(block);
  LocalFree(block);
  return bytes;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}

}  // namespace

PluginPicture PictureFromPlugin(const std::string& path) {
  PluginPicture picture;
  if (Ifkrt().GetPicture == nullptr) {
    ADD_FAILURE() << "IFKRT has no GetPicture";
    return picture;
  }
  MemoryHandle info = nullptr;
  MemoryHandle pixels = nullptr;
  const int32_t code = Ifkrt().GetPicture(path.c_str(), 0, 0, &info, &pixels, nullptr, 0);
  if (code != 0) {
    ADD_FAILURE() << "GetPicture(" << path << ") gave " << code;
    return picture;
  }
  picture.info = TakeBlock(static_cast<HLOCAL>(info));
  picture.pixels = TakeBlock(static_cast<HLOCAL>(pixels));
  if (picture.info.size() < 40) {
    ADD_FAILURE() << "bitmap-info block of " << picture.info.size() << " bytes";
    return picture;
  }
  picture.width = static_cast<int32_t>(Le32(picture.info, 4));
  picture.height = static_cast<int32_t>(Le32(picture.info, 8));
  picture.depth = static_cast<uint16_t>(picture.info[14] | picture.info[15] << 8);
  return picture;
}

}  // namespace krt::test
