#include "linked_plugins.h"

#include <iterator>
#include <type_traits>

#include "export_list.h"
#include "export_signatures.h"

// Linked into one module, the plug-ins' exports would collide (both have
// GetPluginInfo and IsSupported), so the build puts each plug-in's name in
// front of its exports' names (web/CMakeLists.txt); these are those names.
// The page calls only the ANSI exports, so only they are bound.
#define KRT_ANSI_char(...) __VA_ARGS__
#define KRT_ANSI_WideChar(...)
#define KRT_DECLARE(plugin, name, character) \
  KRT_ANSI_##character(std::remove_pointer_t<krt::name##Fn> plugin##_##name;)
#define KRT_DECLARE_IFKRT(name, signature, character, argument_bytes, need) \
  KRT_DECLARE(IFKRT, name, character)
#define KRT_DECLARE_AXKRT(name, signature, character, argument_bytes, need) \
  KRT_DECLARE(AXKRT, name, character)
extern "C" {
KRT_EXPORTS_IFKRT(KRT_DECLARE_IFKRT)
KRT_EXPORTS_AXKRT(KRT_DECLARE_AXKRT)
}

namespace krt::page {
namespace {

template <typename Fn>
host::LinkedExport Export(const char* name, Fn* function) {
  return host::LinkedExport{name, reinterpret_cast<void*>(function)};
}
#define KRT_ENTRY(plugin, name, character) KRT_ANSI_##character(Export(#name, &plugin##_##name), )
#define KRT_ENTRY_IFKRT(name, signature, character, argument_bytes, need) \
  KRT_ENTRY(IFKRT, name, character)
#define KRT_ENTRY_AXKRT(name, signature, character, argument_bytes, need) \
  KRT_ENTRY(AXKRT, name, character)

const host::LinkedExport kImageExports[] = {KRT_EXPORTS_IFKRT(KRT_ENTRY_IFKRT)};
const host::LinkedExport kArchiveExports[] = {KRT_EXPORTS_AXKRT(KRT_ENTRY_AXKRT)};
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
