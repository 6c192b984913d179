// The exports a host calls before, or instead of, decoding: plug-in
// information, detection and the preview IFKRT does not provide.
#include <windows.h>

#include "file_input.h"
#include "plugin_info.h"
#include "plugin_interface.h"
#include "screen_layout.h"
#include "screen_sections.h"

namespace {

constexpr krt::PluginStrings kImageStrings{
    {"00IN", "KRT to DIB filter ver0.02", "*.2D;*.S2D", krt::kScreenMagic}};

int32_t IsSupportedHandle(HANDLE file) {
  uint32_t size = 0;
  if (!krt::QueryFileSize(file, &size)) return 0;
  // Judged by the first bytes of the file, wherever the host left the position.
  if (!krt::SeekTo(file, 0)) return 0;
  uint8_t header[krt::image::kDetectionBytes];
  if (!krt::ReadExactly(file, header, sizeof header)) return 0;
  return krt::image::FourSectionsInOrderWithin(header, size);
}

// The file name is not looked at, so both forms answer alike.
int32_t IsSupportedSource(uintptr_t source) {
  if (krt::IsHostFileHandle(source)) return IsSupportedHandle(reinterpret_cast<HANDLE>(source));
  return krt::image::FourSectionsInOrderWithin(reinterpret_cast<const uint8_t*>(source),
                                               krt::kUnstatedLength);
}

}  // namespace

KRT_PLUGIN_INFO_EXPORTS(kImageStrings)

KRT_EXPORT int32_t KRT_STDCALL IsSupported(const char* /*file_name*/, uintptr_t source) {
  return IsSupportedSource(source);
}

KRT_EXPORT int32_t KRT_STDCALL IsSupportedW(const krt::WideChar* /*file_name*/, uintptr_t source) {
  return IsSupportedSource(source);
}

KRT_EXPORT int32_t KRT_STDCALL GetPreview(const char* /*source*/,
                                          krt::LengthArgument /*offset_or_length*/,
                                          uint32_t /*flag*/, krt::MemoryHandle* /*info_slot*/,
                                          krt::MemoryHandle* /*pixel_slot*/,
                                          krt::ProgressCallback /*progress*/,
                                          intptr_t /*user_value*/) {
  return krt::kNotImplemented;
}

KRT_EXPORT int32_t KRT_STDCALL GetPreviewW(const krt::WideChar* /*source*/,
                                           krt::LengthArgument /*offset_or_length*/,
                                           uint32_t /*flag*/, krt::MemoryHandle* /*info_slot*/,
                                           krt::MemoryHandle* /*pixel_slot*/,
                                           krt::ProgressCallback /*progress*/,
                                           intptr_t /*user_value*/) {
  return krt::kNotImplemented;
}
