// How a request went: done, or failed with a reason in words.
#pragma once

#include <string>
#include <utility>

namespace krt::host {

struct Outcome {
  bool ok = true;
  std::string reason;

  static Outcome Done() { return Outcome{}; }
  static Outcome Failed(std::string why) { return Outcome{false, std::move(why)}; }
};

}  // namespace krt::host
