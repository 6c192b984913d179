#include "picture_output.h"

#include "bmp_writer.h"
#include "png_writer.h"
#include "safe_replace.h"

namespace krt::host {

unsigned WritingJobs(unsigned jobs_option, OutputFormat format) {
  if (jobs_option != 0) return jobs_option;
  return format == OutputFormat::kPng ? 0 : 1;
}

Outcome WritePicture(const Bitmap& bitmap, OutputFormat format, const std::string& target,
                     const std::vector<std::string>& inputs) {
  if (IsOneOfTheInputs(target, inputs)) {
    return Outcome::Failed("the output " + target + " is one of the inputs; not written");
  }
  std::vector<uint8_t> bytes;
  if (format == OutputFormat::kBmp) {
    bytes = EncodeBmp(bitmap);
  } else {
    std::string error;
    if (!EncodePng(bitmap, &bytes, &error)) return Outcome::Failed(error);
  }
  return ReplaceFileWith(target, bytes);
}

}  // namespace krt::host
