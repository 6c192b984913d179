#include <filesystem>
#include <memory>

#include "archive_requests.h"
#include "commands.h"
#include "file_probe.h"
#include "image_requests.h"
#include "ordered_jobs.h"
#include "output_naming.h"
#include "picture_output.h"
#include "progress_bar.h"
#include "safe_replace.h"

namespace krt::host {
namespace {

struct ExtractPlan {
  std::string folder;
  OutputFormat format = OutputFormat::kPng;
  bool several_packs = false;
};

// Entry names come from the plug-in and become file names: one that could
// leave the output folder is refused.
bool IsSafeFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("/\\:") == std::string::npos;
}

Outcome ExtractBytes(const PluginSet& plugins, const Request& request, const std::string& pack,
                     const ListedEntry& entry, const std::string& target, ProgressBar* bar) {
  if (IsOneOfTheInputs(target, request.files)) {
    return Outcome::Failed("the output " + target + " is one of the inputs; not written");
  }
  // The plug-in writes the file itself; it writes to a temporary name so that
  // a failure leaves any earlier output in place.
  const std::string temporary = TemporaryPathBeside(target);
  const ProgressHook hook{&ProgressBar::Callback, reinterpret_cast<intptr_t>(bar)};
  const Outcome outcome = ExtractEntryToDisk(plugins.archive, pack, entry, temporary, hook);
  if (!outcome.ok) {
    DiscardTemporary(temporary);
    return outcome;
  }
  return CommitTemporary(temporary, target);
}

// The viewer's path: the entry to memory, straight into IFKRT's memory input.
// The picture is written by a job of `jobs`.
void ExtractPicture(const PluginSet& plugins, const Request& request, const std::string& pack,
                    const ListedEntry& entry, const std::string& target, OutputFormat format,
                    ProgressBar* bar, OrderedJobs* jobs) {
  const ProgressHook hook{&ProgressBar::Callback, reinterpret_cast<intptr_t>(bar)};
  std::vector<uint8_t> screen;
  Outcome outcome = ExtractEntryToMemory(plugins.archive, pack, entry, hook, &screen);
  if (!outcome.ok) return jobs->AddOutcome(outcome);
  auto bitmap = std::make_shared<Bitmap>();
  outcome = LoadPicture(plugins.image, PictureSource{"", 0, &screen}, hook, bitmap.get());
  if (!outcome.ok) return jobs->AddOutcome(outcome);
  jobs->Add([bitmap, format, target, &request] {
    return WritePicture(*bitmap, format, target, request.files);
  });
}

// The entries asked for: all of them, or those named on the command line,
// looked up one by one. A name the pack does not have is reported and
// skipped.
bool WantedEntries(const PluginSet& plugins, const Request& request, const std::string& pack,
                   const Console& console, std::vector<ListedEntry>* entries) {
  if (request.entry_names.empty()) {
    const Outcome outcome = ListPack(plugins.archive, pack, entries);
    if (!outcome.ok) ReportFailure(console, pack, "", outcome.reason);
    return outcome.ok;
  }
  bool all_found = true;
  for (const std::string& name : request.entry_names) {
    ListedEntry entry;
    const Outcome outcome = FindEntry(plugins.archive, pack, name, &entry);
    if (outcome.ok) {
      entries->push_back(entry);
    } else {
      ReportFailure(console, pack, name, outcome.reason);
      all_found = false;
    }
  }
  return all_found;
}

bool ExtractPack(const PluginSet& plugins, const Request& request, const ExtractPlan& plan,
                 const std::string& pack, const Console& console) {
  const Outcome is_pack = RequirePack(plugins, pack);
  if (!is_pack.ok) {
    ReportFailure(console, pack, "", is_pack.reason);
    return false;
  }
  std::vector<ListedEntry> entries;
  bool all_done = WantedEntries(plugins, request, pack, console, &entries);
  if (entries.empty()) return all_done;

  const std::string folder = EntryFolder(plan.folder, pack, plan.several_packs);
  const Outcome made = EnsureFolder(folder);
  if (!made.ok) {
    ReportFailure(console, pack, "", made.reason);
    return false;
  }
  ProgressBar bar(console.err, console.err_is_terminal && !request.quiet, pack,
                  static_cast<uint32_t>(entries.size()));
  uint32_t extracted = 0;
  uint32_t reported = 0;
  // Outcomes arrive in entry order, whichever thread wrote the picture.
  OrderedJobs jobs(request.render ? WritingJobs(request.jobs, plan.format) : 1,
                   [&](const Outcome& outcome) {
                     const ListedEntry& entry = entries[reported++];
                     if (outcome.ok) {
                       ++extracted;
                     } else {
                       bar.Clear();
                       ReportFailure(console, pack, entry.name, outcome.reason);
                       all_done = false;
                     }
                   });
  for (uint32_t i = 0; i < entries.size(); ++i) {
    const ListedEntry& entry = entries[i];
    bar.BeginItem(i, entry.name);
    if (!IsSafeFileName(entry.name)) {
      jobs.AddOutcome(
          Outcome::Failed("the plug-in gave an entry name that is not a plain file name"));
    } else if (request.render) {
      const std::string target =
          (std::filesystem::path(folder) / RenamedEntry(entry.name, ExtensionOf(plan.format)))
              .string();
      ExtractPicture(plugins, request, pack, entry, target, plan.format, &bar, &jobs);
    } else {
      const std::string target = (std::filesystem::path(folder) / entry.name).string();
      jobs.AddOutcome(ExtractBytes(plugins, request, pack, entry, target, &bar));
    }
  }
  jobs.Drain();
  bar.Clear();
  if (!request.quiet) {
    console.out << pack << ": " << extracted << " of " << entries.size()
                << (request.render ? " entries rendered to " : " entries extracted to ") << folder
                << '\n';
  }
  return all_done;
}

}  // namespace

int RunExtract(const PluginSet& plugins, const Request& request, const Console& console) {
  ExtractPlan plan;
  plan.folder = request.output.empty() ? "." : request.output;
  plan.several_packs = request.files.size() > 1;
  if (!request.render && !request.format.empty()) {
    console.err << "krt extract: --format applies only with --render\n";
    return kExitUsage;
  }
  if (request.render) {
    const Outcome chosen = ChooseFormat(request.format, "", &plan.format);
    if (!chosen.ok) {
      console.err << "krt extract: " << chosen.reason << '\n';
      return kExitUsage;
    }
  }
  bool all_done = true;
  for (const std::string& pack : request.files) {
    all_done = ExtractPack(plugins, request, plan, pack, console) && all_done;
  }
  return all_done ? kExitSuccess : kExitFailure;
}

}  // namespace krt::host
