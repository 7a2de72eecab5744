#pragma once
// Finding entries by the names a user types, and showing names back.

#include <ostream>
#include <string>
#include <vector>

#include "engine/archive_table.h"

namespace pff::cli {

/// The 1-based index of the first entry (directory order) whose name without
/// NULs equals utf8Name without regard to case; 0 when there is none.
int FindEntry(const PffArchive& archive, const std::string& utf8Name);
/// Indices of the entries named names[first..] (FindEntry each); a name not
/// found is reported on err and sets status to failed.
std::vector<int> FindNamedEntries(const PffArchive& archive, const std::vector<std::string>& names,
                                  size_t first, std::ostream& err, int& status);
/// Opens one archive into a fresh table; false (error reported) on failure.
bool OpenSingle(ArchiveTable& table, const std::string& path, Frontend& port);

}  // namespace pff::cli
