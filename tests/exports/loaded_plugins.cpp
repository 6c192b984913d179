#include "loaded_plugins.h"

namespace krt::test {
namespace {

host::PluginModule Load(const std::string& name) {
  host::PluginModule module;
  std::string error;
  const std::string path = host::ProgramFolder() + host::PluginFileName(name);
  if (!host::LoadPluginModule(path, &module, &error)) ADD_FAILURE() << error;
  return module;
}

template <typename Fn>
void Resolve(const host::PluginModule& module, const char* name, Fn* fn) {
  if (module.library == nullptr) return;
  *fn = host::FindPluginFunction<Fn>(module, name);
}

}  // namespace

const ImagePlugin& Ifkrt() {
  static const ImagePlugin plugin = [] {
    ImagePlugin p;
    p.module = Load("IFKRT");
    Resolve(p.module, "GetPluginInfo", &p.GetPluginInfo);
    Resolve(p.module, "IsSupported", &p.IsSupported);
    Resolve(p.module, "GetPictureInfo", &p.GetPictureInfo);
    Resolve(p.module, "GetPicture", &p.GetPicture);
    Resolve(p.module, "GetPreview", &p.GetPreview);
    return p;
  }();
  return plugin;
}

const ArchivePlugin& Axkrt() {
  static const ArchivePlugin plugin = [] {
    ArchivePlugin p;
    p.module = Load("AXKRT");
    Resolve(p.module, "GetPluginInfo", &p.GetPluginInfo);
    Resolve(p.module, "IsSupported", &p.IsSupported);
    Resolve(p.module, "GetArchiveInfo", &p.GetArchiveInfo);
    Resolve(p.module, "GetFileInfo", &p.GetFileInfo);
    Resolve(p.module, "GetFile", &p.GetFile);
    return p;
  }();
  return plugin;
}

}  // namespace krt::test
