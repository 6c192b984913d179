// Both plug-ins, loaded from the test program's folder through the host
// side's loader, once per test program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_calls.h"
#include "plugin_loader.h"

namespace krt::test {

// Whether the tests call the W exports (KRT_TEXT_FORM=wide): Ifkrt() and
// Axkrt() then take the ANSI signatures over the W exports, with every path
// in UTF-16 and fileInfoW records read back as fileInfo ones.
bool WideForms();

// A plug-in that does not load, or lacks an export, fails the test that
// first asks for it; what did resolve stays usable.
const host::ImagePlugin& Ifkrt();
const host::ArchivePlugin& Axkrt();

// Takes over a block a plug-in handed over, failing the test when it was
// handed over locked, or cannot be locked or freed.
std::vector<uint8_t> TakeBlock(MemoryHandle handle);

// IsSupported's source: a host's buffer, or a handle the host opened.
uintptr_t AsSource(const void* buffer);
uintptr_t HandleSource(HANDLE file);
HANDLE OpenHostHandle(const std::string& path);

// After IsSupported: checks that the host's handle is still open and stands
// at byte `at` of the file `bytes`, then closes it.
void ExpectHandleLeftAt(HANDLE file, const std::vector<uint8_t>& bytes, uint32_t at);

}  // namespace krt::test
