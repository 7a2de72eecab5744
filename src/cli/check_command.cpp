// "pff check": examining archives without changing them.

#include <string>

#include "cli/commands.h"
#include "engine/archive_check.h"
#include "engine/control_text.h"

namespace pff::cli {

namespace {

int RunCheck(const ParsedArgs& args, Streams& streams) {
  if (args.Positionals.empty()) throw UsageError("expected at least one ARCHIVE");
  const bool quiet = args.Has("--quiet");
  int status = kExitOk;
  for (const std::string& path : args.Positionals) {
    const CheckReport report = CheckArchive(path);
    for (const CheckFinding& finding : report.Findings) {
      if (quiet && finding.Level != Severity::Error) continue;
      streams.Out << EscapeControls(path + ": " + FindingText(finding)) << "\n";
    }
    streams.Out << EscapeControls(CheckSummary(report)) << "\n";
    if (report.Errors() > 0) status = kExitFailed;
  }
  return status;
}

}  // namespace

const Command& CheckCommand() {
  static const Command command{
      "check",
      "examine archives for damage without changing them",
      "Usage: pff check [--quiet] ARCHIVE...\n"
      "Prints one line per finding (\"ARCHIVE: error: ...\" or \"ARCHIVE: warning: ...\",\n"
      "with the entry index and name where one applies), then a summary line\n"
      "\"ARCHIVE: N errors, M warnings, K entries (J intact)\". Archives the editor\n"
      "refuses (a directory past the end of a truncated file, say) are read as far\n"
      "as they go. Exit status 0 when no archive has an error (warnings allowed).\n\n"
      "  --quiet   print only the errors and the summary lines\n",
      {{"--quiet"}},
      RunCheck,
  };
  return command;
}

}  // namespace pff::cli
