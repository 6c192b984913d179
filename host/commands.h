// krt's commands. Each works through every file it is given, reports
// each failure as it happens and answers kExitSuccess only when everything
// succeeded.
#pragma once

#include "command_line.h"
#include "console.h"
#include "plugin_loader.h"

namespace krt::host {

int RunInfo(const PluginSet& plugins, const Request& request, const Console& console);
int RunRender(const PluginSet& plugins, const Request& request, const Console& console);
int RunList(const PluginSet& plugins, const Request& request, const Console& console);
int RunExtract(const PluginSet& plugins, const Request& request, const Console& console);
int RunTiles(const PluginSet& plugins, const Request& request, const Console& console);
int RunPalette(const PluginSet& plugins, const Request& request, const Console& console);
int RunTmx(const PluginSet& plugins, const Request& request, const Console& console);

}  // namespace krt::host
