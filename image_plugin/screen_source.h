// Loading a screen for GetPictureInfo and GetPicture, from a file (a path and
// the offset of the screen header in it) or from a memory image read in
// place, and checking its header before any offset in it is trusted.
#pragma once

#include <cstdint>

#include "file_input.h"
#include "screen_sections.h"

namespace krt::image {

struct LoadedScreen {
  uint8_t header_copy[kScreenHeaderSize] = {};
  uint8_t* file_copy = nullptr;  // file input only
  ScreenSections sections;       // may point into header_copy: never copied

  LoadedScreen() = default;
  LoadedScreen(const LoadedScreen&) = delete;
  LoadedScreen& operator=(const LoadedScreen&) = delete;
};

// Loads sections 0 to `last` with the header. A file is read in exactly two
// reads, the header and one span from section 0 to the end of `last`, and
// closed again before the call returns. Answers a result code: 0, 3 (short
// image, invalid header), 4 (no memory for the copy), 6 (file error) or 8
// (an image length beyond 32 bits). On
// failure the screen holds nothing.
int32_t LoadScreen(HostPath source, LengthArgument offset_or_length, uint32_t flag, Section last,
                   LoadedScreen* screen);

void ReleaseScreen(LoadedScreen* screen);

}  // namespace krt::image
