// The plug-ins as a benchmark loads them: as krt does, from the program's
// folder.
#pragma once

#include "plugin_set.h"

namespace krt::bench {

// Loads both plug-ins once; exits with the reason when they cannot be loaded.
const host::PluginSet& LoadedPlugins();

}  // namespace krt::bench
