#include "archive_requests.h"
#include "commands.h"
#include "file_probe.h"
#include "image_requests.h"

namespace krt::host {
namespace {

bool DescribeFile(const PluginSet& plugins, const std::string& file, const Console& console) {
  FileKind kind = FileKind::kNeither;
  Outcome outcome = ProbeFile(plugins, file, 0, &kind);
  if (outcome.ok && kind == FileKind::kScreen) {
    PictureSummary summary;
    outcome = QueryPicture(plugins.image, PictureSource{file, 0, nullptr}, &summary);
    if (outcome.ok) {
      console.out << file << ": screen file (IFKRT), " << summary.width << " x " << summary.height
                  << " dots, " << summary.depth << " bits per pixel\n";
    }
  } else if (outcome.ok && kind == FileKind::kPack) {
    std::vector<ListedEntry> entries;
    outcome = ListPack(plugins.archive, file, &entries);
    if (outcome.ok) {
      console.out << file << ": screen pack (AXKRT), " << entries.size()
                  << (entries.size() == 1 ? " entry\n" : " entries\n");
    }
  } else if (outcome.ok) {
    outcome = Outcome::Failed("neither a screen file nor a screen pack");
  }
  if (!outcome.ok) ReportFailure(console, file, "", outcome.reason);
  return outcome.ok;
}

}  // namespace

int RunInfo(const PluginSet& plugins, const Request& request, const Console& console) {
  bool all_done = true;
  for (const std::string& file : request.files) {
    all_done = DescribeFile(plugins, file, console) && all_done;
  }
  return all_done ? kExitSuccess : kExitFailure;
}

}  // namespace krt::host
