#include "file_input.h"

namespace krt {

HANDLE CreateFileAt(HostPath path, DWORD access, DWORD share, DWORD disposition, DWORD attributes) {
  if (path.text == nullptr) return INVALID_HANDLE_VALUE;
  if (path.wide) {
    return CreateFileW(static_cast<const WCHAR*>(path.text), access, share, nullptr, disposition,
                       attributes, nullptr);
  }
  return CreateFileA(static_cast<const char*>(path.text), access, share, nullptr, disposition,
                     attributes, nullptr);
}

HANDLE OpenForReading(HostPath path, ScanHint hint) {
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  if (hint == ScanHint::kSequential) attributes |= FILE_FLAG_SEQUENTIAL_SCAN;
  return CreateFileAt(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, attributes);
}

bool QueryFileSize(HANDLE file, uint32_t* size) {
  const DWORD answer = GetFileSize(file, nullptr);
  if (answer == INVALID_FILE_SIZE) return false;
  *size = answer;
  return true;
}

bool SeekTo(HANDLE file, int64_t position) {
  if (position < 0 || position > INT32_MAX) return false;
  return SetFilePointer(file, static_cast<LONG>(position), nullptr, FILE_BEGIN) !=
         INVALID_SET_FILE_POINTER;
}

bool ReadExactly(HANDLE file, void* buffer, uint32_t count) {
  DWORD delivered = 0;
  return ReadFile(file, buffer, count, &delivered, nullptr) != FALSE && delivered == count;
}

}  // namespace krt
