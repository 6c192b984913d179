#include "plugin_exports.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform_control.h"
#include "plugin_module.h"

namespace krt::fuzz {
namespace {

host::PluginModule LoadOrDie(const char* name) {
  host::PluginModule module;
  std::string error;
  const std::string path = host::ProgramFolder() + host::PluginFileName(name);
  if (!host::LoadPluginModule(path, &module, &error)) {
    std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), error.c_str());
    std::abort();
  }
  return module;
}

template <typename Fn>
void Resolve(const host::PluginModule& module, const char* name, Fn* fn) {
  *fn = host::FindPluginFunction<Fn>(module, name);
}

}  // namespace

const ImageExports& Ifkrt() {
  static const ImageExports exports = [] {
    const host::PluginModule module = LoadOrDie("IFKRT");
    ImageExports e;
    Resolve(module, "IsSupported", &e.IsSupported);
    Resolve(module, "GetPictureInfo", &e.GetPictureInfo);
    Resolve(module, "GetPicture", &e.GetPicture);
    return e;
  }();
  return exports;
}

const ArchiveExports& Axkrt() {
  static const ArchiveExports exports = [] {
    // Every re-allocation moves the block, so a pointer kept across one
    // (the entry list grows while it is built) reads freed memory.
    KrtPlatformMoveOnReAlloc(true);
    const host::PluginModule module = LoadOrDie("AXKRT");
    ArchiveExports e;
    Resolve(module, "IsSupported", &e.IsSupported);
    Resolve(module, "GetArchiveInfo", &e.GetArchiveInfo);
    Resolve(module, "GetFileInfo", &e.GetFileInfo);
    Resolve(module, "GetFile", &e.GetFile);
    return e;
  }();
  return exports;
}

}  // namespace krt::fuzz
