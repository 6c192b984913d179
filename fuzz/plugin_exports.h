// The plug-ins as a host sees them: loaded by name from the program's folder,
// with the exports that take data resolved. Loading happens once per process
// and a plug-in that does not load aborts; an export that is missing stays
// null, and the target that needs it reports a broken invariant.
#pragma once

#include "export_signatures.h"

namespace krt::fuzz {

struct ImageExports {
  IsSupportedFn IsSupported = nullptr;
  GetPictureInfoFn GetPictureInfo = nullptr;
  GetPictureFn GetPicture = nullptr;
};

struct ArchiveExports {
  IsSupportedFn IsSupported = nullptr;
  GetArchiveInfoFn GetArchiveInfo = nullptr;
  GetFileInfoFn GetFileInfo = nullptr;
  GetFileFn GetFile = nullptr;
};

const ImageExports& Ifkrt();
const ArchiveExports& Axkrt();

}  // namespace krt::fuzz
