// Both plug-ins as linked into the module, bound through the host-side call
// layer exactly as loaded ones are checked.
#pragma once

#include <string>

#include "plugin_loader.h"

namespace krt::page {

// The set, bound on the first call and kept; null when binding failed, with
// the reason in `error`.
const host::PluginSet* LinkedPlugins(std::string* error);

}  // namespace krt::page
