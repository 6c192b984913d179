#include "bench_plugins.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "plugin_module.h"

namespace krt::bench {
namespace {

host::PluginModule LoadOrExit(const char* name) {
  host::PluginModule module;
  std::string error;
  if (!host::LoadPluginModule(host::ProgramFolder() + host::PluginFileName(name), &module,
                              &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::exit(1);
  }
  return module;
}

template <typename Fn>
Fn Resolve(const host::PluginModule& module, const char* name) {
  auto fn = host::FindPluginFunction<Fn>(module, name);
  if (fn == nullptr) std::fprintf(stderr, "export %s is missing\n", name);
  return fn;
}

}  // namespace

const Plugins& LoadedPlugins() {
  static const Plugins plugins = [] {
    const host::PluginModule image = LoadOrExit("IFKRT");
    const host::PluginModule archive = LoadOrExit("AXKRT");
    Plugins p;
    p.GetPictureInfo = Resolve<GetPictureInfoFn>(image, "GetPictureInfo");
    p.GetPicture = Resolve<GetPictureFn>(image, "GetPicture");
    p.GetArchiveInfo = Resolve<GetArchiveInfoFn>(archive, "GetArchiveInfo");
    p.GetFile = Resolve<GetFileFn>(archive, "GetFile");
    return p;
  }();
  return plugins;
}

}  // namespace krt::bench
