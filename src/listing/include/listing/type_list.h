#pragma once
// The quick type list: " Show All" and every type among the entries in view.

#include <string>
#include <vector>

#include "engine/archive_table.h"

namespace pff {

constexpr const char* kShowAll = " Show All";

/// " Show All" first, then each type (GetFileType, Latin-1) once, ascending;
/// live and dead entries alike, of `selected` or of every archive for kAllArchives.
std::vector<std::string> CollectFileTypes(const ArchiveTable& table, int selected);

}  // namespace pff
