// Loading the plug-ins at run time as a viewer does (LoadLibrary on Windows,
// dlopen elsewhere), resolving each export by name, and checking each
// plug-in with GetPluginInfo before it is trusted with a file. krt, the
// tests, the fuzz targets and the benchmarks all load them through here.
#pragma once

#include <cstddef>
#include <string>

#include "export_signatures.h"

namespace krt::host {

// One export of a plug-in linked into the host itself, under its interface
// name.
struct LinkedExport {
  const char* name = nullptr;
  void* function = nullptr;
};

// A plug-in linked into the host instead of loaded: where nothing is loaded
// at run time (a WebAssembly module holds both plug-ins), its exports come
// from the linker, each under the name a host asks for.
struct LinkedPlugin {
  const char* name = nullptr;  // for messages, like a loaded plug-in's path
  const LinkedExport* exports = nullptr;
  size_t export_count = 0;
};

struct PluginModule {
  void* library = nullptr;
  const LinkedPlugin* linked = nullptr;  // set instead of `library` for a linked plug-in
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

// The file name a plug-in has on this platform: "IFKRT.spi" on 32-bit
// Windows, "IFKRT.sph" on 64-bit Windows, "IFKRT.so" elsewhere.
std::string PluginFileName(const std::string& plugin);

// What every plug-in has: its module and the two exports a host asks first.
// The W exports are looked up too, but a plug-in need not have them: each
// is null when it is missing, and loading does not fail for it.
struct PluginBase {
  PluginModule module;
  GetPluginInfoFn GetPluginInfo = nullptr;
  IsSupportedFn IsSupported = nullptr;
  GetPluginInfoWFn GetPluginInfoW = nullptr;
  IsSupportedWFn IsSupportedW = nullptr;
};

struct ImagePlugin : PluginBase {
  GetPictureInfoFn GetPictureInfo = nullptr;
  GetPictureFn GetPicture = nullptr;
  // Not needed to show a picture: null when the plug-in lacks it.
  GetPreviewFn GetPreview = nullptr;
  GetPictureInfoWFn GetPictureInfoW = nullptr;
  GetPictureWFn GetPictureW = nullptr;
  GetPreviewWFn GetPreviewW = nullptr;
};

struct ArchivePlugin : PluginBase {
  GetArchiveInfoFn GetArchiveInfo = nullptr;
  GetFileInfoFn GetFileInfo = nullptr;
  GetFileFn GetFile = nullptr;
  GetArchiveInfoWFn GetArchiveInfoW = nullptr;
  GetFileInfoWFn GetFileInfoW = nullptr;
  GetFileWFn GetFileW = nullptr;
};

struct PluginSet {
  ImagePlugin image;
  ArchivePlugin archive;
};

// Loads IFKRT and AXKRT from `folder` (ending in a separator, or empty for
// the current folder). Answers false with a reason a person can act on when
// a plug-in is missing, lacks an export or is not of the expected kind; what
// was loaded is unloaded again then.
bool LoadPluginSet(const std::string& folder, PluginSet* plugins, std::string* error);

void UnloadPluginSet(PluginSet* plugins);

// The set from two linked plug-ins, checked as a loaded set is: every export
// there and each plug-in of its kind, with the same reasons when not. The
// tables must outlive the set; unloading it releases nothing.
bool BindLinkedPluginSet(const LinkedPlugin& image, const LinkedPlugin& archive, PluginSet* plugins,
                         std::string* error);

// Both plug-ins from the running program's folder, loaded on the first call
// and kept for the rest of the process (a program passes one `report`; only
// the first call's is used). Each plug-in that cannot be loaded, or
// lacks an export, is reported through `report` (a test failure, or the end
// of the program); what did load and resolve stays usable, the rest is null.
const PluginSet& PluginsBesideProgram(void (*report)(const std::string& reason));

// GetPluginInfo's string at `index`, cut at its terminating zero; empty when
// the plug-in has none there.
std::string PluginInfoString(GetPluginInfoFn get_plugin_info, int32_t index);

}  // namespace krt::host
