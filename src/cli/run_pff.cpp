#include "cli/run_pff.h"

#include <iostream>

#include "cli/commands.h"
#include "engine/console.h"
#include "engine/pff_archive.h"

namespace pff::cli {

namespace {

const std::vector<const Command*>& AllCommands() {
  static const std::vector<const Command*> commands = {
      &NewCommand(),    &InfoCommand(),   &ListCommand(),  &AddCommand(),     &ExtractCommand(),
      &CatCommand(),    &DeleteCommand(), &RenameCommand(), &CheckCommand(), &CompactCommand(),
      &UndoCommand(),   &RedoCommand(),   &HistoryCommand(),
  };
  return commands;
}

void PrintTopHelp(std::ostream& out) {
  out << "Usage: pff COMMAND [OPTIONS] ARGS...\n"
         "Reads and changes PFF resource archives. Every change is written at once.\n\n"
         "Commands:\n";
  for (const Command* command : AllCommands()) {
    std::string name = command->Name;
    out << "  " << name << std::string(10 - name.size(), ' ') << command->Summary << "\n";
  }
  out << "\nRun \"pff COMMAND --help\" for the options of a command.\n"
         "Exit status: 0 success, 1 an operation failed, 2 usage error.\n";
}

}  // namespace

int RunPff(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           bool interactive) {
  if (args.empty()) {
    PrintTopHelp(err);
    return kExitUsage;
  }
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintTopHelp(out);
    return kExitOk;
  }
  if (name == "--version") {
    out << "pff " << kVersion << "\n";
    return kExitOk;
  }
  const Command* command = nullptr;
  for (const Command* candidate : AllCommands()) {
    if (name == candidate->Name) command = candidate;
  }
  if (!command) {
    err << "pff: unknown command \"" << name << "\"\nRun \"pff --help\" for the list of commands.\n";
    return kExitUsage;
  }
  Streams streams{in, out, err, interactive};
  try {
    ParsedArgs parsed = ParseArgs(std::vector<std::string>(args.begin() + 1, args.end()), command->Options);
    if (parsed.Help) {
      out << command->Help;
      return kExitOk;
    }
    int status = command->Run(parsed, streams);
    out.flush();
    return status;
  } catch (const UsageError& e) {
    err << "pff " << command->Name << ": " << e.what() << "\nRun \"pff " << command->Name
        << " --help\" for its usage.\n";
    return kExitUsage;
  } catch (const std::exception& e) {
    // The engine reports its own failures; this is the last guard for the unexpected.
    err << "pff " << command->Name << ": " << e.what() << "\n";
    return kExitFailed;
  }
}

int RunPff(int argc, char** argv) {
  const std::vector<std::string> args = ProgramArguments(argc, argv);
  UseBinaryStandardStreams();
  std::ios::sync_with_stdio(false);
  return RunPff(args, std::cin, std::cout, std::cerr, StandardInputIsTerminal());
}

}  // namespace pff::cli
