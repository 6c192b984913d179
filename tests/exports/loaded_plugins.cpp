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

// One character in the other form. A unit beyond one byte cannot come back
// unchanged, so it shows as 0x7F.
template <typename To, typename From>
To Unit(From c) {
  const auto code = static_cast<std::make_unsigned_t<From>>(c);
  if constexpr (sizeof(To) == 1) return static_cast<To>(code <= 0xFF ? code : 0x7F);
  return static_cast<To>(code);
}
char Narrow(WideChar c) { return Unit<char>(c); }

// fileInfo from fileInfoW and back: the same bytes but for the two names.
template <typename To, typename From>
To Respelt(const From& from) {
  using ToChar = std::remove_cvref_t<decltype(To{}.path[0])>;
  To to;
  std::memcpy(&to, &from, offsetof(From, path));
  for (size_t k = 0; k < 200; ++k) {
    to.path[k] = Unit<ToChar>(from.path[k]);
    to.filename[k] = Unit<ToChar>(from.filename[k]);
  }
  std::memcpy(reinterpret_cast<uint8_t*>(&to) + offsetof(To, crc),
              reinterpret_cast<const uint8_t*>(&from) + offsetof(From, crc),
              sizeof to - offsetof(To, crc));
  return to;
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
  for (int32_t k = 0; buffer != nullptr && k < length; ++k) wide[k] = static_cast<uint8_t>(buffer[k]);
  const int32_t copied = Base<kArchive>().GetPluginInfoW(index, buffer ? wide.data() : nullptr, length);
  for (int32_t k = 0; buffer != nullptr && k < length; ++k) buffer[k] = Narrow(wide[k]);
  return copied;
}

template <bool kArchive>
int32_t KRT_STDCALL IsSupportedW(const char* name, uintptr_t source) {
  return Base<kArchive>().IsSupportedW(name ? host::Utf16Of(name).c_str() : nullptr, source);
}

int32_t KRT_STDCALL PictureInfoW(const char* source, LengthArgument length, uint32_t flag,
                                 PictureInfo* info) {
  Text text;
  return Plugins().image.GetPictureInfoW(SourceOf(source, flag, &text), length, flag, info);
}

template <GetPictureWFn host::ImagePlugin::*kExport>
int32_t KRT_STDCALL PictureW(const char* source, LengthArgument length, uint32_t flag,
                             MemoryHandle* info, MemoryHandle* pixels, ProgressCallback progress,
                             intptr_t user_value) {
  Text text;
  return (Plugins().image.*kExport)(SourceOf(source, flag, &text), length, flag, info, pixels,
                                    progress, user_value);
}

int32_t KRT_STDCALL ArchiveInfoW(const char* source, LengthArgument length, uint32_t flag,
                                 MemoryHandle* list) {
  Text text;
  return Plugins().archive.GetArchiveInfoW(SourceOf(source, flag, &text), length, flag, list);
}

int32_t KRT_STDCALL FileInfoW(const char* source, LengthArgument length, const char* name,
                              uint32_t flag, fileInfo* info) {
  Text text;
  fileInfoW wide{};
  if (info != nullptr) wide = Respelt<fileInfoW>(*info);
  const int32_t result = Plugins().archive.GetFileInfoW(
      SourceOf(source, flag, &text), length, name ? host::Utf16Of(name).c_str() : nullptr, flag,
      info ? &wide : nullptr);
  if (info != nullptr) *info = Respelt<fileInfo>(wide);
  return result;
}

int32_t KRT_STDCALL FileW(const char* source, LengthArgument position, char* destination,
                          uint32_t flag, ProgressCallback progress, intptr_t user_value) {
  Text text;
  Text folder = destination && !IsMemoryOutput(flag) ? host::Utf16Of(destination) : Text();
  WideChar* spelt = IsMemoryOutput(flag) || destination == nullptr
                        ? reinterpret_cast<WideChar*>(destination)
                        : folder.data();
  return Plugins().archive.GetFileW(SourceOf(source, flag, &text), position, spelt, flag, progress,
                                    user_value);
}

host::ImagePlugin ImageThroughW() {
  host::ImagePlugin plugin = Plugins().image;
  const bool whole = plugin.GetPluginInfoW && plugin.IsSupportedW && plugin.GetPictureInfoW &&
                     plugin.GetPictureW && plugin.GetPreviewW;
  if (!whole) ADD_FAILURE() << "IFKRT lacks a W export";
  plugin.GetPluginInfo = whole ? PluginInfoW<false> : nullptr;
  plugin.IsSupported = whole ? IsSupportedW<false> : nullptr;
  plugin.GetPictureInfo = whole ? PictureInfoW : nullptr;
  plugin.GetPicture = whole ? PictureW<&host::ImagePlugin::GetPictureW> : nullptr;
  plugin.GetPreview = whole ? PictureW<&host::ImagePlugin::GetPreviewW> : nullptr;
  return plugin;
}

host::ArchivePlugin ArchiveThroughW() {
  host::ArchivePlugin plugin = Plugins().archive;
  const bool whole = plugin.GetPluginInfoW && plugin.IsSupportedW && plugin.GetArchiveInfoW &&
                     plugin.GetFileInfoW && plugin.GetFileW;
  if (!whole) ADD_FAILURE() << "AXKRT lacks a W export";
  plugin.GetPluginInfo = whole ? PluginInfoW<true> : nullptr;
  plugin.IsSupported = whole ? IsSupportedW<true> : nullptr;
  plugin.GetArchiveInfo = whole ? ArchiveInfoW : nullptr;
  plugin.GetFileInfo = whole ? FileInfoW : nullptr;
  plugin.GetFile = whole ? FileW : nullptr;
  return plugin;
}

}  // namespace

fileInfo AnsiRecord(const fileInfoW& record) { return Respelt<fileInfo>(record); }

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
