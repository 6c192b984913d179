#include "console.h"

namespace krt::host {

void ReportFailure(const Console& console, const std::string& file, const std::string& entry,
                   const std::string& what) {
  console.err << "krt: " << file << ": ";
  if (!entry.empty()) console.err << "entry " << entry << ": ";
  console.err << what << '\n' << std::flush;
}

}  // namespace krt::host
