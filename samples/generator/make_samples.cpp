// Writes the bundled samples into a folder, or with --check compares the
// files there with what it would write and names every one that differs.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "sample_cards.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: make_samples [--check] FOLDER\n");
    return 2;
  }
  const std::string folder = argv[argc - 1];
  int status = 0;
  for (const krt::samples::SampleFile& file : krt::samples::BuildSampleFiles()) {
    const std::string path = folder + "/" + file.name;
    if (check) {
      if (ReadAll(path) != std::string(file.bytes.begin(), file.bytes.end())) {
        std::fprintf(stderr, "make_samples: %s differs from the generator's output\n",
                     path.c_str());
        status = 1;
      }
    } else if (!WriteAll(path, file.bytes)) {
      std::fprintf(stderr, "make_samples: cannot write %s\n", path.c_str());
      status = 1;
    } else {
      std::printf("%s\n", path.c_str());
    }
  }
  return status;
}
