// What the window shows: the grid's rows and where the view stands, the tree
// click, the quick type list and the filter caption, sorting, the selection,
// and the counts in the status bar.

#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QScrollBar>
#include <QTreeWidget>
#include <algorithm>
#include <unordered_map>
#include <exception>

#include "engine/name_helpers.h"
#include "engine/text_encoding.h"
#include "listing/type_list.h"
#include "ui/window/archive_tree.h"
#include "ui/grid/column_widths.h"
#include "ui/filter/filter_dialog.h"
#include "ui/grid/grid_model.h"
#include "ui/grid/grid_view.h"
#include "ui/window/main_window.h"
#include "ui/window/menus.h"
#include "ui/window/status_texts.h"

void MainWindow::ShowProgressOverTakenArchives() {
  for (int a = 1; a <= table_.Count(); ++a) {
    const pff::PffArchive& archive = table_.Archive(a);
    if (!pff::IsArchiveTaken(archive, a, selectedArchive_)) continue;
    const int count = static_cast<int>(std::min<size_t>(archive.Entries.size(), pff::kMaxEntries));
    pb1_->setRange(0, count);
    pb1_->setValue(count);
  }
}

void MainWindow::RefreshFilterList() {
  try {
    filterList_->clear();
    QStringList items;
    for (const std::string& type : pff::CollectFileTypes(table_, selectedArchive_))
      items << QString::fromStdString(pff::Latin1ToUtf8(type));
    filterList_->addItems(items);
    ShowProgressOverTakenArchives();
    pb1_->setValue(pb1_->minimum());
    SyncFilterControls();
  } catch (const std::exception& e) {
    ReportError("RefreshFilterListError", e.what());
  }
}

void MainWindow::RefreshList() {
  try {
    if (!table_.IsLoaded()) {
      model_->SetRows({}, true, timeDate_);
      ApplyColumnWidths(HeaderTextWidths(fg1_->horizontalHeader()->fontMetrics()));
    } else {
      std::vector<pff::GridRow> rows =
          pff::ListGridRows(table_, selectedArchive_, showDeadSpace_, currentFilter_);
      ShowProgressOverTakenArchives();
      // With no row listed the header texts give the widths, so the header stays readable.
      const ColumnWidths widths = rows.empty() ? HeaderTextWidths(fg1_->horizontalHeader()->fontMetrics())
                                               : CellTextWidths(table_, rows, timeDate_, fg1_->fontMetrics());
      model_->SetRows(std::move(rows), false, timeDate_);
      ApplyColumnWidths(widths);
      pb1_->setValue(pb1_->minimum());
    }
    // A new listing is in listing order and starts at its top, its first row chosen.
    fg1_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    if (RowCount() > 0) SetSelection(0, 0);
    fg1_->scrollToTop();
    UpdateCounts();
    UpdateSelectionStatus();
    if (table_.IsLoaded()) tv1_->setFocus();
  } catch (const std::exception& e) {
    ReportError("RefreshList", e.what());
  }
}

namespace {

// An entry as the view last showed it: a reread archive may hold another
// entry (or none) at the same index, which must not inherit the highlight.
struct ShownEntry {
  pff::GridRow row;
  int32_t offset;
  int32_t size;
  bool operator==(const ShownEntry& o) const {
    return row.Archive == o.row.Archive && row.Entry == o.row.Entry && offset == o.offset && size == o.size;
  }
};

uint32_t RowKey(pff::GridRow row) {
  return static_cast<uint32_t>(static_cast<uint16_t>(row.Archive)) << 16 | static_cast<uint16_t>(row.Entry);
}

std::optional<ShownEntry> Shown(const pff::ArchiveTable& table, std::optional<pff::GridRow> row) {
  const pff::PffEntry* entry = row ? pff::ListedEntry(table, *row) : nullptr;
  if (!entry) return std::nullopt;
  return ShownEntry{*row, entry->DataOffset, entry->DataSize};
}

}  // namespace

void MainWindow::RelistKeepingView() {
  const std::vector<int> selected = SelectedRows();  // from the current row to the block's other end
  std::vector<ShownEntry> block;
  for (int r : selected)
    if (const std::optional<ShownEntry> shown = Shown(table_, RowAt(r))) block.push_back(*shown);
  const std::optional<ShownEntry> current = Shown(table_, RowAt(CurrentRow()));
  // Where the rows after a deleted block now begin.
  const int fallback = selected.empty() ? std::max(CurrentRow(), 0)
                                        : *std::min_element(selected.begin(), selected.end());
  const int top = fg1_->verticalScrollBar()->value();
  const bool gridHadFocus = fg1_->hasFocus();
  RefreshList();
  if (RowCount() == 0) return;

  // The new rows of the block's entries, in the block's order; -1 for those gone.
  std::unordered_map<uint32_t, size_t> inBlock;  // archive and entry index -> place in the block
  for (size_t i = 0; i < block.size(); ++i) inBlock.emplace(RowKey(block[i].row), i);
  std::vector<int> found(block.size(), -1);
  int currentRow = -1;
  for (int r = 0; r < RowCount(); ++r) {
    const std::optional<ShownEntry> shown = Shown(table_, RowAt(r));
    if (!shown) continue;
    if (current && *shown == *current) currentRow = r;
    const auto place = inBlock.find(RowKey(shown->row));
    if (place != inBlock.end() && *shown == block[place->second]) found[place->second] = r;
  }
  const auto [low, high] = std::minmax_element(found.begin(), found.end());
  const bool blockWhole = block.size() > 1 && currentRow >= 0 && *low >= 0 &&
                          *high - *low + 1 == static_cast<int>(block.size());
  if (blockWhole) {
    // The whole block is still listed together: it stays highlighted, current row and all.
    SetSelection(currentRow, currentRow == *low ? *high : *low);
  } else {
    const int row = currentRow >= 0 ? currentRow : std::min(fallback, RowCount() - 1);
    SetSelection(row, row);
  }
  fg1_->verticalScrollBar()->setValue(top);
  fg1_->scrollTo(model_->index(CurrentRow(), 0), QAbstractItemView::EnsureVisible);
  if (gridHadFocus) fg1_->setFocus();
}

void MainWindow::ApplyColumnWidths(const std::array<int, pff::kVisibleColumns>& widths) {
  // A model reset forgets widths and hidden sections, so both are set every time.
  for (int c = 0; c < pff::kVisibleColumns; ++c) fg1_->setColumnWidth(c, widths[c]);
  for (int c = pff::kVisibleColumns; c < pff::kGridColumns; ++c) fg1_->setColumnHidden(c, true);
}

// --- tree, quick type list, grid --------------------------------------------

void MainWindow::TV1_NodeClick(QTreeWidgetItem* node) {
  if (!node) return;
  selectedArchive_ = ArchiveOfKey(NodeKey(node));
  UpdateActionStates();
  RefreshList();
}

void MainWindow::FilterList_Click() {
  const QString text = filterList_->currentText();
  if (text != pff::kShowAll) {
    // Criteria set in the advanced dialog stay in force beside the one type.
    pff::SetTypeList(currentFilter_, pff::TypeList::Isolate, {text.toStdString()});
    currentFilter_.Active = true;
    quickType_ = text;
    SetFilterCaption("Filter - Only " + text);
  } else {
    pff::InitilizeFilter(currentFilter_);
    quickType_.clear();
    SetFilterCaption("Filter - Show All");
  }
  SyncFilterControls();
  // The relist hands the keyboard to the tree; a user walking the types with
  // the arrow keys keeps it in the list.
  const bool listHadFocus = filterList_->hasFocus();
  RefreshList();
  if (listHadFocus) filterList_->setFocus();
}

void MainWindow::SetFilterCaption(const QString& caption) {
  // The frame is narrow: a long type is shortened in the middle, the whole caption kept as tooltip.
  const int room = fraSort_->parentWidget()->maximumWidth() - 4 * fraSort_->fontMetrics().averageCharWidth();
  fraSort_->setTitle(fraSort_->fontMetrics().elidedText(caption, Qt::ElideMiddle, room));
  fraSort_->setToolTip(caption);
}

void MainWindow::SyncFilterControls() {
  // The quick list shows the type in force; after an advanced filter or a reset, " Show All".
  const int index = quickType_.isEmpty() ? 0 : filterList_->findText(quickType_);
  if (index < 0) {
    filterList_->addItem(quickType_);
    filterList_->setCurrentIndex(filterList_->count() - 1);
  } else {
    filterList_->setCurrentIndex(index);
  }
  QString shown;
  if (!quickType_.isEmpty())
    shown = "Only " + quickType_;
  else if (currentFilter_.Active)
    shown = "advanced";
  status_->ShowFilter(shown);
}

void MainWindow::FG1_HeaderClick(int column) {
  if (column < 0 || column >= pff::kVisibleColumns) return;
  const bool ascending = model_->SortByHeader(column);
  fg1_->horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  // A sort is a new order: it starts at the top with the first row chosen.
  if (RowCount() > 0) SetSelection(0, 0);
  fg1_->scrollToTop();
}

void MainWindow::ShowGridMenu(const QPoint& globalPos) {
  QMenu* menu = menus_->mnuPopUp1;
  if (!table_.IsLoaded() || menu->isVisible()) return;
  menu->popup(globalPos - QPoint(menu->sizeHint().width() / 2, 0));
}

int MainWindow::RowCount() const { return static_cast<int>(model_->Rows().size()); }

int MainWindow::CurrentRow() const { return RowCount() == 0 ? -1 : fg1_->CurrentRow(); }

std::vector<int> MainWindow::SelectedRows() const {
  if (RowCount() == 0) return {};
  return fg1_->SelectedRowsInOrder();
}

void MainWindow::SetSelection(int current, int end) { fg1_->SelectBlock(current, end); }

std::optional<pff::GridRow> MainWindow::RowAt(int row) const {
  if (row < 0 || row >= RowCount()) return std::nullopt;
  return model_->Rows()[static_cast<size_t>(row)];
}

QStringList MainWindow::QuickTypes() const {
  QStringList items;
  for (int i = 0; i < filterList_->count(); ++i) items << filterList_->itemText(i);
  return items;
}

void MainWindow::OpenAdvancedFilter() {
  auto* dialog = new FilterDialog(QuickTypes(), timeDate_, QDate::currentDate(), this);
  // open() returns at once; the window stays blocked until OK or Cancel.
  connect(dialog, &QDialog::finished, dialog, [this, dialog](int result) {
    if (result == QDialog::Accepted) {
      currentFilter_ = dialog->DialogFilter();
      AdvancedFilterApplied();
    }
    dialog->deleteLater();
  });
  dialog->open();
}

void MainWindow::AdvancedFilterApplied() {
  // The quick type is gone with the dialog's filter; list and caption say so.
  quickType_.clear();
  SetFilterCaption("Filter - Advanced");
  SyncFilterControls();
  activateWindow();
  RefreshList();
}

// --- status bar -------------------------------------------------------------

void MainWindow::UpdateCounts() {
  int64_t total = 0;
  for (int a = 1; a <= table_.Count(); ++a)
    if (pff::IsArchiveTaken(table_.Archive(a), a, selectedArchive_))
      total += static_cast<int64_t>(table_.Archive(a).Entries.size());
  status_->ShowCounts(table_.IsLoaded(), RowCount(), total);
}

void MainWindow::UpdateSelectionStatus() {
  int64_t rows = 0, bytes = 0;
  if (RowCount() > 0) {
    for (const QItemSelectionRange& range : fg1_->selectionModel()->selection())
      for (int r = range.top(); r <= range.bottom(); ++r)
        if (const pff::PffEntry* entry = pff::ListedEntry(table_, model_->Rows()[static_cast<size_t>(r)])) {
          ++rows;
          bytes += entry->DataSize;
        }
  }
  status_->ShowSelection(rows, bytes);
}
