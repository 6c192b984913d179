// AXKRT's IsSupported through a host buffer and through a host file handle.
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
namespace {

// The first magic of a pack stands 4 to 64 bytes into the file.
constexpr size_t kWindowStart = 4;

}  // namespace

void FuzzArchiveIsSupported(const uint8_t* data, size_t size) {
  const ArchiveExports& axkrt = Axkrt();
  KRT_FUZZ_CHECK(axkrt.IsSupported != nullptr);
  const HeldResources before = CurrentlyHeld();

  std::vector<uint8_t> buffer(kArchiveDetectionReach, 0);
  std::memcpy(buffer.data(), data, std::min(size, buffer.size()));
  const int32_t from_buffer =
      axkrt.IsSupported("fuzz.BIN", reinterpret_cast<uintptr_t>(buffer.data()));
  KRT_FUZZ_CHECK(from_buffer ==
                 (LocateScreen(buffer.data() + kWindowStart, kUnstatedLength) ? 1 : 0));

  const char* path = WriteInputFile(data, size);
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  KRT_FUZZ_CHECK(file != INVALID_HANDLE_VALUE);
  SetFilePointer(file, static_cast<LONG>(size / 2), nullptr, FILE_BEGIN);
  const int32_t from_handle = axkrt.IsSupported("fuzz.BIN", reinterpret_cast<uintptr_t>(file));
  // The screen's end is compared with the whole file, not with what follows
  // the 4 bytes skipped.
  const bool found = size >= kScanWindowSize && LocateScreen(data + kWindowStart, size);
  KRT_FUZZ_CHECK(from_handle == (found ? 1 : 0));
  KRT_FUZZ_CHECK(CloseHandle(file) == TRUE);
  CheckNothingLeftHeld(before);
}

}  // namespace krt::fuzz
