#pragma once
// The pff commands: each declares its options and help, and runs on the
// parsed words with the streams of one invocation.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "cli/args.h"

namespace pff::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Streams {
  std::istream& In;
  std::ostream& Out;
  std::ostream& Err;
  bool Interactive;  // stdin is a terminal: questions may be asked
};

struct Command {
  const char* Name;
  const char* Summary;  // one line for the top-level help
  const char* Help;     // the whole text of "pff NAME --help"
  std::vector<OptionSpec> Options;
  /// Runs the command; returns the exit status or throws UsageError.
  int (*Run)(const ParsedArgs& args, Streams& streams);
};

const Command& NewCommand();
const Command& InfoCommand();
const Command& ListCommand();
const Command& AddCommand();
const Command& ExtractCommand();
const Command& CatCommand();
const Command& DeleteCommand();
const Command& RenameCommand();
const Command& CheckCommand();
const Command& CompactCommand();
const Command& UndoCommand();
const Command& RedoCommand();
const Command& HistoryCommand();

}  // namespace pff::cli
