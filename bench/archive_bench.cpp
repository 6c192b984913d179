// Listing packs of growing size, from memory and from a file, extracting
// one entry from the largest, and every entry of a pack one call each: the
// growth with pack size shows whether the walk and the list stay linear.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench_plugins.h"
#include "bench_screens.h"
#include "extract_all.h"
#include "platform_control.h"
#include "plugin_interface.h"
#include "ratio_reporter.h"
#include "screen_builder.h"

namespace {

using krt::bench::LoadedPlugins;

constexpr uint32_t kPackSizes[] = {1000, 10000, 100000};
constexpr uint32_t kExtractAllSizes[] = {2000, 10000};

struct Pack {
  krt::bench::ScreenPack screens;
  std::string path;
};

const Pack& PackOf(uint32_t screens) {
  static std::map<uint32_t, Pack> packs;
  auto found = packs.find(screens);
  if (found != packs.end()) return found->second;
  Pack pack;
  pack.screens = krt::bench::SmallScreenPack(screens);
  pack.path = krt::test::WriteTempFile(pack.screens.bytes, "bench.BIN");
  return packs.emplace(screens, std::move(pack)).first->second;
}

void List(benchmark::State& state, uint32_t screens, bool from_file) {
  const Pack& pack = PackOf(screens);
  const std::vector<uint8_t>& bytes = pack.screens.bytes;
  uint64_t reads = 0;
  for (auto _ : state) {
    KrtPlatformReset();
    krt::MemoryHandle list = nullptr;
    const int32_t result =
        from_file
            ? LoadedPlugins().archive.GetArchiveInfo(pack.path.c_str(), 0, 0, &list)
            : LoadedPlugins().archive.GetArchiveInfo(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<int32_t>(bytes.size()), 1, &list);
    if (result != 0 || LocalSize(list) != krt::EntryListBytes<krt::fileInfo>(screens))
      state.SkipWithError("GetArchiveInfo did not list the whole pack");
    reads += KrtPlatformCallCount(kKrtCallRead);
    LocalFree(list);
  }
  const double per_iteration = static_cast<double>(state.iterations());
  state.counters["reads"] = benchmark::Counter(static_cast<double>(reads) / per_iteration);
  state.counters["screens"] = screens;
}

// The floor under a listing of `screens` entries: a zero-filled movable
// block the size of its list from the platform, each record's first byte
// written, and the block freed. A list past the C library's largest reused
// block comes as fresh pages from the operating system on every call, and
// this shows what that alone costs.
void ListMemory(benchmark::State& state, uint32_t screens) {
  const size_t bytes = krt::EntryListBytes<krt::fileInfo>(screens);
  for (auto _ : state) {
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes);
    auto* list = static_cast<uint8_t*>(LocalLock(block));
    if (list == nullptr) state.SkipWithError("no block for the list");
    for (size_t at = 0; list != nullptr && at < bytes; at += sizeof(krt::fileInfo)) list[at] = 'A';
    benchmark::ClobberMemory();
    LocalUnlock(block);
    LocalFree(block);
  }
  state.counters["screens"] = screens;
}

void ExtractLast(benchmark::State& state, bool from_file) {
  const uint32_t screens = kPackSizes[2];
  const Pack& pack = PackOf(screens);
  const std::vector<uint8_t>& bytes = pack.screens.bytes;
  const auto last = static_cast<int32_t>(pack.screens.last_position);
  for (auto _ : state) {
    krt::MemoryHandle entry = nullptr;
    int32_t result = 0;
    if (from_file) {
      result = LoadedPlugins().archive.GetFile(pack.path.c_str(), last,
                                               reinterpret_cast<char*>(&entry), 0x100, nullptr, 0);
    } else {
      const auto* at = reinterpret_cast<const char*>(bytes.data()) + last;
      result = LoadedPlugins().archive.GetFile(at, static_cast<int32_t>(bytes.size()) - last,
                                               reinterpret_cast<char*>(&entry), 0x101, nullptr, 0);
    }
    if (result != 0 || LocalSize(entry) != pack.screens.screen_size)
      state.SkipWithError("GetFile failed");
    LocalFree(entry);
  }
}

// Every entry of a pack, one GetFile call each, into a folder or to file
// paths. The pack's write time moves before each round, so a round never
// finds the walk that the round before it left behind.
void ExtractAll(benchmark::State& state, uint32_t screens, bool into_folder) {
  // One pack and folder for each side, made once: every round replaces
  // the files the first, untimed one made.
  static std::map<std::pair<uint32_t, bool>, krt::bench::PackToExtract> packs;
  auto [made, is_new] = packs.try_emplace({screens, into_folder});
  krt::bench::PackToExtract& pack = made->second;
  if (is_new) {
    pack = krt::bench::WritePackToExtract(screens);
    if (!pack.path.empty() &&
        !krt::bench::ExtractEveryEntry(LoadedPlugins().archive.GetFile, pack, false)) {
      pack.path.clear();
    }
  }
  if (pack.path.empty()) {
    state.SkipWithError("the pack could not be written and extracted");
    return;
  }
  uint64_t reads = 0;
  for (auto _ : state) {
    state.PauseTiming();
    krt::bench::MoveWriteTime(pack);
    KrtPlatformReset();
    state.ResumeTiming();
    if (!krt::bench::ExtractEveryEntry(LoadedPlugins().archive.GetFile, pack, into_folder)) {
      state.SkipWithError("GetFile failed");
      break;
    }
    reads += KrtPlatformCallCount(kKrtCallRead);
  }
  if (!std::filesystem::exists(krt::test::PathOf(pack.paths.back())))
    state.SkipWithError("the last entry was not written under its listed name");
  state.counters["reads"] =
      benchmark::Counter(static_cast<double>(reads) / static_cast<double>(state.iterations()));
  state.counters["screens"] = screens;
}

void RegisterAll() {
  for (uint32_t screens : kPackSizes) {
    const std::string count = std::to_string(screens);
    benchmark::RegisterBenchmark(("GetArchiveInfo/memory/" + count).c_str(), List, screens, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("GetArchiveInfo/file/" + count).c_str(), List, screens, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("ListMemory/" + count).c_str(), ListMemory, screens)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("GetFile/memory/last_of_100000", ExtractLast, false)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("GetFile/file/last_of_100000", ExtractLast, true)
      ->Unit(benchmark::kMicrosecond);
  for (uint32_t screens : kExtractAllSizes) {
    const std::string count = std::to_string(screens);
    benchmark::RegisterBenchmark(("ExtractAll/into_folder/" + count).c_str(), ExtractAll, screens,
                                 true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("ExtractAll/to_paths/" + count).c_str(), ExtractAll, screens,
                                 false)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RegisterAll();
  krt::bench::RatioReporter reporter({
      {"GetArchiveInfo/memory/10000", "GetArchiveInfo/memory/1000"},
      {"GetArchiveInfo/memory/100000", "GetArchiveInfo/memory/10000"},
      {"GetArchiveInfo/file/10000", "GetArchiveInfo/file/1000"},
      {"GetArchiveInfo/file/100000", "GetArchiveInfo/file/10000"},
      {"ListMemory/10000", "ListMemory/1000"},
      {"ListMemory/100000", "ListMemory/10000"},
      {"ExtractAll/into_folder", "ExtractAll/to_paths"},
  });
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
