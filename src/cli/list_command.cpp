// "pff list": the grid's rows for one or more archives, as an aligned table
// or as tab-separated raw values.

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "cli/cli_port.h"
#include "cli/commands.h"
#include "cli/entry_lookup.h"
#include "cli/filter_options.h"
#include "cli/json_output.h"
#include "engine/control_text.h"
#include "engine/name_helpers.h"
#include "engine/text_encoding.h"
#include "listing/filter.h"
#include "listing/grid_rows.h"

namespace pff::cli {

namespace {

// Entry names are raw bytes from the file: a tab or line break inside one
// would split a record, so these (and the escape character) are escaped, and
// every other control character is written \xHH.
std::string TsvField(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return EscapeControls(out);
}

// Control characters in a name could drive the terminal.
std::string ScreenText(std::string utf8) {
  // Nearly every cell holds no control character: it is kept as it is.
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || byte == 0xC2) return EscapeControls(utf8);
  }
  return utf8;
}

size_t DisplayWidth(const std::string& utf8) {
  size_t width = 0;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
  }
  return width;
}

void PrintTsv(const ArchiveTable& table, const std::vector<GridRow>& rows, std::ostream& out) {
  out << "archive\tindex\tdead\toffset\tsize\ttime\tname\n";
  for (const GridRow& row : rows) {
    const PffArchive& archive = table.Archive(row.Archive);
    const PffEntry& entry = archive.Entry(row.Entry);
    out << TsvField(GetFileName(archive.Path)) << '\t' << row.Entry << '\t' << entry.DeadFlag << '\t'
        << entry.DataOffset << '\t' << entry.DataSize << '\t' << entry.FileTime << '\t'
        << TsvField(DisplayName(entry.Name)) << '\n';
  }
}

void PrintTable(const ArchiveTable& table, const std::vector<GridRow>& rows, DateStyle dateStyle,
                std::ostream& out) {
  // One flat table of cells and their widths: a listing may have 131,068 lines.
  const size_t lines = rows.size() + 1;
  std::vector<std::string> cells(lines * kVisibleColumns);
  std::vector<size_t> cellWidths(cells.size());
  for (int column = 0; column < kVisibleColumns; ++column) cells[column] = GridHeaderText(column);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (int column = 0; column < kVisibleColumns; ++column) {
      cells[(r + 1) * kVisibleColumns + column] = ScreenText(GridCellText(table, rows[r], column, dateStyle));
    }
  }
  size_t widths[kVisibleColumns] = {};
  for (size_t i = 0; i < cells.size(); ++i) {
    cellWidths[i] = DisplayWidth(cells[i]);
    widths[i % kVisibleColumns] = std::max(widths[i % kVisibleColumns], cellWidths[i]);
  }
  std::string text;
  for (size_t line = 0; line < lines; ++line) {
    text.clear();
    for (int column = 0; column < kVisibleColumns; ++column) {
      const size_t i = line * kVisibleColumns + column;
      const size_t pad = widths[column] - cellWidths[i];
      if (column > 0) text += ' ';
      if (column == kSizeColumn) text.append(pad, ' ');
      text += cells[i];
      if (column != kSizeColumn) text.append(pad, ' ');
    }
    text.erase(text.find_last_not_of(' ') + 1);
    text += '\n';
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
}

int RunList(const ParsedArgs& args, Streams& streams) {
  if (args.Positionals.empty()) throw UsageError("expected at least one ARCHIVE");
  if (args.Has("--tsv") && args.Has("--json")) throw UsageError("choose one of --tsv and --json");
  DateStyle dateStyle = DateStyle::Good;
  if (auto style = args.Last("--time-style")) {
    if (*style == "bad") {
      dateStyle = DateStyle::Bad;
    } else if (*style != "good") {
      throw UsageError("--time-style is good or bad, not \"" + *style + "\"");
    }
  }
  FilterSettings filter = BuildFilter(args);

  CliPort port(streams.In, streams.Err, streams.Interactive);
  ArchiveTable table;
  int status = kExitOk;
  for (const std::string& path : args.Positionals) {
    // Naming an archive twice lists it once, as opening it twice in the window does.
    if (IsFileOpen(table, path)) continue;
    if (!OpenFile(table, path, port)) status = kExitFailed;
  }
  std::vector<GridRow> rows = ListGridRows(table, kAllArchives, args.Has("--all"), filter);
  if (args.Has("--json")) {
    streams.Out << ListJson(table, rows);
  } else if (table.Count() == 0) {
    // Nothing opened: a bare header would read as "opened, but empty".
  } else if (args.Has("--tsv")) {
    PrintTsv(table, rows, streams.Out);
  } else {
    PrintTable(table, rows, dateStyle, streams.Out);
  }
  return status;
}

}  // namespace

const Command& ListCommand() {
  static const Command command{
      "list",
      "list the entries of archives",
      "Usage: pff list [--all] [--tsv|--json] [--time-style good|bad] [FILTERS] ARCHIVE...\n"
      "Lists the entries of the archives in order, as the window's grid does.\n\n"
      "  --all                  also list dead space (\"<DEAD SPACE>\")\n"
      "  --tsv                  tab-separated raw values: archive, index, dead, offset,\n"
      "                         size, time, name (tab, CR, LF and \\ escaped as \\t \\r \\n \\\\,\n"
      "                         other control characters as \\xHH)\n"
      "  --json                 one JSON document: archives with header fields and entries\n"
      "  --time-style STYLE     good: dd/mm/yy HH:MM:SS (default); bad: mm/dd/yy hh:MM:SS AM\n\n"
      "Filters (an entry is listed only if it passes all of them):\n"
      "  --type TYPE            only entries of this type, e.g. PCX (repeatable)\n"
      "  --exclude-type TYPE    no entries of this type (repeatable)\n"
      "  --name TEXT            names containing TEXT, any letter case\n"
      "  --min-size BYTES       at least BYTES long\n"
      "  --max-size BYTES       at most BYTES long\n"
      "  --from YYYY-MM-DD      modified on or after that day\n"
      "  --to YYYY-MM-DD        modified on or before that day (the whole day)\n",
      WithFilterOptions({{"--all"}, {"--tsv"}, {"--json"}, {"--time-style", true}}),
      RunList,
  };
  return command;
}

}  // namespace pff::cli
