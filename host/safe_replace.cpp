#include "safe_replace.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace krt::host {
namespace fs = std::filesystem;
namespace {

uint32_t ProcessNumber() {
#if defined(_WIN32)
  return GetCurrentProcessId();
#else
  return static_cast<uint32_t>(getpid());
#endif
}

// The platform's rename that replaces an existing target in one step.
bool RenameOver(const std::string& from, const std::string& to) {
#if defined(_WIN32)
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

std::string RenameFailure() {
#if defined(_WIN32)
  return "Windows error " + std::to_string(GetLastError());
#else
  return std::strerror(errno);
#endif
}

}  // namespace

std::string TemporaryPathBeside(const std::string& target) {
  static std::atomic<uint32_t> counter{0};
  const fs::path path(target);
  // Appended piece by piece: GCC 12 gives a false -Wrestrict warning for one
  // long chain of string additions.
  std::string name(".");
  name += path.filename().string();
  name += ".krt-";
  name += std::to_string(ProcessNumber());
  name += '-';
  name += std::to_string(counter++);
  name += ".tmp";
  return (path.parent_path() / name).string();
}

Outcome CommitTemporary(const std::string& temporary, const std::string& target) {
  if (RenameOver(temporary, target)) return Outcome::Done();
  const std::string reason = RenameFailure();
  DiscardTemporary(temporary);
  return Outcome::Failed("cannot replace " + target + ": " + reason);
}

void DiscardTemporary(const std::string& temporary) {
  std::error_code ignored;
  fs::remove(temporary, ignored);
}

Outcome WriteTemporary(const std::string& target, const std::vector<uint8_t>& bytes,
                       std::string* temporary) {
  *temporary = TemporaryPathBeside(target);
  std::FILE* file = std::fopen(temporary->c_str(), "wb");
  if (file == nullptr) {
    return Outcome::Failed("cannot create " + *temporary + ": " + std::strerror(errno));
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int write_error = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    DiscardTemporary(*temporary);
    return Outcome::Failed("cannot write " + target + ": " +
                           std::strerror(written ? errno : write_error));
  }
  return Outcome::Done();
}

Outcome ReplaceFileWith(const std::string& target, const std::vector<uint8_t>& bytes) {
  std::string temporary;
  const Outcome written = WriteTemporary(target, bytes, &temporary);
  if (!written.ok) return written;
  return CommitTemporary(temporary, target);
}

bool IsOneOfTheInputs(const std::string& target, const std::vector<std::string>& inputs) {
  std::error_code error;
  if (!fs::exists(target, error)) return false;
  for (const std::string& input : inputs) {
    if (fs::equivalent(target, input, error)) return true;
  }
  return false;
}

}  // namespace krt::host
