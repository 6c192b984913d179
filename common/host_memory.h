// Movable, zero-filled local-memory blocks: the form in which the host
// receives everything a plug-in hands over.
#pragma once

#include <windows.h>

#include <cstdint>

namespace krt {

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

}  // namespace krt
