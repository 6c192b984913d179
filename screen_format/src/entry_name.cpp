#include "screen_format/entry_name.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "plugin_interface.h"

namespace krt::archive {
namespace {

constexpr char kExtension[] = ".2D";
constexpr size_t kExtensionAt = 3;
constexpr size_t kExtensionLength = sizeof kExtension - 1;

// Characters are compared as code values, so a byte above 127 or a UTF-16
// unit outside ASCII is never a letter, digit or white space here.
template <typename Char>
uint32_t CodeOf(Char c) {
  return static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(c));
}

uint32_t AsciiUpper(uint32_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

template <typename Char>
bool SameCharacter(Char a, char b, bool ignore_case) {
  const uint32_t code = CodeOf(a);
  const uint32_t wanted = CodeOf(b);
  return ignore_case ? AsciiUpper(code) == AsciiUpper(wanted) : code == wanted;
}

template <typename Char>
bool IsWhiteSpace(Char c) {
  return CodeOf(c) == ' ' || (CodeOf(c) >= '\t' && CodeOf(c) <= '\r');
}

template <typename Char>
bool IsDigit(Char c) {
  return CodeOf(c) >= '0' && CodeOf(c) <= '9';
}

template <typename Char>
int32_t DigitValue(Char c) {
  return static_cast<int32_t>(CodeOf(c) - '0');
}

template <typename Char>
bool HasExtensionAt(const Char* name, size_t at, bool ignore_case) {
  // A mismatch stops the comparison, so nothing past a terminating zero is read.
  for (size_t k = 0; k < kExtensionLength; ++k) {
    if (!SameCharacter(name[at + k], kExtension[k], ignore_case)) return false;
  }
  return true;
}

}  // namespace

template <typename Char>
bool IsEntryName(const Char* name, bool ignore_case) {
  if (name == nullptr) return false;
  // Every character before the extension is looked at first, so a short
  // name's terminating zero stops the check before anything beyond it.
  for (size_t at = 0; at < kExtensionAt; ++at) {
    if (name[at] == 0) return false;
  }
  return HasExtensionAt(name, kExtensionAt, ignore_case);
}

template <typename Char>
int32_t EntryIndexOfName(const Char* name) {
  // The extension's '.' ends the number at the latest, so it has at most
  // three digits and cannot overflow.
  size_t at = 0;
  while (at < kExtensionAt && IsWhiteSpace(name[at])) ++at;
  bool negative = false;
  if (at < kExtensionAt && (CodeOf(name[at]) == '+' || CodeOf(name[at]) == '-')) {
    negative = CodeOf(name[at]) == '-';
    ++at;
  }
  int32_t number = 0;
  while (at < kExtensionAt && IsDigit(name[at])) {
    number = number * 10 + DigitValue(name[at]);
    ++at;
  }
  return negative ? -number : number;
}

template <typename Char>
bool IsLongEntryName(const Char* name, bool ignore_case, int32_t* index) {
  if (name == nullptr || CodeOf(name[0]) == '0') return false;
  // Counted in 64 bits and held at INT32_MAX, so any number of digits is safe.
  int64_t number = 0;
  size_t at = 0;
  while (IsDigit(name[at])) {
    number = number * 10 + DigitValue(name[at]);
    if (number > INT32_MAX) number = INT32_MAX;
    ++at;
  }
  if (at <= kExtensionAt || !HasExtensionAt(name, at, ignore_case)) return false;
  if (name[at + kExtensionLength] != 0) return false;
  *index = static_cast<int32_t>(number);
  return true;
}

template bool IsEntryName(const char*, bool);
template bool IsEntryName(const WideChar*, bool);
template int32_t EntryIndexOfName(const char*);
template int32_t EntryIndexOfName(const WideChar*);
template bool IsLongEntryName(const char*, bool, int32_t*);
template bool IsLongEntryName(const WideChar*, bool, int32_t*);

}  // namespace krt::archive
