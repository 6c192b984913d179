// GetPicture against the floor set by memory bandwidth: a copy of as many
// bytes as the bitmap holds into a freshly allocated, zero-filled block.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench_plugins.h"
#include "bench_screens.h"
#include "platform_control.h"
#include "ratio_reporter.h"
#include "screen_builder.h"

namespace {

using krt::bench::LoadedPlugins;

struct Rendered {
  size_t pixel_bytes = 0;
  size_t info_bytes = 0;
};

// Renders once outside the timing, to learn the output size.
Rendered RenderOnce(const std::vector<uint8_t>& screen) {
  krt::MemoryHandle info = nullptr, pixels = nullptr;
  const auto source = reinterpret_cast<const char*>(screen.data());
  Rendered out;
  if (LoadedPlugins().image.GetPicture(source, static_cast<int32_t>(screen.size()), 1, &info, &pixels,
                                 nullptr, 0) != 0)
    return out;
  out.pixel_bytes = LocalSize(pixels);
  out.info_bytes = LocalSize(info);
  LocalFree(info);
  LocalFree(pixels);
  return out;
}

void GetPictureMemory(benchmark::State& state, int mode, bool cells_2x2) {
  const std::vector<uint8_t> screen = krt::bench::LargeScreen(mode, cells_2x2);
  const Rendered rendered = RenderOnce(screen);
  if (rendered.pixel_bytes == 0) {
    state.SkipWithError("GetPicture failed");
    return;
  }
  const auto source = reinterpret_cast<const char*>(screen.data());
  for (auto _ : state) {
    krt::MemoryHandle info = nullptr, pixels = nullptr;
    // A failing call would be timed as a fast one.
    if (LoadedPlugins().image.GetPicture(source, static_cast<int32_t>(screen.size()), 1, &info, &pixels,
                                   nullptr, 0) != 0) {
      state.SkipWithError("GetPicture failed");
    }
    benchmark::DoNotOptimize(pixels);
    LocalFree(info);
    LocalFree(pixels);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rendered.pixel_bytes));
}

void Memcpy(benchmark::State& state, int mode, bool cells_2x2) {
  const Rendered rendered = RenderOnce(krt::bench::LargeScreen(mode, cells_2x2));
  if (rendered.pixel_bytes == 0) {
    state.SkipWithError("GetPicture failed");
    return;
  }
  std::vector<uint8_t> from(rendered.pixel_bytes, 0x5A);
  for (auto _ : state) {
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, rendered.pixel_bytes);
    void* to = LocalLock(block);
    std::memcpy(to, from.data(), from.size());
    benchmark::DoNotOptimize(to);
    benchmark::ClobberMemory();
    LocalUnlock(block);
    LocalFree(block);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rendered.pixel_bytes));
}

void FileInput(benchmark::State& state, bool info_only) {
  const std::vector<uint8_t> screen = krt::bench::LargeScreen(2, false);
  const std::string path = krt::test::WriteTempFile(screen, "bench.2D");
  uint64_t reads = 0;
  for (auto _ : state) {
    KrtPlatformReset();
    int32_t result = 0;
    if (info_only) {
      krt::PictureInfo info{};
      result = LoadedPlugins().image.GetPictureInfo(path.c_str(), 0, 0, &info);
    } else {
      krt::MemoryHandle info = nullptr, pixels = nullptr;
      result = LoadedPlugins().image.GetPicture(path.c_str(), 0, 0, &info, &pixels, nullptr, 0);
      LocalFree(info);
      LocalFree(pixels);
    }
    if (result != 0) state.SkipWithError("the export failed");
    reads += KrtPlatformCallCount(kKrtCallRead);
  }
  state.counters["reads"] =
      benchmark::Counter(static_cast<double>(reads) / static_cast<double>(state.iterations()));
  krt::test::RemoveFile(path);
}

void RegisterAll() {
  const char* mode_names[] = {"mode0_4bit", "mode1_8bit", "mode2_8bit", "mode3_24bit"};
  for (bool cells_2x2 : {false, true}) {
    for (int mode = 0; mode < 4; ++mode) {
      const std::string name = std::string(mode_names[mode]) + (cells_2x2 ? "_16dot" : "_8dot");
      benchmark::RegisterBenchmark(("GetPicture/" + name).c_str(), GetPictureMemory, mode,
                                   cells_2x2)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("Memcpy/" + name).c_str(), Memcpy, mode, cells_2x2)
          ->Unit(benchmark::kMicrosecond);
    }
  }
  benchmark::RegisterBenchmark("FileInput/GetPicture", FileInput, false)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("FileInput/GetPictureInfo", FileInput, true)
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RegisterAll();
  krt::bench::RatioReporter reporter({std::pair<std::string, std::string>{"GetPicture", "Memcpy"}});
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
