#include "krt_run.h"

#include <filesystem>
#include <iterator>
#include <system_error>

#include "command_line.h"
#include "commands.h"
#include "plugin_loader.h"

namespace krt::host {
namespace {

// Without --plugins: krt's own folder, where a build puts the plug-ins, else
// (for an installed krt) the private folder the build names relative to it.
std::string DefaultPluginFolder() {
  const std::string own = ProgramFolder();
#if defined(KRT_INSTALLED_PLUGINS)
  std::error_code error;
  if (!std::filesystem::exists(own + PluginFileName("IFKRT"), error)) {
    return own + KRT_INSTALLED_PLUGINS;
  }
#endif
  return own;
}

std::string PluginFolder(const Request& request) {
  if (request.plugins_folder.empty()) return DefaultPluginFolder();
  const char last = request.plugins_folder.back();
  if (last == '/' || last == '\\') return request.plugins_folder;
  return request.plugins_folder + "/";
}

int RunCommand(const PluginSet& plugins, const Request& request, const Console& console) {
  using Runner = int (*)(const PluginSet&, const Request&, const Console&);
  // In the order Command lists them.
  static constexpr Runner kRunners[] = {RunInfo,  RunRender,  RunList, RunExtract,
                                        RunTiles, RunPalette, RunTmx};
  static_assert(std::size(kRunners) == static_cast<size_t>(Command::kTmx) + 1);
  const auto index = static_cast<size_t>(request.command);
  return index < std::size(kRunners) ? kRunners[index](plugins, request, console) : kExitUsage;
}

}  // namespace

int RunKrt(const std::vector<std::string>& arguments, const Console& console) {
  int exit_status = kExitSuccess;
  const std::optional<Request> request =
      ParseCommandLine(arguments, console.out, console.err, &exit_status);
  if (!request) return exit_status;

  PluginSet plugins;
  std::string error;
  if (!LoadPluginSet(PluginFolder(*request), &plugins, &error)) {
    console.err << "krt: " << error << '\n';
    return kExitFailure;
  }
  const int status = RunCommand(plugins, *request, console);
  UnloadPluginSet(&plugins);
  return status;
}

}  // namespace krt::host
