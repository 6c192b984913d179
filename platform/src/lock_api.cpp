// kernel32's slim reader/writer lock, exclusive use. The all-zero lock is
// unlocked, so the mutex behind it is made at its first use and kept in
// its pointer; a lock lives as long as the module that holds it.
#include <mutex>

#include "windows.h"

namespace {

std::mutex& CreationLock() {
  static std::mutex lock;
  return lock;
}

// Read under the creation lock: another thread may be making it. Once the
// caller holds the mutex, its pointer is fixed and seen by every thread that
// took the same path.
std::mutex* MutexOf(PSRWLOCK lock) {
  std::lock_guard<std::mutex> guard(CreationLock());
  if (lock->Ptr == nullptr) lock->Ptr = new std::mutex;
  return static_cast<std::mutex*>(lock->Ptr);
}

}  // namespace

extern "C" {

void WINAPI AcquireSRWLockExclusive(PSRWLOCK lock) { MutexOf(lock)->lock(); }

void WINAPI ReleaseSRWLockExclusive(PSRWLOCK lock) {
  static_cast<std::mutex*>(lock->Ptr)->unlock();
}

}  // extern "C"
