#pragma once
// Finding entries by the names a user types, and showing names back.

#include <string>

#include "engine/archive_table.h"

namespace pff::cli {

/// The 1-based index of the first entry (directory order) whose name without
/// NULs equals utf8Name without regard to case; 0 when there is none.
int FindEntry(const PffArchive& archive, const std::string& utf8Name);
/// An entry's name without NULs, as UTF-8.
std::string DisplayName(const PffEntry& entry);
/// Opens one archive into a fresh table; false (error reported) on failure.
bool OpenSingle(ArchiveTable& table, const std::string& path, WindowPort& port);

}  // namespace pff::cli
