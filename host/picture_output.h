// Writing a rendered picture to its output file, in the chosen format, by
// safe replacement and never over an input.
#pragma once

#include <string>
#include <vector>

#include "bitmap.h"
#include "outcome.h"
#include "output_naming.h"

namespace krt::host {

Outcome WritePicture(const Bitmap& bitmap, OutputFormat format, const std::string& target,
                     const std::vector<std::string>& inputs);

}  // namespace krt::host
