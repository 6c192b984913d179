// Both plug-ins, loaded from the test program's folder the way a host loads
// them, with their exports resolved by name.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "export_signatures.h"
#include "plugin_module.h"

namespace krt::test {

struct ImagePlugin {
  host::PluginModule module;
  GetPluginInfoFn GetPluginInfo = nullptr;
  IsSupportedFn IsSupported = nullptr;
  GetPictureInfoFn GetPictureInfo = nullptr;
  GetPictureFn GetPicture = nullptr;
  GetPreviewFn GetPreview = nullptr;
};

struct ArchivePlugin {
  host::PluginModule module;
  GetPluginInfoFn GetPluginInfo = nullptr;
  IsSupportedFn IsSupported = nullptr;
  GetArchiveInfoFn GetArchiveInfo = nullptr;
  GetFileInfoFn GetFileInfo = nullptr;
  GetFileFn GetFile = nullptr;
};

// Loaded once per test program; a failure to load fails every test using it.
const ImagePlugin& Ifkrt();
const ArchivePlugin& Axkrt();

}  // namespace krt::test
