// Picture requests to IFKRT, made as a viewer makes them: GetPictureInfo for
// the size and depth, GetPicture for the bitmap, from a file on disk (path
// and offset of the screen header) or from a screen file in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap.h"
#include "outcome.h"
#include "plugin_calls.h"

namespace krt::host {

struct PictureSummary {
  int32_t width = 0;
  int32_t height = 0;
  int16_t depth = 0;
};

// Where a screen file is read from: a path and an offset, or bytes in memory
// (when `memory` is set).
struct PictureSource {
  std::string path;
  int32_t offset = 0;
  const std::vector<uint8_t>* memory = nullptr;
};

Outcome QueryPicture(const ImagePlugin& plugin, const PictureSource& source,
                     PictureSummary* summary);

Outcome LoadPicture(const ImagePlugin& plugin, const PictureSource& source, ProgressHook progress,
                    Bitmap* bitmap);

}  // namespace krt::host
