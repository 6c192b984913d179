// kernel32's file calls over POSIX descriptors. The handle is the descriptor
// itself, so handles stay small values, as a host on Windows sees them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "call_control.h"
#include "windows.h"

using krt::platform::CallFails;

namespace {

int Descriptor(HANDLE file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)); }

bool IsBadHandle(HANDLE file) { return file == INVALID_HANDLE_VALUE || Descriptor(file) < 0; }

// Seconds from 1601 to 1970, the two calendars' origins.
constexpr int64_t kSecondsBefore1970 = 11644473600;

FILETIME FileTimeOf(const timespec& time) {
  const auto ticks =
      static_cast<uint64_t>((time.tv_sec + kSecondsBefore1970) * 10000000 + time.tv_nsec / 100);
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

int OpenFlags(DWORD access, DWORD disposition) {
  int flags = O_CLOEXEC;
  const bool reading = (access & GENERIC_READ) != 0;
  const bool writing = (access & GENERIC_WRITE) != 0;
  flags |= reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY;
  switch (disposition) {
    case CREATE_NEW: return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING: return flags;
    case OPEN_ALWAYS: return flags | O_CREAT;
    case TRUNCATE_EXISTING: return flags | O_TRUNC;
    default: return -1;
  }
}

// The UTF-8 spelling of a zero-terminated UTF-16 path; false for a null
// path or an unpaired surrogate.
bool Utf8Path(LPCWSTR name, std::string* path) {
  if (name == nullptr) return false;
  path->clear();
  for (size_t at = 0; name[at] != 0; ++at) {
    uint32_t code = name[at];
    if (code >= 0xDC00 && code <= 0xDFFF) return false;
    if (code >= 0xD800 && code <= 0xDBFF) {
      const uint32_t low = name[at + 1];
      if (low < 0xDC00 || low > 0xDFFF) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      ++at;
    }
    if (code < 0x80) {
      path->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      path->push_back(static_cast<char>(0xC0 | (code >> 6)));
      path->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      path->push_back(static_cast<char>(0xE0 | (code >> 12)));
      path->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      path->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      path->push_back(static_cast<char>(0xF0 | (code >> 18)));
      path->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      path->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      path->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return true;
}

}  // namespace

extern "C" {

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD /*share*/,
                          LPSECURITY_ATTRIBUTES /*security*/, DWORD disposition,
                          DWORD /*flags_and_attributes*/, HANDLE /*template_file*/) {
  if (CallFails(kKrtCallOpen) || name == nullptr) return INVALID_HANDLE_VALUE;
  const int flags = OpenFlags(access, disposition);
  if (flags < 0) return INVALID_HANDLE_VALUE;
  const int fd = open(name, flags, 0644);
  if (fd < 0) return INVALID_HANDLE_VALUE;
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    return INVALID_HANDLE_VALUE;
  }
  krt::platform::NoteFileOpened(fd);
  return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd));
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD size_high) {
  if (CallFails(kKrtCallSize) || IsBadHandle(file)) return INVALID_FILE_SIZE;
  struct stat info {};
  if (fstat(Descriptor(file), &info) != 0) return INVALID_FILE_SIZE;
  const auto size = static_cast<uint64_t>(info.st_size);
  if (size_high != nullptr) *size_high = static_cast<DWORD>(size >> 32);
  return static_cast<DWORD>(size);
}

BOOL WINAPI GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) {
  struct stat status {};
  if (IsBadHandle(file) || info == nullptr || fstat(Descriptor(file), &status) != 0) return FALSE;
  const auto size = static_cast<uint64_t>(status.st_size);
  const auto index = static_cast<uint64_t>(status.st_ino);
  info->dwFileAttributes =
      S_ISDIR(status.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  info->ftCreationTime = FileTimeOf(status.st_ctim);
  info->ftLastAccessTime = FileTimeOf(status.st_atim);
  info->ftLastWriteTime = FileTimeOf(status.st_mtim);
  info->dwVolumeSerialNumber = static_cast<DWORD>(status.st_dev);
  info->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  info->nFileSizeLow = static_cast<DWORD>(size);
  info->nNumberOfLinks = static_cast<DWORD>(status.st_nlink);
  info->nFileIndexHigh = static_cast<DWORD>(index >> 32);
  info->nFileIndexLow = static_cast<DWORD>(index);
  return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distance_high, DWORD method) {
  if (CallFails(kKrtCallSeek) || IsBadHandle(file)) return INVALID_SET_FILE_POINTER;
  int64_t move = distance;
  if (distance_high != nullptr) {
    move = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distance_high)) << 32) |
                                static_cast<uint32_t>(distance));
  }
  int64_t base = 0;
  const int fd = Descriptor(file);
  if (method == FILE_CURRENT) {
    base = lseek(fd, 0, SEEK_CUR);
  } else if (method == FILE_END) {
    struct stat info {};
    if (fstat(fd, &info) != 0) return INVALID_SET_FILE_POINTER;
    base = info.st_size;
  } else if (method != FILE_BEGIN) {
    return INVALID_SET_FILE_POINTER;
  }
  // Windows refuses a move to before the start of the file.
  if (base < 0 || move < -base) return INVALID_SET_FILE_POINTER;
  const off_t position = lseek(fd, static_cast<off_t>(base + move), SEEK_SET);
  if (position < 0) return INVALID_SET_FILE_POINTER;
  if (distance_high != nullptr) *distance_high = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
  return static_cast<DWORD>(position);
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD count_read,
                     LPOVERLAPPED /*overlapped*/) {
  if (count_read != nullptr) *count_read = 0;
  if (CallFails(kKrtCallRead) || IsBadHandle(file) || (buffer == nullptr && count != 0)) return FALSE;
  // A file read delivers everything up to the count or the end of the file;
  // fewer bytes than asked is still a successful call.
  auto* out = static_cast<uint8_t*>(buffer);
  DWORD total = 0;
  while (total < count) {
    const ssize_t got = read(Descriptor(file), out + total, count - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return FALSE;
    if (got == 0) break;
    total += static_cast<DWORD>(got);
  }
  if (count_read != nullptr) *count_read = total;
  return TRUE;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD count_written,
                      LPOVERLAPPED /*overlapped*/) {
  if (count_written != nullptr) *count_written = 0;
  if (CallFails(kKrtCallWrite) || IsBadHandle(file) || (buffer == nullptr && count != 0)) return FALSE;
  const auto* in = static_cast<const uint8_t*>(buffer);
  DWORD total = 0;
  while (total < count) {
    const ssize_t put = write(Descriptor(file), in + total, count - total);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return FALSE;
    total += static_cast<DWORD>(put);
  }
  if (count_written != nullptr) *count_written = total;
  return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE object) {
  if (IsBadHandle(object)) return FALSE;
  const int fd = Descriptor(object);
  if (close(fd) != 0) return FALSE;
  krt::platform::NoteFileClosed(fd);
  return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR name) { return name != nullptr && unlink(name) == 0 ? TRUE : FALSE; }

// Only the folder bit is told apart; everything else that exists is normal.
DWORD WINAPI GetFileAttributesA(LPCSTR name) {
  struct stat info {};
  if (name == nullptr || stat(name, &info) != 0) return INVALID_FILE_ATTRIBUTES;
  return S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

}  // extern "C"

extern "C" {

HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD flags_and_attributes, HANDLE template_file) {
  std::string path;
  if (!Utf8Path(name, &path)) {
    // Counted and failable as any open.
    CallFails(kKrtCallOpen);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileA(path.c_str(), access, share, security, disposition, flags_and_attributes,
                     template_file);
}

BOOL WINAPI DeleteFileW(LPCWSTR name) {
  std::string path;
  return Utf8Path(name, &path) ? DeleteFileA(path.c_str()) : FALSE;
}

DWORD WINAPI GetFileAttributesW(LPCWSTR name) {
  std::string path;
  return Utf8Path(name, &path) ? GetFileAttributesA(path.c_str()) : INVALID_FILE_ATTRIBUTES;
}

}  // extern "C"
