#include "plugin_info.h"

#include <cstring>

#include "plugin_interface.h"

namespace krt {

template <typename Char>
int32_t CopyPluginInfo(const PluginStrings& strings, int32_t index, Char* buffer,
                       int32_t buffer_length) {
  if (index < 0 || index > 3 || buffer == nullptr || buffer_length <= 0) return 0;
  const char* text = strings.texts[index];
  const auto with_zero = static_cast<int32_t>(std::strlen(text) + 1);
  const int32_t count = buffer_length < with_zero ? buffer_length : with_zero;
  for (int32_t k = 0; k < count; ++k) buffer[k] = static_cast<Char>(text[k]);
  return count;
}

template int32_t CopyPluginInfo(const PluginStrings&, int32_t, char*, int32_t);
template int32_t CopyPluginInfo(const PluginStrings&, int32_t, WideChar*, int32_t);

}  // namespace krt
