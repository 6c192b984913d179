#include "loaded_plugins.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace krt::test {
namespace {

const host::PluginSet& Plugins() {
  return host::PluginsBesideProgram([](const std::string& reason) { ADD_FAILURE() << reason; });
}

using Text = std::basic_string<WideChar>;

// A source as the W form takes it: a path in UTF-16, or after memory input
// the image's pointer as it is.
const WideChar* SourceOf(const char* source, uint32_t flag, Text* text) {
  if (source == nullptr || IsMemoryInput(flag)) return reinterpret_cast<const WideChar*>(source);
  *text = host::Utf16Of(source);
  return text->c_str();
}

// The ANSI exports' signatures over the W exports: each converts the text
// and calls the W twin, so every test runs unchanged against the W forms.
template <bool kArchive>
const host::PluginBase& Base() {
  if constexpr (kArchive) return Plugins().archive;
  return Plugins().image;
}

template <bool kArchive>
int32_t KRT_STDCALL PluginInfoW(int32_t index, char* buffer, int32_t length) {
  // The W buffer starts as the caller's, so what is left alone stays so.
  std::vector<WideChar> wide(length > 0 ? length : 1);
  for (int32_t k = 0; buffer && k < length; ++k) wide[k] = static_cast<uint8_t>(buffer[k]);
  const int32_t copied =
      Base<kArchive>().GetPluginInfoW(index, buffer ? &wide[0] : nullptr, length);
  for (int32_t k = 0; buffer && k < length; ++k)
    buffer[k] = static_cast<char>(wide[k] > 0xFF ? 0x7F : wide[k]);
  return copied;
}

template <bool kArchive>
int32_t KRT_STDCALL IsSupportedW(const char* name, uintptr_t source) {
  return Base<kArchive>().IsSupportedW(name ? host::Utf16Of(name).c_str() : nullptr, source);
}

template <GetPictureWFn host::ImagePlugin::*kExport>
int32_t KRT_STDCALL PictureW(const char* source, LengthArgument length, uint32_t flag,
                             MemoryHandle* info, MemoryHandle* pixels, ProgressCallback progress,
                             intptr_t user_value) {
  Text text;
  return (Plugins().image.*kExport)(SourceOf(source, flag, &text), length, flag, info, pixels,
                                    progress, user_value);
}

// GetPictureInfo and GetArchiveInfo: a source, its length, the flag and one
// out-argument.
template <typename Plugin, typename Out, auto kExport>
int32_t KRT_STDCALL SourceW(const char* source, LengthArgument length, uint32_t flag, Out out) {
  Text text;
  const Plugin& plugin =
      static_cast<const Plugin&>(Base<std::is_same_v<Plugin, host::ArchivePlugin>>());
  return (plugin.*kExport)(SourceOf(source, flag, &text), length, flag, out);
}

int32_t KRT_STDCALL FileInfoW(const char* source, LengthArgument length, const char* name,
                              uint32_t flag, fileInfo* info) {
  Text text;
  fileInfoW wide{};
  if (info != nullptr) wide = host::WideRecordOf(*info);
  const int32_t result = Plugins().archive.GetFileInfoW(
      SourceOf(source, flag, &text), length, name ? host::Utf16Of(name).c_str() : nullptr, flag,
      info ? &wide : nullptr);
  if (info != nullptr) *info = host::AnsiRecordOf(wide);
  return result;
}

int32_t KRT_STDCALL FileW(const char* source, LengthArgument position, char* destination,
                          uint32_t flag, ProgressCallback progress, intptr_t user_value) {
  Text text, folder;  // a slot's address for memory output, else a path
  auto* spelt = const_cast<WideChar*>(SourceOf(destination, IsMemoryOutput(flag), &folder));
  return Plugins().archive.GetFileW(SourceOf(source, flag, &text), position, spelt, flag, progress,
                                    user_value);
}

// A plug-in without its W exports gets no exports at all here, which fails
// every test that uses it.
host::ImagePlugin ImageThroughW() {
  host::ImagePlugin plugin = Plugins().image;
  if (!plugin.GetPluginInfoW || !plugin.IsSupportedW || !plugin.GetPictureInfoW ||
      !plugin.GetPictureW || !plugin.GetPreviewW) {
    ADD_FAILURE() << "IFKRT lacks a W export";
    return {};
  }
  plugin.GetPluginInfo = PluginInfoW<false>;
  plugin.IsSupported = IsSupportedW<false>;
  plugin.GetPictureInfo =
      SourceW<host::ImagePlugin, PictureInfo*, &host::ImagePlugin::GetPictureInfoW>;
  plugin.GetPicture = PictureW<&host::ImagePlugin::GetPictureW>;
  plugin.GetPreview = PictureW<&host::ImagePlugin::GetPreviewW>;
  return plugin;
}

host::ArchivePlugin ArchiveThroughW() {
  host::ArchivePlugin plugin = Plugins().archive;
  if (!plugin.GetPluginInfoW || !plugin.IsSupportedW || !plugin.GetArchiveInfoW ||
      !plugin.GetFileInfoW || !plugin.GetFileW) {
    ADD_FAILURE() << "AXKRT lacks a W export";
    return {};
  }
  plugin.GetPluginInfo = PluginInfoW<true>;
  plugin.IsSupported = IsSupportedW<true>;
  plugin.GetArchiveInfo =
      SourceW<host::ArchivePlugin, MemoryHandle*, &host::ArchivePlugin::GetArchiveInfoW>;
  plugin.GetFileInfo = FileInfoW;
  plugin.GetFile = FileW;
  return plugin;
}

}  // namespace

bool WideForms() {
  static const bool wide = [] {
    const char* form = std::getenv("KRT_TEXT_FORM");
    return form != nullptr && std::strcmp(form, "wide") == 0;
  }();
  return wide;
}

const host::ImagePlugin& Ifkrt() {
  if (!WideForms()) return Plugins().image;
  static const host::ImagePlugin through_w = ImageThroughW();
  return through_w;
}

const host::ArchivePlugin& Axkrt() {
  if (!WideForms()) return Plugins().archive;
  static const host::ArchivePlugin through_w = ArchiveThroughW();
  return through_w;
}

std::vector<uint8_t> TakeBlock(MemoryHandle handle) {
  host::TakenBlock block = host::TakeHandedOverBlock(handle);
  if (!block.taken) {
    ADD_FAILURE() << block.error;
    return {};
  }
  EXPECT_FALSE(block.was_locked) << "the block was handed over locked";
  EXPECT_TRUE(block.freed);
  return std::move(block.bytes);
}

uintptr_t AsSource(const void* buffer) { return reinterpret_cast<uintptr_t>(buffer); }
uintptr_t HandleSource(HANDLE file) { return reinterpret_cast<uintptr_t>(file); }

HANDLE OpenHostHandle(const std::string& path) {
  return CreateFileW(reinterpret_cast<const WCHAR*>(host::Utf16Of(path).c_str()), GENERIC_READ,
                     FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}
void ExpectHandleLeftAt(HANDLE file, const std::vector<uint8_t>& bytes, uint32_t at) {
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), at);
  uint8_t next[4] = {};
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(file, next, sizeof next, &got, nullptr));
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(std::vector<uint8_t>(next, next + got),
            std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + 4));
  EXPECT_TRUE(CloseHandle(file));
}

}  // namespace krt::test
