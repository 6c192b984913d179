// Test-only controls of the native platform stand-in: make the n-th call of a
// kind of platform call fail, and count calls, open handles and live blocks so
// a test can prove that an export released everything it acquired.
//
// Windows has nothing like it; only native tests, fuzz targets and benchmarks
// use this header. Only the stand-in built for them has these functions
// (KRT_PLATFORM_CONTROLS); the installed one has none of them.
#pragma once

#include <cstdint>

extern "C" {

// The kinds of call that can be made to fail. "Alloc" covers LocalAlloc and
// GlobalAlloc; "Lock" is LocalLock.
enum KrtPlatformCall : int32_t {
  kKrtCallOpen = 0,
  kKrtCallSize,
  kKrtCallSeek,
  kKrtCallRead,
  kKrtCallWrite,
  kKrtCallAlloc,
  kKrtCallRealloc,
  kKrtCallLock,
  kKrtCallKinds
};

// Arms a failure: the n-th call of the kind from now on fails (n = 1: the
// next one). n = 0 disarms the kind. A failure fires once.
void KrtPlatformFailNth(KrtPlatformCall kind, uint32_t n);

// Disarms every failure and zeroes the call counters and the allocation
// statistics. Open handles and live blocks are not forgotten.
void KrtPlatformReset();

// Calls of the kind since the last reset, failed ones included.
uint32_t KrtPlatformCallCount(KrtPlatformCall kind);

// Whether an armed failure of the kind has fired since it was armed.
bool KrtPlatformFailureFired(KrtPlatformCall kind);

// Bytes asked for by the largest single LocalAlloc, LocalReAlloc or
// GlobalAlloc since the last reset, and the most bytes live at once.
uint64_t KrtPlatformLargestRequest();
uint64_t KrtPlatformPeakLiveBytes();

// Makes every LocalReAlloc move the block's bytes (true), or lets it grow in
// place where it can (false, the default). Moving catches callers that keep a
// pointer across a re-allocation.
void KrtPlatformMoveOnReAlloc(bool always);

// Files opened through CreateFileA and not yet closed.
int32_t KrtPlatformOpenFiles();

// Local and global blocks allocated and not yet freed.
int32_t KrtPlatformLiveBlocks();

// Lock count of a local block, or -1 when the handle is not a live block.
int32_t KrtPlatformLockCount(void* block);

}  // extern "C"
