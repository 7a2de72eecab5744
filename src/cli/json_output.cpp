#include "cli/json_output.h"

#include <cstdio>
#include <optional>
#include <nlohmann/json.hpp>

#include "engine/file_time.h"
#include "engine/name_helpers.h"
#include "engine/text_encoding.h"

namespace pff::cli {

namespace {

using nlohmann::ordered_json;

// Paths come from the command line and may hold bytes that are not UTF-8;
// the writer replaces those instead of failing the whole document.
std::string Dump(const ordered_json& document) {
  return document.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

ordered_json ArchiveObject(const PffArchive& archive) {
  const PffHeader& header = archive.Header;
  return ordered_json{
      {"path", archive.Path},
      {"header_size", header.HeaderSize},
      // Four raw bytes, read as Latin-1 like names so that any value survives.
      {"magic", Latin1ToUtf8(std::string(header.Magic.begin(), header.Magic.end()))},
      {"entry_count", header.EntryCount},
      {"entry_size", header.EntrySize},
      {"dir_offset", header.DirOffset},
  };
}

ordered_json EntryObject(const PffEntry& entry, int index) {
  const std::string name = NameBytes(entry.Name);
  return ordered_json{
      {"index", index},
      {"dead", entry.DeadFlag == 1},
      {"offset", entry.DataOffset},
      {"size", entry.DataSize},
      {"time", entry.FileTime},
      {"time_text", IsoWallClock(entry.FileTime)},
      {"name", DisplayName(entry.Name)},
      {"type", Latin1ToUtf8(GetFileType(name))},
  };
}

ordered_json ReportObject(const CheckReport& report) {
  ordered_json findings = ordered_json::array();
  for (const CheckFinding& finding : report.Findings) {
    findings.push_back({
        {"level", finding.Level == Severity::Error ? "error" : "warning"},
        {"entry", finding.Entry},
        {"name", finding.Name},
        {"text", finding.Text},
    });
  }
  return ordered_json{
      {"path", report.Path},
      {"errors", report.Errors()},
      {"warnings", report.Warnings()},
      {"entry_count", report.EntryCount},
      {"intact_entries", report.IntactEntries},
      {"dead_bytes", report.DeadBytes},
      {"findings", findings},
  };
}

const char* KindName(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::Add:
      return "add";
    case ChangeKind::Replace:
      return "replace";
    case ChangeKind::Delete:
      return "delete";
    case ChangeKind::Rename:
      return "rename";
    case ChangeKind::PutBack:
      return "put_back";
  }
  return "unknown";
}

ordered_json StepObject(const UndoStep& step) {
  // Local wall-clock text, as entry times are shown; null where the clock cannot say.
  const std::optional<int32_t> local = FileTimeFromUnix(step.Time, 0);
  return ordered_json{
      {"change", StepPhrase(step.Label)},
      {"kind", KindName(step.Label.Kind)},
      {"count", step.Label.Count},
      {"time", step.Time},
      {"time_text", local ? ordered_json(IsoWallClock(*local)) : ordered_json(nullptr)},
      {"bytes", step.Bytes},
      {"redoable", step.Redoable},
  };
}

}  // namespace

std::string IsoWallClock(int32_t fileTime) {
  WallClock clock = WallClockFromFileTime(fileTime);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", clock.Year, clock.Month, clock.Day,
                clock.Hour, clock.Minute, clock.Second);
  return text;
}

std::string ListJson(const ArchiveTable& table, const std::vector<GridRow>& rows) {
  ordered_json archives = ordered_json::array();
  for (int a = 1; a <= table.Count(); ++a) {
    const PffArchive& archive = table.Archive(a);
    ordered_json object = ArchiveObject(archive);
    ordered_json entries = ordered_json::array();
    for (const GridRow& row : rows) {
      if (row.Archive == a) entries.push_back(EntryObject(archive.Entry(row.Entry), row.Entry));
    }
    object["entries"] = std::move(entries);
    archives.push_back(std::move(object));
  }
  return Dump(ordered_json::object({{"archives", archives}}));
}

std::string InfoJson(const ArchiveTable& table, bool haveFileSize, uint64_t fileSize) {
  const PffArchive& archive = table.Archive(1);
  const EntryTotals totals = CountEntries(archive);
  ordered_json object = ArchiveObject(archive);
  object["file_size"] = haveFileSize ? ordered_json(fileSize) : ordered_json(nullptr);
  object["live_entries"] = totals.Live;
  object["dead_entries"] = totals.Dead;
  object["dead_bytes"] = totals.DeadBytes;
  return Dump(ordered_json::object({{"archives", ordered_json::array({object})}}));
}

std::string CheckReportsJson(const std::vector<CheckReport>& reports) {
  ordered_json archives = ordered_json::array();
  for (const CheckReport& report : reports) archives.push_back(ReportObject(report));
  return Dump(ordered_json::object({{"archives", archives}}));
}

std::string HistoryJson(const std::string& archivePath, const UndoHistory& history) {
  ordered_json done = ordered_json::array(), undone = ordered_json::array();
  for (const UndoStep& step : history.Done) done.push_back(StepObject(step));
  for (const UndoStep& step : history.Undone) undone.push_back(StepObject(step));
  return Dump(ordered_json{{"archive", archivePath}, {"done", done}, {"undone", undone}});
}

}  // namespace pff::cli
