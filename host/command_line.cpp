#include "command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iterator>

namespace krt::host {
namespace {

constexpr char kProgramHelp[] =
    "Turns screen files (*.2D, *.S2D) and screen packs (*.BIN) into pictures, through the IFKRT "
    "and AXKRT plug-ins.";

constexpr char kFooter[] =
    "Every file is tried even when an earlier one fails; each failure is one line on standard "
    "error. Exit status: 0 when everything succeeded, 1 when something failed, 2 for a wrong "
    "command line. \"--\" ends the options.";

void AddCommonOptions(CLI::App* command, Request* request) {
  command->add_option("--plugins", request->plugins_folder,
                      "Folder holding IFKRT and AXKRT (default: krt's own folder, or where krt "
                      "is installed)");
  command->add_flag("-q,--quiet", request->quiet,
                    "Print no progress bar and no messages but failures");
  command->footer(kFooter);
}

void AddFormatOption(CLI::App* command, Request* request) {
  command
      ->add_option("--format", request->format, "png or bmp (default: from the -o name, else png)")
      ->check(CLI::IsMember({"png", "bmp"}));
}

void AddJobsOption(CLI::App* command, Request* request) {
  command
      ->add_option("--jobs", request->jobs,
                   "Threads encoding and writing pictures (default: one per processor for PNG, "
                   "one for BMP); the files and messages are the same for any number")
      ->check(CLI::Range(1u, kMostJobs));
}

const char* CommandName(Command command) {
  // In the order Command lists them.
  static constexpr const char* kNames[] = {"info",  "render",  "list", "extract",
                                           "tiles", "palette", "tmx"};
  static_assert(std::size(kNames) == static_cast<size_t>(Command::kTmx) + 1);
  const auto index = static_cast<size_t>(command);
  return index < std::size(kNames) ? kNames[index] : "";
}

std::vector<std::string> Reversed(std::vector<std::string> arguments) {
  std::reverse(arguments.begin(), arguments.end());
  return arguments;
}

}  // namespace

bool LooksLikeEntryName(const std::string& argument) {
  constexpr char kSuffix[] = ".2d";
  constexpr size_t kSuffixLength = sizeof kSuffix - 1;
  if (argument.size() <= kSuffixLength) return false;
  const size_t digits = argument.size() - kSuffixLength;
  for (size_t i = 0; i < digits; ++i) {
    if (argument[i] < '0' || argument[i] > '9') return false;
  }
  for (size_t i = 0; i < kSuffixLength; ++i) {
    const char c = argument[digits + i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != kSuffix[i]) return false;
  }
  return true;
}

std::optional<Request> ParseCommandLine(const std::vector<std::string>& arguments,
                                        std::ostream& out, std::ostream& err, int* exit_status) {
  Request request;
  CLI::App app(kProgramHelp, "krt");
  // Options start with - on every platform: CLI11 would otherwise take a
  // path such as /samples/a.BIN for an option on Windows.
  app.allow_windows_style_options(false);
  app.require_subcommand(1);
  app.footer("Run \"krt COMMAND --help\" for the options of a command.");
  // KRT_VERSION is the project's version, given by the build.
  app.set_version_flag("--version", std::string("krt ") + KRT_VERSION,
                       "Print krt's version and exit");

  CLI::App* info = app.add_subcommand(
      "info",
      "Say which plug-in takes each file: for a screen its size and depth, for a pack "
      "its number of entries");
  info->add_option("FILE", request.files, "Screen files and packs");
  AddCommonOptions(info, &request);

  CLI::App* render = app.add_subcommand(
      "render", "Render screen files to PNG (or BMP) pictures, named after the input");
  render->add_option("FILE", request.files, "Screen files");
  render->add_option("-o,--output", request.output,
                     "Output file (one input only), or folder (existing, or ending in /)");
  render
      ->add_option("--offset", request.offset,
                   "Offset of the screen header inside each file (default 0)")
      ->check(CLI::Range(0u, 0x7FFFFFFFu));
  AddFormatOption(render, &request);
  AddJobsOption(render, &request);
  AddCommonOptions(render, &request);

  CLI::App* list = app.add_subcommand("list", "List the entries of screen packs");
  list->add_option("PACK", request.files, "Screen packs");
  list->add_flag("--json", request.json, "Print the listing as JSON");
  AddCommonOptions(list, &request);

  CLI::App* extract = app.add_subcommand(
      "extract",
      "Extract the entries of screen packs (all, or those named like 001.2D) to a folder");
  std::vector<std::string> items;
  extract->add_option("ITEM", items,
                      "Screen packs, and entry names: arguments of the form NNN.2D name "
                      "entries, all others are packs");
  extract->add_option("-o,--output", request.output,
                      "Folder for the entries (default: the current folder); with several "
                      "packs each gets a subfolder named after it");
  extract->add_flag("--render", request.render,
                    "Render each entry to a picture instead of writing its bytes");
  AddFormatOption(extract, &request);
  AddJobsOption(extract, &request);
  AddCommonOptions(extract, &request);

  CLI::App* tiles = app.add_subcommand(
      "tiles",
      "Draw every character of each screen (each entry of a pack) side by side as an indexed "
      "PNG sheet, in storage order, pixels being the dot values");
  tiles->add_option("FILE", request.files, "Screen files and packs");
  tiles->add_option("-o,--output", request.output,
                    "Output file (one screen file only), or folder (existing, or ending in /); "
                    "default: NAME-tiles.png beside each input, NAME-NNN-tiles.png for entries");
  uint32_t bank = 0;
  CLI::Option* bank_option =
      tiles
          ->add_option("--bank", bank,
                       "Palette bank of the sheet's colours (default: the lowest palette the "
                       "pattern names use)")
          ->check(CLI::Range(0u, kMostBanks));
  tiles->add_option("--columns", request.columns, "Characters across (default 16)")
      ->check(CLI::Range(1u, kMostColumns));
  AddCommonOptions(tiles, &request);

  CLI::App* palette = app.add_subcommand(
      "palette",
      "Write the colours of each screen's colour table (each entry of a pack) as swatches or a "
      "palette file");
  palette->add_option("FILE", request.files, "Screen files and packs");
  palette->add_option("-o,--output", request.output,
                      "Output file (one screen file only), or folder (existing, or ending in "
                      "/); default: NAME-palette.EXT beside each input, NAME-NNN-palette.EXT for "
                      "entries");
  palette
      ->add_option("--format", request.format,
                   "png (swatches, 16 a row), gpl (GIMP), pal (JASC) or act (Adobe); default: "
                   "from the -o name, else png")
      ->check(CLI::IsMember({"png", "gpl", "pal", "act"}));
  AddCommonOptions(palette, &request);

  CLI::App* tmx = app.add_subcommand(
      "tmx",
      "Write each screen (each entry of a pack) as a Tiled map: one cell per character, its "
      "tile from the tileset of its palette bank, flipped as its pattern name says, drawing the "
      "rendered picture dot for dot; the raw pattern names are the layer's property \"pattern "
      "names\"");
  tmx->add_option("FILE", request.files, "Screen files and packs");
  tmx->add_option("-o,--output", request.output,
                  "Map file NAME.tmx (one screen file only), or folder (existing, or ending in "
                  "/); default: NAME.tmx beside each input, NAME-NNN.tmx for entries; tileset "
                  "images NAME-bankN.png (and NAME-background.png) beside each map");
  AddCommonOptions(tmx, &request);

  // Everything after "--" is a file. CLI11 2.1 loses such arguments once a
  // command has had positional ones, so they are set aside here and added
  // after parsing.
  const auto end_of_options = std::find(arguments.begin(), arguments.end(), "--");
  const std::vector<std::string> options(arguments.begin(), end_of_options);
  const std::vector<std::string> operands(
      end_of_options == arguments.end() ? arguments.end() : end_of_options + 1, arguments.end());
  try {
    app.parse(Reversed(options));
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error, out, err);
    *exit_status = status == 0 ? kExitSuccess : kExitUsage;
    return std::nullopt;
  }

  if (render->parsed()) request.command = Command::kRender;
  if (list->parsed()) request.command = Command::kList;
  if (tiles->parsed()) request.command = Command::kTiles;
  if (palette->parsed()) request.command = Command::kPalette;
  if (tmx->parsed()) request.command = Command::kTmx;
  if (bank_option->count() > 0) request.bank = bank;
  if (extract->parsed()) {
    request.command = Command::kExtract;
    items.insert(items.end(), operands.begin(), operands.end());
    for (const std::string& item : items) {
      (LooksLikeEntryName(item) ? request.entry_names : request.files).push_back(item);
    }
  } else {
    request.files.insert(request.files.end(), operands.begin(), operands.end());
  }
  if (request.files.empty()) {
    err << "krt " << CommandName(request.command) << ": no "
        << (request.command == Command::kExtract ? "pack" : "file") << " given\n"
        << "Run with --help for more information.\n";
    *exit_status = kExitUsage;
    return std::nullopt;
  }
  return request;
}

}  // namespace krt::host
