// Renders a fixed set of generated screens of every rendering mode through
// the IFKRT found beside this program and writes one line per screen and
// input mode: the result, the bitmap's size and depth, and FNV-1a digests of
// the bitmap-info block and the pixel block. Built for both targets, so the
// DLL under Wine and the native library can be compared byte for byte.
//
// Usage: render_digest OUTPUT_FILE
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "plugin_calls.h"
#include "screen_builder.h"
#include "screen_generator.h"

namespace {

constexpr uint32_t kScreensPerMode = 40;

uint64_t Fnv1a(const uint8_t* bytes, size_t count) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (size_t i = 0; i < count; ++i) {
    hash ^= bytes[i];
    hash *= 0x100000001B3ull;
  }
  return hash;
}

struct Digest {
  int32_t result = -100;
  uint64_t info_size = 0;
  uint64_t info_hash = 0;
  uint64_t pixel_size = 0;
  uint64_t pixel_hash = 0;
};

// Digests a handed-over block and frees it.
void DigestBlock(krt::MemoryHandle handle, uint64_t* size, uint64_t* hash) {
  const krt::host::TakenBlock block = krt::host::TakeHandedOverBlock(handle);
  *size = block.bytes.size();
  *hash = Fnv1a(block.bytes.data(), block.bytes.size());
}

Digest Render(const krt::host::ImagePlugin& plugin, const krt::host::CallSource& source) {
  Digest digest;
  const krt::host::PictureCall call = krt::host::CallGetPicture(plugin, source, {});
  digest.result = call.result;
  if (digest.result != 0) return digest;
  DigestBlock(call.info, &digest.info_size, &digest.info_hash);
  DigestBlock(call.pixels, &digest.pixel_size, &digest.pixel_hash);
  return digest;
}

void StopWith(const std::string& reason) {
  std::fprintf(stderr, "render_digest: %s\n", reason.c_str());
  std::exit(1);
}

void Write(FILE* out, uint32_t mode, uint32_t seed, const char* input, const Digest& d) {
  std::fprintf(out,
               "mode %" PRIu32 " seed %2" PRIu32 " %-6s result %" PRId32 " info %" PRIu64
               " %016" PRIx64 " pixels %8" PRIu64 " %016" PRIx64 "\n",
               mode, seed, input, d.result, d.info_size, d.info_hash, d.pixel_size, d.pixel_hash);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: render_digest OUTPUT_FILE\n");
    return 2;
  }
  const krt::host::ImagePlugin& ifkrt = krt::host::PluginsBesideProgram(StopWith).image;
  // Binary, so that both targets write the same line ends.
  FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "render_digest: cannot write %s\n", argv[1]);
    return 1;
  }
  int failures = 0;
  for (uint32_t mode = 0; mode < 4; ++mode) {
    for (uint32_t seed = 0; seed < kScreensPerMode; ++seed) {
      const auto screen = krt::test::GenerateScreen(static_cast<krt::test::TargetMode>(mode), seed);
      const Digest from_memory = Render(ifkrt, krt::host::MemorySource(screen));
      Write(out, mode, seed, "memory", from_memory);
      const std::string file = krt::test::WriteTempFile(screen, "digest.2D");
      const Digest from_file = Render(ifkrt, krt::host::FileSource(file, 0));
      krt::test::RemoveFile(file);
      Write(out, mode, seed, "file", from_file);
      if (from_memory.result != 0 || from_file.result != 0) ++failures;
    }
  }
  std::fclose(out);
  if (failures != 0) {
    std::fprintf(stderr, "render_digest: %d generated screens were not rendered\n", failures);
    return 1;
  }
  return 0;
}
