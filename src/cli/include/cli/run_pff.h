#pragma once
// The whole pff tool behind main(), callable from tests and benchmarks.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace pff::cli {

/// Runs "pff ARGS..." (args without the program name) on the given streams.
/// Returns the exit status: 0 success, 1 an operation failed, 2 usage error.
int RunPff(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           bool interactive);

/// Runs the tool on the process's own arguments and standard streams.
int RunPff(int argc, char** argv);

}  // namespace pff::cli
