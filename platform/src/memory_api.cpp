// kernel32's local and global memory calls. Every block is registered, so a
// handle that is not a live block is refused instead of corrupting memory,
// and tests can count what is still allocated.
//
// Blocks allocated without zero-fill start with a non-zero pattern, so a
// caller that relies on zeros it did not ask for shows up in tests. A
// re-allocation grows in place where the C library can, as a real heap does;
// tests can make every re-allocation move the bytes instead, so that a
// pointer kept across one is stale and the sanitizers see its use.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "call_control.h"
#include "windows.h"

using krt::platform::CallFails;

namespace {

constexpr unsigned char kGarbage = 0xA5;

struct Block {
  unsigned char* bytes = nullptr;
  size_t size = 0;
  bool movable = false;
  int32_t locks = 0;
};

// A movable block's handle is the address of its record; a fixed block's
// handle is its bytes, as on Windows.
struct Registry {
  std::mutex lock;
  std::unordered_map<void*, std::unique_ptr<Block>> blocks;
  uint64_t live_bytes = 0;
  uint64_t peak_bytes = 0;
  uint64_t largest_request = 0;
  bool always_move = false;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

Block* Find(Registry& registry, void* handle) {
  auto it = registry.blocks.find(handle);
  return it == registry.blocks.end() ? nullptr : it->second.get();
}

// The figures the test controls report; kept only where there are controls.
void NoteRequest(Registry& registry, size_t bytes) {
  if (krt::platform::kControls && bytes > registry.largest_request) {
    registry.largest_request = bytes;
  }
}

void NoteLive(Registry& registry) {
  if (krt::platform::kControls && registry.live_bytes > registry.peak_bytes) {
    registry.peak_bytes = registry.live_bytes;
  }
}

unsigned char* NewBytes(size_t bytes, bool zero) {
  // One spare byte keeps zero-size blocks distinct and lockable.
  auto* out = static_cast<unsigned char*>(std::malloc(bytes + 1));
  if (out != nullptr) std::memset(out, zero ? 0 : kGarbage, bytes + 1);
  return out;
}

void* Allocate(UINT flags, SIZE_T bytes) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  NoteRequest(registry, bytes);
  if (CallFails(kKrtCallAlloc)) return nullptr;
  auto block = std::make_unique<Block>();
  block->bytes = NewBytes(bytes, (flags & LMEM_ZEROINIT) != 0);
  if (block->bytes == nullptr) return nullptr;
  block->size = bytes;
  block->movable = (flags & LMEM_MOVEABLE) != 0;
  void* handle = block->movable ? static_cast<void*>(block.get()) : block->bytes;
  registry.live_bytes += bytes;
  NoteLive(registry);
  registry.blocks.emplace(handle, std::move(block));
  return handle;
}

void* Free(void* handle) {
  if (handle == nullptr) return nullptr;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto it = registry.blocks.find(handle);
  if (it == registry.blocks.end()) return handle;
  registry.live_bytes -= it->second->size;
  std::free(it->second->bytes);
  registry.blocks.erase(it);
  return nullptr;
}

}  // namespace

#if KRT_PLATFORM_CONTROLS

namespace krt::platform {

void ResetAllocationStats() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  registry.peak_bytes = registry.live_bytes;
  registry.largest_request = 0;
}

}  // namespace krt::platform

#endif

extern "C" {

HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes) { return Allocate(flags, bytes); }

HLOCAL WINAPI LocalReAlloc(HLOCAL handle, SIZE_T bytes, UINT flags) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  NoteRequest(registry, bytes);
  if (CallFails(kKrtCallRealloc)) return nullptr;
  Block* block = Find(registry, handle);
  if (block == nullptr) return nullptr;
  // Windows moves a fixed block only when asked to.
  if (!block->movable && (flags & LMEM_MOVEABLE) == 0 && bytes > block->size) return nullptr;
  unsigned char* moved = nullptr;
  if (registry.always_move) {
    moved = NewBytes(bytes, (flags & LMEM_ZEROINIT) != 0);
    if (moved == nullptr) return nullptr;
    std::memcpy(moved, block->bytes, bytes < block->size ? bytes : block->size);
    std::free(block->bytes);
  } else {
    moved = static_cast<unsigned char*>(std::realloc(block->bytes, bytes + 1));
    if (moved == nullptr) return nullptr;
    if (bytes + 1 > block->size) {
      std::memset(moved + block->size, (flags & LMEM_ZEROINIT) != 0 ? 0 : kGarbage,
                  bytes + 1 - block->size);
    }
  }
  registry.live_bytes = registry.live_bytes - block->size + bytes;
  NoteLive(registry);
  block->bytes = moved;
  block->size = bytes;
  if (block->movable || moved == handle) return handle;
  // A fixed block's handle is its address, which has just changed.
  auto record = std::move(registry.blocks[handle]);
  registry.blocks.erase(handle);
  registry.blocks.emplace(moved, std::move(record));
  return moved;
}

LPVOID WINAPI LocalLock(HLOCAL handle) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  if (CallFails(kKrtCallLock)) return nullptr;
  Block* block = Find(registry, handle);
  if (block == nullptr) return nullptr;
  if (block->movable) ++block->locks;
  return block->bytes;
}

BOOL WINAPI LocalUnlock(HLOCAL handle) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  Block* block = Find(registry, handle);
  if (block == nullptr || !block->movable || block->locks == 0) return FALSE;
  --block->locks;
  return block->locks > 0 ? TRUE : FALSE;
}

HLOCAL WINAPI LocalFree(HLOCAL handle) { return Free(handle); }

SIZE_T WINAPI LocalSize(HLOCAL handle) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  Block* block = Find(registry, handle);
  return block == nullptr ? 0 : block->size;
}

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) { return Allocate(flags, bytes); }

HGLOBAL WINAPI GlobalFree(HGLOBAL handle) { return Free(handle); }

#if KRT_PLATFORM_CONTROLS

uint64_t KrtPlatformLargestRequest() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  return registry.largest_request;
}

uint64_t KrtPlatformPeakLiveBytes() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  return registry.peak_bytes;
}

void KrtPlatformMoveOnReAlloc(bool always) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  registry.always_move = always;
}

int32_t KrtPlatformLiveBlocks() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  return static_cast<int32_t>(registry.blocks.size());
}

int32_t KrtPlatformLockCount(void* handle) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  Block* block = Find(registry, handle);
  return block == nullptr ? -1 : block->locks;
}

#endif

}  // extern "C"
