#include "plugin_calls.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <limits>
#include <type_traits>

namespace krt::host {
namespace {

bool Touched(MemoryHandle slot) { return slot != UntouchedSlot(); }

// The code point of the UTF-8 sequence at `at`, and its length; U+FFFD and 1
// for a byte that starts no well-formed sequence.
uint32_t DecodeUtf8(const std::string& text, size_t at, size_t* length) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[at + k]); };
  const uint8_t lead = byte(0);
  *length = 1;
  if (lead < 0x80) return lead;
  const size_t count = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (count == 0 || count > 4 || at + count > text.size()) return 0xFFFD;
  uint32_t code = lead & (0x7F >> count);
  for (size_t k = 1; k < count; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return 0xFFFD;
    code = (code << 6) | (byte(k) & 0x3F);
  }
  const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < least[count] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0xFFFD;
  *length = count;
  return code;
}

template <typename To, typename From>
To Unit(From c) {
  const auto code = static_cast<std::make_unsigned_t<From>>(c);
  if constexpr (sizeof(To) == 1) return static_cast<To>(code <= 0xFF ? code : 0x7F);
  return static_cast<To>(code);
}

template <typename To, typename From>
To Respelt(const From& from) {
  using ToChar = std::remove_cvref_t<decltype(To{}.path[0])>;
  To to;
  std::memcpy(&to, &from, offsetof(From, path));
  for (size_t k = 0; k < std::size(to.path); ++k) {
    to.path[k] = Unit<ToChar>(from.path[k]);
    to.filename[k] = Unit<ToChar>(from.filename[k]);
  }
  std::memcpy(reinterpret_cast<uint8_t*>(&to) + offsetof(To, crc),
              reinterpret_cast<const uint8_t*>(&from) + offsetof(From, crc),
              sizeof to - offsetof(To, crc));
  return to;
}

}  // namespace

fileInfo AnsiRecordOf(const fileInfoW& record) { return Respelt<fileInfo>(record); }
fileInfoW WideRecordOf(const fileInfo& record) { return Respelt<fileInfoW>(record); }

std::basic_string<WideChar> Utf16Of(const std::string& utf8) {
  std::basic_string<WideChar> wide;
  for (size_t at = 0; at < utf8.size();) {
    size_t length = 0;
    const uint32_t code = DecodeUtf8(utf8, at, &length);
    at += length;
    if (code < 0x10000) {
      wide.push_back(static_cast<WideChar>(code));
    } else {
      wide.push_back(static_cast<WideChar>(0xD800 + ((code - 0x10000) >> 10)));
      wide.push_back(static_cast<WideChar>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    }
  }
  return wide;
}

CallSource FileSource(const std::string& path, int32_t offset) {
  return CallSource{path.c_str(), offset, kFileInput};
}

bool FitsLengthArgument(const std::vector<uint8_t>& image) {
  return image.size() <= size_t{std::numeric_limits<int32_t>::max()};
}

CallSource MemorySource(const std::vector<uint8_t>& image) {
  return CallSource{reinterpret_cast<const char*>(image.data()), static_cast<int32_t>(image.size()),
                    kMemoryInput};
}

MemoryHandle UntouchedSlot() { return reinterpret_cast<MemoryHandle>(uintptr_t{0x5A5A5A5A}); }

TakenBlock TakeHandedOverBlock(MemoryHandle handle) {
  TakenBlock taken;
  if (handle == nullptr) {
    taken.error = "the plug-in reported success but handed over no memory block";
    return taken;
  }
  HLOCAL block = static_cast<HLOCAL>(handle);
  const SIZE_T size = LocalSize(block);
  const auto* locked = static_cast<const uint8_t*>(LocalLock(block));
  if (locked == nullptr) {
    taken.error = "the memory block handed over by the plug-in cannot be locked";
    taken.freed = LocalFree(block) == nullptr;
    return taken;
  }
  taken.bytes.assign(locked, locked + size);
  taken.was_locked = LocalUnlock(block) != FALSE;
  taken.freed = LocalFree(block) == nullptr;
  taken.taken = true;
  return taken;
}

void FreeHandedOverBlock(MemoryHandle handle) {
  if (handle != nullptr && Touched(handle)) LocalFree(static_cast<HLOCAL>(handle));
}

PictureCall CallGetPicture(const ImagePlugin& plugin, const CallSource& source,
                           ProgressHook progress) {
  PictureCall call;
  MemoryHandle info = UntouchedSlot();
  MemoryHandle pixels = UntouchedSlot();
  call.result = plugin.GetPicture(source.source, source.offset_or_length, source.flag, &info,
                                  &pixels, progress.callback, progress.user_value);
  if (call.result != kSuccess) {
    call.slots_untouched = !Touched(info) && !Touched(pixels);
    FreeHandedOverBlock(info);
    FreeHandedOverBlock(pixels);
    return call;
  }
  call.info = Touched(info) ? info : nullptr;
  call.pixels = Touched(pixels) ? pixels : nullptr;
  return call;
}

ListCall CallGetArchiveInfo(const ArchivePlugin& plugin, const CallSource& source) {
  ListCall call;
  MemoryHandle list = UntouchedSlot();
  call.result = plugin.GetArchiveInfo(source.source, source.offset_or_length, source.flag, &list);
  if (call.result != kSuccess) {
    call.slot_cleared = list == nullptr;
    FreeHandedOverBlock(list);
    return call;
  }
  call.list = Touched(list) ? list : nullptr;
  return call;
}

FileCall CallGetFileToMemory(const ArchivePlugin& plugin, const CallSource& source,
                             ProgressHook progress) {
  FileCall call;
  MemoryHandle block = UntouchedSlot();
  call.result =
      plugin.GetFile(source.source, source.offset_or_length, reinterpret_cast<char*>(&block),
                     source.flag | kMemoryOutput, progress.callback, progress.user_value);
  if (call.result != kSuccess) {
    call.slot_untouched = !Touched(block);
    FreeHandedOverBlock(block);
    return call;
  }
  call.block = Touched(block) ? block : nullptr;
  return call;
}

int32_t CallGetFileToDisk(const ArchivePlugin& plugin, const CallSource& source,
                          const std::string& destination, ProgressHook progress) {
  // The plug-in takes the destination as a writable string.
  std::vector<char> path(destination.begin(), destination.end());
  path.push_back('\0');
  return plugin.GetFile(source.source, source.offset_or_length, path.data(),
                        source.flag | kDiskOutput, progress.callback, progress.user_value);
}

}  // namespace krt::host
