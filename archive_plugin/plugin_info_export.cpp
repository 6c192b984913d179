// AXKRT's plug-in information.
#include "plugin_info.h"
#include "plugin_interface.h"

namespace {

constexpr krt::PluginStrings kArchiveStrings{
    {"00AM", "AxKRT - KRT extract library ver0.01", "*.BIN", "SEGA SATURN SCR pack"}};

}  // namespace

KRT_EXPORT int32_t KRT_STDCALL GetPluginInfo(int32_t index, char* buffer, int32_t buffer_length) {
  return krt::CopyPluginInfo(kArchiveStrings, index, buffer, buffer_length);
}

KRT_EXPORT int32_t KRT_STDCALL GetPluginInfoW(int32_t index, krt::WideChar* buffer,
                                              int32_t buffer_length) {
  return krt::CopyPluginInfo(kArchiveStrings, index, buffer, buffer_length);
}
