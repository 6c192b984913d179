#include "screen_builder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace krt::test {

namespace fs = std::filesystem;

namespace {

size_t EntryOffset(int index) {
  return kSectionTableOffset + kSectionEntrySize * static_cast<size_t>(index);
}

void AppendFill(std::vector<uint8_t>& bytes, size_t count, uint8_t value) {
  bytes.insert(bytes.end(), count, value);
}

void AppendBe16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value >> 8));
  bytes.push_back(static_cast<uint8_t>(value));
}

void AppendBe32(std::vector<uint8_t>& bytes, uint32_t value) {
  AppendBe16(bytes, static_cast<uint16_t>(value >> 16));
  AppendBe16(bytes, static_cast<uint16_t>(value));
}

std::vector<uint8_t> DescriptorBody(const ScreenPlan& plan) {
  std::vector<uint8_t> body;
  AppendBe16(body, plan.pages_across);
  AppendBe16(body, plan.pages_down);
  body.insert(body.end(), plan.descriptor_tail.begin(), plan.descriptor_tail.end());
  return body;
}

std::vector<uint8_t> NameTableBody(const ScreenPlan& plan) {
  std::vector<uint8_t> body(kTablePrefixSize, 0);
  body[kFlagsByteOffset] = static_cast<uint8_t>((plan.colours_256 ? kFlag256Colours : 0) |
                                                (plan.cells_2x2 ? kFlagCells2x2 : 0));
  body[kFormatByteOffset] = plan.two_word_names ? kFormatTwoWord : 0;

  const size_t pages_bytes = size_t{plan.pages_across} * plan.pages_down * plan.bytes_per_page;
  const size_t width = GeometryOf(plan).name_width;
  const size_t written = std::min(plan.names.size(), pages_bytes / width);
  for (size_t i = 0; i < written; ++i) {
    if (plan.two_word_names) {
      AppendBe32(body, plan.names[i]);
    } else {
      AppendBe16(body, static_cast<uint16_t>(plan.names[i]));
    }
  }
  AppendFill(body, kTablePrefixSize + pages_bytes - body.size(), 0);
  body.insert(body.end(), plan.name_table_tail.begin(), plan.name_table_tail.end());
  return body;
}

std::vector<uint8_t> CharacterBody(const ScreenPlan& plan) {
  // Sized once and copied into: an insert after the prefix trips a false
  // array-bounds warning in the 32-bit cross compiler at -O3.
  std::vector<uint8_t> body(kTablePrefixSize + plan.dot_data.size(), 0);
  std::copy(plan.dot_data.begin(), plan.dot_data.end(), body.begin() + kTablePrefixSize);
  return body;
}

std::vector<uint8_t> ColourBody(const ScreenPlan& plan) {
  std::vector<uint8_t> body(kTablePrefixSize, 0);
  for (uint16_t colour : plan.colours) AppendBe16(body, colour);
  return body;
}

// The header starts zero-filled, so with fewer than 32 regions the record
// after the last one is already the all-zero terminator.
void WriteRegions(std::vector<uint8_t>& header, const std::vector<PaletteRegion>& regions) {
  const size_t count = std::min(regions.size(), kMaxRegions);
  for (size_t i = 0; i < count; ++i) {
    const PaletteRegion& region = regions[i];
    uint8_t* record = &header[kRegionTableOffset + kRegionRecordSize * i];
    record[0] = region.x;
    record[1] = region.y;
    record[2] = region.width;
    record[3] = region.height;
    record[4] = region.palette;
  }
}

// One directory per process, so parallel test processes never share files;
// removed with its contents at exit.
struct ProcessDirectory {
  fs::path path;

  ProcessDirectory() {
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error) return;
    // No portable process id in the standard library: a random name, retried
    // on collision, serves the same purpose.
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    std::mt19937_64 random(device() ^ static_cast<uint64_t>(now));
    const char* form = std::getenv("KRT_TEXT_FORM");
    const bool wide = form != nullptr && std::string(form) == "wide";
    for (int attempt = 0; attempt < 100; ++attempt) {
      fs::path candidate = base / PathOf("krt-test-" + std::to_string(random() % 1000000000u) +
                                         (wide ? "-\u10E5\u0905\U0001F600" : ""));
      if (fs::create_directory(candidate, error)) {
        path = candidate;
        return;
      }
      if (error) return;
    }
  }

  ~ProcessDirectory() {
    std::error_code error;
    if (!path.empty()) fs::remove_all(path, error);
  }

  ProcessDirectory(const ProcessDirectory&) = delete;
  ProcessDirectory& operator=(const ProcessDirectory&) = delete;
};

const fs::path& TempDirectory() {
  static ProcessDirectory directory;
  return directory.path;
}

}  // namespace

PageGeometry GeometryOf(const ScreenPlan& plan) {
  PageGeometry geometry;
  geometry.name_width = plan.two_word_names ? 4 : 2;
  geometry.row_length = plan.bytes_per_page <= 2048 ? 64 : 128;
  geometry.names_per_row = geometry.row_length / geometry.name_width;
  geometry.rows_per_page = plan.bytes_per_page / geometry.row_length;
  return geometry;
}

uint32_t ScreenColumns(const ScreenPlan& plan) {
  return plan.pages_across * GeometryOf(plan).names_per_row;
}

uint32_t ScreenRows(const ScreenPlan& plan) {
  return plan.pages_down * GeometryOf(plan).rows_per_page;
}

std::optional<size_t> NameIndex(const ScreenPlan& plan, uint32_t column, uint32_t row) {
  if (column >= ScreenColumns(plan) || row >= ScreenRows(plan)) return std::nullopt;
  const PageGeometry geometry = GeometryOf(plan);
  const size_t page_column = column / geometry.names_per_row;
  const size_t position = column % geometry.names_per_row;
  const size_t page_row = row / geometry.rows_per_page;
  const size_t page_line = row % geometry.rows_per_page;
  const size_t page = page_row * plan.pages_across + page_column;
  return (page * geometry.rows_per_page + page_line) * geometry.names_per_row + position;
}

bool SetName(ScreenPlan& plan, uint32_t column, uint32_t row, uint32_t value) {
  const std::optional<size_t> index = NameIndex(plan, column, row);
  if (!index) return false;
  if (plan.names.size() <= *index) plan.names.resize(*index + 1, 0);
  plan.names[*index] = value;
  return true;
}

std::vector<uint8_t> BuildScreenFile(const ScreenPlan& plan) {
  std::vector<uint8_t> bytes(kHeaderSize, 0);
  std::copy(kMagic, kMagic + kMagicLength, bytes.begin());
  bytes[kMagicLength] = plan.magic_end;
  WriteRegions(bytes, plan.regions);

  std::vector<std::vector<uint8_t>> bodies = {DescriptorBody(plan), NameTableBody(plan),
                                              CharacterBody(plan), ColourBody(plan)};
  if (plan.fifth_section) bodies.push_back(*plan.fifth_section);

  for (size_t i = 0; i < bodies.size(); ++i) {
    AppendFill(bytes, plan.gaps[i], plan.gap_fill);
    const auto offset = static_cast<uint32_t>(bytes.size());
    const auto size = static_cast<uint32_t>(bodies[i].size());
    bytes.insert(bytes.end(), bodies[i].begin(), bodies[i].end());
    SetSection(bytes, static_cast<int>(i), offset, plan.declared_sizes[i].value_or(size));
  }
  return bytes;
}

uint16_t Be16(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint16_t>((bytes.at(offset) << 8) | bytes.at(offset + 1));
}

uint32_t Be32(const std::vector<uint8_t>& bytes, size_t offset) {
  return (static_cast<uint32_t>(Be16(bytes, offset)) << 16) | Be16(bytes, offset + 2);
}

void PutBe16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
  bytes.at(offset) = static_cast<uint8_t>(value >> 8);
  bytes.at(offset + 1) = static_cast<uint8_t>(value);
}

void PutBe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  PutBe16(bytes, offset, static_cast<uint16_t>(value >> 16));
  PutBe16(bytes, offset + 2, static_cast<uint16_t>(value));
}

uint32_t SectionOffset(const std::vector<uint8_t>& bytes, int index) {
  return Be32(bytes, EntryOffset(index));
}

uint32_t SectionSize(const std::vector<uint8_t>& bytes, int index) {
  return Be32(bytes, EntryOffset(index) + 4);
}

void SetSection(std::vector<uint8_t>& bytes, int index, uint32_t offset, uint32_t size) {
  PutBe32(bytes, EntryOffset(index), offset);
  PutBe32(bytes, EntryOffset(index) + 4, size);
}

std::vector<uint8_t> BuildPack(const PackPlan& plan) {
  std::vector<uint8_t> pack;
  for (size_t i = 0; i < plan.screens.size(); ++i) {
    AppendFill(pack, i < plan.gaps_before.size() ? plan.gaps_before[i] : 0, plan.gap_fill);
    pack.insert(pack.end(), plan.screens[i].begin(), plan.screens[i].end());
  }
  pack.insert(pack.end(), plan.trailer.begin(), plan.trailer.end());
  return pack;
}

std::vector<size_t> ScreenPositions(const PackPlan& plan) {
  std::vector<size_t> positions;
  size_t end = 0;
  for (size_t i = 0; i < plan.screens.size(); ++i) {
    const size_t position = end + (i < plan.gaps_before.size() ? plan.gaps_before[i] : 0);
    positions.push_back(position);
    end = position + plan.screens[i].size();
  }
  return positions;
}

std::string WriteTempFile(const std::vector<uint8_t>& bytes, const std::string& stem) {
  static std::atomic<uint32_t> counter{0};
  const fs::path& directory = TempDirectory();
  if (directory.empty()) return {};
  const fs::path path = directory / PathOf(std::to_string(counter++) + "-" + stem);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return {};
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

void RemoveFile(const std::string& path) {
  std::error_code error;
  fs::remove(PathOf(path), error);
}

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

}  // namespace krt::test
