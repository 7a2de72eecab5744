// "pff undo", "pff redo" and "pff history": the steps kept for an archive's changes.

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_port.h"
#include "cli/commands.h"
#include "cli/entry_lookup.h"
#include "cli/json_output.h"
#include "editing/undo.h"
#include "engine/control_text.h"
#include "engine/file_time.h"
#include "engine/pff_error.h"
#include "listing/format_value.h"

namespace pff::cli {

namespace {

// The engine's descriptions mostly name the file already; one that does not
// gets it in front, as a failed open reports it.
std::string NamingArchive(const std::string& what, const std::string& path) {
  return what.find(path) != std::string::npos ? what : path + ": " + what;
}

int RunStep(const ParsedArgs& args, Streams& streams, bool redo) {
  if (args.Positionals.size() != 1) throw UsageError("expected one ARCHIVE");
  // Opening first undoes a change that was cut short, so that the step meets
  // the archive as the last whole change left it.
  CliPort port(streams.In, streams.Err, streams.Interactive);
  ArchiveTable table;
  if (!OpenSingle(table, args.Positionals[0], port)) return kExitFailed;
  PffArchive& archive = table.Archive(1);
  StepResult result;
  try {
    result = redo ? RedoChange(archive) : UndoChange(archive);
  } catch (const PffError& e) {
    streams.Err << "pff: " << EscapeControls(NamingArchive(e.what(), archive.Path)) << "\n";
    return kExitFailed;
  }
  if (result.Outcome == StepOutcome::Applied) {
    streams.Out << EscapeControls(result.Message) << "\n";
    return kExitOk;
  }
  streams.Err << "pff: " << EscapeControls(result.Message) << "\n";
  return kExitFailed;
}

int RunUndo(const ParsedArgs& args, Streams& streams) { return RunStep(args, streams, false); }
int RunRedo(const ParsedArgs& args, Streams& streams) { return RunStep(args, streams, true); }

// One line of the history: number, local time as "pff list" shows times, what
// the change was, the bytes its step keeps, and whether it could be redone.
struct StepLine {
  std::string Number, Time, Phrase, Bytes;
  bool Redoable = true;
};

StepLine LineOf(const UndoStep& step, size_t number) {
  const std::optional<int32_t> local = FileTimeFromUnix(step.Time, 0);
  return StepLine{std::to_string(number), local ? FormatFileDate(*local, DateStyle::Good) : "?",
                  StepPhrase(step.Label), GroupDigits(step.Bytes) + " bytes", step.Redoable};
}

std::string Padded(const std::string& text, size_t width, bool right) {
  const std::string pad(width > text.size() ? width - text.size() : 0, ' ');
  return right ? pad + text : text + pad;
}

void PrintHistory(const UndoHistory& history, std::ostream& out) {
  std::vector<StepLine> done, undone;
  for (size_t i = 0; i < history.Done.size(); ++i) done.push_back(LineOf(history.Done[i], i + 1));
  for (size_t i = 0; i < history.Undone.size(); ++i) undone.push_back(LineOf(history.Undone[i], i + 1));
  // Both lists share their columns, so that they read as one table.
  size_t widths[4] = {};
  for (const auto* lines : {&done, &undone}) {
    for (const StepLine& line : *lines) {
      widths[0] = std::max(widths[0], line.Number.size());
      widths[1] = std::max(widths[1], line.Time.size());
      widths[2] = std::max(widths[2], line.Phrase.size());
      widths[3] = std::max(widths[3], line.Bytes.size());
    }
  }
  const auto print = [&](const char* heading, const std::vector<StepLine>& lines) {
    out << heading << (lines.empty() ? " none\n" : "\n");
    for (const StepLine& line : lines) {
      out << "  " << Padded(line.Number, widths[0], true) << "  " << Padded(line.Time, widths[1], false) << "  "
          << Padded(line.Phrase, widths[2], false) << "  " << Padded(line.Bytes, widths[3], true)
          << (line.Redoable ? "" : "  cannot be redone") << "\n";
    }
  };
  print("Done, oldest first (\"pff undo\" takes the last):", done);
  print("Undone (\"pff redo\" takes the first):", undone);
}

int RunHistory(const ParsedArgs& args, Streams& streams) {
  if (args.Positionals.size() != 1) throw UsageError("expected one ARCHIVE");
  CliPort port(streams.In, streams.Err, streams.Interactive);
  ArchiveTable table;
  if (!OpenSingle(table, args.Positionals[0], port)) return kExitFailed;
  const std::string& path = table.Archive(1).Path;
  const UndoHistory history = ReadHistory(path);
  if (args.Has("--json")) {
    streams.Out << HistoryJson(path, history);
  } else {
    PrintHistory(history, streams.Out);
  }
  return kExitOk;
}

}  // namespace

const Command& UndoCommand() {
  static const Command command{
      "undo",
      "take back the last change to an archive",
      "Usage: pff undo ARCHIVE\n"
      "Puts ARCHIVE back as it was before its last change (add, replace, delete,\n"
      "rename, putting an edited entry back) and prints what was undone,\n"
      "e.g. \"Undid: delete of 3 entries\". Refuses, writing nothing, when the\n"
      "archive is no longer exactly as that change left it. Exit status 1 when\n"
      "there is nothing to undo. Creating and compacting cannot be undone.\n",
      {},
      RunUndo,
  };
  return command;
}

const Command& RedoCommand() {
  static const Command command{
      "redo",
      "make the change undone last again",
      "Usage: pff redo ARCHIVE\n"
      "Makes the change \"pff undo\" took back last again and prints it, e.g.\n"
      "\"Redid: delete of 3 entries\". Refuses, writing nothing, when the archive\n"
      "is no longer exactly as the undo left it, and for a change that wrote\n"
      "more than 64 MiB (it can be undone, not redone). A new change drops what\n"
      "could be redone. Exit status 1 when there is nothing to redo.\n",
      {},
      RunRedo,
  };
  return command;
}

const Command& HistoryCommand() {
  static const Command command{
      "history",
      "list the changes that can be undone and redone",
      "Usage: pff history [--json] ARCHIVE\n"
      "Lists the steps kept for ARCHIVE: those that can be undone, oldest first\n"
      "(\"pff undo\" takes the last), then those that can be redone (\"pff redo\"\n"
      "takes the first), each with its time, the change and the bytes it keeps.\n"
      "Steps are kept in $XDG_STATE_HOME/vellumcraft/undo/ (by default\n"
      "~/.local/state/vellumcraft/undo/; %LOCALAPPDATA%\\vellumcraft\\undo\\ on\n"
      "Windows): at most 20 steps and 256 MiB per archive, the oldest dropped first.\n\n"
      "  --json   one JSON document: the archive and its done and undone steps\n",
      {{"--json"}},
      RunHistory,
  };
  return command;
}

}  // namespace pff::cli
