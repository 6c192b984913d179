#include "plugin_loader.h"

#include "export_list.h"

#if defined(_WIN32)
#include <windows.h>
#elif !defined(__wasi__)
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <string_view>
#include <type_traits>
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

#elif !defined(__wasi__)

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

#else

// Nothing is loaded at run time here: the plug-ins are linked in and bound
// with BindLinkedPluginSet.
bool LoadPluginModule(const std::string& path, PluginModule*, std::string* error) {
  *error = "cannot load " + path + ": on this platform the plug-ins are linked in";
  return false;
}

void UnloadPluginModule(PluginModule* module) { *module = PluginModule{}; }

void* FindPluginExport(const PluginModule&, const char*) { return nullptr; }

std::string ProgramFolder() { return std::string(); }

std::string PluginFileName(const std::string& plugin) { return plugin; }

#endif

namespace {

constexpr int32_t kKindIndex = 0;
constexpr char kImageKind[] = "00IN";
constexpr char kArchiveKind[] = "00AM";

void* FindLinkedExport(const LinkedPlugin& plugin, const char* name) {
  for (size_t k = 0; k < plugin.export_count; ++k) {
    if (std::string_view(plugin.exports[k].name) == name) return plugin.exports[k].function;
  }
  return nullptr;
}

// Resolves `name` into `fn`. A missing export leaves `fn` null and, when it
// is the first thing amiss, becomes the reason; the rest are still resolved,
// so a test program can go on with what the plug-in does have.
template <typename Fn>
void ResolveRequired(const PluginModule& module, const std::string& path, const char* name, Fn* fn,
                     std::string* error) {
  *fn = module.linked != nullptr ? reinterpret_cast<Fn>(FindLinkedExport(*module.linked, name))
                                 : FindPluginFunction<Fn>(module, name);
  if (*fn == nullptr && error->empty()) *error = path + ": the plug-in has no export " + name;
}

// An export a plug-in may lack: null then, and no reason.
template <typename Fn>
void ResolveOptional(const PluginModule& module, const std::string&, const char* name, Fn* fn,
                     std::string*) {
  std::string ignored;
  ResolveRequired(module, "", name, fn, &ignored);
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

// Resolves every export of the plug-in's list (common/export_list.h) into
// the field of the same name, then checks its kind.
template <typename Plugin>
bool ResolvePlugin(const std::string& path, Plugin* plugin, std::string* error) {
  error->clear();
  const PluginModule& module = plugin->module;
#define KRT_RESOLVE(name, signature, character, argument_bytes, need) \
  Resolve##need(module, path, #name, &plugin->name, error);
  if constexpr (std::is_same_v<Plugin, ImagePlugin>) {
    KRT_EXPORTS_IFKRT(KRT_RESOLVE)
    return CheckKind(plugin->GetPluginInfo, path, kImageKind, error);
  } else {
    KRT_EXPORTS_AXKRT(KRT_RESOLVE)
    return CheckKind(plugin->GetPluginInfo, path, kArchiveKind, error);
  }
#undef KRT_RESOLVE
}

template <typename Plugin>
bool LoadPlugin(const std::string& path, Plugin* plugin, std::string* error) {
  error->clear();
  return LoadPluginModule(path, &plugin->module, error) && ResolvePlugin(path, plugin, error);
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
  if (LoadPlugin(folder + PluginFileName("IFKRT"), &plugins->image, error) &&
      LoadPlugin(folder + PluginFileName("AXKRT"), &plugins->archive, error)) {
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
    if (!LoadPlugin(folder + PluginFileName("IFKRT"), &set.image, &error)) report(error);
    if (!LoadPlugin(folder + PluginFileName("AXKRT"), &set.archive, &error)) report(error);
    return set;
  }();
  return plugins;
}

bool BindLinkedPluginSet(const LinkedPlugin& image, const LinkedPlugin& archive, PluginSet* plugins,
                         std::string* error) {
  *plugins = PluginSet{};
  plugins->image.module.linked = &image;
  plugins->archive.module.linked = &archive;
  if (ResolvePlugin(image.name, &plugins->image, error) &&
      ResolvePlugin(archive.name, &plugins->archive, error)) {
    return true;
  }
  *plugins = PluginSet{};
  return false;
}

void UnloadPluginSet(PluginSet* plugins) {
  UnloadPluginModule(&plugins->archive.module);
  UnloadPluginModule(&plugins->image.module);
  plugins->image = ImagePlugin{};
  plugins->archive = ArchivePlugin{};
}

}  // namespace krt::host
