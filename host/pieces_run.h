// The run shared by krt tiles, palette and tmx: outputs made from each
// screen file read whole, or from each entry of a pack as AXKRT hands it
// over. Outputs go beside the input or under -o, never over an input; the
// files of one output are written whole or not at all, one line per failure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "command_line.h"
#include "console.h"
#include "outcome.h"
#include "plugin_loader.h"

namespace krt::host {

// One file of an output: its path and its bytes.
struct MadeFile {
  std::string path;
  std::vector<uint8_t> bytes;
};

// Makes the files of one output from a whole screen file: the first is
// `target` itself, any others its companions. `title` names the output.
using MakeOutput =
    std::function<Outcome(const std::vector<uint8_t>& screen, const std::string& title,
                          const std::string& target, std::vector<MadeFile>* files)>;

struct PiecesPlan {
  const char* command;  // "tiles", "palette" or "tmx"
  std::string suffix;   // appended to the input's stem: "-tiles.png"
  std::string named_file;
  std::string folder;
  MakeOutput make;
};

// Runs the plan over the request's files; answers the exit status.
int RunPieces(const PluginSet& plugins, const Request& request, const Console& console,
              PiecesPlan plan);

}  // namespace krt::host
