// Result codes in words, so that a failure line tells a person what went
// wrong and not only a number.
#pragma once

#include <cstdint>
#include <string>

namespace krt::host {

// Which export call a result code answers: the same code means different things
// to a picture request and to an archive request.
enum class ExportCall {
  kPictureInfo,
  kPicture,
  kArchiveInfo,
  kFileInfo,
  kFileToDisk,
  kFileToMemory,
};

// For example "not a valid screen file, or nothing on the screen to show
// (result code 3)".
std::string DescribeResult(ExportCall request, int32_t code);

}  // namespace krt::host
