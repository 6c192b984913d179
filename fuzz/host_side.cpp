#include "host_side.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "platform_control.h"

namespace krt::fuzz {
namespace {

// A file is rewritten for every input, so a memory-backed folder is used
// where there is one: on a disk it costs fifty times the executions.
std::string TemporaryFolder() {
  const char* chosen = std::getenv("TMPDIR");
  if (chosen != nullptr && chosen[0] != '\0') return chosen;
  struct stat info {};
  if (stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode)) return "/dev/shm";
  return "/tmp";
}

// Paths unique to the process, so parallel fuzzing jobs never share a file.
struct ProcessFiles {
  std::string input;
  std::string output;

  ProcessFiles() {
    const std::string base = TemporaryFolder() + "/krt-fuzz-" + std::to_string(getpid());
    input = base + "-input.bin";
    output = base + "-output.2D";
  }
  ~ProcessFiles() {
    unlink(input.c_str());
    unlink(output.c_str());
  }
  ProcessFiles(const ProcessFiles&) = delete;
  ProcessFiles& operator=(const ProcessFiles&) = delete;
};

ProcessFiles& Files() {
  static ProcessFiles files;
  return files;
}

void Abort(const std::string& reason) {
  std::fprintf(stderr, "%s\n", reason.c_str());
  std::abort();
}

const host::PluginSet& Plugins() {
  // Every re-allocation moves the block, so a pointer kept across one (the
  // entry list grows while it is built) reads freed memory.
  static const bool moving = (KrtPlatformMoveOnReAlloc(true), true);
  (void)moving;
  return host::PluginsBesideProgram(Abort);
}

}  // namespace

const host::ImagePlugin& Ifkrt() { return Plugins().image; }
const host::ArchivePlugin& Axkrt() { return Plugins().archive; }

HeldResources CurrentlyHeld() { return {KrtPlatformOpenFiles(), KrtPlatformLiveBlocks()}; }

void CheckNothingLeftHeld(const HeldResources& before) {
  const HeldResources now = CurrentlyHeld();
  KRT_FUZZ_CHECK(now.open_files == before.open_files);
  KRT_FUZZ_CHECK(now.live_blocks == before.live_blocks);
}

std::vector<uint8_t> TakeHandedBlock(MemoryHandle handle, uint64_t size) {
  host::TakenBlock block = host::TakeHandedOverBlock(handle);
  KRT_FUZZ_CHECK(block.taken);
  KRT_FUZZ_CHECK(!block.was_locked);
  KRT_FUZZ_CHECK(block.freed);
  KRT_FUZZ_CHECK(block.bytes.size() == size);
  return std::move(block.bytes);
}

int32_t KRT_STDCALL ProgressRecorder::Record(int32_t numerator, int32_t denominator,
                                             intptr_t user_value) {
  auto* recorder = reinterpret_cast<ProgressRecorder*>(user_value);
  recorder->reports.push_back({numerator, denominator, user_value});
  return 0;
}

bool ProgressRecorder::ReceivedFirst(int32_t count, int32_t denominator) const {
  if (reports.size() != static_cast<size_t>(count)) return false;
  for (int32_t i = 0; i < count; ++i) {
    const ProgressReport& report = reports[static_cast<size_t>(i)];
    if (report.numerator != i || report.denominator != denominator ||
        report.user_value != reinterpret_cast<intptr_t>(this)) {
      return false;
    }
  }
  return true;
}

DetectionAnswers AskIsSupported(IsSupportedFn is_supported, const uint8_t* data, size_t size,
                                size_t reach) {
  DetectionAnswers answers;
  answers.buffer.assign(reach, 0);
  std::memcpy(answers.buffer.data(), data, std::min(size, reach));
  answers.from_buffer =
      is_supported("fuzz.bin", reinterpret_cast<uintptr_t>(answers.buffer.data()));

  HANDLE file = CreateFileA(WriteInputFile(data, size), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  KRT_FUZZ_CHECK(file != INVALID_HANDLE_VALUE);
  SetFilePointer(file, static_cast<LONG>(size / 2), nullptr, FILE_BEGIN);
  answers.from_handle = is_supported("fuzz.bin", reinterpret_cast<uintptr_t>(file));
  KRT_FUZZ_CHECK(CloseHandle(file) == TRUE);
  return answers;
}

const char* WriteInputFile(const uint8_t* data, size_t size) {
  const std::string& path = Files().input;
  WriteWholeFile(path.c_str(), std::vector<uint8_t>(data, data + size));
  return path.c_str();
}

const char* OutputFilePath() { return Files().output.c_str(); }

std::vector<uint8_t> ReadWholeFile(const char* path) {
  std::vector<uint8_t> bytes;
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return bytes;
  uint8_t chunk[65536];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  close(fd);
  return bytes;
}

void WriteWholeFile(const char* path, const std::vector<uint8_t>& bytes) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  KRT_FUZZ_CHECK(fd >= 0);
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t put = write(fd, bytes.data() + written, bytes.size() - written);
    KRT_FUZZ_CHECK(put > 0);
    written += static_cast<size_t>(put);
  }
  close(fd);
}

}  // namespace krt::fuzz
