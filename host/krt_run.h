// The whole of krt behind its main function: parse the command line, load
// the plug-ins, run the command. Tests run it in-process with their own
// streams.
#pragma once

#include <string>
#include <vector>

#include "console.h"

namespace krt::host {

// `arguments` are those after the program name. Answers the exit status.
int RunKrt(const std::vector<std::string>& arguments, const Console& console);

}  // namespace krt::host
