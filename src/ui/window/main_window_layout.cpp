// The main window's layout: the archive tree above the quick filter and the
// "About:" box on the left, the grid and the preview pane on the right, the
// progress row below, the status bar at the bottom.

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "listing/grid_rows.h"
#include "ui/commands/work_progress.h"
#include "ui/filter/filter_controls.h"
#include "ui/grid/grid_listing.h"
#include "ui/grid/grid_model.h"
#include "ui/grid/grid_view.h"
#include "ui/preview/preview_pane.h"
#include "ui/window/archive_watcher.h"
#include "ui/window/main_window.h"
#include "ui/window/menus.h"
#include "ui/window/status_texts.h"

namespace {

// Design sizes are in twips; 15 twips make a pixel at the usual 96 dpi.
constexpr int kLeftColumnWidth = 2415 / 15;

}  // namespace

void MainWindow::BuildLayout() {
  auto* central = new QWidget(this);
  auto* layout = new QGridLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(BuildLeftColumn(central), 0, 0);
  model_ = new GridModel(table_, this);
  grid_ = new GridView(central);
  grid_->setObjectName("grid");
  grid_->setModel(model_);
  layout->addWidget(BuildProgressRow(central), 1, 0, 1, 2);
  layout->addWidget(BuildPreviewSplitter(central), 0, 1);
  // Tab goes tree, grid, quick list, "Advanced Filter", then the preview pane,
  // whose controls were made after the grid's.
  setTabOrder(archiveTree_, grid_);
  layout->setColumnStretch(1, 1);
  setCentralWidget(central);

  status_ = new StatusPanel(statusBar());
  work_ = new WorkProgress(progressBar_, cancelButton_, this);
  listing_ = std::make_unique<GridListing>(table_, grid_, model_, *status_, progressBar_);
  filter_ = new FilterControls(quickTypes_, filterFrame_, *status_, this);
  watcher_ = new ArchiveWatcher(this);
}

QWidget* MainWindow::BuildLeftColumn(QWidget* parent) {
  auto* left = new QWidget(parent);
  left->setFixedWidth(kLeftColumnWidth);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->setSpacing(0);
  archiveTree_ = new QTreeWidget(left);
  archiveTree_->setObjectName("archiveTree");
  archiveTree_->setHeaderHidden(true);
  archiveTree_->setColumnCount(1);
  leftLayout->addWidget(archiveTree_, 1);

  filterFrame_ = new QGroupBox("Filter", left);
  filterFrame_->setObjectName("filterFrame");
  auto* filterLayout = new QVBoxLayout(filterFrame_);
  quickTypes_ = new QComboBox(filterFrame_);
  quickTypes_->setObjectName("quickTypes");
  filterLayout->addWidget(quickTypes_);
  advancedFilter_ = new QPushButton("Advanced Filter", filterFrame_);
  advancedFilter_->setObjectName("advancedFilter");
  filterLayout->addWidget(advancedFilter_);

  auto* about = new QGroupBox("About:", filterFrame_);
  about->setObjectName("aboutFrame");
  auto* aboutLayout = new QVBoxLayout(about);
  versionLabel_ = new QLabel(about);
  versionLabel_->setObjectName("versionLabel");
  authorLabel_ = new QLabel("By Tav Oskin", about);
  authorLabel_->setObjectName("authorLabel");
  authorLabel_->setCursor(Qt::PointingHandCursor);
  mailLink_ = new QLineEdit("tav.oskin@example.com", about);
  mailLink_->setObjectName("mailLink");
  mailLink_->setReadOnly(true);
  mailLink_->setCursor(Qt::PointingHandCursor);
  // A link to click, not a field to tab into.
  mailLink_->setFocusPolicy(Qt::NoFocus);
  aboutLayout->addWidget(versionLabel_);
  aboutLayout->addWidget(authorLabel_);
  aboutLayout->addWidget(mailLink_);
  filterLayout->addWidget(about);
  leftLayout->addWidget(filterFrame_, 0);
  authorLabel_->installEventFilter(this);
  mailLink_->installEventFilter(this);
  return left;
}

QWidget* MainWindow::BuildProgressRow(QWidget* parent) {
  // Tall enough for its "n of N" text while a job runs.
  auto* row = new QWidget(parent);
  auto* rowLayout = new QHBoxLayout(row);
  rowLayout->setContentsMargins(0, 0, 0, 0);
  progressBar_ = new QProgressBar(row);
  progressBar_->setObjectName("progressBar");
  progressBar_->setTextVisible(false);
  progressBar_->setAlignment(Qt::AlignCenter);
  progressBar_->setFixedHeight(fontMetrics().height() + 6);
  cancelButton_ = new QPushButton("Cancel", row);
  cancelButton_->setObjectName("cancelButton");
  cancelButton_->setVisible(false);
  rowLayout->addWidget(progressBar_, 1);
  rowLayout->addWidget(cancelButton_);
  cancelAction_ = new QAction("Cancel", this);
  cancelAction_->setObjectName("cancelWork");
  cancelAction_->setShortcut(QKeySequence(Qt::Key_Escape));
  cancelAction_->setShortcutContext(Qt::WindowShortcut);
  addAction(cancelAction_);
  return row;
}

QWidget* MainWindow::BuildPreviewSplitter(QWidget* parent) {
  auto* splitter = new QSplitter(Qt::Horizontal, parent);
  splitter->setObjectName("gridSplitter");
  splitter->setChildrenCollapsible(false);
  grid_->setParent(splitter);
  splitter->addWidget(grid_);
  preview_ = new PreviewPane(splitter);
  preview_->setVisible(false);
  splitter->addWidget(preview_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  return splitter;
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
