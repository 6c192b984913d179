// IFKRT's IsSupported through a host buffer and through a host file handle.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_side.h"
#include "plugin_exports.h"
#include "reference_layout.h"

namespace krt::fuzz {

void FuzzImageIsSupported(const uint8_t* data, size_t size) {
  const ImageExports& ifkrt = Ifkrt();
  KRT_FUZZ_CHECK(ifkrt.IsSupported != nullptr);
  const HeldResources before = CurrentlyHeld();

  // The buffer is cut to what the check may read, so a read beyond it is
  // caught by the address sanitizer.
  std::vector<uint8_t> buffer(kImageDetectionReach, 0);
  std::memcpy(buffer.data(), data, std::min(size, buffer.size()));
  const int32_t from_buffer =
      ifkrt.IsSupported("fuzz.2D", reinterpret_cast<uintptr_t>(buffer.data()));
  KRT_FUZZ_CHECK(from_buffer == (HeaderIsValid(buffer.data(), kUnstatedLength) ? 1 : 0));

  const char* path = WriteInputFile(data, size);
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  KRT_FUZZ_CHECK(file != INVALID_HANDLE_VALUE);
  // Wherever the host left the position, the file is judged from its start.
  SetFilePointer(file, static_cast<LONG>(size / 2), nullptr, FILE_BEGIN);
  const int32_t from_handle = ifkrt.IsSupported("fuzz.2D", reinterpret_cast<uintptr_t>(file));
  const bool whole_file_valid = size >= 96 && HeaderIsValid(data, size);
  KRT_FUZZ_CHECK(from_handle == (whole_file_valid ? 1 : 0));
  // The host's handle is still open and still the host's to close.
  KRT_FUZZ_CHECK(CloseHandle(file) == TRUE);
  CheckNothingLeftHeld(before);
}

}  // namespace krt::fuzz
