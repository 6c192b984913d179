// libFuzzer's entry point, built once per target with KRT_FUZZ_TARGET naming
// the target's function.
#include <cstddef>
#include <cstdint>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  KRT_FUZZ_TARGET(data, size);
  return 0;
}
