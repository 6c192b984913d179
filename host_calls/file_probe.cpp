#include "file_probe.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace krt::host {
namespace {

Outcome ReadLeadingBytes(const std::string& path, uint32_t offset, uint8_t* bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return Outcome::Failed(std::string("cannot open: ") + std::strerror(errno));
  Outcome outcome;
  if (offset > 0x7FFFFFFFu || std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) {
    outcome = Outcome::Failed("cannot move to offset " + std::to_string(offset));
  } else {
    const size_t got = std::fread(bytes, 1, kProbeSize, file);
    if (got < kProbeSize && std::ferror(file)) {
      outcome = Outcome::Failed(std::string("cannot read: ") + std::strerror(errno));
    }
  }
  std::fclose(file);
  return outcome;
}

}  // namespace

Outcome ProbeFile(const PluginSet& plugins, const std::string& path, uint32_t offset,
                  FileKind* kind) {
  uint8_t bytes[kProbeSize] = {};
  Outcome read = ReadLeadingBytes(path, offset, bytes);
  if (!read.ok) return read;
  const uintptr_t buffer = reinterpret_cast<uintptr_t>(bytes);
  if (plugins.image.IsSupported(path.c_str(), buffer) != 0) {
    *kind = FileKind::kScreen;
  } else if (plugins.archive.IsSupported(path.c_str(), buffer) != 0) {
    *kind = FileKind::kPack;
  } else {
    *kind = FileKind::kNeither;
  }
  return Outcome::Done();
}

}  // namespace krt::host

namespace krt::host {

Outcome RequirePack(const PluginSet& plugins, const std::string& path) {
  FileKind kind = FileKind::kNeither;
  const Outcome outcome = ProbeFile(plugins, path, 0, &kind);
  if (!outcome.ok) return outcome;
  if (kind == FileKind::kPack) return Outcome::Done();
  if (kind == FileKind::kScreen) return Outcome::Failed("a screen file, not a screen pack");
  return Outcome::Failed("not a screen pack");
}

}  // namespace krt::host
