#include "ui/grid/grid_listing.h"

#include <QHeaderView>
#include <QProgressBar>
#include <QScrollBar>
#include <algorithm>
#include <unordered_map>

#include "ui/grid/column_widths.h"
#include "ui/grid/grid_model.h"
#include "ui/grid/grid_view.h"
#include "ui/window/status_texts.h"

namespace {

uint32_t RowKey(pff::GridRow row) {
  return static_cast<uint32_t>(static_cast<uint16_t>(row.Archive)) << 16 | static_cast<uint16_t>(row.Entry);
}

}  // namespace

bool GridListing::ShownEntry::operator==(const ShownEntry& o) const {
  return row.Archive == o.row.Archive && row.Entry == o.row.Entry && offset == o.offset && size == o.size;
}

GridListing::GridListing(const pff::ArchiveTable& table, GridView* view, GridModel* model, StatusPanel& status,
                         QProgressBar* walk)
    : table_(table), view_(view), model_(model), status_(status), walk_(walk) {}

void GridListing::Refresh(const ListingChoice& choice) {
  if (!table_.IsLoaded()) {
    model_->SetRows({}, true, choice.dateStyle);
    ApplyColumnWidths(HeaderTextWidths(view_->horizontalHeader()->fontMetrics()));
  } else {
    std::vector<pff::GridRow> rows =
        pff::ListGridRows(table_, choice.selectedArchive, choice.showDeadSpace, choice.filter);
    ShowWalk(choice.selectedArchive);
    // With no row listed the header texts give the widths, so the header stays readable.
    const ColumnWidths widths = rows.empty() ? HeaderTextWidths(view_->horizontalHeader()->fontMetrics())
                                             : CellTextWidths(table_, rows, choice.dateStyle, view_->fontMetrics());
    model_->SetRows(std::move(rows), false, choice.dateStyle);
    ApplyColumnWidths(widths);
    walk_->setValue(walk_->minimum());
  }
  // A new listing is in listing order and starts at its top, its first row chosen.
  view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  if (RowCount() > 0) Select(0, 0);
  view_->scrollToTop();
  UpdateCounts(choice.selectedArchive);
  UpdateSelection();
}

std::optional<GridListing::ShownEntry> GridListing::Shown(std::optional<pff::GridRow> row) const {
  const pff::PffEntry* entry = row ? pff::ListedEntry(table_, *row) : nullptr;
  if (!entry) return std::nullopt;
  return ShownEntry{*row, entry->DataOffset, entry->DataSize};
}

GridListing::Kept GridListing::Remember() const {
  Kept kept;
  const std::vector<int> selected = SelectedRows();  // from the current row to the block's other end
  for (int r : selected)
    if (const std::optional<ShownEntry> shown = Shown(RowAt(r))) kept.block.push_back(*shown);
  kept.current = Shown(RowAt(CurrentRow()));
  kept.fallback =
      selected.empty() ? std::max(CurrentRow(), 0) : *std::min_element(selected.begin(), selected.end());
  kept.top = view_->verticalScrollBar()->value();
  return kept;
}

void GridListing::Restore(const Kept& kept) {
  if (RowCount() == 0) return;
  // The new rows of the block's entries, in the block's order; -1 for those gone.
  std::unordered_map<uint32_t, size_t> inBlock;  // archive and entry index -> place in the block
  for (size_t i = 0; i < kept.block.size(); ++i) inBlock.emplace(RowKey(kept.block[i].row), i);
  std::vector<int> found(kept.block.size(), -1);
  int currentRow = -1;
  for (int r = 0; r < RowCount(); ++r) {
    const std::optional<ShownEntry> shown = Shown(RowAt(r));
    if (!shown) continue;
    if (kept.current && *shown == *kept.current) currentRow = r;
    const auto place = inBlock.find(RowKey(shown->row));
    if (place != inBlock.end() && *shown == kept.block[place->second]) found[place->second] = r;
  }
  const auto [low, high] = std::minmax_element(found.begin(), found.end());
  const bool blockWhole = kept.block.size() > 1 && currentRow >= 0 && *low >= 0 &&
                          *high - *low + 1 == static_cast<int>(kept.block.size());
  if (blockWhole) {
    // The whole block is still listed together: it stays highlighted, current row and all.
    Select(currentRow, currentRow == *low ? *high : *low);
  } else {
    const int row = currentRow >= 0 ? currentRow : std::min(kept.fallback, RowCount() - 1);
    Select(row, row);
  }
  view_->verticalScrollBar()->setValue(kept.top);
  view_->scrollTo(model_->index(CurrentRow(), 0), QAbstractItemView::EnsureVisible);
}

void GridListing::SortByColumn(int column) {
  if (column < 0 || column >= pff::kVisibleColumns) return;
  const bool ascending = model_->SortByHeader(column);
  view_->horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  // A sort is a new order: it starts at the top with the first row chosen.
  if (RowCount() > 0) Select(0, 0);
  view_->scrollToTop();
}

void GridListing::ShowWalk(int selectedArchive) {
  for (int a = 1; a <= table_.Count(); ++a) {
    const pff::PffArchive& archive = table_.Archive(a);
    if (!pff::IsArchiveTaken(archive, a, selectedArchive)) continue;
    const int count = static_cast<int>(std::min<size_t>(archive.Entries.size(), pff::kMaxEntries));
    walk_->setRange(0, count);
    walk_->setValue(count);
  }
}

void GridListing::UpdateCounts(int selectedArchive) {
  int64_t total = 0;
  for (int a = 1; a <= table_.Count(); ++a)
    if (pff::IsArchiveTaken(table_.Archive(a), a, selectedArchive))
      total += static_cast<int64_t>(table_.Archive(a).Entries.size());
  status_.ShowCounts(table_.IsLoaded(), RowCount(), total);
}

void GridListing::UpdateSelection() {
  int64_t rows = 0, bytes = 0;
  if (RowCount() > 0) {
    for (const QItemSelectionRange& range : view_->selectionModel()->selection())
      for (int r = range.top(); r <= range.bottom(); ++r)
        if (const pff::PffEntry* entry = pff::ListedEntry(table_, model_->Rows()[static_cast<size_t>(r)])) {
          ++rows;
          bytes += entry->DataSize;
        }
  }
  status_.ShowSelection(rows, bytes);
}

void GridListing::ApplyColumnWidths(const std::array<int, pff::kVisibleColumns>& widths) {
  // A model reset forgets widths and hidden sections, so both are set every time.
  for (int c = 0; c < pff::kVisibleColumns; ++c) view_->setColumnWidth(c, widths[c]);
  for (int c = pff::kVisibleColumns; c < pff::kGridColumns; ++c) view_->setColumnHidden(c, true);
}

int GridListing::RowCount() const { return static_cast<int>(model_->Rows().size()); }

int GridListing::CurrentRow() const { return RowCount() == 0 ? -1 : view_->CurrentRow(); }

std::vector<int> GridListing::SelectedRows() const {
  if (RowCount() == 0) return {};
  return view_->SelectedRowsInOrder();
}

std::optional<pff::GridRow> GridListing::RowAt(int row) const {
  if (row < 0 || row >= RowCount()) return std::nullopt;
  return model_->Rows()[static_cast<size_t>(row)];
}

void GridListing::Select(int current, int end) { view_->SelectBlock(current, end); }
