// The 15 characters that open every screen header. IFKRT also answers them as
// its format name, so one stored text serves both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace krt {

inline constexpr char kScreenMagic[] = "SEGA SATURN SCR";
inline constexpr size_t kScreenMagicLength = sizeof kScreenMagic - 1;

inline bool HasScreenMagic(const uint8_t* at) {
  return std::memcmp(at, kScreenMagic, kScreenMagicLength) == 0;
}

}  // namespace krt
