#include "bench_plugins.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace krt::bench {
namespace {

void Exit(const std::string& reason) {
  std::fprintf(stderr, "%s\n", reason.c_str());
  std::exit(1);
}

}  // namespace

const host::PluginSet& LoadedPlugins() { return host::PluginsBesideProgram(Exit); }

}  // namespace krt::bench
