// krt tiles and krt palette: one output per screen, taken apart from the
// screen file itself, or from each entry of a pack as AXKRT hands it over.
// Outputs follow render's rules: beside the input or under -o, never over an
// input, written whole or not at all, one line per failure.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

#include "archive_requests.h"
#include "commands.h"
#include "file_probe.h"
#include "output_naming.h"
#include "palette_files.h"
#include "pieces_run.h"
#include "png_writer.h"
#include "safe_replace.h"
#include "screen_pieces.h"

namespace krt::host {
namespace {

// A screen file is read whole; one past this is refused rather than read.
constexpr uintmax_t kLargestScreenFile = uintmax_t{1} << 28;

Outcome ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return Outcome::Failed("cannot read: " + error.message());
  if (size > kLargestScreenFile) {
    return Outcome::Failed("the file is larger than a screen file krt reads (" +
                           std::to_string(kLargestScreenFile) + " bytes)");
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return Outcome::Failed(std::string("cannot open: ") + std::strerror(errno));
  bytes->assign(static_cast<size_t>(size), 0);
  const bool read = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
  std::fclose(file);
  if (!read) return Outcome::Failed("cannot read the whole file");
  return Outcome::Done();
}

class PiecesRun {
 public:
  PiecesRun(const Request& request, const Console& console, const PiecesPlan& plan)
      : request_(request), console_(console), plan_(plan) {}

  bool all_done() const { return all_done_; }

  void DoFile(const PluginSet& plugins, const std::string& file) {
    FileKind kind = FileKind::kNeither;
    Outcome outcome = ProbeFile(plugins, file, 0, &kind);
    if (outcome.ok && kind == FileKind::kPack) return DoPack(plugins, file);
    if (outcome.ok && kind != FileKind::kScreen) {
      outcome = Outcome::Failed("neither a screen file nor a screen pack");
    }
    std::vector<uint8_t> screen;
    if (outcome.ok) outcome = ReadWholeFile(file, &screen);
    const std::string target = plan_.named_file.empty()
                                   ? OutputBesideOrIn(file, plan_.folder, plan_.suffix.c_str())
                                   : plan_.named_file;
    const std::string title = std::filesystem::path(file).stem().string();
    if (outcome.ok) outcome = Write(screen, title, target);
    Report(file, "", target, outcome);
  }

 private:
  void DoPack(const PluginSet& plugins, const std::string& pack) {
    std::vector<ListedEntry> entries;
    Outcome listed = plan_.named_file.empty()
                         ? ListPack(plugins.archive, pack, &entries)
                         : Outcome::Failed(
                               "a pack gives one output per entry; name a folder "
                               "(ending in /) with -o");
    if (!listed.ok) return Report(pack, "", "", listed);
    const std::string stem = OutputBesideOrIn(pack, plan_.folder, "");
    for (const ListedEntry& entry : entries) {
      const std::string entry_stem = std::filesystem::path(entry.name).stem().string();
      const std::string target = stem + "-" + entry_stem + plan_.suffix;
      std::vector<uint8_t> screen;
      Outcome outcome = ExtractEntryToMemory(plugins.archive, pack, entry, ProgressHook{}, &screen);
      const std::string title = std::filesystem::path(pack).stem().string() + "-" + entry_stem;
      if (outcome.ok) outcome = Write(screen, title, target);
      Report(pack, entry.name, target, outcome);
    }
  }

  Outcome Write(const std::vector<uint8_t>& screen, const std::string& title,
                const std::string& target) {
    std::vector<MadeFile> files;
    const Outcome made = plan_.make(screen, title, target, &files);
    if (!made.ok) return made;
    for (const MadeFile& file : files) {
      if (written_.count(file.path) != 0) {
        return Outcome::Failed("the output " + file.path +
                               " was already written for another input; not written again");
      }
      if (IsOneOfTheInputs(file.path, request_.files)) {
        return Outcome::Failed("the output " + file.path + " is one of the inputs; not written");
      }
    }
    // Every file is complete beside its target before any replaces one.
    std::vector<std::string> temporaries;
    Outcome outcome = Outcome::Done();
    for (const MadeFile& file : files) {
      std::string temporary;
      outcome = WriteTemporary(file.path, file.bytes, &temporary);
      if (!outcome.ok) break;
      temporaries.push_back(temporary);
    }
    for (size_t k = 0; k < temporaries.size(); ++k) {
      if (outcome.ok) {
        outcome = CommitTemporary(temporaries[k], files[k].path);
      } else {
        DiscardTemporary(temporaries[k]);
      }
    }
    if (outcome.ok) {
      for (size_t k = 1; k < files.size(); ++k) written_.insert(files[k].path);
    }
    return outcome;
  }

  void Report(const std::string& file, const std::string& entry, const std::string& target,
              const Outcome& outcome) {
    if (!outcome.ok) {
      ReportFailure(console_, file, entry, outcome.reason);
      all_done_ = false;
      return;
    }
    written_.insert(target);
    if (request_.quiet) return;
    console_.out << file;
    if (!entry.empty()) console_.out << ": entry " << entry;
    console_.out << " -> " << target << '\n';
  }

  const Request& request_;
  const Console& console_;
  const PiecesPlan& plan_;
  std::set<std::string> written_;
  bool all_done_ = true;
};

}  // namespace

int RunPieces(const PluginSet& plugins, const Request& request, const Console& console,
              PiecesPlan plan) {
  const bool to_folder = !request.output.empty() && NamesFolder(request.output);
  if (!request.output.empty() && !to_folder) plan.named_file = request.output;
  if (to_folder) plan.folder = request.output;
  if (!plan.named_file.empty() && request.files.size() > 1) {
    console.err << "krt " << plan.command << ": -o " << request.output << " names one file but "
                << request.files.size() << " inputs were given; name a folder (ending in /)\n";
    return kExitUsage;
  }
  if (!plan.folder.empty()) {
    const Outcome made = EnsureFolder(plan.folder);
    if (!made.ok) {
      ReportFailure(console, plan.folder, "", made.reason);
      return kExitFailure;
    }
  }
  PiecesRun run(request, console, plan);
  for (const std::string& file : request.files) run.DoFile(plugins, file);
  return run.all_done() ? kExitSuccess : kExitFailure;
}

int RunTiles(const PluginSet& plugins, const Request& request, const Console& console) {
  if (!request.output.empty() && !NamesFolder(request.output)) {
    const std::string extension = LowerExtension(request.output);
    if (!extension.empty() && extension != ".png") {
      console.err << "krt tiles: sheets are PNG files; name the output .png (not " << request.output
                  << ")\n";
      return kExitUsage;
    }
  }
  SheetOptions options;
  options.columns = request.columns;
  options.bank = request.bank;
  PiecesPlan plan;
  plan.command = "tiles";
  plan.suffix = "-tiles.png";
  plan.make = [options](const std::vector<uint8_t>& screen, const std::string&,
                        const std::string& target, std::vector<MadeFile>* files) {
    Bitmap sheet;
    const Outcome drawn = DrawCharacterSheet(screen, options, &sheet);
    if (!drawn.ok) return drawn;
    files->push_back({target, {}});
    std::string error;
    if (!EncodePng(sheet, &files->back().bytes, &error)) return Outcome::Failed(error);
    return Outcome::Done();
  };
  return RunPieces(plugins, request, console, std::move(plan));
}

int RunPalette(const PluginSet& plugins, const Request& request, const Console& console) {
  const std::string named_file =
      !request.output.empty() && !NamesFolder(request.output) ? request.output : "";
  PaletteFormat format = PaletteFormat::kSwatches;
  const Outcome chosen = ChoosePaletteFormat(request.format, named_file, &format);
  if (!chosen.ok) {
    console.err << "krt palette: " << chosen.reason << '\n';
    return kExitUsage;
  }
  PiecesPlan plan;
  plan.command = "palette";
  plan.suffix = std::string("-palette") + ExtensionOf(format);
  plan.make = [format](const std::vector<uint8_t>& screen, const std::string& title,
                       const std::string& target, std::vector<MadeFile>* files) {
    std::vector<Rgb> colours;
    const Outcome read = ReadScreenColours(screen, &colours);
    if (!read.ok) return read;
    files->push_back({target, {}});
    return EncodePaletteFile(colours, format, title, &files->back().bytes);
  };
  return RunPieces(plugins, request, console, std::move(plan));
}

}  // namespace krt::host
