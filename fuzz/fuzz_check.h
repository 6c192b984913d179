// The invariants the fuzz targets assert beyond "no crash". A broken one is a
// finding: by default it prints what failed and aborts, which libFuzzer
// records as a crash with the input that caused it. The ordinary test suite
// installs a handler instead, so one bad corpus file fails one test.
#pragma once

namespace krt::fuzz {

using CheckFailureHandler = void (*)(const char* message);

// Replaces the abort with `handler` (null restores it). The handler must not
// return; throwing is the expected way out.
void SetCheckFailureHandler(CheckFailureHandler handler);

[[noreturn]] void FailCheck(const char* condition, const char* file, int line);

}  // namespace krt::fuzz

#define KRT_FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::krt::fuzz::FailCheck(#condition, __FILE__, __LINE__))
