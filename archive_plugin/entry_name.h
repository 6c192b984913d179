// Entry names as a host passes them back to ask for one entry: "NNN.2D",
// the entry index in decimal before the extension.
#pragma once

#include <cstdint>

namespace krt::archive {

// Whether `name` has ".2D" at positions 3 to 5: byte for byte, or without
// regard to the case of ASCII letters when `ignore_case` is set. Names
// shorter than six characters do not match, and nothing past their
// terminating zero is read.
bool IsEntryName(const char* name, bool ignore_case);

// The decimal number at the start of a name that IsEntryName accepts:
// leading white space skipped, one optional sign, then digits up to the
// first other character; 0 when there are no digits.
int32_t EntryIndexOfName(const char* name);

}  // namespace krt::archive
