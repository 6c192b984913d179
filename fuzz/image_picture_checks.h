// What IFKRT's picture exports promise a host, checked on one answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugin_interface.h"

namespace krt::fuzz {

// A record no successful call leaves like this, to see whether it was written.
PictureInfo UntouchedPictureInfo();
bool SameRecord(const PictureInfo& a, const PictureInfo& b);

// A successful GetPictureInfo: origin 0, size a whole number of 8-dot
// characters, depth 4, 8 or 24, no densities and no text.
void CheckPictureInfo(const PictureInfo& info);

struct Bitmap {
  std::vector<uint8_t> info_block;
  std::vector<uint8_t> pixels;
};

// Checks both handles GetPicture handed over against the picture GetPictureInfo
// described for the same data, takes them over and frees them.
Bitmap TakeBitmap(MemoryHandle info_handle, MemoryHandle pixel_handle, const PictureInfo& info);

// The answer GetPicture and GetPictureInfo give for a disk file holding the
// same bytes as a memory image, at offset 0: the same, except that a file too
// short to hold a screen header is a short read.
int32_t FileAnswerFor(int32_t memory_answer, size_t size);

}  // namespace krt::fuzz
