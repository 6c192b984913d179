// The fuzz targets: one per export that takes data, each driving its export
// through memory input and file input and checking the answers against each
// other, against the layout rules and against what a host may rely on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace krt::fuzz {

void FuzzImageIsSupported(const uint8_t* data, size_t size);
void FuzzImagePictureInfo(const uint8_t* data, size_t size);
void FuzzImagePicture(const uint8_t* data, size_t size);
void FuzzArchiveIsSupported(const uint8_t* data, size_t size);
void FuzzArchiveInfo(const uint8_t* data, size_t size);
void FuzzArchiveFileInfo(const uint8_t* data, size_t size);
void FuzzArchiveFile(const uint8_t* data, size_t size);

enum class SeedKind { kScreens, kPacks };

struct FuzzTarget {
  const char* name;  // also the name of its corpus folders
  void (*run)(const uint8_t* data, size_t size);
  SeedKind seeds;
};

inline constexpr FuzzTarget kFuzzTargets[] = {
    {"ifkrt_is_supported", FuzzImageIsSupported, SeedKind::kScreens},
    {"ifkrt_get_picture_info", FuzzImagePictureInfo, SeedKind::kScreens},
    {"ifkrt_get_picture", FuzzImagePicture, SeedKind::kScreens},
    {"axkrt_is_supported", FuzzArchiveIsSupported, SeedKind::kPacks},
    {"axkrt_get_archive_info", FuzzArchiveInfo, SeedKind::kPacks},
    {"axkrt_get_file_info", FuzzArchiveFileInfo, SeedKind::kPacks},
    {"axkrt_get_file", FuzzArchiveFile, SeedKind::kPacks},
};

}  // namespace krt::fuzz
