#include "plugin_exports.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform_control.h"

namespace krt::fuzz {
namespace {

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

}  // namespace krt::fuzz
