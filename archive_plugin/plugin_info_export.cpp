// AXKRT's plug-in information.
#include "plugin_info.h"
#include "plugin_interface.h"

namespace {

constexpr krt::PluginStrings kArchiveStrings{
    {"00AM", "AxKRT - KRT extract library ver0.01", "*.BIN", "SEGA SATURN SCR pack"}};

}  // namespace

KRT_PLUGIN_INFO_EXPORTS(kArchiveStrings)
