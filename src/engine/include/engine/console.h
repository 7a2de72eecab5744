#pragma once
// What a command-line program gets from the system: its arguments and its
// standard streams.

#include <string>
#include <vector>

namespace pff {

/// The program's arguments after its own name, as UTF-8. On Windows they are
/// read from the UTF-16 command line, so that every name arrives whole
/// whatever the console's code page.
std::vector<std::string> ProgramArguments(int argc, char** argv);
/// Puts standard input, output and error in binary mode, so that every byte
/// passes as written (Windows would otherwise turn "\n" into "\r\n").
void UseBinaryStandardStreams();
/// Whether standard input is a terminal a person may answer questions on.
bool StandardInputIsTerminal();

}  // namespace pff
