// The plug-ins as a benchmark loads them: through the host side's loader,
// from the program's folder.
#pragma once

#include "plugin_calls.h"
#include "plugin_loader.h"

namespace krt::bench {

// Loads both plug-ins once; exits with the reason when they cannot be loaded.
const host::PluginSet& LoadedPlugins();

}  // namespace krt::bench
