#include "extract_all.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "screen_builder.h"

namespace krt::bench {

PackToExtract WritePackToExtract(uint32_t screens) {
  PackToExtract pack;
  pack.screens = SmallScreenPack(screens);
  pack.path = test::WriteTempFile(pack.screens.bytes, "extract.BIN");
  if (pack.path.empty()) return pack;
  pack.folder = pack.path + ".d";
  std::error_code error;
  if (!std::filesystem::create_directory(test::PathOf(pack.folder), error)) pack.path.clear();
  // Each screen stands 4 bytes after the one before it.
  const uint32_t stride = pack.screens.screen_size + 4;
  const uint32_t first = pack.screens.last_position - (screens - 1) * stride;
  for (uint32_t i = 0; i < screens; ++i) {
    pack.positions.push_back(static_cast<int32_t>(first + i * stride));
    char name[24];
    std::snprintf(name, sizeof name, "/%03u.2D", i);
    pack.paths.push_back(pack.folder + name);
  }
  return pack;
}

void MoveWriteTime(const PackToExtract& pack) {
  const std::filesystem::path path = test::PathOf(pack.path);
  std::filesystem::last_write_time(
      path, std::filesystem::last_write_time(path) + std::chrono::seconds(1));
}

bool ExtractEveryEntry(GetFileFn get_file, PackToExtract& pack, bool into_folder) {
  for (size_t i = 0; i < pack.positions.size(); ++i) {
    char* destination = into_folder ? pack.folder.data() : pack.paths[i].data();
    if (get_file(pack.path.c_str(), pack.positions[i], destination, 0, nullptr, 0) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace krt::bench
