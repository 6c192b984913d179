#include "plugin_loader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <vector>

namespace krt::host {

#if defined(_WIN32)

bool LoadPluginModule(const std::string& path, PluginModule* module, std::string* error) {
  HMODULE library = LoadLibraryA(path.c_str());
  if (library == nullptr) {
    *error = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  module->library = reinterpret_cast<void*>(library);
  return true;
}

void UnloadPluginModule(PluginModule* module) {
  if (module->library != nullptr) FreeLibrary(reinterpret_cast<HMODULE>(module->library));
  module->library = nullptr;
}

void* FindPluginExport(const PluginModule& module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(module.library), name));
}

std::string ProgramFolder() {
  std::vector<char> path(32768);
  const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::string program(path.data(), length);
  const size_t slash = program.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}

std::string PluginFileName(const std::string& plugin) {
  return plugin + (sizeof(void*) == 8 ? ".sph" : ".spi");
}

#else

bool LoadPluginModule(const std::string& path, PluginModule* module, std::string* error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    *error = reason != nullptr ? reason : "cannot load " + path;
    return false;
  }
  module->library = library;
  return true;
}

void UnloadPluginModule(PluginModule* module) {
  if (module->library != nullptr) dlclose(module->library);
  module->library = nullptr;
}

void* FindPluginExport(const PluginModule& module, const char* name) {
  return dlsym(module.library, name);
}

std::string ProgramFolder() {
  std::vector<char> path(4096);
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return std::string();
  std::string program(path.data(), static_cast<size_t>(length));
  const size_t slash = program.find_last_of('/');
  return slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}

std::string PluginFileName(const std::string& plugin) { return plugin + ".so"; }

#endif

namespace {

constexpr int32_t kKindIndex = 0;
constexpr char kImageKind[] = "00IN";
constexpr char kArchiveKind[] = "00AM";

// Resolves `name` into `fn`. A missing export leaves `fn` null and, when it
// is the first thing amiss, becomes the reason; the rest are still resolved,
// so a test program can go on with what the plug-in does have.
template <typename Fn>
void Resolve(const PluginModule& module, const std::string& path, const char* name, Fn* fn,
             std::string* error) {
  *fn = FindPluginFunction<Fn>(module, name);
  if (*fn == nullptr && error->empty()) *error = path + ": the plug-in has no export " + name;
}

bool CheckKind(GetPluginInfoFn get_plugin_info, const std::string& path, const char* kind,
               std::string* error) {
  if (!error->empty()) return false;
  const std::string found = PluginInfoString(get_plugin_info, kKindIndex);
  if (found == kind) return true;
  *error = path + ": not the expected kind of plug-in (GetPluginInfo gives \"" + found +
           "\", expected \"" + kind + "\")";
  return false;
}

// Loads the module and resolves the exports every plug-in has.
bool LoadBase(const std::string& path, PluginBase* plugin, std::string* error) {
  error->clear();
  if (!LoadPluginModule(path, &plugin->module, error)) return false;
  Resolve(plugin->module, path, "GetPluginInfo", &plugin->GetPluginInfo, error);
  Resolve(plugin->module, path, "IsSupported", &plugin->IsSupported, error);
  plugin->GetPluginInfoW = FindPluginFunction<GetPluginInfoWFn>(plugin->module, "GetPluginInfoW");
  plugin->IsSupportedW = FindPluginFunction<IsSupportedWFn>(plugin->module, "IsSupportedW");
  return true;
}

bool LoadImagePlugin(const std::string& path, ImagePlugin* plugin, std::string* error) {
  if (!LoadBase(path, plugin, error)) return false;
  const PluginModule& m = plugin->module;
  Resolve(m, path, "GetPictureInfo", &plugin->GetPictureInfo, error);
  Resolve(m, path, "GetPicture", &plugin->GetPicture, error);
  plugin->GetPreview = FindPluginFunction<GetPreviewFn>(m, "GetPreview");
  plugin->GetPictureInfoW = FindPluginFunction<GetPictureInfoWFn>(m, "GetPictureInfoW");
  plugin->GetPictureW = FindPluginFunction<GetPictureWFn>(m, "GetPictureW");
  plugin->GetPreviewW = FindPluginFunction<GetPreviewWFn>(m, "GetPreviewW");
  return CheckKind(plugin->GetPluginInfo, path, kImageKind, error);
}

bool LoadArchivePlugin(const std::string& path, ArchivePlugin* plugin, std::string* error) {
  if (!LoadBase(path, plugin, error)) return false;
  const PluginModule& m = plugin->module;
  Resolve(m, path, "GetArchiveInfo", &plugin->GetArchiveInfo, error);
  Resolve(m, path, "GetFileInfo", &plugin->GetFileInfo, error);
  Resolve(m, path, "GetFile", &plugin->GetFile, error);
  plugin->GetArchiveInfoW = FindPluginFunction<GetArchiveInfoWFn>(m, "GetArchiveInfoW");
  plugin->GetFileInfoW = FindPluginFunction<GetFileInfoWFn>(m, "GetFileInfoW");
  plugin->GetFileW = FindPluginFunction<GetFileWFn>(m, "GetFileW");
  return CheckKind(plugin->GetPluginInfo, path, kArchiveKind, error);
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

const PluginSet& PluginsBesideProgram(void (*report)(const std::string& reason)) {
  static const PluginSet plugins = [report] {
    PluginSet set;
    const std::string folder = ProgramFolder();
    std::string error;
    if (!LoadImagePlugin(folder + PluginFileName("IFKRT"), &set.image, &error)) report(error);
    if (!LoadArchivePlugin(folder + PluginFileName("AXKRT"), &set.archive, &error)) report(error);
    return set;
  }();
  return plugins;
}

void UnloadPluginSet(PluginSet* plugins) {
  UnloadPluginModule(&plugins->archive.module);
  UnloadPluginModule(&plugins->image.module);
  plugins->image = ImagePlugin{};
  plugins->archive = ArchivePlugin{};
}

}  // namespace krt::host
