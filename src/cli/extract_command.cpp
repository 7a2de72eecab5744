// "pff extract": copying entries out into a folder.

#include <string>
#include <vector>

#include "cli/cli_port.h"
#include "cli/commands.h"
#include "cli/entry_lookup.h"
#include "cli/filter_options.h"
#include "editing/extract_file.h"

namespace pff::cli {

namespace {

int RunExtract(const ParsedArgs& args, Streams& streams) {
  if (args.Positionals.empty()) throw UsageError("expected ARCHIVE [NAME...]");
  const FilterSettings filter = BuildFilter(args);
  if (filter.Active && args.Positionals.size() > 1)
    throw UsageError("give either NAMEs or filters, not both");
  const std::string folder = args.Last("-C").value_or(".");
  CliPort port(streams.In, streams.Err, streams.Interactive);
  ArchiveTable table;
  if (!OpenSingle(table, args.Positionals[0], port)) return kExitFailed;
  const PffArchive& archive = table.Archive(1);

  int status = kExitOk;
  std::vector<int> indices;
  if (args.Positionals.size() > 1) {
    indices = FindNamedEntries(archive, args.Positionals, 1, streams.Err, status);
  } else {
    // The entries "pff list" shows with the same options, in the same order.
    const bool all = args.Has("--all");
    const int count = static_cast<int>(archive.Entries.size());
    for (int i = 1; i <= count; ++i) {
      const PffEntry& entry = archive.Entry(i);
      if ((all || !IsDeadSpaceName(entry.Name)) && !IsFiltered(filter, entry)) indices.push_back(i);
    }
  }
  // One open archive and one look at the folder for all entries.
  Extraction extraction(archive, folder, port);
  if (!extraction.IsReady()) return kExitFailed;
  for (int index : indices) {
    if (!extraction.Extract(index)) status = kExitFailed;
  }
  return status;
}

}  // namespace

const Command& ExtractCommand() {
  static const Command command{
      "extract",
      "copy entries out into files",
      "Usage: pff extract [-C DIR] [--all] [FILTERS] ARCHIVE [NAME...]\n"
      "Writes the named entries (any letter case; the first of a name) or, with\n"
      "no NAME, every entry except dead space into DIR under their own names;\n"
      "the filters of \"pff list\" (--type, --exclude-type, --name, --min-size,\n"
      "--max-size, --from, --to) choose among them, as the list shows them.\n"
      "Existing files are replaced (a link there is replaced, not followed); each\n"
      "file gets the entry's stored time as its modification time.\n\n"
      "  -C DIR   the folder to write into (default: the current folder)\n"
      "  --all    with no NAME, dead space (\"<DEAD SPACE>\") too\n",
      WithFilterOptions({{"-C", true}, {"--all"}}),
      RunExtract,
  };
  return command;
}

}  // namespace pff::cli
