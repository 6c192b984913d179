// What a careful host checks around every call: that nothing the call
// acquired is still held afterwards, that a handed-over block is unlocked and
// exactly as large as promised, and which progress reports it received.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugin_calls.h"
#include "plugin_interface.h"
#include "plugin_loader.h"

namespace krt::fuzz {

// The plug-ins, loaded through the host side's loader from the program's
// folder once per process; a plug-in that does not load, or lacks an
// export, aborts.
const host::ImagePlugin& Ifkrt();
const host::ArchivePlugin& Axkrt();

// Open files and live memory blocks of the platform at one moment.
struct HeldResources {
  int32_t open_files = 0;
  int32_t live_blocks = 0;
};

HeldResources CurrentlyHeld();

// Checks that the platform holds exactly what it held at `before`.
void CheckNothingLeftHeld(const HeldResources& before);

// Takes `handle` over through the host side's call layer and checks that it
// was a live, unlocked block of exactly `size` bytes.
std::vector<uint8_t> TakeHandedBlock(MemoryHandle handle, uint64_t size);

// Records every progress report, for checking the order afterwards. The
// callback never asks to stop. Pass the recorder's address as user value.
struct ProgressReport {
  int32_t numerator;
  int32_t denominator;
  intptr_t user_value;
};

struct ProgressRecorder {
  std::vector<ProgressReport> reports;

  static int32_t KRT_STDCALL Record(int32_t numerator, int32_t denominator, intptr_t user_value);
  intptr_t UserValue() { return reinterpret_cast<intptr_t>(this); }

  // Whether the reports were exactly (0, d), (1, d), ... (count - 1, d), each
  // with this recorder as user value.
  bool ReceivedFirst(int32_t count, int32_t denominator) const;
};

// The fuzz input as a file on disk, for the file-input paths: one path per
// process, rewritten for every input and removed at exit.
const char* WriteInputFile(const uint8_t* data, size_t size);

// A second per-process path, for exports that write a file.
const char* OutputFilePath();

// IsSupported asked both ways a host asks: with a buffer holding the input's
// first `reach` bytes (zero-padded, and cut there so that a read past them
// is caught), and with a handle to the input as a file, left mid-file by
// the host. Checks that the host's handle is still open afterwards.
struct DetectionAnswers {
  std::vector<uint8_t> buffer;
  int32_t from_buffer = 0;
  int32_t from_handle = 0;
};

DetectionAnswers AskIsSupported(IsSupportedFn is_supported, const uint8_t* data, size_t size,
                                size_t reach);

// The file's bytes, or an empty vector when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const char* path);

void WriteWholeFile(const char* path, const std::vector<uint8_t>& bytes);

}  // namespace krt::fuzz
