#pragma once
// How a header click orders the entry grid: the cell each visible column
// sorts by, which keys compare as numbers, and the direction of each click.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/archive_table.h"
#include "listing/grid_rows.h"

namespace pff {

/// The grid column whose cells a click on a visible column sorts by: the raw size
/// for "Size ", the raw time for "Modified ", the column itself otherwise; -1 for others.
int SortKeyColumn(int column);

/// True for the key columns that compare as numbers (raw size and raw time); the
/// others compare as text without regard to case.
bool IsNumericKey(int keyColumn);

/// The direction of each visible column's last sort, kept for the whole run: a
/// column's first click sorts ascending, each further click reverses it, and a
/// click on one column leaves the others' directions alone.
class SortDirections {
 public:
  /// Reverses column's direction; returns true when it now sorts ascending (false outside 0-4).
  bool Click(int column);
  /// True when column's last sort was ascending.
  bool Ascending(int column) const;

 private:
  std::array<bool, kVisibleColumns> ascending_{};
};

/// The order that sorts rows by visible column 0-4: element i is the index in rows
/// of the row that comes i-th. Equal keys keep their order; a row the table no longer
/// has sorts as an empty name or a size and time of 0. Other columns keep the order.
std::vector<uint32_t> GridSortOrder(const ArchiveTable& table, const std::vector<GridRow>& rows, int column,
                                    bool ascending);

}  // namespace pff
