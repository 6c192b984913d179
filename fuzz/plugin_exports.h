// The plug-ins as a host sees them: loaded as krt loads them, from the
// program's folder, once per process; a plug-in that does not load, or
// lacks an export, aborts.
#pragma once

#include "plugin_set.h"

namespace krt::fuzz {

const host::ImagePlugin& Ifkrt();
const host::ArchivePlugin& Axkrt();

}  // namespace krt::fuzz
