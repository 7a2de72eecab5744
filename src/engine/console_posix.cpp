#ifndef _WIN32

#include <unistd.h>

#include "engine/console.h"

namespace pff {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseBinaryStandardStreams() {
  // Streams carry bytes unchanged here already.
}

bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

}  // namespace pff

#endif  // _WIN32
