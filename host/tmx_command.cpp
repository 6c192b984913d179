// krt tmx: each screen (each entry of a pack) as a Tiled map, NAME.tmx, with
// its tileset images beside it (tmx_map.h says what the map holds).
#include <filesystem>

#include "commands.h"
#include "output_naming.h"
#include "pieces_run.h"
#include "tmx_map.h"

namespace krt::host {

int RunTmx(const PluginSet& plugins, const Request& request, const Console& console) {
  if (!request.output.empty() && !NamesFolder(request.output) &&
      LowerExtension(request.output) != ".tmx") {
    console.err << "krt tmx: maps are TMX files; name the output .tmx (not " << request.output
                << ")\n";
    return kExitUsage;
  }
  PiecesPlan plan;
  plan.command = "tmx";
  plan.suffix = ".tmx";
  plan.make = [](const std::vector<uint8_t>& screen, const std::string&, const std::string& target,
                 std::vector<MadeFile>* files) {
    const std::filesystem::path map_path(target);
    TiledMapFiles map;
    const Outcome made = MakeTiledMap(screen, map_path.stem().string(), &map);
    if (!made.ok) return made;
    files->push_back({target, std::move(map.map)});
    for (size_t k = 0; k < map.tilesets.size(); ++k) {
      files->push_back(
          {(map_path.parent_path() / map.tileset_names[k]).string(), std::move(map.tilesets[k])});
    }
    return Outcome::Done();
  };
  return RunPieces(plugins, request, console, std::move(plan));
}

}  // namespace krt::host
