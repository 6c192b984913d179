// Measures what each export asks of the platform over a corpus: the largest
// single allocation and the most bytes live at once, also as the largest
// ratio to an input's size, and the time per call (slowest, and per KB over
// the whole corpus). Usage: krt_resource_bounds FOLDER...
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "host_side.h"
#include "platform_control.h"

namespace {

namespace fs = std::filesystem;
using krt::MemoryHandle;
using krt::fuzz::Axkrt;
using krt::fuzz::Ifkrt;

// Calls the export once on the input (as memory image or file path) and
// frees whatever it handed over.
using ExportCall = std::function<void(const std::vector<uint8_t>& input, const char* path)>;

struct Measure {
  Measure(const char* export_name, ExportCall export_call)
      : name(export_name), call(std::move(export_call)) {}

  const char* name;
  ExportCall call;

  size_t inputs = 0;
  size_t largest_input = 0;
  uint64_t largest_request = 0;
  double request_per_byte = 0;  // largest over the inputs of request / input size
  std::string request_worst;
  uint64_t peak_live = 0;
  double peak_per_byte = 0;
  double slowest_us = 0;
  uint64_t total_bytes = 0;
  std::string slowest_worst;
  double total_us = 0;
};

void FreeIfHanded(MemoryHandle handle) {
  if (handle != nullptr) LocalFree(handle);
}

const char* Image(const std::vector<uint8_t>& input) {
  return reinterpret_cast<const char*>(input.data());
}
int32_t Length(const std::vector<uint8_t>& input) { return static_cast<int32_t>(input.size()); }

void Picture(const char* source, int32_t offset_or_length, uint32_t flag) {
  MemoryHandle info = nullptr;
  MemoryHandle pixels = nullptr;
  if (Ifkrt().GetPicture(source, offset_or_length, flag, &info, &pixels, nullptr, 0) == 0) {
    FreeIfHanded(info);
    FreeIfHanded(pixels);
  }
}

void Listing(const char* source, int32_t offset_or_length, uint32_t flag) {
  MemoryHandle list = nullptr;
  if (Axkrt().GetArchiveInfo(source, offset_or_length, flag, &list) == 0) FreeIfHanded(list);
}

void Extraction(const char* source, int32_t position_or_length, uint32_t flag) {
  MemoryHandle entry = nullptr;
  if (Axkrt().GetFile(source, position_or_length, reinterpret_cast<char*>(&entry), flag | 0x100,
                      nullptr, 0) == 0) {
    FreeIfHanded(entry);
  }
}

// The exports a plug-in does not have yet are left out.
std::vector<Measure> Measures() {
  using Input = const std::vector<uint8_t>&;
  std::vector<Measure> measures;
  if (Ifkrt().GetPictureInfo == nullptr || Ifkrt().GetPicture == nullptr) {
    std::printf("IFKRT has no GetPictureInfo or GetPicture: not measured\n");
  } else {
    measures = {
        {"IFKRT GetPictureInfo, memory",
         [](Input in, const char*) {
           krt::PictureInfo info;
           Ifkrt().GetPictureInfo(Image(in), Length(in), 1, &info);
         }},
        {"IFKRT GetPictureInfo, file",
         [](Input, const char* path) {
           krt::PictureInfo info;
           Ifkrt().GetPictureInfo(path, 0, 0, &info);
         }},
        {"IFKRT GetPicture, memory",
         [](Input in, const char*) { Picture(Image(in), Length(in), 1); }},
        {"IFKRT GetPicture, file", [](Input, const char* path) { Picture(path, 0, 0); }},
    };
  }
  if (Axkrt().GetArchiveInfo == nullptr || Axkrt().GetFileInfo == nullptr ||
      Axkrt().GetFile == nullptr) {
    std::printf("AXKRT has no GetArchiveInfo, GetFileInfo or GetFile: not measured\n");
    return measures;
  }
  std::vector<Measure> archive = {
      {"AXKRT GetArchiveInfo, memory",
       [](Input in, const char*) { Listing(Image(in), Length(in), 1); }},
      {"AXKRT GetArchiveInfo, file", [](Input, const char* path) { Listing(path, 0, 0); }},
      {"AXKRT GetFileInfo, memory",
       [](Input in, const char*) {
         krt::fileInfo record;
         Axkrt().GetFileInfo(Image(in), Length(in), "999.2D", 1, &record);
       }},
      {"AXKRT GetFileInfo, file",
       [](Input, const char* path) {
         krt::fileInfo record;
         Axkrt().GetFileInfo(path, 0, "999.2D", 0, &record);
       }},
      {"AXKRT GetFile, memory",
       [](Input in, const char*) { Extraction(Image(in), Length(in), 1); }},
      {"AXKRT GetFile, file", [](Input, const char* path) { Extraction(path, 0, 0); }},
  };
  measures.insert(measures.end(), archive.begin(), archive.end());
  return measures;
}

void Take(Measure& m, const std::string& name, const std::vector<uint8_t>& input,
          const char* path) {
  const uint64_t live_before = KrtPlatformPeakLiveBytes();  // the reset made peak = live
  const auto start = std::chrono::steady_clock::now();
  m.call(input, path);
  const double us =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  const uint64_t request = KrtPlatformLargestRequest();
  const uint64_t peak = KrtPlatformPeakLiveBytes() - live_before;
  const double size = static_cast<double>(std::max<size_t>(input.size(), 1));

  ++m.inputs;
  m.largest_input = std::max(m.largest_input, input.size());
  m.largest_request = std::max(m.largest_request, request);
  if (request / size > m.request_per_byte) {
    m.request_per_byte = request / size;
    m.request_worst = name;
  }
  m.peak_live = std::max(m.peak_live, peak);
  m.peak_per_byte = std::max(m.peak_per_byte, peak / size);
  if (us > m.slowest_us) {
    m.slowest_us = us;
    m.slowest_worst = name;
  }
  m.total_bytes += input.size();
  m.total_us += us;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : fs::recursive_directory_iterator(argv[i])) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: %s FOLDER...   (no input files found)\n", argv[0]);
    return 2;
  }
  std::vector<Measure> measures = Measures();
  if (measures.empty()) return 1;
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> input(std::istreambuf_iterator<char>(in), {});
    const char* path = krt::fuzz::WriteInputFile(input.data(), input.size());
    for (Measure& m : measures) {
      KrtPlatformReset();
      Take(m, file.filename().string(), input, path);
    }
  }
  std::printf("%zu inputs, the largest %zu bytes\n\n", files.size(), measures[0].largest_input);
  std::printf("%-30s %14s %10s %14s %10s %11s %9s %11s\n", "export", "largest alloc", "per byte",
              "peak live", "per byte", "slowest us", "us per KB", "total ms");
  for (const Measure& m : measures) {
    std::printf("%-30s %14llu %10.2f %14llu %10.2f %11.1f %9.2f %11.1f\n", m.name,
                static_cast<unsigned long long>(m.largest_request), m.request_per_byte,
                static_cast<unsigned long long>(m.peak_live), m.peak_per_byte, m.slowest_us,
                m.total_us / (static_cast<double>(m.total_bytes) / 1024), m.total_us / 1000);
  }
  std::printf("\nworst inputs:\n");
  for (const Measure& m : measures) {
    std::printf("  %-30s allocation per byte: %s; slowest: %s\n", m.name, m.request_worst.c_str(),
                m.slowest_worst.c_str());
  }
  return 0;
}
