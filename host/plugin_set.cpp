#include "plugin_set.h"

namespace krt::host {
namespace {

constexpr int32_t kKindIndex = 0;
constexpr char kImageKind[] = "00IN";
constexpr char kArchiveKind[] = "00AM";

template <typename Fn>
bool Resolve(const PluginModule& module, const std::string& path, const char* name, Fn* fn,
             std::string* error) {
  *fn = FindPluginFunction<Fn>(module, name);
  if (*fn != nullptr) return true;
  *error = path + ": the plug-in has no export " + name;
  return false;
}

bool CheckKind(GetPluginInfoFn get_plugin_info, const std::string& path, const char* kind,
               std::string* error) {
  const std::string found = PluginInfoString(get_plugin_info, kKindIndex);
  if (found == kind) return true;
  *error = path + ": not the expected kind of plug-in (GetPluginInfo gives \"" + found +
           "\", expected \"" + kind + "\")";
  return false;
}

bool LoadImagePlugin(const std::string& path, ImagePlugin* plugin, std::string* error) {
  if (!LoadPluginModule(path, &plugin->module, error)) return false;
  const PluginModule& m = plugin->module;
  return Resolve(m, path, "GetPluginInfo", &plugin->GetPluginInfo, error) &&
         Resolve(m, path, "IsSupported", &plugin->IsSupported, error) &&
         Resolve(m, path, "GetPictureInfo", &plugin->GetPictureInfo, error) &&
         Resolve(m, path, "GetPicture", &plugin->GetPicture, error) &&
         CheckKind(plugin->GetPluginInfo, path, kImageKind, error);
}

bool LoadArchivePlugin(const std::string& path, ArchivePlugin* plugin, std::string* error) {
  if (!LoadPluginModule(path, &plugin->module, error)) return false;
  const PluginModule& m = plugin->module;
  return Resolve(m, path, "GetPluginInfo", &plugin->GetPluginInfo, error) &&
         Resolve(m, path, "IsSupported", &plugin->IsSupported, error) &&
         Resolve(m, path, "GetArchiveInfo", &plugin->GetArchiveInfo, error) &&
         Resolve(m, path, "GetFileInfo", &plugin->GetFileInfo, error) &&
         Resolve(m, path, "GetFile", &plugin->GetFile, error) &&
         CheckKind(plugin->GetPluginInfo, path, kArchiveKind, error);
}

}  // namespace

std::string PluginInfoString(GetPluginInfoFn get_plugin_info, int32_t index) {
  char buffer[256] = {};
  const int32_t copied = get_plugin_info(index, buffer, static_cast<int32_t>(sizeof buffer - 1));
  if (copied <= 0) return {};
  // A copy cut short carries no terminating zero; the spare last byte ends it.
  return std::string(buffer);
}

bool LoadPluginSet(const std::string& folder, PluginSet* plugins, std::string* error) {
  if (LoadImagePlugin(folder + PluginFileName("IFKRT"), &plugins->image, error) &&
      LoadArchivePlugin(folder + PluginFileName("AXKRT"), &plugins->archive, error)) {
    return true;
  }
  UnloadPluginSet(plugins);
  return false;
}

void UnloadPluginSet(PluginSet* plugins) {
  UnloadPluginModule(&plugins->archive.module);
  UnloadPluginModule(&plugins->image.module);
  plugins->image = ImagePlugin{};
  plugins->archive = ArchivePlugin{};
}

}  // namespace krt::host
