// A second, deliberately plain reading of the layout rules the plug-ins
// apply to untrusted bytes: the screen header check, the screen search of a
// pack, the pack walk and the entry-name rule. The fuzz targets compare every
// export's answer with these, so a wrong answer is a finding as much as a
// crash is. Written from the rules alone and sharing no code with the
// plug-ins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "plugin_interface.h"

namespace krt::fuzz {

// Bytes of a host's buffer that each IsSupported may read: the magic and
// four section entries (IFKRT), a scan window from byte 4 (AXKRT).
inline constexpr size_t kImageDetectionReach = 72;
inline constexpr size_t kArchiveDetectionReach = 152;
inline constexpr size_t kScanWindowSize = 160;
inline constexpr size_t kScreenHeaderSize = 256;

// IFKRT's header check: magic, four sections in order from byte 256, the
// last ending within `length`. Reads bytes 0-71.
bool HeaderIsValid(const uint8_t* header, uint64_t length);

struct FoundScreen {
  uint32_t magic_offset;   // 0 to 60 within the window
  uint64_t screen_extent;  // end of the last counted section
};

// AXKRT's screen search in one window of at least 148 readable bytes.
std::optional<FoundScreen> LocateScreen(const uint8_t* window, uint64_t available);

struct PackEntry {
  uint64_t position;  // of the magic, from the first byte of `pack`
  uint64_t screen_extent;
};

// The screens of a pack, walking from `start`.
std::vector<PackEntry> WalkPack(const uint8_t* pack, size_t size, size_t start);

// The entry index GetFileInfo looks for, or nothing when the name is not of
// the form "NNN.2D" (case-blind when the flag asks for it).
std::optional<int32_t> EntryIndexOfName(const char* name, uint32_t flag);

}  // namespace krt::fuzz
