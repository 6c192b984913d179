#include "bench_plugins.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace krt::bench {

const host::PluginSet& LoadedPlugins() {
  static const host::PluginSet plugins = [] {
    host::PluginSet set;
    std::string error;
    if (!host::LoadPluginSet(host::ProgramFolder(), &set, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::exit(1);
    }
    return set;
  }();
  return plugins;
}

}  // namespace krt::bench
