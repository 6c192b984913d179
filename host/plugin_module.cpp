#include "plugin_module.h"

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

std::string PluginFileName(const std::string& plugin) { return plugin + ".spi"; }

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

}  // namespace krt::host
