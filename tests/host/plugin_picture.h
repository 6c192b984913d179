// The bitmap IFKRT itself hands over for a screen file, read straight from
// its two blocks, so krt's outputs can be compared with what the plug-in
// gave.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace krt::test {

struct PluginPicture {
  std::vector<uint8_t> info;    // header and colour table, the whole block
  std::vector<uint8_t> pixels;  // the whole pixel block
  int32_t width = 0;
  int32_t height = 0;
  uint16_t depth = 0;
};

// GetPicture on the file; a failure fails the test and answers an empty
// picture.
PluginPicture PictureFromPlugin(const std::string& path);

}  // namespace krt::test
