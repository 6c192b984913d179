// Hosts call plug-ins from several threads at once, without a lock. Every
// export runs here from eight threads over a mixed set of screens and packs,
// on the same and on different files, from disk and from memory; each call
// must answer exactly what it answers when it runs alone. Run under
// ThreadSanitizer by the native-tsan preset.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <barrier>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "archive_calls.h"
#include "loaded_plugins.h"
#include "pack_samples.h"
#include "platform_control.h"
#include "plugin_calls.h"
#include "screen_builder.h"
#include "screen_generator.h"

namespace krt::test {
namespace {

constexpr int kThreads = 8;

// What a call answered, as text: its result and a digest of every byte it
// handed back, so that two runs compare with one string comparison.
class Answer {
 public:
  explicit Answer(int32_t result) { text_ = std::to_string(result); }
  Answer& Bytes(const void* data, size_t size) {
    uint64_t hash = 14695981039346656037u;
    for (size_t i = 0; i < size; ++i) {
      hash = (hash ^ static_cast<const uint8_t*>(data)[i]) * 1099511628211u;
    }
    text_ += ' ' + std::to_string(size) + ':' + std::to_string(hash);
    return *this;
  }
  Answer& Block(MemoryHandle handle) {
    host::TakenBlock block = host::TakeHandedOverBlock(handle);
    if (!block.taken) text_ += " untaken";
    return Bytes(block.bytes.data(), block.bytes.size());
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

struct Call {
  std::string what;
  // `lane` tells the threads apart where a call writes a file.
  std::function<std::string(int lane)> run;
};

struct Input {
  std::string path;
  std::vector<uint8_t> bytes;
};

void AddImageCalls(const Input& input, std::vector<Call>* calls) {
  const host::ImagePlugin& ifkrt = Ifkrt();
  const std::string& path = input.path;
  const std::vector<uint8_t>& bytes = input.bytes;
  calls->push_back({"IFKRT IsSupported " + path, [&ifkrt, &path, &bytes](int) {
                      return Answer(ifkrt.IsSupported(path.c_str(), AsSource(bytes.data()))).Text();
                    }});
  for (const bool memory : {false, true}) {
    const std::string how = memory ? " in memory" : " from disk";
    auto source = [&path, &bytes, memory] {
      return memory ? host::MemorySource(bytes) : host::FileSource(path, 0);
    };
    calls->push_back({"GetPictureInfo" + how + " " + path, [&ifkrt, source](int) {
                        PictureInfo info;
                        std::memset(&info, 0, sizeof info);
                        const host::CallSource from = source();
                        const int32_t result = ifkrt.GetPictureInfo(
                            from.source, from.offset_or_length, from.flag, &info);
                        return Answer(result).Bytes(&info, sizeof info).Text();
                      }});
    calls->push_back({"GetPicture" + how + " " + path, [&ifkrt, source](int) {
                        host::PictureCall call = host::CallGetPicture(ifkrt, source(), {});
                        return Answer(call.result).Block(call.info).Block(call.pixels).Text();
                      }});
  }
  calls->push_back({"IsSupportedW " + path, [&ifkrt, &path, &bytes](int) {
                      return Answer(ifkrt.IsSupportedW(host::Utf16Of(path).c_str(),
                                                       AsSource(bytes.data())))
                          .Text();
                    }});
  calls->push_back({"GetPictureW " + path, [&ifkrt, &path](int) {
                      MemoryHandle info = nullptr;
                      MemoryHandle pixels = nullptr;
                      const int32_t result = ifkrt.GetPictureW(host::Utf16Of(path).c_str(), 0,
                                                               kFileInput, &info, &pixels, nullptr, 0);
                      return Answer(result).Block(info).Block(pixels).Text();
                    }});
  calls->push_back({"GetPreview " + path, [&ifkrt, &path](int) {
                      host::ImagePlugin preview = ifkrt;
                      preview.GetPicture = ifkrt.GetPreview;
                      host::PictureCall call =
                          host::CallGetPicture(preview, host::FileSource(path, 0), {});
                      return Answer(call.result).Block(call.info).Block(call.pixels).Text();
                    }});
}

void AddArchiveCalls(const Input& input, const std::vector<size_t>& positions,
                     const std::string& folder, std::vector<Call>* calls) {
  const host::ArchivePlugin& axkrt = Axkrt();
  const std::string& path = input.path;
  const std::vector<uint8_t>& bytes = input.bytes;
  calls->push_back({"AXKRT IsSupported " + path, [&axkrt, &path, &bytes](int) {
                      return Answer(axkrt.IsSupported(path.c_str(), AsSource(bytes.data()))).Text();
                    }});
  for (const bool memory : {false, true}) {
    calls->push_back({std::string("GetArchiveInfo") + (memory ? " in memory " : " from disk ") + path,
                      [&axkrt, &path, &bytes, memory](int) {
                        host::ListCall call = host::CallGetArchiveInfo(
                            axkrt, memory ? host::MemorySource(bytes) : host::FileSource(path, 0));
                        return Answer(call.result).Block(call.list).Text();
                      }});
  }
  calls->push_back({"GetArchiveInfoW " + path, [&axkrt, &path](int) {
                      MemoryHandle list = nullptr;
                      const int32_t result =
                          axkrt.GetArchiveInfoW(host::Utf16Of(path).c_str(), 0, kFileInput, &list);
                      return Answer(result).Block(list).Text();
                    }});
  for (const char* name : {"000.2D", "001.2D", "005.2D"}) {
    calls->push_back({"GetFileInfo " + std::string(name) + " " + path, [&axkrt, &path, name](int) {
                        fileInfo info;
                        std::memset(&info, 0, sizeof info);
                        const int32_t result =
                            axkrt.GetFileInfo(path.c_str(), 0, name, kFileInput, &info);
                        return Answer(result).Bytes(&info, sizeof info).Text();
                      }});
  }
  for (const size_t position : positions) {
    const auto at = static_cast<int32_t>(position);
    calls->push_back({"GetFile to memory at " + std::to_string(at) + " " + path,
                      [&axkrt, &path, at](int) {
                        host::FileCall call =
                            host::CallGetFileToMemory(axkrt, host::FileSource(path, at), {});
                        return Answer(call.result).Block(call.block).Text();
                      }});
    // Into a folder of the thread's own: the file takes the entry's listed
    // name there, which is the answer's first part.
    calls->push_back({"GetFile to a folder at " + std::to_string(at) + " " + path,
                      [&axkrt, &path, &folder, at](int lane) {
                        const std::string into = folder + "/lane" + std::to_string(lane) + "/";
                        std::error_code ignored;
                        std::filesystem::remove_all(into, ignored);
                        std::filesystem::create_directories(into, ignored);
                        const int32_t result =
                            host::CallGetFileToDisk(axkrt, host::FileSource(path, at), into, {});
                        std::string answer = Answer(result).Text();
                        for (const auto& file : std::filesystem::directory_iterator(into)) {
                          const std::vector<uint8_t> written = ReadWholeFile(file.path().string());
                          answer += ' ' + file.path().filename().string() +
                                    Answer(0).Bytes(written.data(), written.size()).Text();
                        }
                        return answer;
                      }});
  }
}

TEST(ManyThreads, EveryExportAnswersAsItDoesAlone) {
  std::vector<Input> inputs;
  for (const TargetMode mode : {TargetMode::kNibbles, TargetMode::kBankedNibbles,
                                TargetMode::kBytes, TargetMode::kLookup}) {
    for (uint32_t seed = 1; seed <= 2; ++seed) {
      std::vector<uint8_t> screen = GenerateScreen(mode, seed * 7919 + static_cast<uint32_t>(mode));
      inputs.push_back({WriteTempFile(screen, "screen.2D"), std::move(screen)});
    }
  }
  const size_t screens = inputs.size();
  std::vector<std::vector<size_t>> positions;
  // More packs than AXKRT keeps walks of, so kept walks give way while
  // other threads use them.
  for (const uint32_t seed : {3u, 11u, 29u, 41u, 53u}) {
    const PackPlan plan = GeneratedPack(seed);
    std::vector<uint8_t> pack = BuildPack(plan);
    inputs.push_back({WriteTempFile(pack, "pack.BIN"), std::move(pack)});
    positions.push_back(ScreenPositions(plan));
  }
  const std::string folder = std::filesystem::path(inputs[0].path).parent_path().string();

  std::vector<Call> calls;
  const host::ImagePlugin& ifkrt = Ifkrt();
  const host::ArchivePlugin& axkrt = Axkrt();
  for (const GetPluginInfoWFn info : {ifkrt.GetPluginInfoW, axkrt.GetPluginInfoW}) {
    calls.push_back({"GetPluginInfoW", [info](int) {
                       std::array<WideChar, 300> text{};
                       const int32_t result = info(1, text.data(), 20);
                       return Answer(result).Bytes(text.data(), sizeof text).Text();
                     }});
  }
  for (const GetPluginInfoFn info : {ifkrt.GetPluginInfo, axkrt.GetPluginInfo}) {
    for (int32_t index = 0; index < 4; ++index) {
      calls.push_back({"GetPluginInfo " + std::to_string(index), [info, index](int) {
                         std::array<char, 300> text{};
                         const int32_t result = info(index, text.data(), 7 + index * 40);
                         return Answer(result).Bytes(text.data(), text.size()).Text();
                       }});
    }
  }
  for (size_t i = 0; i < inputs.size(); ++i) {
    AddImageCalls(inputs[i], &calls);
    if (i >= screens) AddArchiveCalls(inputs[i], positions[i - screens], folder, &calls);
  }

  std::vector<std::string> alone;
  for (const Call& call : calls) alone.push_back(call.run(0));

  std::mutex lock;
  std::vector<std::string> differences;
  auto check = [&](size_t k, int lane) {
    const std::string answer = calls[k].run(lane);
    if (answer != alone[k]) {
      std::lock_guard<std::mutex> guard(lock);
      differences.push_back(calls[k].what + ": alone " + alone[k] + ", beside others " + answer);
    }
  };
  // First every thread makes the same call at the same moment, so that an
  // export meets itself with nothing in between that orders the threads;
  // then each starts at another call and goes round, so that it meets
  // every other export too.
  std::barrier together(kThreads);
  std::vector<std::thread> threads;
  for (int lane = 1; lane <= kThreads; ++lane) {
    threads.emplace_back([&, lane] {
      for (size_t k = 0; k < calls.size(); ++k) {
        together.arrive_and_wait();
        check(k, lane);
      }
      for (size_t n = 0; n < calls.size(); ++n) {
        check((n + static_cast<size_t>(lane) * calls.size() / kThreads) % calls.size(), lane);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_TRUE(differences.empty()) << differences.size() << " calls answered otherwise, first: "
                                   << differences.front();
  EXPECT_EQ(KrtPlatformOpenFiles(), 0);
}

}  // namespace
}  // namespace krt::test
