#pragma once
// Machine-readable output of pff: one JSON document per invocation, names and
// paths as UTF-8 (raw Latin-1 name bytes converted, control bytes escaped by
// the JSON writer), so scripts never have to parse the screen tables.

#include <string>
#include <vector>

#include "editing/undo.h"
#include "engine/archive_check.h"
#include "engine/archive_table.h"
#include "listing/grid_rows.h"

namespace pff::cli {

/// The wall-clock reading of a stored time as ISO 8601 without a zone: "2001-09-08T20:46:40".
std::string IsoWallClock(int32_t fileTime);

/// {"archives": [...]} for "pff list --json": every open archive of table with
/// its header fields and the entries of rows that belong to it, in row order.
std::string ListJson(const ArchiveTable& table, const std::vector<GridRow>& rows);

/// {"archives": [...]} for "pff info --json": the header fields of archive 1 of
/// table with file_size (null when unknown) and the live and dead totals.
std::string InfoJson(const ArchiveTable& table, bool haveFileSize, uint64_t fileSize);

/// {"archives": [...]} holding one object per report, in order.
std::string CheckReportsJson(const std::vector<CheckReport>& reports);

/// {"archive": path, "done": [...], "undone": [...]} for "pff history --json":
/// each step's phrase, kind, count, time (Unix seconds, and as local
/// wall-clock ISO text), bytes kept and whether it can be redone.
std::string HistoryJson(const std::string& archivePath, const UndoHistory& history);

}  // namespace pff::cli
