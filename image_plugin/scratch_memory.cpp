#include "scratch_memory.h"

#include <windows.h>

#include "host_memory.h"

namespace krt::image {

uint8_t* AllocateFileCopy(uint64_t size) {
  if (!FitsBlock(size)) return nullptr;
  // A zero-byte request is answered inconsistently across platforms; one
  // spare byte keeps an empty span an ordinary block.
  return static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(size == 0 ? 1 : size)));
}

void ReleaseFileCopy(uint8_t* copy) {
  if (copy != nullptr) GlobalFree(copy);
}

uint8_t* AllocateLookupTable(uint64_t size) {
  if (!FitsBlock(size)) return nullptr;
  return static_cast<uint8_t*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, static_cast<SIZE_T>(size)));
}

void ReleaseLookupTable(uint8_t* table) {
  if (table != nullptr) LocalFree(table);
}

}  // namespace krt::image
