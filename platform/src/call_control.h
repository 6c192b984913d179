// Shared by the stand-in's file and memory calls: the fault switch each call
// consults first, and the counters the test controls report.
#pragma once

#include "platform_control.h"

namespace krt::platform {

// Counts one call of the kind and answers whether it is to fail.
bool CallFails(KrtPlatformCall kind);

// Open files are counted by descriptor, so closing a descriptor that did not
// come from CreateFileA leaves the count alone.
void NoteFileOpened(int descriptor);
void NoteFileClosed(int descriptor);

// Zeroes the largest-request and peak figures of the memory calls.
void ResetAllocationStats();

}  // namespace krt::platform
