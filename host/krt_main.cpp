// krt: a command-line host for the screen plug-ins.
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <iostream>
#include <string>
#include <vector>

#include "krt_run.h"

int main(int argc, char** argv) {
#if defined(_WIN32)
  const bool err_is_terminal = _isatty(_fileno(stderr)) != 0;
#else
  const bool err_is_terminal = isatty(STDERR_FILENO) != 0;
#endif
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const krt::host::Console console{std::cout, std::cerr, err_is_terminal};
  const int status = krt::host::RunKrt(arguments, console);
  std::cout.flush();
  return status;
}
