// The plug-ins as the fuzz targets see them: loaded through the host side's
// loader from the program's folder, once per process; a plug-in that does
// not load, or lacks an export, aborts.
#pragma once

#include "plugin_calls.h"
#include "plugin_loader.h"

namespace krt::fuzz {

const host::ImagePlugin& Ifkrt();
const host::ArchivePlugin& Axkrt();

}  // namespace krt::fuzz
