// Writing a rendered picture to its output file, in the chosen format, by
// safe replacement and never over an input.
#pragma once

#include <string>
#include <vector>

#include "bitmap.h"
#include "outcome.h"
#include "output_naming.h"

namespace krt::host {

// Threads for writing a batch of pictures: --jobs when given; else one per
// processor for PNG, whose compression is the work, and one for BMP, which is
// a copy to disk that more threads only slow down.
unsigned WritingJobs(unsigned jobs_option, OutputFormat format);

Outcome WritePicture(const Bitmap& bitmap, OutputFormat format, const std::string& target,
                     const std::vector<std::string>& inputs);

}  // namespace krt::host
