#include "host_memory.h"

namespace krt {

BlockStatus AllocateLockedBlock(uint64_t size, LockedBlock* block) {
  *block = LockedBlock{};
  if (!FitsBlock(size)) return BlockStatus::kAllocationFailed;
  HLOCAL handle = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, static_cast<SIZE_T>(size));
  if (handle == nullptr) return BlockStatus::kAllocationFailed;
  auto* bytes = static_cast<uint8_t*>(LocalLock(handle));
  if (bytes == nullptr) {
    LocalFree(handle);
    return BlockStatus::kLockFailed;
  }
  block->handle = handle;
  block->bytes = bytes;
  return BlockStatus::kReady;
}

void ReleaseLockedBlock(LockedBlock* block) {
  if (block->handle == nullptr) return;
  LocalUnlock(block->handle);
  LocalFree(block->handle);
  *block = LockedBlock{};
}

HLOCAL HandOverBlock(LockedBlock* block) {
  HLOCAL handle = block->handle;
  LocalUnlock(handle);
  *block = LockedBlock{};
  return handle;
}

HLOCAL AllocateBlock(uint64_t size) {
  if (!FitsBlock(size)) return nullptr;
  return LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, static_cast<SIZE_T>(size));
}

bool ResizeBlock(HLOCAL* handle, uint64_t size) {
  if (!FitsBlock(size)) return false;
  HLOCAL resized = LocalReAlloc(*handle, static_cast<SIZE_T>(size), LMEM_MOVEABLE | LMEM_ZEROINIT);
  if (resized == nullptr) return false;
  *handle = resized;
  return true;
}

uint8_t* LockBlock(HLOCAL handle) { return static_cast<uint8_t*>(LocalLock(handle)); }

void UnlockBlock(HLOCAL handle) { LocalUnlock(handle); }

void FreeBlock(HLOCAL handle) { LocalFree(handle); }

}  // namespace krt
