#include "output_naming.h"

#include <filesystem>
#include <system_error>

namespace krt::host {
namespace fs = std::filesystem;
namespace {

bool EndsInSeparator(const std::string& name) {
  if (name.empty()) return false;
  const char last = name.back();
#if defined(_WIN32)
  if (last == '\\') return true;
#endif
  return last == '/';
}

}  // namespace

std::string LowerExtension(const std::string& name) {
  std::string extension = fs::path(name).extension().string();
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}

const char* ExtensionOf(OutputFormat format) {
  return format == OutputFormat::kPng ? ".png" : ".bmp";
}

Outcome ChooseFormat(const std::string& format_option, const std::string& named_file,
                     OutputFormat* format) {
  const std::string extension = LowerExtension(named_file);
  std::string wanted = format_option;
  if (wanted.empty()) wanted = extension == ".bmp" ? "bmp" : extension == ".png" ? "png" : "";
  if (wanted.empty() && !extension.empty()) {
    return Outcome::Failed(
        "krt writes PNG or BMP files; name the output .png or .bmp, or give "
        "--format (not " +
        named_file + ")");
  }
  if (wanted.empty()) {
    *format = OutputFormat::kPng;
    return Outcome::Done();
  }
  if (wanted != "png" && wanted != "bmp") {
    return Outcome::Failed("unknown output format \"" + wanted + "\" (use png or bmp)");
  }
  if ((extension == ".bmp" && wanted != "bmp") || (extension == ".png" && wanted != "png")) {
    return Outcome::Failed("the output name " + named_file + " contradicts --format " + wanted);
  }
  *format = wanted == "png" ? OutputFormat::kPng : OutputFormat::kBmp;
  return Outcome::Done();
}

bool NamesFolder(const std::string& output) {
  std::error_code error;
  return EndsInSeparator(output) || fs::is_directory(output, error);
}

Outcome EnsureFolder(const std::string& folder) {
  std::error_code error;
  if (fs::is_directory(folder, error)) return Outcome::Done();
  fs::create_directories(folder, error);
  if (error) return Outcome::Failed("cannot create the folder " + folder + ": " + error.message());
  return Outcome::Done();
}

std::string OutputBesideOrIn(const std::string& input, const std::string& folder,
                             const char* extension) {
  const fs::path source(input);
  const std::string name = source.stem().string() + extension;
  if (folder.empty()) return (source.parent_path() / name).string();
  return (fs::path(folder) / name).string();
}

std::string EntryFolder(const std::string& folder, const std::string& pack, bool several_packs) {
  if (!several_packs) return folder;
  return (fs::path(folder) / fs::path(pack).stem()).string();
}

std::string RenamedEntry(const std::string& entry, const char* extension) {
  return fs::path(entry).stem().string() + extension;
}

}  // namespace krt::host
