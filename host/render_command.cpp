#include <set>

#include "commands.h"
#include "file_probe.h"
#include "image_requests.h"
#include "output_naming.h"
#include "picture_output.h"

namespace krt::host {
namespace {

// Where the pictures go: one named file, a folder, or beside each input.
struct RenderTargets {
  std::string named_file;
  std::string folder;
  OutputFormat format = OutputFormat::kPng;
};

bool PlanTargets(const Request& request, const Console& console, RenderTargets* targets) {
  const bool to_folder = !request.output.empty() && NamesFolder(request.output);
  if (!request.output.empty() && !to_folder) targets->named_file = request.output;
  if (to_folder) targets->folder = request.output;
  if (!targets->named_file.empty() && request.files.size() > 1) {
    console.err << "krt render: -o " << request.output << " names one file but "
                << request.files.size() << " inputs were given; name a folder (ending in /)\n";
    return false;
  }
  const Outcome chosen = ChooseFormat(request.format, targets->named_file, &targets->format);
  if (!chosen.ok) console.err << "krt render: " << chosen.reason << '\n';
  return chosen.ok;
}

Outcome RenderFile(const PluginSet& plugins, const Request& request, const std::string& file,
                   const std::string& target, OutputFormat format) {
  FileKind kind = FileKind::kNeither;
  Outcome outcome = ProbeFile(plugins, file, request.offset, &kind);
  if (!outcome.ok) return outcome;
  if (kind == FileKind::kPack) {
    return Outcome::Failed(
        "a screen pack, not a screen file; krt extract --render renders its "
        "entries");
  }
  if (kind != FileKind::kScreen) {
    return Outcome::Failed(request.offset == 0
                               ? "not a screen file"
                               : "no screen file at offset " + std::to_string(request.offset));
  }
  Bitmap bitmap;
  const PictureSource source{file, static_cast<int32_t>(request.offset), nullptr};
  outcome = LoadPicture(plugins.image, source, ProgressHook{}, &bitmap);
  if (!outcome.ok) return outcome;
  return WritePicture(bitmap, format, target, request.files);
}

}  // namespace

int RunRender(const PluginSet& plugins, const Request& request, const Console& console) {
  RenderTargets targets;
  if (!PlanTargets(request, console, &targets)) return kExitUsage;
  if (!targets.folder.empty()) {
    const Outcome made = EnsureFolder(targets.folder);
    if (!made.ok) {
      ReportFailure(console, targets.folder, "", made.reason);
      return kExitFailure;
    }
  }
  bool all_done = true;
  std::set<std::string> written;
  for (const std::string& file : request.files) {
    const std::string target =
        !targets.named_file.empty()
            ? targets.named_file
            : OutputBesideOrIn(file, targets.folder, ExtensionOf(targets.format));
    Outcome outcome = written.count(target) != 0
                          ? Outcome::Failed("the output " + target +
                                            " was already written for another input; not "
                                            "written again")
                          : RenderFile(plugins, request, file, target, targets.format);
    if (outcome.ok) {
      written.insert(target);
      if (!request.quiet) console.out << file << " -> " << target << '\n';
    } else {
      ReportFailure(console, file, "", outcome.reason);
      all_done = false;
    }
  }
  return all_done ? kExitSuccess : kExitFailure;
}

}  // namespace krt::host
