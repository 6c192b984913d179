// GetPictureInfo: the size and colour depth of a screen's picture, without
// decoding it. Only the header and the sections up to the pattern name table
// are read.
#include "picture_layout.h"
#include "plugin_interface.h"
#include "screen_source.h"

namespace {

using namespace krt::image;

int32_t DescribePicture(krt::HostPath source, krt::LengthArgument offset_or_length, uint32_t flag,
                        krt::PictureInfo* info) {
  // Outside the interface, but a null record would be written through.
  if (info == nullptr) return krt::kBadArgument;
  LoadedScreen screen;
  const int32_t loaded =
      LoadScreen(source, offset_or_length, flag, krt::kPatternNameTable, &screen);
  if (loaded != krt::kSuccess) return loaded;
  PictureLayout layout;
  const LayoutStatus status = DecidePictureLayout(screen.sections, &layout);
  ReleaseScreen(&screen);
  // Without GetPicture's row test of its own, a page that fails it is simply
  // not whole rows, hence not valid data.
  if (status != LayoutStatus::kReady) return krt::kNotValidData;

  // Written whole, padding and text handle included: some hosts do not
  // clear the record before the call and free a text handle they find.
  krt::PictureInfo result{};
  result.width = layout.width_px;
  result.height = layout.height_px;
  result.colour_depth = static_cast<int16_t>(layout.output_depth);
  *info = result;
  return krt::kSuccess;
}

}  // namespace

KRT_EXPORT int32_t KRT_STDCALL GetPictureInfo(const char* source,
                                              krt::LengthArgument offset_or_length, uint32_t flag,
                                              krt::PictureInfo* info) {
  return DescribePicture(krt::AnsiPath(source), offset_or_length, flag, info);
}

KRT_EXPORT int32_t KRT_STDCALL GetPictureInfoW(const krt::WideChar* source,
                                               krt::LengthArgument offset_or_length, uint32_t flag,
                                               krt::PictureInfo* info) {
  return DescribePicture(krt::WidePath(source), offset_or_length, flag, info);
}
