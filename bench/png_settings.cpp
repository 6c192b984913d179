// PNG compression settings, size against time: every bundled card and the
// large generated screen of each rendering mode is rendered once through
// IFKRT, then encoded with each candidate setting for a while. Prints, per
// setting, the processor time per picture and the bytes written, for the
// cards together and for the large screens together. krt's own settings are
// chosen from this table (host/png_writer.h).
//
// Usage: png_settings
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "bench_plugins.h"
#include "bench_screens.h"
#include "image_requests.h"
#include "png_writer.h"
#include "sample_cards.h"

namespace {

using krt::host::Bitmap;
using krt::host::PngSettings;

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Candidate {
  const char* name;
  PngSettings settings;
};

// "libpng's filters": none for indexed pictures, a choice per row for RGB.
const Candidate kCandidates[] = {
    {"level 9, all filters (krt 0.3)", {9, Z_DEFAULT_STRATEGY, PNG_ALL_FILTERS}},
    {"level 9, no filter", {9, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE}},
    {"level 8, no filter", {8, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE}},
    {"level 7, no filter", {7, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE}},
    {"level 6, libpng's filters (krt)", {6, Z_DEFAULT_STRATEGY, 0}},
    {"level 6, libpng's filters, Z_FILTERED", {6, Z_FILTERED, 0}},
    {"level 6, no filter", {6, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE}},
    {"level 6, sub filter", {6, Z_DEFAULT_STRATEGY, PNG_FILTER_SUB}},
    {"level 6, paeth filter", {6, Z_DEFAULT_STRATEGY, PNG_FILTER_PAETH}},
    {"level 5, all filters", {5, Z_DEFAULT_STRATEGY, PNG_ALL_FILTERS}},
    {"level 5, no filter", {5, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE}},
    {"level 4, no filter", {4, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE}},
    {"level 3, no filter", {3, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE}},
    {"level 3, sub filter", {3, Z_DEFAULT_STRATEGY, PNG_FILTER_SUB}},
    {"level 1, no filter", {1, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE}},
    {"level 1, libpng's filters", {1, Z_DEFAULT_STRATEGY, 0}},
    {"level 1, run lengths, no filter", {1, Z_RLE, PNG_FILTER_NONE}},
    {"huffman only, no filter", {1, Z_HUFFMAN_ONLY, PNG_FILTER_NONE}},
};

bool Render(const std::vector<uint8_t>& screen, Bitmap* bitmap) {
  const auto& plugins = krt::bench::LoadedPlugins();
  const krt::host::PictureSource source{"", 0, &screen};
  const auto outcome = krt::host::LoadPicture(plugins.image, source, {}, bitmap);
  if (!outcome.ok) std::fprintf(stderr, "png_settings: %s\n", outcome.reason.c_str());
  return outcome.ok;
}

// Encodes the set over and over for at least 0.3 s; answers the time per
// picture and the bytes of one pass.
void Measure(const std::vector<Bitmap>& set, const PngSettings& settings, double* per_picture,
             size_t* bytes) {
  std::vector<uint8_t> encoded;
  std::string error;
  *bytes = 0;
  size_t pictures = 0;
  const double start = ThreadSeconds();
  double elapsed = 0;
  for (int pass = 0; elapsed < 0.3; ++pass) {
    for (const Bitmap& bitmap : set) {
      if (!krt::host::EncodePngWith(bitmap, settings, &encoded, &error)) {
        std::fprintf(stderr, "png_settings: %s\n", error.c_str());
        return;
      }
      if (pass == 0) *bytes += encoded.size();
      ++pictures;
    }
    elapsed = ThreadSeconds() - start;
  }
  *per_picture = elapsed / static_cast<double>(pictures);
}

}  // namespace

int main() {
  std::vector<Bitmap> cards;
  for (const auto& file : krt::samples::BuildSampleFiles()) {
    if (file.name == krt::samples::kPackName) continue;
    cards.emplace_back();
    if (!Render(file.bytes, &cards.back())) return 1;
  }
  std::vector<Bitmap> large;
  for (int mode = 0; mode < 4; ++mode) {
    large.emplace_back();
    if (!Render(krt::bench::LargeScreen(mode, false), &large.back())) return 1;
  }
  std::printf("%-38s %14s %12s %14s %12s\n", "setting", "cards us/pic", "cards bytes",
              "large ms/pic", "large bytes");
  for (const Candidate& candidate : kCandidates) {
    double card_time = 0, large_time = 0;
    size_t card_bytes = 0, large_bytes = 0;
    Measure(cards, candidate.settings, &card_time, &card_bytes);
    Measure(large, candidate.settings, &large_time, &large_bytes);
    std::printf("%-38s %14.1f %12zu %14.2f %12zu\n", candidate.name, card_time * 1e6, card_bytes,
                large_time * 1e3, large_bytes);
  }
  return 0;
}
