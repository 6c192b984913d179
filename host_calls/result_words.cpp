#include "result_words.h"

#include "plugin_interface.h"

namespace krt::host {
namespace {

bool IsPictureCall(ExportCall call) {
  return call == ExportCall::kPictureInfo || call == ExportCall::kPicture;
}

std::string NotValidData(ExportCall request) {
  switch (request) {
    case ExportCall::kPictureInfo:
    case ExportCall::kPicture:
      return "not a valid screen file, or nothing on the screen to show";
    case ExportCall::kArchiveInfo:
      return "no screen found in the pack";
    case ExportCall::kFileInfo:
      return "the pack has no entry of that name";
    case ExportCall::kFileToDisk:
    case ExportCall::kFileToMemory:
      return "not a valid screen pack";
  }
  return "not valid data";
}

std::string FileError(ExportCall request) {
  if (IsPictureCall(request)) return "the file could not be opened or read in full";
  if (request == ExportCall::kFileToDisk) {
    return "no screen at the entry's position, or the pack could not be read or the output "
           "written";
  }
  if (request == ExportCall::kFileToMemory) {
    return "no screen at the entry's position, or the pack could not be read";
  }
  return "the file could not be opened or read in full";
}

std::string Words(ExportCall request, int32_t code) {
  switch (code) {
    case kSuccess:
      return "done";
    case kStoppedByCallback:
      return "stopped on request";
    case kLayoutNotSupported:
      return "the screen's page layout is not supported";
    case kNotValidData:
      return NotValidData(request);
    case kAllocationFailed:
      return "out of memory";
    case kLockFailed:
      return "memory could not be locked";
    case kFileError:
      return FileError(request);
    case kBadArgument:
      return request == ExportCall::kFileInfo ? "not an entry name of a screen pack (they are "
                                                "named like 000.2D)"
                                              : "bad argument";
    case kNotImplemented:
      return "not implemented by the plug-in";
    default:
      return "unexpected answer from the plug-in";
  }
}

}  // namespace

std::string DescribeResult(ExportCall request, int32_t code) {
  return Words(request, code) + " (result code " + std::to_string(code) + ")";
}

}  // namespace krt::host
