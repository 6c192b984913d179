#include "handed_over_block.h"

#include <windows.h>

#include <cstring>

namespace krt::host {

bool TakeHandedOverBlock(MemoryHandle handle, std::vector<uint8_t>* bytes, std::string* error) {
  if (handle == nullptr) {
    *error = "the plug-in reported success but handed over no memory block";
    return false;
  }
  HLOCAL block = static_cast<HLOCAL>(handle);
  const SIZE_T size = LocalSize(block);
  const void* locked = LocalLock(block);
  if (locked == nullptr) {
    *error = "the memory block handed over by the plug-in cannot be locked";
    LocalFree(block);
    return false;
  }
  bytes->resize(size);
  if (size != 0) std::memcpy(bytes->data(), locked, size);
  LocalUnlock(block);
  LocalFree(block);
  return true;
}

void FreeHandedOverBlock(MemoryHandle handle) {
  if (handle != nullptr) LocalFree(static_cast<HLOCAL>(handle));
}

}  // namespace krt::host
