#include "plugin_exports.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform_control.h"

namespace krt::fuzz {
namespace {

const host::PluginSet& Plugins() {
  static const host::PluginSet plugins = [] {
    // Every re-allocation moves the block, so a pointer kept across one
    // (the entry list grows while it is built) reads freed memory.
    KrtPlatformMoveOnReAlloc(true);
    host::PluginSet set;
    std::string error;
    if (!host::LoadPluginSet(host::ProgramFolder(), &set, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::abort();
    }
    return set;
  }();
  return plugins;
}

}  // namespace

const host::ImagePlugin& Ifkrt() { return Plugins().image; }
const host::ArchivePlugin& Axkrt() { return Plugins().archive; }

}  // namespace krt::fuzz
