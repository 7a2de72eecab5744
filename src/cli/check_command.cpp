// "pff check": examining archives without changing them.

#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/json_output.h"
#include "engine/archive_check.h"
#include "engine/control_text.h"

namespace pff::cli {

namespace {

int RunCheck(const ParsedArgs& args, Streams& streams) {
  if (args.Positionals.empty()) throw UsageError("expected at least one ARCHIVE");
  const bool quiet = args.Has("--quiet");
  const bool json = args.Has("--json");
  if (quiet && json) throw UsageError("choose one of --quiet and --json");
  int status = kExitOk;
  std::vector<CheckReport> reports;
  for (const std::string& path : args.Positionals) {
    CheckReport report = CheckArchive(path);
    if (report.Errors() > 0) status = kExitFailed;
    if (json) {
      reports.push_back(std::move(report));
      continue;
    }
    for (const CheckFinding& finding : report.Findings) {
      if (quiet && finding.Level != Severity::Error) continue;
      streams.Out << EscapeControls(path + ": " + FindingText(finding)) << "\n";
    }
    streams.Out << EscapeControls(CheckSummary(report)) << "\n";
  }
  if (json) streams.Out << CheckReportsJson(reports);
  return status;
}

}  // namespace

const Command& CheckCommand() {
  static const Command command{
      "check",
      "examine archives for damage without changing them",
      "Usage: pff check [--quiet|--json] ARCHIVE...\n"
      "Prints one line per finding (\"ARCHIVE: error: ...\" or \"ARCHIVE: warning: ...\",\n"
      "with the entry index and name where one applies), then a summary line\n"
      "\"ARCHIVE: N errors, M warnings, K entries (J intact)\". Archives the editor\n"
      "refuses (a directory past the end of a truncated file, say) are read as far\n"
      "as they go. Exit status 0 when no archive has an error (warnings allowed).\n\n"
      "  --quiet   print only the errors and the summary lines\n"
      "  --json    one JSON document: per archive its counts and findings\n",
      {{"--quiet"}, {"--json"}},
      RunCheck,
  };
  return command;
}

}  // namespace pff::cli
