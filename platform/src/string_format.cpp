// user32's wsprintfA: like sprintf, with Windows' limit of 1024 characters.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "windows.h"

extern "C" int wsprintfA(LPSTR out, LPCSTR format, ...) {
  if (out == nullptr || format == nullptr) return 0;
  char text[1025];
  va_list args;
  va_start(args, format);
  const int wanted = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (wanted < 0) {
    out[0] = '\0';
    return 0;
  }
  const size_t length = std::strlen(text);
  std::memcpy(out, text, length + 1);
  return static_cast<int>(length);
}
