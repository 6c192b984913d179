#include "linked_plugins.h"

#include <iterator>

#include "export_signatures.h"

// Linked into one module, the plug-ins' exports would collide (both have
// GetPluginInfo and IsSupported), so the build puts each plug-in's name in
// front of its exports' names (web/CMakeLists.txt); these are those names.
#define KRT_LINKED(plugin, name) plugin##_##name
extern "C" {
int32_t KRT_LINKED(IFKRT, GetPluginInfo)(int32_t, char*, int32_t);
int32_t KRT_LINKED(IFKRT, IsSupported)(const char*, uintptr_t);
int32_t KRT_LINKED(IFKRT, GetPictureInfo)(const char*, int32_t, uint32_t, krt::PictureInfo*);
int32_t KRT_LINKED(IFKRT, GetPicture)(const char*, int32_t, uint32_t, krt::MemoryHandle*,
                                      krt::MemoryHandle*, krt::ProgressCallback, intptr_t);
int32_t KRT_LINKED(IFKRT, GetPreview)(const char*, int32_t, uint32_t, krt::MemoryHandle*,
                                      krt::MemoryHandle*, krt::ProgressCallback, intptr_t);
int32_t KRT_LINKED(AXKRT, GetPluginInfo)(int32_t, char*, int32_t);
int32_t KRT_LINKED(AXKRT, IsSupported)(const char*, uintptr_t);
int32_t KRT_LINKED(AXKRT, GetArchiveInfo)(const char*, int32_t, uint32_t, krt::MemoryHandle*);
int32_t KRT_LINKED(AXKRT, GetFileInfo)(const char*, int32_t, const char*, uint32_t, krt::fileInfo*);
int32_t KRT_LINKED(AXKRT, GetFile)(const char*, int32_t, char*, uint32_t, krt::ProgressCallback,
                                   intptr_t);
}

namespace krt::page {
namespace {

template <typename Fn>
host::LinkedExport Export(const char* name, Fn* function) {
  return host::LinkedExport{name, reinterpret_cast<void*>(function)};
}
#define KRT_EXPORT_ENTRY(plugin, name) Export(#name, &KRT_LINKED(plugin, name))

const host::LinkedExport kImageExports[] = {
    KRT_EXPORT_ENTRY(IFKRT, GetPluginInfo),  KRT_EXPORT_ENTRY(IFKRT, IsSupported),
    KRT_EXPORT_ENTRY(IFKRT, GetPictureInfo), KRT_EXPORT_ENTRY(IFKRT, GetPicture),
    KRT_EXPORT_ENTRY(IFKRT, GetPreview),
};
const host::LinkedExport kArchiveExports[] = {
    KRT_EXPORT_ENTRY(AXKRT, GetPluginInfo),  KRT_EXPORT_ENTRY(AXKRT, IsSupported),
    KRT_EXPORT_ENTRY(AXKRT, GetArchiveInfo), KRT_EXPORT_ENTRY(AXKRT, GetFileInfo),
    KRT_EXPORT_ENTRY(AXKRT, GetFile),
};
const host::LinkedPlugin kImagePlugin{"IFKRT", kImageExports, std::size(kImageExports)};
const host::LinkedPlugin kArchivePlugin{"AXKRT", kArchiveExports, std::size(kArchiveExports)};

struct Binding {
  host::PluginSet plugins;
  std::string error;
  bool bound = false;
};

}  // namespace

const host::PluginSet* LinkedPlugins(std::string* error) {
  static const Binding binding = [] {
    Binding made;
    made.bound =
        host::BindLinkedPluginSet(kImagePlugin, kArchivePlugin, &made.plugins, &made.error);
    return made;
  }();
  if (binding.bound) return &binding.plugins;
  *error = binding.error;
  return nullptr;
}

}  // namespace krt::page
