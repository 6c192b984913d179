// Memory GetPictureInfo and GetPicture use during a call and free before
// they return: the copy of a file's sections and the colour lookup table.
// Both are fixed blocks, so a block's handle is its address.
#pragma once

#include <cstdint>

namespace krt::image {

// Null when the block cannot be had, a size past 32 bits included; nothing
// is asked of the platform then.
uint8_t* AllocateFileCopy(uint64_t size);
void ReleaseFileCopy(uint8_t* copy);

// Zero-filled, so entries no colour is converted into stay black.
uint8_t* AllocateLookupTable(uint64_t size);
void ReleaseLookupTable(uint8_t* table);

}  // namespace krt::image
