// GetPluginInfo's behaviour, which both plug-ins share; only the strings differ.
#pragma once

#include <cstdint>

#include "plugin_interface.h"

namespace krt {

// The four strings a plug-in answers with: interface version, description,
// file-name filter, format name.
struct PluginStrings {
  const char* texts[4];
};

// Copies string `index` into the buffer, cut to the buffer's length (without
// its terminating zero when cut). Returns the characters copied, bytes for
// the ANSI form and UTF-16 code units for the W form (the strings are
// ASCII, one unit each); 0 and nothing written for an unknown index, a null
// buffer or a negative length.
template <typename Char>
int32_t CopyPluginInfo(const PluginStrings& strings, int32_t index, Char* buffer,
                       int32_t buffer_length);

}  // namespace krt

// A plug-in's GetPluginInfo and GetPluginInfoW, answering `strings`.
#define KRT_PLUGIN_INFO_EXPORTS(strings)                                              \
  KRT_EXPORT int32_t KRT_STDCALL GetPluginInfo(int32_t index, char* buffer,           \
                                               int32_t buffer_length) {               \
    return krt::CopyPluginInfo(strings, index, buffer, buffer_length);                \
  }                                                                                   \
  KRT_EXPORT int32_t KRT_STDCALL GetPluginInfoW(int32_t index, krt::WideChar* buffer, \
                                                int32_t buffer_length) {              \
    return krt::CopyPluginInfo(strings, index, buffer, buffer_length);                \
  }
