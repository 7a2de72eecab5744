#pragma once
// What the grid lists and where its view stands: building the rows from the
// open archives (RefreshList), keeping the highlighted entries across a
// relist, sorting by a header click, and the counts in the status bar.

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "engine/archive_table.h"
#include "listing/filter.h"
#include "listing/format_value.h"
#include "listing/grid_rows.h"

class GridModel;
class GridView;
class QProgressBar;
class StatusPanel;

/// What the user chose to see: an archive (or all), dead space or not, the filter, the date style.
struct ListingChoice {
  int selectedArchive;
  bool showDeadSpace;
  const pff::FilterSettings& filter;
  pff::DateStyle dateStyle;
};

class GridListing {
 public:
  GridListing(const pff::ArchiveTable& table, GridView* view, GridModel* model, StatusPanel& status,
              QProgressBar* walk);

  /// Lists the rows anew from the top, the first row chosen.
  void Refresh(const ListingChoice& choice);
  /// An entry as the view shows it; a reread archive may hold another entry
  /// (or none) at the same index, which must not inherit the highlight.
  struct ShownEntry {
    pff::GridRow row;
    int32_t offset;
    int32_t size;
    bool operator==(const ShownEntry& o) const;
  };
  /// The highlighted block and the current row, to be found again after a relist.
  struct Kept {
    std::vector<ShownEntry> block;
    std::optional<ShownEntry> current;
    int fallback = 0;  // where the rows after a deleted block now begin
    int top = 0;       // the first row in view
  };
  Kept Remember() const;
  /// After a relist: the kept block highlighted again when all of it is still
  /// listed together, else the kept current row or its neighbour; the view where it was.
  void Restore(const Kept& kept);
  /// A header click on visible column 0-4 sorts the rows; the first row is chosen.
  void SortByColumn(int column);
  /// Leaves the bar at the range of the last archive a listing walks, as the listing shows its work.
  void ShowWalk(int selectedArchive);
  /// "N of M entries listed" and what the highlighted rows hold.
  void UpdateCounts(int selectedArchive);
  void UpdateSelection();

  /// Listed rows (0 when nothing is listed, even though one empty row shows).
  int RowCount() const;
  int CurrentRow() const;
  /// Highlighted rows, from the current row towards the other end of the block.
  std::vector<int> SelectedRows() const;
  std::optional<pff::GridRow> RowAt(int row) const;
  /// Selects rows current..end (either order), current becoming the current row.
  void Select(int current, int end);

 private:
  void ApplyColumnWidths(const std::array<int, pff::kVisibleColumns>& widths);
  std::optional<ShownEntry> Shown(std::optional<pff::GridRow> row) const;

  const pff::ArchiveTable& table_;
  GridView* view_;
  GridModel* model_;
  StatusPanel& status_;
  QProgressBar* walk_;
};
