// Memory blocks that a plug-in hands to the host: movable local-memory
// handles that the host now owns. krt copies each one out and frees it at
// once, so no handle outlives the request that produced it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_interface.h"

namespace krt::host {

// Locks the block, copies its LocalSize bytes into `bytes`, unlocks and
// frees it. Answers false with a reason when the handle is null or cannot be
// locked; the handle is freed in every case.
bool TakeHandedOverBlock(MemoryHandle handle, std::vector<uint8_t>* bytes, std::string* error);

// Frees a handed-over block without reading it; a null handle is ignored.
void FreeHandedOverBlock(MemoryHandle handle);

}  // namespace krt::host
