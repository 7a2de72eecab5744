// "pff compact": rewriting an archive without its dead space.

#include <optional>
#include <string>

#include "cli/cli_port.h"
#include "cli/commands.h"
#include "cli/entry_lookup.h"
#include "editing/compact_archive.h"
#include "engine/control_text.h"

namespace pff::cli {

namespace {

int RunCompact(const ParsedArgs& args, Streams& streams) {
  if (args.Positionals.size() != 1) throw UsageError("expected one ARCHIVE");
  CliPort port(streams.In, streams.Err, streams.Interactive);
  ArchiveTable table;
  if (!OpenSingle(table, args.Positionals[0], port)) return kExitFailed;
  const std::optional<CompactResult> result = CompactArchive(table.Archive(1), args.Has("--force"), port);
  if (!result) return kExitFailed;
  streams.Out << EscapeControls(args.Positionals[0]) << ": " << result->BytesBefore - result->BytesAfter
              << " bytes reclaimed (" << result->BytesBefore << " -> " << result->BytesAfter << " bytes)\n";
  return kExitOk;
}

}  // namespace

const Command& CompactCommand() {
  static const Command command{
      "compact",
      "rewrite an archive without its dead space",
      "Usage: pff compact [--force] ARCHIVE\n"
      "Writes the live entries, in directory order and packed behind the header,\n"
      "with their directory into a new file beside ARCHIVE, flushes it and renames\n"
      "it over ARCHIVE: until then the old archive stays whole. Dead space is\n"
      "dropped; the header size, magic and record length are kept. Prints the\n"
      "bytes reclaimed. An archive in which \"pff check\" finds an error is refused.\n"
      "Compacting cannot be undone: \"pff undo\" keeps no step for it.\n\n"
      "  --force   compact even an archive that \"pff check\" finds in error\n",
      {{"--force"}},
      RunCompact,
  };
  return command;
}

}  // namespace pff::cli
