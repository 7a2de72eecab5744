// The preview pane's place in the window: beside the grid in a splitter,
// shown by "Show Preview", fed with the current row.

#include <QItemSelectionModel>
#include <QSplitter>

#include "listing/grid_rows.h"
#include "ui/grid/grid_view.h"
#include "ui/window/main_window.h"
#include "ui/window/menus.h"
#include "ui/preview/preview_pane.h"

QWidget* MainWindow::BuildPreviewSplitter(QWidget* parent) {
  auto* splitter = new QSplitter(Qt::Horizontal, parent);
  splitter->setObjectName("gridSplitter");
  splitter->setChildrenCollapsible(false);
  fg1_->setParent(splitter);
  splitter->addWidget(fg1_);
  preview_ = new PreviewPane(splitter);
  preview_->setVisible(false);
  splitter->addWidget(preview_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  connect(fg1_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdatePreview(); });
  connect(fg1_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { UpdatePreview(); });
  return splitter;
}

void MainWindow::mnuShowPreview_Click() {
  const bool shown = menus_->mnuShowPreview->isChecked();
  settings_.WriteBool("ShowPreview", shown);
  preview_->setVisible(shown);
  UpdatePreview();
}

void MainWindow::UpdatePreview() {
  // Hidden, nothing is read.
  if (!preview_->isVisibleTo(this)) return preview_->ShowNothing();
  const std::vector<int> rows = SelectedRows();
  if (rows.size() > 1) {
    qint64 bytes = 0, count = 0;
    for (int r : rows)
      if (const std::optional<pff::GridRow> row = RowAt(r))
        if (const pff::PffEntry* entry = pff::ListedEntry(table_, *row)) {
          ++count;
          bytes += entry->DataSize;
        }
    return preview_->ShowSummary(count, bytes);
  }
  const std::optional<pff::GridRow> row = RowAt(CurrentRow());
  const pff::PffEntry* entry = row ? pff::ListedEntry(table_, *row) : nullptr;
  if (rows.size() != 1 || !entry) return preview_->ShowNothing();
  preview_->ShowEntry(table_.Archive(row->Archive).Path, *entry);
}
