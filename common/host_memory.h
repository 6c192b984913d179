// Movable, zero-filled local-memory blocks: the form in which the host
// receives everything a plug-in hands over.
#pragma once

#include <windows.h>

#include <cstdint>

namespace krt {

// Whether a block of `size` bytes can be asked of the platform at all: every
// block a plug-in allocates stays within 32 bits, on every target.
inline bool FitsBlock(uint64_t size) { return size <= UINT32_MAX && size <= SIZE_MAX; }

struct LockedBlock {
  HLOCAL handle = nullptr;
  uint8_t* bytes = nullptr;
};

enum class BlockStatus { kReady, kAllocationFailed, kLockFailed };

// Allocates `size` bytes movable and zero-filled and locks them. A size that
// does not fit a 32-bit block is an allocation failure; nothing is asked of
// the platform then. On a failed lock the block is freed again.
BlockStatus AllocateLockedBlock(uint64_t size, LockedBlock* block);

// Unlocks and frees a block that is not handed over.
void ReleaseLockedBlock(LockedBlock* block);

// Unlocks the block and gives up the plug-in's hold on it: the handle now
// belongs to the host.
HLOCAL HandOverBlock(LockedBlock* block);

// Blocks that are kept unlocked between uses, such as a list that grows one
// record at a time. Sizes that do not fit a 32-bit block fail without asking
// the platform.

// A movable, zero-filled block of `size` bytes, unlocked; null on failure.
HLOCAL AllocateBlock(uint64_t size);

// Re-allocates the block to `size` bytes, movable, new bytes zero-filled,
// and replaces `*handle` with the handle the platform answers. On failure
// the old block stays valid and `*handle` unchanged.
bool ResizeBlock(HLOCAL* handle, uint64_t size);

// The block's bytes, locked; null when the lock fails.
uint8_t* LockBlock(HLOCAL handle);
void UnlockBlock(HLOCAL handle);
void FreeBlock(HLOCAL handle);

}  // namespace krt
