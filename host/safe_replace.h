// Writing outputs without harming what is there: an output never goes over
// one of the inputs, and an existing file is replaced only by a complete new
// one. Each output is first written to a temporary file in the target's own
// folder, then renamed over the target, so a failure half-way leaves the old
// file as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "outcome.h"

namespace krt::host {

// A fresh temporary name beside `target`, in the same folder.
std::string TemporaryPathBeside(const std::string& target);

// Renames the finished temporary file over the target; on failure the
// temporary file is removed.
Outcome CommitTemporary(const std::string& temporary, const std::string& target);

// Removes a temporary file that will not be committed; a missing one is fine.
void DiscardTemporary(const std::string& temporary);

// Writes `bytes` to a fresh temporary file beside the target, named in
// `*temporary`; nothing is left behind on failure.
Outcome WriteTemporary(const std::string& target, const std::vector<uint8_t>& bytes,
                       std::string* temporary);

// Writes `bytes` to a temporary file and commits it over the target.
Outcome ReplaceFileWith(const std::string& target, const std::vector<uint8_t>& bytes);

// Whether `target` is one of the inputs: the same file by any name.
bool IsOneOfTheInputs(const std::string& target, const std::vector<std::string>& inputs);

}  // namespace krt::host
