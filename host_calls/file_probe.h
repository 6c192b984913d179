// Which plug-in takes a file: the host reads the file's first 2 KB and asks
// each plug-in's IsSupported about them, as a viewer does before it opens a
// file.
#pragma once

#include <cstdint>
#include <string>

#include "outcome.h"
#include "plugin_loader.h"

namespace krt::host {

inline constexpr uint32_t kProbeSize = 2048;

enum class FileKind { kScreen, kPack, kNeither };

// Reads kProbeSize bytes from `offset` on (zero-filled past the end of the
// file) and asks IFKRT, then AXKRT. Fails only when the file cannot be read.
Outcome ProbeFile(const PluginSet& plugins, const std::string& path, uint32_t offset,
                  FileKind* kind);

}  // namespace krt::host

namespace krt::host {

// Fails, saying why, unless AXKRT takes the file as a screen pack.
Outcome RequirePack(const PluginSet& plugins, const std::string& path);

}  // namespace krt::host
