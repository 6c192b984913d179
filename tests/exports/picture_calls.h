// GetPicture and GetPictureInfo called as a host calls them, with what they
// hand over copied out and freed again, so a test sees plain bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap_text.h"
#include "plugin_interface.h"

namespace krt::test {

struct TakenPicture {
  int32_t result = -100;
  // On failure: whether both handle slots still hold what the host put there.
  bool slots_untouched = false;
  std::vector<uint8_t> info;    // bitmap-info block: header and colour table
  std::vector<uint8_t> pixels;  // pixel block

  int32_t Width() const;
  int32_t Height() const;
  uint32_t Depth() const;
  uint32_t SizeImage() const;
  // Slot k of the colour table as blue, green, red, reserved.
  std::vector<uint8_t> Slot(size_t k) const;
  std::vector<std::string> Rows(bool pairs = false, ColourName name = nullptr) const;
};

// Calls GetPicture. On success checks that both blocks are unlocked and as
// large as the bitmap says, copies them and frees them.
TakenPicture TakePicture(const char* source, int32_t offset_or_length, uint32_t flag,
                         ProgressCallback progress = nullptr, intptr_t user_value = 0);
TakenPicture PictureOfImage(const std::vector<uint8_t>& screen);
TakenPicture PictureOfFile(const std::string& path, int32_t offset);

struct TakenInfo {
  int32_t result = -100;
  PictureInfo info{};
  bool untouched = false;  // the record still holds what the host put there
};

TakenInfo TakeInfo(const char* source, int32_t offset_or_length, uint32_t flag);
TakenInfo InfoOfImage(const std::vector<uint8_t>& screen);
TakenInfo InfoOfFile(const std::string& path, int32_t offset);

// The source pointer and length of a memory image.
inline const char* ImageSource(const std::vector<uint8_t>& screen) {
  return reinterpret_cast<const char*>(screen.data());
}
inline int32_t ImageLength(const std::vector<uint8_t>& screen) {
  return static_cast<int32_t>(screen.size());
}

}  // namespace krt::test
