// Where krt's commands write: results to `out`, failures and the progress
// bar to `err`. One failure is one line naming the file, the entry where
// there is one, and what went wrong.
#pragma once

#include <ostream>
#include <string>

namespace krt::host {

struct Console {
  std::ostream& out;
  std::ostream& err;
  bool err_is_terminal = false;
};

// "krt: FILE: entry NAME: WHAT"; the entry part only when `entry` is set.
void ReportFailure(const Console& console, const std::string& file, const std::string& entry,
                   const std::string& what);

}  // namespace krt::host
