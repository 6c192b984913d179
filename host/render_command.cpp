#include <memory>
#include <set>

#include "commands.h"
#include "file_probe.h"
#include "image_requests.h"
#include "ordered_jobs.h"
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

// Loads the picture on this thread, where the plug-in runs, and has a job of
// `jobs` write it.
void RenderFile(const PluginSet& plugins, const Request& request, const std::string& file,
                const std::string& target, OutputFormat format, OrderedJobs* jobs) {
  FileKind kind = FileKind::kNeither;
  Outcome outcome = ProbeFile(plugins, file, request.offset, &kind);
  if (outcome.ok && kind == FileKind::kPack) {
    outcome = Outcome::Failed(
        "a screen pack, not a screen file; krt extract --render renders its "
        "entries");
  } else if (outcome.ok && kind != FileKind::kScreen) {
    outcome = Outcome::Failed(request.offset == 0
                                  ? "not a screen file"
                                  : "no screen file at offset " + std::to_string(request.offset));
  }
  auto bitmap = std::make_shared<Bitmap>();
  if (outcome.ok) {
    const PictureSource source{file, static_cast<int32_t>(request.offset), nullptr};
    outcome = LoadPicture(plugins.image, source, ProgressHook{}, bitmap.get());
  }
  if (!outcome.ok) return jobs->AddOutcome(outcome);
  jobs->Add([bitmap, format, target, &request] {
    return WritePicture(*bitmap, format, target, request.files);
  });
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
  std::set<std::string> planned;  // targets of items added so far
  std::vector<std::string> item_targets;
  size_t reported = 0;
  OrderedJobs jobs(WritingJobs(request.jobs, targets.format), [&](const Outcome& outcome) {
    const std::string& file = request.files[reported];
    const std::string& target = item_targets[reported++];
    if (outcome.ok) {
      written.insert(target);
      if (!request.quiet) console.out << file << " -> " << target << '\n';
    } else {
      ReportFailure(console, file, "", outcome.reason);
      all_done = false;
    }
  });
  for (const std::string& file : request.files) {
    const std::string target =
        !targets.named_file.empty()
            ? targets.named_file
            : OutputBesideOrIn(file, targets.folder, ExtensionOf(targets.format));
    item_targets.push_back(target);
    // Whether an earlier input's picture went there is known only once it
    // is written.
    if (!planned.insert(target).second) jobs.Drain();
    if (written.count(target) != 0) {
      jobs.AddOutcome(Outcome::Failed("the output " + target +
                                      " was already written for another input; not written "
                                      "again"));
    } else {
      RenderFile(plugins, request, file, target, targets.format, &jobs);
    }
  }
  jobs.Drain();
  return all_done ? kExitSuccess : kExitFailure;
}

}  // namespace krt::host
