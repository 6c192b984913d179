// The plug-ins as a benchmark loads them: by name from the program's folder.
#pragma once

#include "export_signatures.h"

namespace krt::bench {

struct Plugins {
  GetPictureInfoFn GetPictureInfo = nullptr;
  GetPictureFn GetPicture = nullptr;
  GetArchiveInfoFn GetArchiveInfo = nullptr;
  GetFileFn GetFile = nullptr;
};

// Loads both plug-ins once; exits with a message when one cannot be loaded.
// A missing export is reported and left null.
const Plugins& LoadedPlugins();

}  // namespace krt::bench
