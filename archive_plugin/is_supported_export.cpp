// IsSupported: whether the host's file is a screen pack, judged by its first
// scan window.
#include <windows.h>

#include "plugin_interface.h"
#include "read_at_offset.h"
#include "screen_format/locate_screen.h"

namespace krt::archive {
namespace {

// A pack begins with a few bytes of its own before the first screen, so the
// first magic is looked for from byte 4 on; a lone screen file, whose magic
// is at byte 0, is left to the image plug-in.
constexpr uint32_t kFirstMagicFrom = 4;

int32_t HasPackStart(const uint8_t* first_bytes, uint32_t available) {
  ScreenLocation screen;
  return LocateScreen(first_bytes + kFirstMagicFrom, available, &screen) ? 1 : 0;
}

int32_t IsSupportedHandle(HANDLE file) {
  uint8_t window[format::kScanWindowSize];
  uint32_t file_size = 0;
  if (ReadAtOffset(file, 0, sizeof window, window, &file_size) != kSuccess) return 0;
  // Against the whole file although the search starts at byte 4: a first
  // screen may end up to 4 bytes past the file's end and is still taken.
  return HasPackStart(window, file_size);
}

// The file name is not looked at, so both forms answer alike.
int32_t IsSupportedSource(uintptr_t source) {
  if (IsHostFileHandle(source)) return IsSupportedHandle(reinterpret_cast<HANDLE>(source));
  return HasPackStart(reinterpret_cast<const uint8_t*>(source), kUnstatedLength);
}

}  // namespace
}  // namespace krt::archive

KRT_EXPORT int32_t KRT_STDCALL IsSupported(const char* /*file_name*/, uintptr_t source) {
  return krt::archive::IsSupportedSource(source);
}

KRT_EXPORT int32_t KRT_STDCALL IsSupportedW(const krt::WideChar* /*file_name*/, uintptr_t source) {
  return krt::archive::IsSupportedSource(source);
}
