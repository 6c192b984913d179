// krt's command line: one command of info, render, list, extract, tiles,
// palette and tmx, its options and its files, with --help for the program and for each command.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace krt::host {

enum class Command { kInfo, kRender, kList, kExtract, kTiles, kPalette, kTmx };

struct Request {
  Command command = Command::kInfo;
  std::vector<std::string> files;        // screen files or packs
  std::vector<std::string> entry_names;  // extract: the entries wanted, all when empty
  std::string output;                    // -o
  std::string format;                    // --format: "", "png" or "bmp"; palette: or gpl, pal, act
  std::string plugins_folder;            // --plugins, empty for krt's own folder
  uint32_t offset = 0;                   // render --offset
  uint32_t columns = 16;                 // tiles --columns
  std::optional<uint32_t> bank;          // tiles --bank
  unsigned jobs = 0;                     // --jobs, 0 when not given (WritingJobs)
  bool quiet = false;
  bool json = false;    // list --json
  bool render = false;  // extract --render
};

// --jobs beyond this is refused: more threads than that only cost memory.
inline constexpr unsigned kMostJobs = 64;

// --bank beyond this is refused: it would start past any colour table.
inline constexpr uint32_t kMostBanks = 0xFFFF;

// Sheets are at most this many characters across.
inline constexpr uint32_t kMostColumns = 4096;

// Exit statuses: every file done, some failure, a command line krt cannot
// run.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Parses the arguments after the program name. Answers the request to run,
// or nothing when krt should stop with `*exit_status` at once: help was
// asked for (printed to `out`) or the command line is wrong (said on `err`).
std::optional<Request> ParseCommandLine(const std::vector<std::string>& arguments,
                                        std::ostream& out, std::ostream& err, int* exit_status);

// Whether an extract argument is an entry name ("001.2D", any case) rather
// than a pack.
bool LooksLikeEntryName(const std::string& argument);

}  // namespace krt::host
