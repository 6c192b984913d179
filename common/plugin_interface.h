// The host interface both plug-ins implement: result codes, flag bits, the
// progress callback and the records the host hands in. Flags, counts and
// results are exactly 32 bits on every target; pointers, memory handles,
// lengths, offsets and user values are pointer-sized, so one declaration
// serves 32- and 64-bit hosts. The W exports take UTF-16 text and are
// otherwise their ANSI twins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#if defined(_WIN32)
#define KRT_STDCALL __stdcall
#define KRT_EXPORT extern "C"
#else
#define KRT_STDCALL
#define KRT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace krt {

// A UTF-16 code unit: Windows' WCHAR, and the stand-in's off Windows.
#if defined(_WIN32)
using WideChar = wchar_t;
#else
using WideChar = char16_t;
#endif
static_assert(sizeof(WideChar) == 2);

// 64-bit hosts lay their records out with pointer-sized fields.
constexpr bool kWidePointers = sizeof(void*) == 8;

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

// A length or offset argument as the plug-ins read it: pointer-sized, but
// the formats address no more than a signed 32-bit count can.
using LengthArgument = intptr_t;
inline bool FitsFormat(LengthArgument value) { return value >= INT32_MIN && value <= INT32_MAX; }

// The answer to a length or offset that does not fit: no file position
// beyond it can be reached, a file error as when the move there fails; a
// memory image's length is refused as a bad argument rather than cut.
inline Result UnfitLengthResult(uint32_t flag) {
  return IsMemoryInput(flag) ? kBadArgument : kFileError;
}

// The host's progress callback: non-zero asks the plug-in to stop.
using ProgressCallback = int32_t(KRT_STDCALL*)(int32_t numerator, int32_t denominator,
                                               intptr_t user_value);

// A memory handle handed to the host (a Windows local-memory handle).
using MemoryHandle = void*;

#pragma pack(push, 1)

// The host's picture description. 64-bit hosts align the text handle to 8
// bytes; the padding before it is always written as zero.
struct PictureInfo {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  uint16_t x_density;
  uint16_t y_density;
  int16_t colour_depth;
#if INTPTR_MAX > INT32_MAX
  uint8_t padding[2];
#endif
  MemoryHandle text;
};

// The host's description of one archive entry, with ANSI (fileInfo) or
// UTF-16 (fileInfoW) names. The numbers are pointer-sized, and 64-bit hosts
// round the record up to a multiple of 8 bytes.
template <typename Char>
struct EntryInfo {
  uint8_t method[8];
  uintptr_t position;
  uintptr_t compsize;
  uintptr_t filesize;
  uintptr_t timestamp;
  Char path[200];
  Char filename[200];
  uint32_t crc;
#if INTPTR_MAX > INT32_MAX
  uint8_t padding[4];
#endif
};
using fileInfo = EntryInfo<char>;
using fileInfoW = EntryInfo<WideChar>;

#pragma pack(pop)

static_assert(sizeof(PictureInfo) == (kWidePointers ? 32 : 26));
static_assert(offsetof(PictureInfo, text) == (kWidePointers ? 24 : 22));
static_assert(sizeof(fileInfo) == (kWidePointers ? 448 : 428));
static_assert(sizeof(fileInfoW) == (kWidePointers ? 848 : 828));

// The entry list GetArchiveInfo hands over: the records back to back, then
// an end mark where the next record's method tag would begin. The 32-bit
// ANSI list ends in one zero byte, as it always has; every other list ends
// in one whole zero record, so hosts that step through it record by record
// (or check its size against whole records) stay inside it.
template <typename Record>
constexpr size_t kEntryListEndBytes =
    !kWidePointers && std::is_same_v<Record, fileInfo> ? 1 : sizeof(Record);

template <typename Record>
constexpr uint64_t EntryListBytes(uint64_t entries) {
  return sizeof(Record) * entries + kEntryListEndBytes<Record>;
}

}  // namespace krt
