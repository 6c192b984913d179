// Every entry of a pack of small screens on disk, one GetFile call each, as
// a host extracts them all: into a folder, where each takes its listed
// name, or to file paths of the same names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench_screens.h"
#include "export_signatures.h"

namespace krt::bench {

struct PackToExtract {
  ScreenPack screens;
  std::string path;
  std::string folder;
  std::vector<int32_t> positions;  // of each entry's magic
  std::vector<std::string> paths;  // folder/NNN.2D, each entry's listed name
};

// Writes an n-screen pack and makes an empty folder beside it. The path is
// empty when either cannot be written.
PackToExtract WritePackToExtract(uint32_t screens);

// Moves the pack's write time on a second, so that AXKRT sees another file
// and walks it anew, as it would a pack it has not met.
void MoveWriteTime(const PackToExtract& pack);

// False as soon as a call fails.
bool ExtractEveryEntry(GetFileFn get_file, PackToExtract& pack, bool into_folder);

}  // namespace krt::bench
