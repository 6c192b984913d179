// GetPicture against a zero-filled movable block of the bitmap's size plus a
// memcpy into it, per rendering mode, for a build Google Benchmark does not
// reach: the 32-bit DLL under Wine. Each round times one batch of each side
// back to back, so both see the same load; the table gives the median time
// of each side and the median, lowest and highest ratio of the rounds.
//
// Times are this thread's processor time. That clock can be coarse (64-bit
// Wine counts it in the kernel's 10 ms ticks), so each batch lasts at least
// 20 of its steps, measured at the start.
//
// Usage: picture_speed [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "bench_screens.h"
#include "plugin_loader.h"
#include "thread_clock.h"

namespace {

using krt::bench::Median;
using krt::bench::Seconds;

struct Case {
  krt::GetPictureFn get_picture;
  std::vector<uint8_t> screen;
  std::vector<uint8_t> copy_source;  // as many bytes as the pixel block
};

// False when the call fails: a failing call would be timed as a fast one.
bool RenderOnce(const Case& c, size_t* pixel_bytes) {
  krt::MemoryHandle info = nullptr;
  krt::MemoryHandle pixels = nullptr;
  const auto source = reinterpret_cast<const char*>(c.screen.data());
  if (c.get_picture(source, static_cast<int32_t>(c.screen.size()), 1, &info, &pixels, nullptr, 0) !=
      0) {
    return false;
  }
  if (pixel_bytes != nullptr) *pixel_bytes = LocalSize(pixels);
  LocalFree(info);
  LocalFree(pixels);
  return true;
}

void CopyOnce(const Case& c) {
  HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, c.copy_source.size());
  void* to = LocalLock(block);
  std::memcpy(to, c.copy_source.data(), c.copy_source.size());
  // Keeps the copy from being left out.
  asm volatile("" : : "r"(to) : "memory");
  LocalUnlock(block);
  LocalFree(block);
}

template <typename Step>
double TimeBatch(int calls, Step step) {
  const double start = Seconds();
  for (int i = 0; i < calls; ++i) step();
  return (Seconds() - start) / calls;
}

// The smallest step the clock takes: the least of a few waits for it to move.
double ClockStep() {
  double step = 1;
  for (int i = 0; i < 5; ++i) {
    const double start = Seconds();
    double now = start;
    while (now == start) now = Seconds();
    step = std::min(step, now - start);
  }
  return step;
}

// How many calls of `step` fill a batch of at least `seconds`: doubled until
// they do, so that a clock too coarse to see one call cannot make it huge.
template <typename Step>
int CallsFilling(double seconds, Step step) {
  int calls = 1;
  while (calls < (1 << 24) && TimeBatch(calls, step) * calls < seconds) calls *= 2;
  return calls;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
  krt::host::PluginSet plugins;
  std::string error;
  if (rounds <= 0 || !krt::host::LoadPluginSet(krt::host::ProgramFolder(), &plugins, &error)) {
    std::fprintf(stderr, "picture_speed: %s\n",
                 rounds <= 0 ? "ROUNDS must be positive" : error.c_str());
    return 1;
  }
  // The clock's step is then at most a twentieth of a batch.
  const double batch_seconds = std::max(0.02, 20 * ClockStep());
  std::printf("batches of %.0f ms of processor time\n", batch_seconds * 1e3);
  const char* mode_names[] = {"mode0_4bit", "mode1_8bit", "mode2_8bit", "mode3_24bit"};
  std::printf("%-22s %12s %12s %8s %8s %8s\n", "GetPicture / Memcpy", "subject us", "baseline us",
              "ratio", "lowest", "highest");
  int status = 0;
  for (bool cells_2x2 : {false, true}) {
    for (int mode = 0; mode < 4; ++mode) {
      const std::string name = std::string(mode_names[mode]) + (cells_2x2 ? "_16dot" : "_8dot");
      Case c{plugins.image.GetPicture, krt::bench::LargeScreen(mode, cells_2x2), {}};
      size_t pixel_bytes = 0;
      if (!RenderOnce(c, &pixel_bytes)) {
        std::printf("%-22s GetPicture failed\n", name.c_str());
        status = 1;
        continue;
      }
      c.copy_source.assign(pixel_bytes, 0x5A);
      const int calls = CallsFilling(batch_seconds, [&] { RenderOnce(c, nullptr); });
      std::vector<double> subject, baseline, ratios;
      for (int round = 0; round < rounds; ++round) {
        subject.push_back(TimeBatch(calls, [&] { RenderOnce(c, nullptr); }));
        baseline.push_back(TimeBatch(calls, [&] { CopyOnce(c); }));
        ratios.push_back(subject.back() / baseline.back());
      }
      std::printf("%-22s %12.1f %12.1f %8.2f %8.2f %8.2f\n", name.c_str(), Median(subject) * 1e6,
                  Median(baseline) * 1e6, Median(ratios),
                  *std::min_element(ratios.begin(), ratios.end()),
                  *std::max_element(ratios.begin(), ratios.end()));
    }
  }
  krt::host::UnloadPluginSet(&plugins);
  return status;
}
