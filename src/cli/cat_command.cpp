// "pff cat": one entry's bytes to standard output, for scripts that pipe an
// entry on without a temporary file.

#include <string>
#include <vector>

#include "cli/cli_port.h"
#include "cli/commands.h"
#include "cli/entry_lookup.h"
#include "editing/read_entry.h"
#include "engine/control_text.h"
#include "engine/pff_error.h"

namespace pff::cli {

namespace {

constexpr size_t kPiece = size_t{1} << 20;

int RunCat(const ParsedArgs& args, Streams& streams) {
  if (args.Positionals.size() != 2) throw UsageError("expected ARCHIVE NAME");
  CliPort port(streams.In, streams.Err, false);
  ArchiveTable table;
  if (!OpenSingle(table, args.Positionals[0], port)) return kExitFailed;
  const PffArchive& archive = table.Archive(1);
  int status = kExitOk;
  const std::vector<int> found = FindNamedEntries(archive, args.Positionals, 1, streams.Err, status);
  if (found.empty()) return status;
  const PffEntry& entry = archive.Entry(found.front());
  try {
    // In pieces: an entry may be nearly 2 GiB.
    for (int64_t at = 0; at < entry.DataSize; at += static_cast<int64_t>(kPiece)) {
      const std::vector<uint8_t> piece = ReadEntryBytes(archive.Path, entry, at, kPiece);
      if (piece.empty()) throw PffError(archive.Path + ": the entry ends early");
      streams.Out.write(reinterpret_cast<const char*>(piece.data()),
                        static_cast<std::streamsize>(piece.size()));
      if (!streams.Out) throw PffError("standard output cannot be written");
    }
  } catch (const PffError& e) {
    streams.Err << "pff cat: " << EscapeControls(e.what()) << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

const Command& CatCommand() {
  static const Command command{
      "cat",
      "write one entry's bytes to standard output",
      "Usage: pff cat ARCHIVE NAME\n"
      "Writes the bytes of the entry NAME (any letter case; the first of a name)\n"
      "to standard output as they are stored, for a pipe or a redirection.\n",
      {},
      RunCat,
  };
  return command;
}

}  // namespace pff::cli
