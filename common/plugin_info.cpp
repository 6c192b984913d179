#include "plugin_info.h"

#include <cstring>

namespace krt {

int32_t CopyPluginInfo(const PluginStrings& strings, int32_t index, char* buffer,
                       int32_t buffer_length) {
  if (index < 0 || index > 3 || buffer == nullptr || buffer_length <= 0) return 0;
  const char* text = strings.texts[index];
  const auto with_zero = static_cast<int32_t>(std::strlen(text) + 1);
  const int32_t count = buffer_length < with_zero ? buffer_length : with_zero;
  std::memcpy(buffer, text, static_cast<size_t>(count));
  return count;
}

}  // namespace krt
