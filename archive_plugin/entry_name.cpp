#include "entry_name.h"

#include <cstddef>
#include <cstdint>

namespace krt::archive {
namespace {

constexpr char kExtension[] = ".2D";
constexpr size_t kExtensionAt = 3;
constexpr size_t kExtensionLength = sizeof kExtension - 1;

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameCharacter(char a, char b, bool ignore_case) {
  return ignore_case ? AsciiUpper(a) == AsciiUpper(b) : a == b;
}

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool HasExtensionAt(const char* name, size_t at, bool ignore_case) {
  // A mismatch stops the comparison, so nothing past a terminating zero is read.
  for (size_t k = 0; k < kExtensionLength; ++k) {
    if (!SameCharacter(name[at + k], kExtension[k], ignore_case)) return false;
  }
  return true;
}

}  // namespace

bool IsEntryName(const char* name, bool ignore_case) {
  if (name == nullptr) return false;
  // Every character before the extension is looked at first, so a short
  // name's terminating zero stops the check before anything beyond it.
  for (size_t at = 0; at < kExtensionAt; ++at) {
    if (name[at] == '\0') return false;
  }
  return HasExtensionAt(name, kExtensionAt, ignore_case);
}

int32_t EntryIndexOfName(const char* name) {
  // The extension's '.' ends the number at the latest, so it has at most
  // three digits and cannot overflow.
  size_t at = 0;
  while (at < kExtensionAt && IsWhiteSpace(name[at])) ++at;
  bool negative = false;
  if (at < kExtensionAt && (name[at] == '+' || name[at] == '-')) {
    negative = name[at] == '-';
    ++at;
  }
  int32_t number = 0;
  while (at < kExtensionAt && IsDigit(name[at])) {
    number = number * 10 + (name[at] - '0');
    ++at;
  }
  return negative ? -number : number;
}

bool IsLongEntryName(const char* name, bool ignore_case, int32_t* index) {
  if (name == nullptr || name[0] == '0') return false;
  // Counted in 64 bits and held at INT32_MAX, so any number of digits is safe.
  int64_t number = 0;
  size_t at = 0;
  while (IsDigit(name[at])) {
    number = number * 10 + (name[at] - '0');
    if (number > INT32_MAX) number = INT32_MAX;
    ++at;
  }
  if (at <= kExtensionAt || !HasExtensionAt(name, at, ignore_case)) return false;
  if (name[at + kExtensionLength] != '\0') return false;
  *index = static_cast<int32_t>(number);
  return true;
}

}  // namespace krt::archive
