#include "picture_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "loaded_plugins.h"

namespace krt::test {

namespace {

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
  if (bytes.size() < at + 4) return 0;
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
         (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// What the host put into the record before the call.
PictureInfo HostRecord() {
  PictureInfo record;
  std::memset(&record, 0x6B, sizeof record);
  return record;
}

}  // namespace

int32_t TakenPicture::Width() const { return static_cast<int32_t>(Le32(info, 4)); }
int32_t TakenPicture::Height() const { return static_cast<int32_t>(Le32(info, 8)); }
uint32_t TakenPicture::Depth() const { return info.size() < 16 ? 0 : info[14] | (info[15] << 8); }
uint32_t TakenPicture::SizeImage() const { return Le32(info, 20); }

std::vector<uint8_t> TakenPicture::Slot(size_t k) const {
  if (info.size() < 40 + 4 * k + 4) return {};
  const auto first = info.begin() + static_cast<std::ptrdiff_t>(40 + 4 * k);
  return std::vector<uint8_t>(first, first + 4);
}

std::vector<std::string> TakenPicture::Rows(bool pairs, ColourName name) const {
  if (pixels.size() < SizeImage()) return {"pixel block smaller than the bitmap"};
  return BitmapRows(BitmapView{pixels.data(), Width(), Height(), Depth()}, pairs, name);
}

TakenPicture TakePicture(const char* source, int32_t offset_or_length, uint32_t flag,
                         ProgressCallback progress, intptr_t user_value) {
  TakenPicture taken;
  if (Ifkrt().GetPicture == nullptr) {
    ADD_FAILURE() << "IFKRT has no GetPicture";
    return taken;
  }
  const host::PictureCall call =
      host::CallGetPicture(Ifkrt(), {source, offset_or_length, flag}, {progress, user_value});
  taken.result = call.result;
  if (taken.result != kSuccess) {
    taken.slots_untouched = call.slots_untouched;
    return taken;
  }
  taken.info = TakeBlock(call.info);
  taken.pixels = TakeBlock(call.pixels);
  EXPECT_EQ(taken.info.size(), 1064u);
  EXPECT_EQ(Le32(taken.info, 0), 40u);
  EXPECT_EQ(taken.pixels.size(), taken.SizeImage());
  return taken;
}

TakenPicture PictureOfImage(const std::vector<uint8_t>& screen) {
  return TakePicture(ImageSource(screen), ImageLength(screen), kMemoryInput);
}

TakenPicture PictureOfFile(const std::string& path, int32_t offset) {
  return TakePicture(path.c_str(), offset, 0);
}

TakenInfo TakeInfo(const char* source, int32_t offset_or_length, uint32_t flag) {
  TakenInfo taken;
  if (Ifkrt().GetPictureInfo == nullptr) {
    ADD_FAILURE() << "IFKRT has no GetPictureInfo";
    return taken;
  }
  const PictureInfo before = HostRecord();
  taken.info = before;
  taken.result = Ifkrt().GetPictureInfo(source, offset_or_length, flag, &taken.info);
  taken.untouched = std::memcmp(&taken.info, &before, sizeof before) == 0;
  // Written whole: a host that does not clear it must find no text handle.
  const auto* bytes = reinterpret_cast<const uint8_t*>(&taken.info);
  EXPECT_TRUE(taken.result ||
              std::all_of(bytes + 22, bytes + sizeof taken.info, [](int b) { return !b; }));
  return taken;
}

TakenInfo InfoOfImage(const std::vector<uint8_t>& screen) {
  return TakeInfo(ImageSource(screen), ImageLength(screen), kMemoryInput);
}

TakenInfo InfoOfFile(const std::string& path, int32_t offset) {
  return TakeInfo(path.c_str(), offset, 0);
}

}  // namespace krt::test
