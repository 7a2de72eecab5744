#ifdef _WIN32

// clang-format off
#include <windows.h>  // before shellapi.h, which needs its types
#include <shellapi.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "engine/console.h"
#include "win32_support.h"

namespace pff {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  // The narrow argv holds the arguments in the console's code page, where
  // a name it cannot show is already lost; the UTF-16 command line is whole.
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(win32::Utf8(wide[i]));
  ::LocalFree(wide);
  return args;
}

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

bool StandardInputIsTerminal() {
  // The runtime's isatty also says yes for NUL and other character devices.
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

}  // namespace pff

#endif  // _WIN32
