// The two plug-ins krt talks to, loaded as a viewer loads them: by file name
// from one folder, each export resolved by name, and each checked with
// GetPluginInfo before it is trusted with a file.
#pragma once

#include <string>

#include "export_signatures.h"
#include "plugin_module.h"

namespace krt::host {

struct ImagePlugin {
  PluginModule module;
  GetPluginInfoFn GetPluginInfo = nullptr;
  IsSupportedFn IsSupported = nullptr;
  GetPictureInfoFn GetPictureInfo = nullptr;
  GetPictureFn GetPicture = nullptr;
};

struct ArchivePlugin {
  PluginModule module;
  GetPluginInfoFn GetPluginInfo = nullptr;
  IsSupportedFn IsSupported = nullptr;
  GetArchiveInfoFn GetArchiveInfo = nullptr;
  GetFileInfoFn GetFileInfo = nullptr;
  GetFileFn GetFile = nullptr;
};

struct PluginSet {
  ImagePlugin image;
  ArchivePlugin archive;
};

// Loads IFKRT and AXKRT from `folder` (ending in a separator, or empty for
// the current folder). Answers false with a reason a person can act on when
// a plug-in is missing, lacks an export or is not of the expected kind; what
// was loaded is unloaded again then.
bool LoadPluginSet(const std::string& folder, PluginSet* plugins, std::string* error);

void UnloadPluginSet(PluginSet* plugins);

// GetPluginInfo's string at `index`, cut at its terminating zero; empty when
// the plug-in has none there.
std::string PluginInfoString(GetPluginInfoFn get_plugin_info, int32_t index);

}  // namespace krt::host
