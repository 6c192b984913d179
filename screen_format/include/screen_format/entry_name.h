// Entry names as a host passes them back to ask for one entry: "NNN.2D",
// the entry index in decimal before the extension, and from index 1000 on
// the longer names the listing gives, such as "1000.2D".
#pragma once

#include <cstdint>

namespace krt::archive {

// Each takes a name as an ANSI export gets it (char) or as a W export gets it
// (UTF-16 code units); characters outside ASCII match nothing.

// Whether `name` has ".2D" at positions 3 to 5: byte for byte, or without
// regard to the case of ASCII letters when `ignore_case` is set. Names
// shorter than six characters do not match, and nothing past their
// terminating zero is read.
template <typename Char>
bool IsEntryName(const Char* name, bool ignore_case);

// The decimal number at the start of a name that IsEntryName accepts:
// leading white space skipped, one optional sign, then digits up to the
// first other character; 0 when there are no digits.
template <typename Char>
int32_t EntryIndexOfName(const Char* name);

// Whether `name` is exactly the listed name of an index of 1000 or more:
// four or more digits without a leading zero, then ".2D" compared as in
// IsEntryName, and nothing after it. Stores the index, or INT32_MAX for one
// beyond it, which no pack reaches. Such names never pass IsEntryName.
template <typename Char>
bool IsLongEntryName(const Char* name, bool ignore_case, int32_t* index);

}  // namespace krt::archive
