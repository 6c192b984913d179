#include "fuzz_check.h"

#include <cstdio>
#include <cstdlib>

namespace krt::fuzz {
namespace {

CheckFailureHandler& Handler() {
  static CheckFailureHandler handler = nullptr;
  return handler;
}

}  // namespace

void SetCheckFailureHandler(CheckFailureHandler handler) { Handler() = handler; }

void FailCheck(const char* condition, const char* file, int line) {
  char message[512];
  std::snprintf(message, sizeof message, "%s:%d: invariant broken: %s", file, line, condition);
  if (Handler() != nullptr) Handler()(message);
  std::fprintf(stderr, "%s\n", message);
  std::abort();
}

}  // namespace krt::fuzz
