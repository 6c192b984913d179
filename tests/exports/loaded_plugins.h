// Both plug-ins, loaded from the test program's folder through the host
// side's loader, once per test program.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin_calls.h"
#include "plugin_loader.h"

namespace krt::test {

// A plug-in that does not load, or lacks an export, fails the test that
// first asks for it; what did resolve stays usable.
const host::ImagePlugin& Ifkrt();
const host::ArchivePlugin& Axkrt();

// Takes over a block a plug-in handed over, failing the test when it was
// handed over locked, or cannot be locked or freed.
std::vector<uint8_t> TakeBlock(MemoryHandle handle);

}  // namespace krt::test
