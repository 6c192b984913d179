// Shared by the stand-in's file and memory calls: the fault switch each call
// consults first, and the counters the test controls report.
//
// The controls are a build variant (KRT_PLATFORM_CONTROLS): the tests' stand-in
// counts every call under a lock and can make one fail; the installed one
// does neither, and these calls compile to nothing.
#pragma once

#include "platform_control.h"

namespace krt::platform {

#if KRT_PLATFORM_CONTROLS

inline constexpr bool kControls = true;

// Counts one call of the kind and answers whether it is to fail.
bool CallFails(KrtPlatformCall kind);

// Open files are counted by descriptor, so closing a descriptor that did not
// come from CreateFileA leaves the count alone.
void NoteFileOpened(int descriptor);
void NoteFileClosed(int descriptor);

// Zeroes the largest-request and peak figures of the memory calls.
void ResetAllocationStats();

#else

inline constexpr bool kControls = false;

inline bool CallFails(KrtPlatformCall) { return false; }
inline void NoteFileOpened(int) {}
inline void NoteFileClosed(int) {}

#endif

}  // namespace krt::platform
