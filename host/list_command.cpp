#include <iomanip>
#include <nlohmann/json.hpp>

#include "archive_requests.h"
#include "commands.h"
#include "file_probe.h"

namespace krt::host {
namespace {

void PrintTable(const std::string& pack, const std::vector<ListedEntry>& entries,
                const Console& console) {
  console.out << pack << ": " << entries.size()
              << (entries.size() == 1 ? " entry\n" : " entries\n");
  console.out << std::left << std::setw(12) << "name" << std::right << std::setw(12) << "position"
              << std::setw(12) << "size" << '\n';
  for (const ListedEntry& entry : entries) {
    console.out << std::left << std::setw(12) << entry.name << std::right << std::setw(12)
                << entry.position << std::setw(12) << entry.size << '\n';
  }
}

nlohmann::json PackAsJson(const std::string& pack, const std::vector<ListedEntry>& entries) {
  nlohmann::json listed = nlohmann::json::array();
  for (const ListedEntry& entry : entries) {
    listed.push_back({{"name", entry.name}, {"position", entry.position}, {"size", entry.size}});
  }
  return {{"pack", pack}, {"entries", listed}};
}

}  // namespace

int RunList(const PluginSet& plugins, const Request& request, const Console& console) {
  bool all_done = true;
  nlohmann::json packs = nlohmann::json::array();
  for (size_t i = 0; i < request.files.size(); ++i) {
    const std::string& pack = request.files[i];
    std::vector<ListedEntry> entries;
    Outcome outcome = RequirePack(plugins, pack);
    if (outcome.ok) outcome = ListPack(plugins.archive, pack, &entries);
    if (!outcome.ok) {
      ReportFailure(console, pack, "", outcome.reason);
      all_done = false;
    } else if (request.json) {
      packs.push_back(PackAsJson(pack, entries));
    } else {
      if (i > 0) console.out << '\n';
      PrintTable(pack, entries, console);
    }
  }
  // Packs that failed are left out of the JSON; their failures are on
  // standard error.
  if (request.json) console.out << packs.dump(2) << '\n';
  return all_done ? kExitSuccess : kExitFailure;
}

}  // namespace krt::host
