#pragma once
// The rows of the entry grid: which entries are listed, in which order, and
// the nine cell texts of each. The window's model and `pff list` share this.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/archive_table.h"
#include "listing/filter.h"
#include "listing/format_value.h"

namespace pff {

constexpr int kAllArchives = -1;  // SelectedArchive in "View All" mode
/// The grid's columns: five shown, then four hidden ones that hold what the
/// shown ones are sorted and acted on by.
enum GridColumn : int {
  kNameColumn,
  kSizeColumn,
  kTypeColumn,
  kModifiedColumn,
  kFromColumn,
  kRawSizeColumn,
  kRawTimeColumn,
  kArchiveIndexColumn,
  kEntryIndexColumn,
};
constexpr int kGridColumns = kEntryIndexColumn + 1;
constexpr int kVisibleColumns = kRawSizeColumn;

/// Header texts of the visible columns: "Name ", "Size ", "Type ", "Modified ", "From".
const char* GridHeaderText(int column);

/// A listed entry: archive index and entry index, both 1-based.
struct GridRow {
  int16_t Archive;
  int16_t Entry;
};

/// Whether the grid walks archive index (1-based): the selected one, or every
/// one for kAllArchives, as long as it holds entries. The type list walks the same.
bool IsArchiveTaken(const PffArchive& archive, int index, int selected);

/// The entry a row names, or nullptr when the table changed since it was listed.
const PffEntry* ListedEntry(const ArchiveTable& table, GridRow row);

/// The entries RefreshList shows: archives in index order (only `selected`
/// unless it is kAllArchives), entries in directory order; hidden are those
/// IsFiltered hides and, unless showDeadSpace, those named "<DEAD SPACE>".
std::vector<GridRow> ListGridRows(const ArchiveTable& table, int selected, bool showDeadSpace,
                                  const FilterSettings& filter);

/// Cell text of a column (GridColumn) for a row (UTF-8): " name ", " 12 KB ", " PCX File ",
/// " date ", " archive.pff ", then raw size, raw time, archive index, entry index.
std::string GridCellText(const ArchiveTable& table, GridRow row, int column, DateStyle dateStyle);

}  // namespace pff
