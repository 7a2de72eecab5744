// "pff new" and "pff info": making an empty archive and describing one.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "cli/cli_port.h"
#include "cli/commands.h"
#include "cli/entry_lookup.h"
#include "cli/json_output.h"
#include "editing/undo.h"
#include "engine/archive_table.h"
#include "engine/file_system.h"
#include "engine/pff_error.h"

namespace pff::cli {

namespace {

int RunNew(const ParsedArgs& args, Streams& streams) {
  bool oldFlavour = args.Has("--df1");
  bool newFlavour = args.Has("--df3");
  if (oldFlavour == newFlavour) throw UsageError("choose exactly one of --df1 and --df3");
  if (args.Positionals.size() != 1) throw UsageError("expected one ARCHIVE");
  const std::string& path = args.Positionals[0];

  // A link is there even when what it names is not.
  if (!args.Has("--force") && StatPath(path, false).Exists) {
    streams.Err << "pff: " << path << " already exists; use --force to replace it\n";
    return kExitFailed;
  }
  CliPort port(streams.In, streams.Err, streams.Interactive);
  ArchiveTable table;
  const Created created = CreateArchive(table, path, oldFlavour ? Flavour::Old : Flavour::New);
  if (created.Index != 0) {
    // The steps of an archive that had this name fit no longer.
    ForgetHistory(path);
    return kExitOk;
  }
  // Worded as the window words it, so that one search finds both.
  port.ReportError(Routine::NewArchiveCommand, created.Error);
  return kExitFailed;
}

// The magic is four raw bytes; anything unprintable is shown as an escape so
// that a foreign file cannot send control codes to the terminal.
std::string PrintableMagic(const std::array<char, 4>& magic) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (char c : magic) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      text += c;
    } else {
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 15];
    }
  }
  return text;
}

int RunInfo(const ParsedArgs& args, Streams& streams) {
  if (args.Positionals.size() != 1) throw UsageError("expected one ARCHIVE");
  CliPort port(streams.In, streams.Err, streams.Interactive);
  ArchiveTable table;
  if (!OpenSingle(table, args.Positionals[0], port)) return kExitFailed;
  const PffArchive& archive = table.Archive(1);
  const PffHeader& header = archive.Header;

  const EntryTotals totals = CountEntries(archive);
  std::optional<int64_t> fileSize;
  try {
    const FileStatus status = StatPath(archive.Path);
    if (status.IsRegular) fileSize = status.Size;
  } catch (const PffError&) {
    // Shown as unknown.
  }
  if (args.Has("--json")) {
    streams.Out << InfoJson(table, fileSize.has_value(), fileSize.value_or(0));
    return kExitOk;
  }

  std::ostream& out = streams.Out;
  out << "header_size: " << header.HeaderSize << "\n";
  out << "magic: " << PrintableMagic(header.Magic) << "\n";
  out << "entry_count: " << header.EntryCount << "\n";
  out << "entry_size: " << header.EntrySize << "\n";
  out << "dir_offset: " << header.DirOffset << "\n";
  out << "file_size: " << (fileSize ? std::to_string(*fileSize) : std::string("?")) << "\n";
  out << "live_entries: " << totals.Live << "\n";
  out << "dead_entries: " << totals.Dead << "\n";
  out << "dead_bytes: " << totals.DeadBytes << "\n";
  return kExitOk;
}

}  // namespace

const Command& NewCommand() {
  static const Command command{
      "new",
      "create an empty archive",
      "Usage: pff new (--df1|--df3) [--force] ARCHIVE\n"
      "Creates an empty archive (73 bytes).\n\n"
      "  --df1     the older flavour, \"DF1/DF2 Format\" (32-byte directory records)\n"
      "  --df3     the newer flavour, \"DF3 (DF:LW) Format\" (36-byte directory records)\n"
      "  --force   replace an existing file\n",
      {{"--df1"}, {"--df3"}, {"--force"}},
      RunNew,
  };
  return command;
}

const Command& InfoCommand() {
  static const Command command{
      "info",
      "show an archive's header and dead-space totals",
      "Usage: pff info [--json] ARCHIVE\n"
      "Prints \"key: value\" lines: header_size, magic, entry_count, entry_size,\n"
      "dir_offset, file_size, live_entries, dead_entries, dead_bytes.\n\n"
      "  --json   the same fields as one JSON document\n",
      {{"--json"}},
      RunInfo,
  };
  return command;
}

}  // namespace pff::cli
