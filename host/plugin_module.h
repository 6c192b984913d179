// Loading a plug-in at run time and resolving its exports by name, as a
// viewer does: LoadLibrary on Windows, dlopen elsewhere.
#pragma once

#include <string>

namespace krt::host {

struct PluginModule {
  void* library = nullptr;
};

// Loads the plug-in at `path`. On failure answers false with a reason.
bool LoadPluginModule(const std::string& path, PluginModule* module, std::string* error);

void UnloadPluginModule(PluginModule* module);

// The export of that name, or null.
void* FindPluginExport(const PluginModule& module, const char* name);

template <typename Fn>
Fn FindPluginFunction(const PluginModule& module, const char* name) {
  return reinterpret_cast<Fn>(FindPluginExport(module, name));
}

// The folder of the running program, with a trailing separator.
std::string ProgramFolder();

// The file name a plug-in has on this platform: "IFKRT.spi" on Windows,
// "IFKRT.so" elsewhere.
std::string PluginFileName(const std::string& plugin);

}  // namespace krt::host
