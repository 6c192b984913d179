// The host interface both plug-ins implement: result codes, flag bits, the
// progress callback and the records the host hands in. Argument widths are
// fixed: integers are exactly 32 bits on every target, pointers and memory
// handles are pointer-sized (32 bits on Windows, where the host runs).
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define KRT_STDCALL __stdcall
#define KRT_EXPORT extern "C"
#else
#define KRT_STDCALL
#define KRT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace krt {

// What every export except GetPluginInfo, IsSupported and GetPreview returns.
enum Result : int32_t {
  kSuccess = 0,
  kStoppedByCallback = 1,
  kLayoutNotSupported = 2,
  kNotValidData = 3,
  kAllocationFailed = 4,
  kLockFailed = 5,
  kFileError = 6,
  kBadArgument = 8,
  kNotImplemented = -1,
};

// Bits 0-2 of the flag: 0 reads a file, anything else a memory image.
constexpr uint32_t kInputModeMask = 0x7;
constexpr uint32_t kFileInput = 0;
constexpr uint32_t kMemoryInput = 1;
// Bit 7, for GetFileInfo: compare entry names without regard to case.
constexpr uint32_t kIgnoreCaseFlag = 0x80;
// Bits 8-10, for GetFile: 0 writes a disk file, anything else a memory handle.
constexpr uint32_t kOutputModeShift = 8;
constexpr uint32_t kOutputModeMask = 0x7;
constexpr uint32_t kDiskOutput = 0;
constexpr uint32_t kMemoryOutput = 1u << kOutputModeShift;

inline bool IsMemoryInput(uint32_t flag) { return (flag & kInputModeMask) != 0; }
inline bool IsMemoryOutput(uint32_t flag) {
  return ((flag >> kOutputModeShift) & kOutputModeMask) != 0;
}

// IsSupported's source is a host file handle when its upper 16 bits are clear,
// else the address of a buffer holding the file's first bytes.
inline bool IsHostFileHandle(uintptr_t source) { return (source >> 16) == 0; }

// A buffer handed to IsSupported comes without a length: what it holds is
// judged against the largest length a signed 32-bit count can state.
constexpr uint32_t kUnstatedLength = 0x7FFFFFFF;

// The host's progress callback: non-zero asks the plug-in to stop.
using ProgressCallback = int32_t(KRT_STDCALL*)(int32_t numerator, int32_t denominator,
                                               intptr_t user_value);

// A memory handle handed to the host (a Windows local-memory handle).
using MemoryHandle = void*;

#pragma pack(push, 1)

// The host's picture description.
struct PictureInfo {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  uint16_t x_density;
  uint16_t y_density;
  int16_t colour_depth;
  MemoryHandle text;
};

// The host's description of one archive entry.
struct fileInfo {
  uint8_t method[8];
  uint32_t position;
  uint32_t compsize;
  uint32_t filesize;
  uint32_t timestamp;
  char path[200];
  char filename[200];
  uint32_t crc;
};

#pragma pack(pop)

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PictureInfo) == 26, "the host's PictureInfo is 26 bytes");
#endif
static_assert(sizeof(fileInfo) == 428, "the host's fileInfo is 428 bytes");

}  // namespace krt
