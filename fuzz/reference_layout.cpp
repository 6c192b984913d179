#include "reference_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace krt::fuzz {
namespace {

constexpr char kMagic[] = "SEGA SATURN SCR";
constexpr size_t kMagicLength = 15;

uint32_t Be32(const uint8_t* at) {
  return (uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) | at[3];
}

bool HasMagic(const uint8_t* at) { return std::memcmp(at, kMagic, kMagicLength) == 0; }

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool HeaderIsValid(const uint8_t* header, uint64_t length) {
  if (!HasMagic(header)) return false;
  uint64_t end = kScreenHeaderSize;
  for (int k = 0; k < 4; ++k) {
    const uint64_t offset = Be32(header + 16 + 16 * k);
    const uint64_t size = Be32(header + 20 + 16 * k);
    if (offset < end) return false;
    end = offset + size;
  }
  return end <= length;
}

std::optional<FoundScreen> LocateScreen(const uint8_t* window, uint64_t available) {
  uint32_t p = 0;
  while (p <= 60 && !HasMagic(window + p)) p += 4;
  if (p > 60) return std::nullopt;
  uint64_t previous_end = kScreenHeaderSize;
  for (int k = 1; k <= 5; ++k) {
    const uint64_t offset = Be32(window + p + 16 * k);
    if (k == 5 && offset == 0) break;
    const uint64_t size = Be32(window + p + 16 * k + 4);
    if (previous_end > offset) return std::nullopt;
    previous_end = offset + size;
  }
  if (p + previous_end > available) return std::nullopt;
  return FoundScreen{p, previous_end};
}

std::vector<PackEntry> WalkPack(const uint8_t* pack, size_t size, size_t start) {
  std::vector<PackEntry> entries;
  uint64_t offset = start;
  while (offset + kScanWindowSize <= size) {
    const auto found = LocateScreen(pack + offset, size - offset);
    if (!found) break;
    const uint64_t position = offset + found->magic_offset;
    entries.push_back({position, found->screen_extent});
    offset = position + found->screen_extent;
  }
  return entries;
}

std::optional<int32_t> EntryIndexOfName(const char* name, uint32_t flag) {
  if (std::strlen(name) < 6) return std::nullopt;
  const bool ignore_case = (flag & 0x80) != 0;
  const char* suffix = ".2D";
  // The listing's own names from index 1000 on: four or more digits, no
  // leading zero, the suffix, and nothing after it.
  const size_t digits = std::strspn(name, "0123456789");
  if (digits >= 4 && name[0] != '0' && std::strlen(name) == digits + 3) {
    bool suffixed = true;
    for (size_t i = 0; i < 3; ++i) {
      const char c = ignore_case ? Upper(name[digits + i]) : name[digits + i];
      suffixed = suffixed && c == suffix[i];
    }
    if (suffixed) {
      int64_t number = 0;
      for (size_t i = 0; i < digits; ++i) number = std::min<int64_t>(number * 10 + (name[i] - '0'), INT32_MAX);
      return static_cast<int32_t>(number);
    }
  }
  for (int i = 0; i < 3; ++i) {
    const char c = ignore_case ? Upper(name[3 + i]) : name[3 + i];
    if (c != suffix[i]) return std::nullopt;
  }
  const char* at = name;
  while (IsBlank(*at)) ++at;
  bool negative = false;
  if (*at == '+' || *at == '-') negative = *at++ == '-';
  int32_t index = 0;
  while (*at >= '0' && *at <= '9') index = index * 10 + (*at++ - '0');
  return negative ? -index : index;
}

}  // namespace krt::fuzz
