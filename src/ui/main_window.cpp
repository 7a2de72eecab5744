#include "ui/main_window.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>

#include "engine/name_helpers.h"
#include "engine/text_encoding.h"
#include "listing/type_list.h"
#include "ui/archive_tree.h"
#include "ui/column_widths.h"
#include "ui/dialogs.h"
#include "ui/grid_model.h"
#include "ui/grid_view.h"
#include "ui/menus.h"

namespace {

// Design sizes are in twips; 15 twips make a pixel at the usual 96 dpi.
constexpr int kLeftColumnWidth = 2415 / 15;
constexpr int kProgressHeight = 12;

QString MenuText(const std::string& utf8) { return QString::fromStdString(utf8).replace("&", "&&"); }

}  // namespace

MainWindow::MainWindow(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), programFolder_(QCoreApplication::applicationDirPath()) {
  setObjectName("frmMain");
  setWindowTitle("Tav Oskin's Vellumcraft");
  menus_ = std::make_unique<MenuActions>(BuildMenus(menuBar()));
  BuildLayout();
  ConnectMenus();

  LoadSettings();
  RefreshLastOpend();
  pff::InitilizeFilter(currentFilter_);
  label1_->setText(QString("Vellumcraft v") + pff::kVersion);
  table_.IsLoaded = false;
  ResetArchiveTree(tv1_);
  selectedArchive_ = pff::kAllArchives;
  RefreshList();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildLayout() {
  auto* central = new QWidget(this);
  auto* grid = new QGridLayout(central);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);

  auto* left = new QWidget(central);
  left->setFixedWidth(kLeftColumnWidth);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->setSpacing(0);
  tv1_ = new QTreeWidget(left);
  tv1_->setObjectName("TV1");
  tv1_->setHeaderHidden(true);
  tv1_->setColumnCount(1);
  leftLayout->addWidget(tv1_, 1);

  fraSort_ = new QGroupBox("Filter", left);
  fraSort_->setObjectName("fraSort");
  auto* sortLayout = new QVBoxLayout(fraSort_);
  filterList_ = new QComboBox(fraSort_);
  filterList_->setObjectName("FilterList");
  sortLayout->addWidget(filterList_);
  auto* cmdAdvanced = new QPushButton("Advanced Filter", fraSort_);
  cmdAdvanced->setObjectName("cmdAdvanced");
  sortLayout->addWidget(cmdAdvanced);
  auto* fraAbout = new QGroupBox("About:", fraSort_);
  fraAbout->setObjectName("fraAbout");
  auto* aboutLayout = new QVBoxLayout(fraAbout);
  label1_ = new QLabel(fraAbout);
  label1_->setObjectName("Label1");
  label2_ = new QLabel("By Tav Oskin", fraAbout);
  label2_->setObjectName("Label2");
  label2_->setCursor(Qt::PointingHandCursor);
  text1_ = new QLineEdit("tav.oskin@example.com", fraAbout);
  text1_->setObjectName("Text1");
  text1_->setReadOnly(true);
  text1_->setCursor(Qt::PointingHandCursor);
  for (QWidget* w :
       {static_cast<QWidget*>(label1_), static_cast<QWidget*>(label2_), static_cast<QWidget*>(text1_)})
    aboutLayout->addWidget(w);
  sortLayout->addWidget(fraAbout);
  leftLayout->addWidget(fraSort_, 0);
  label2_->installEventFilter(this);
  text1_->installEventFilter(this);

  model_ = new GridModel(table_, this);
  fg1_ = new GridView(central);
  fg1_->setObjectName("FG1");
  fg1_->setModel(model_);

  pb1_ = new QProgressBar(central);
  pb1_->setObjectName("PB1");
  pb1_->setTextVisible(false);
  pb1_->setFixedHeight(kProgressHeight);

  grid->addWidget(left, 0, 0);
  grid->addWidget(fg1_, 0, 1);
  grid->addWidget(pb1_, 1, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  setCentralWidget(central);

  connect(tv1_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { TV1_NodeClick(node); });
  connect(filterList_, &QComboBox::activated, this, [this] { FilterList_Click(); });
  connect(cmdAdvanced, &QPushButton::clicked, this, [this] { cmdAdvanced_Click(); });
  connect(fg1_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int k) { FG1_HeaderClick(k); });
  connect(fg1_, &QTableView::doubleClicked, this, [this] { FG1_DblClick(); });
  connect(fg1_, &GridView::filesDropped, this, [this](const QStringList& paths) { FG1_FilesDropped(paths); });
  connect(fg1_, &GridView::rightPressed, this, [this](const QPoint& pos) { ShowGridMenu(pos); });
}

void MainWindow::ConnectMenus() {
  const MenuActions& m = *menus_;
  auto on = [this](QAction* action, auto handler) { connect(action, &QAction::triggered, this, handler); };
  on(m.mnuNewV1, [this] { mnuNewV1_Click(); });
  on(m.mnuNewV2, [this] { mnuNewV2_Click(); });
  on(m.mnuOpen, [this] { mnuOpen_Click(); });
  for (int i = 0; i < kCloseItems; ++i) on(m.mnuActualClose[i], [this, i] { mnuActualClose_Click(i); });
  on(m.mnuAbout, [this] { mnuAbout_Click(); });
  for (int n = 1; n <= 4; ++n) on(m.mnuLast[n], [this, n] { mnuLast_Click(n); });
  on(m.mnuExit, [this] { mnuExit_Click(); });
  on(m.mnuGoodFormat, [this] { mnuGoodFormat_Click(); });
  on(m.mnuBadFormat, [this] { mnuBadFormat_Click(); });
  on(m.mnuShowDeadSpace, [this] { mnuShowDeadSpace_Click(); });
  on(m.mnuReUseDeadSpace, [this] { mnuReUseDeadSpace_Click(); });
  on(m.mnuOverwrite, [this] { mnuOverwrite_Click(); });
  on(m.mnuAddFiles, [this] { mnuAddFiles_Click(); });
  on(m.mnuExtract, [this] { mnuExtract_Click(); });
  on(m.mnuRename, [this] { mnuRename_Click(); });
  on(m.mnuDelete, [this] { mnuDelete_Click(); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == label2_ || watched == text1_) && event->type() == QEvent::MouseButtonRelease) Text1_Click();
  return QMainWindow::eventFilter(watched, event);
}

// --- pff::WindowPort -------------------------------------------------------

void MainWindow::ReportError(const std::string& routine, const std::string& description) {
  dialogs_.Message(
      this, QString(),
      "Error in " + QString::fromStdString(routine) + "\r\n" + QString::fromStdString(description));
}

void MainWindow::Notify(const std::string& text) {
  dialogs_.Message(this, QString(), QString::fromStdString(text));
}

bool MainWindow::AskYesNo(const std::string& title, const std::string& text) {
  return dialogs_.YesNo(this, QString::fromStdString(title), QString::fromStdString(text));
}

void MainWindow::ArchiveLoaded(int index, const std::string& fileName) {
  ShowArchive(index, fileName);
  // Without this the first node would hide under a collapsed root.
  tv1_->topLevelItem(0)->setExpanded(true);
}

void MainWindow::ShowArchive(int index, const std::string& fileName) {
  AddArchiveNode(tv1_, index, QString::fromStdString(fileName));
  // Archives past the last close item are closed with "Close All".
  if (index >= 1 && index < kCloseItems) {
    menus_->mnuActualClose[index]->setText(MenuText(fileName));
    menus_->mnuActualClose[index]->setVisible(true);
  }
}

void MainWindow::RefreshFileList() {
  try {
    QTreeWidgetItem* root = ResetArchiveTree(tv1_);
    for (int i = 1; i < kCloseItems; ++i) {
      menus_->mnuActualClose[i]->setText(QString());
      menus_->mnuActualClose[i]->setVisible(false);
    }
    if (!table_.IsLoaded) {
      SelectArchiveNode();
      return;
    }
    for (int i = 1; i <= table_.Count(); ++i) ShowArchive(i, pff::GetFileName(table_.Archive(i).Path));
    root->setExpanded(true);
    SelectArchiveNode();
  } catch (const std::exception& e) {
    ReportError("RefreshFileList", e.what());
  }
}

void MainWindow::SelectArchiveNode() {
  if (QTreeWidgetItem* node = FindArchiveNode(tv1_, selectedArchive_)) tv1_->setCurrentItem(node);
}

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
  } catch (const std::exception& e) {
    ReportError("RefreshFilterListError", e.what());
  }
}

void MainWindow::RefreshList() {
  try {
    if (!table_.IsLoaded) {
      model_->SetRows({}, true, options_.TimeDate);
      ApplyColumnWidths(HeaderTextWidths(fg1_->horizontalHeader()->fontMetrics()));
      return;
    }
    std::vector<pff::GridRow> rows =
        pff::ListGridRows(table_, selectedArchive_, showDeadSpace_, currentFilter_);
    ShowProgressOverTakenArchives();
    // With no row listed the header texts give the widths, so the header stays readable.
    const ColumnWidths widths = rows.empty()
                                    ? HeaderTextWidths(fg1_->horizontalHeader()->fontMetrics())
                                    : CellTextWidths(table_, rows, options_.TimeDate, fg1_->fontMetrics());
    model_->SetRows(std::move(rows), false, options_.TimeDate);
    ApplyColumnWidths(widths);
    pb1_->setValue(pb1_->minimum());
    tv1_->setFocus();
  } catch (const std::exception& e) {
    ReportError("RefreshList", e.what());
  }
}

void MainWindow::ApplyColumnWidths(const std::array<int, pff::kVisibleColumns>& widths) {
  // A model reset forgets widths and hidden sections, so both are set every time.
  for (int c = 0; c < pff::kVisibleColumns; ++c) fg1_->setColumnWidth(c, widths[c]);
  for (int c = pff::kVisibleColumns; c < pff::kGridColumns; ++c) fg1_->setColumnHidden(c, true);
}

// --- tree, quick type list, grid --------------------------------------------

void MainWindow::TV1_NodeClick(QTreeWidgetItem* node) {
  selectedArchive_ = ArchiveOfKey(NodeKey(node));
  RefreshList();
}

void MainWindow::FilterList_Click() {
  const QString text = filterList_->currentText();
  if (text != pff::kShowAll) {
    currentFilter_.IsolateCount = 1;
    currentFilter_.Active = true;
    currentFilter_.IsolateOn = true;
    if (currentFilter_.IsolateList.empty()) currentFilter_.IsolateList.resize(1);
    currentFilter_.IsolateList[0] = pff::Utf8ToLatin1(text.toStdString());
    fraSort_->setTitle("Filter - Only " + text);
  } else {
    pff::InitilizeFilter(currentFilter_);
    fraSort_->setTitle("Filter - Show All");
  }
  RefreshList();
}

void MainWindow::FG1_HeaderClick(int column) {
  if (column < 0 || column >= pff::kVisibleColumns) return;
  sortAscending_[column] = !sortAscending_[column];
  model_->SortByColumn(column, sortAscending_[column]);
  // The selection is a block of row positions; after the rows moved it would
  // no longer be the block the user chose.
  fg1_->selectionModel()->clear();
}

bool MainWindow::SortAscending(int column) const {
  return column >= 0 && column < pff::kVisibleColumns && sortAscending_[column];
}

void MainWindow::ShowGridMenu(const QPoint& globalPos) {
  if (!table_.IsLoaded) return;
  QMenu* menu = menus_->mnuPopUp1;
  menu->popup(globalPos - QPoint(menu->sizeHint().width() / 2, 0));
}

int MainWindow::RowCount() const { return static_cast<int>(model_->Rows().size()); }

int MainWindow::CurrentRow() const { return RowCount() == 0 ? -1 : fg1_->CurrentRow(); }

int MainWindow::SelectionEndRow() const { return RowCount() == 0 ? -1 : fg1_->AnchorRow(); }

void MainWindow::SetSelection(int current, int end) { fg1_->SelectBlock(current, end); }

std::optional<pff::GridRow> MainWindow::RowAt(int row) const {
  if (row < 0 || row >= RowCount()) return std::nullopt;
  return model_->Rows()[static_cast<size_t>(row)];
}
