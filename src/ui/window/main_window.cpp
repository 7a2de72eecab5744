#include "ui/window/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>

#include "engine/name_helpers.h"
#include "engine/text_encoding.h"
#include "listing/type_list.h"
#include "ui/window/archive_tree.h"
#include "ui/grid/column_widths.h"
#include "ui/window/dialogs.h"
#include "ui/grid/grid_model.h"
#include "ui/grid/grid_view.h"
#include "ui/window/menus.h"
#include "ui/preview/preview_pane.h"
#include "ui/commands/replace_question.h"
#include "ui/window/status_texts.h"
#include "ui/commands/add_files.h"
#include "ui/commands/archive_upkeep.h"
#include "ui/commands/entry_edits.h"
#include "ui/commands/extract_entries.h"
#include "ui/commands/job.h"
#include "ui/commands/work_progress.h"

namespace {

// Design sizes are in twips; 15 twips make a pixel at the usual 96 dpi.
constexpr int kLeftColumnWidth = 2415 / 15;
// A change signalled by the file system is read after it has settled.
int reloadDelayMs = 300;

QString MenuText(const std::string& utf8) { return QString::fromStdString(utf8).replace("&", "&&"); }

}  // namespace

// Resources of a static library are linked in only when asked for by name.
static void LoadIconResource() { Q_INIT_RESOURCE(vellumcraft); }

MainWindow::MainWindow(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), startFolder_(QDir::homePath()) {
  setObjectName("frmMain");
  setWindowTitle("Tav Oskin's Vellumcraft");
  LoadIconResource();
  setWindowIcon(QIcon(":/icons/vellumcraft.svg"));
  menus_ = std::make_unique<MenuActions>(BuildMenus(menuBar()));
  BuildLayout();
  BuildCommands();
  ConnectMenus();

  LoadSettings();
  RefreshLastOpend();
  pff::InitilizeFilter(currentFilter_);
  label1_->setText(QString("Vellumcraft v") + pff::kVersion);
  ResetArchiveTree(tv1_);
  selectedArchive_ = pff::kAllArchives;
  RefreshList();
  UpdateActionStates();
}

MainWindow::~MainWindow() {
  // A running job still reports to the window: it ends while all of it lives.
  jobs_->Cancel();
  jobs_->Wait();
}

void MainWindow::SetReloadDelay(int milliseconds) { reloadDelayMs = milliseconds; }

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
  // A link to click, not a field to tab into.
  text1_->setFocusPolicy(Qt::NoFocus);
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

  // Tall enough for its "n of N" text while long work runs.
  auto* progressRow = new QWidget(central);
  auto* progressLayout = new QHBoxLayout(progressRow);
  progressLayout->setContentsMargins(0, 0, 0, 0);
  pb1_ = new QProgressBar(progressRow);
  pb1_->setObjectName("PB1");
  pb1_->setTextVisible(false);
  pb1_->setAlignment(Qt::AlignCenter);
  pb1_->setFixedHeight(fontMetrics().height() + 6);
  cancel_ = new QPushButton("Cancel", progressRow);
  cancel_->setObjectName("cmdCancel");
  cancel_->setVisible(false);
  progressLayout->addWidget(pb1_, 1);
  progressLayout->addWidget(cancel_);
  work_ = new WorkProgress(pb1_, cancel_, this);
  cancelAction_ = new QAction("Cancel", this);
  cancelAction_->setObjectName("cancelWork");
  cancelAction_->setShortcut(QKeySequence(Qt::Key_Escape));
  cancelAction_->setShortcutContext(Qt::WindowShortcut);
  addAction(cancelAction_);

  grid->addWidget(left, 0, 0);
  grid->addWidget(BuildPreviewSplitter(central), 0, 1);
  // Tab goes tree, grid, quick list, "Advanced Filter", then the preview pane,
  // whose controls were made after the grid's.
  setTabOrder(tv1_, fg1_);
  grid->addWidget(progressRow, 1, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  setCentralWidget(central);
  status_ = new StatusPanel(statusBar());
  connect(status_, &StatusPanel::clearFilterClicked, this, [this] {
    filterList_->setCurrentIndex(0);
    FilterList_Click();
  });

  watcher_ = new QFileSystemWatcher(this);
  reloadTimer_ = new QTimer(this);
  reloadTimer_->setSingleShot(true);
  reloadTimer_->setInterval(reloadDelayMs);
  connect(watcher_, &QFileSystemWatcher::fileChanged, this,
          [this](const QString& p) { FileChangedOnDisk(p); });
  connect(reloadTimer_, &QTimer::timeout, this, [this] { ReloadChangedArchives(); });

  // Arrow keys make a node current as a click does; a click on the node
  // already chosen lists it again all the same.
  tv1_->viewport()->installEventFilter(this);
  connect(tv1_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
    if (node && ArchiveOfKey(NodeKey(node)) != selectedArchive_) TV1_NodeClick(node);
  });
  connect(tv1_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) {
    if (node == nodeAtPress_ || ArchiveOfKey(NodeKey(node)) != selectedArchive_) TV1_NodeClick(node);
  });
  connect(filterList_, &QComboBox::activated, this, [this] { FilterList_Click(); });
  connect(cmdAdvanced, &QPushButton::clicked, this, [this] { OpenAdvancedFilter(); });
  connect(fg1_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int k) { FG1_HeaderClick(k); });
  connect(fg1_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { UpdateSelectionStatus(); });
  connect(fg1_, &GridView::rightPressed, this, [this](const QPoint& pos) { ShowGridMenu(pos); });
}

void MainWindow::BuildCommands() {
  jobs_ = new JobRunner(
      *this,
      [this](const pff::ReplaceRequest& request, int remaining) {
        const Dialogs::Answer answer =
            dialogs_.YesNoForRemaining(this, "Warning!", ReplaceQuestionText(request, timeDate_), remaining);
        return JobRunner::ReplaceAnswer{answer.yes, answer.forRemaining};
      },
      this);
  connect(jobs_, &JobRunner::started, this, [this](int files, int64_t bytes, bool cancellable) {
    work_->Start(files, bytes, cancellable);
    SetBusy(true);
  });
  connect(jobs_, &JobRunner::progressed, work_, &WorkProgress::Show);
  connect(jobs_, &JobRunner::finished, this, [this] {
    work_->Finish();
    SetBusy(false);
  });
  connect(work_, &WorkProgress::cancelClicked, jobs_, &JobRunner::Cancel);
  connect(cancelAction_, &QAction::triggered, jobs_, &JobRunner::Cancel);

  const CommandServices services{*this, dialogs_, *this, *status_, *jobs_, table_, *this};
  add_ = std::make_unique<AddFilesCommand>(services, options_, settings_, startFolder_);
  extract_ = std::make_unique<ExtractCommand>(services);
  delete_ = std::make_unique<DeleteCommand>(services);
  rename_ = std::make_unique<RenameCommand>(services);
  upkeep_ = std::make_unique<ArchiveUpkeep>(services);

  connect(fg1_, &QTableView::doubleClicked, this, [this] { extract_->OpenCurrentEntry(); });
  connect(fg1_, &GridView::enterPressed, this, [this] { extract_->OpenCurrentEntry(); });
  connect(preview_, &PreviewPane::openRequested, this, [this] { extract_->OpenCurrentEntry(); });
  fg1_->SetDragSource([this] { return extract_->DragOut(); });
  connect(fg1_, &GridView::filesDropped, this, [this](const QStringList& paths) { add_->AddDroppedFiles(paths); });
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
  on(m.mnuShowPreview, [this] { mnuShowPreview_Click(); });
  on(m.mnuAddFiles, [this] { add_->AddChosenFiles(); });
  on(m.mnuExtract, [this] { extract_->ExtractToFolder(); });
  on(m.mnuRename, [this] { rename_->RenameCurrent(); });
  on(m.mnuDelete, [this] { delete_->DeleteHighlighted(); });
  on(m.mnuCheck, [this] { upkeep_->CheckChosen(); });
  on(m.mnuCompact, [this] { upkeep_->CompactChosen(); });
}

void MainWindow::SetBusy(bool busy) {
  busy_ = busy;
  UpdateActionStates();
  if (busy) return;
  // Changes other programs made while the job ran are read now.
  if (!changedPaths_.isEmpty()) reloadTimer_->start();
  if (closeAfterWork_) QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::UpdateActionStates() {
  // While a job runs, what would change archives or the table of open ones
  // waits; browsing, sorting, filtering, the options and the preview do not.
  const MenuActions& m = *menus_;
  for (QMenu* menu : {m.mnuNew, m.mnuClose, m.mnuPopUp1})
    for (QAction* action : menu->actions())
      if (!action->menu() && !action->isSeparator()) action->setEnabled(!busy_);
  m.mnuOpen->setEnabled(!busy_);
  for (int n = 1; n <= 4; ++n) m.mnuLast[n]->setEnabled(!busy_);
  const bool oneArchive = !busy_ && selectedArchive_ >= 1 && selectedArchive_ <= table_.Count();
  m.mnuCheck->setEnabled(oneArchive);
  m.mnuCompact->setEnabled(oneArchive);
  cancelAction_->setEnabled(busy_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing inside running work would pull the window from under it: stop the work first.
  if (busy_) {
    jobs_->Cancel();
    closeAfterWork_ = true;
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tv1_->viewport() && event->type() == QEvent::MouseButtonPress)
    nodeAtPress_ = tv1_->currentItem();
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

bool MainWindow::AskReplace(const pff::ReplaceRequest& request) {
  return dialogs_.YesNo(this, "Warning!", ReplaceQuestionText(request, timeDate_));
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
    if (!table_.IsLoaded()) {
      SelectArchiveNode();
      WatchOpenArchives();
      UpdateActionStates();
      return;
    }
    for (int i = 1; i <= table_.Count(); ++i) ShowArchive(i, pff::GetFileName(table_.Archive(i).Path));
    root->setExpanded(true);
    SelectArchiveNode();
    WatchOpenArchives();
    UpdateActionStates();
  } catch (const std::exception& e) {
    ReportError("RefreshFileList", e.what());
  }
}

void MainWindow::SelectArchiveNode() {
  // Following the shown archive is no user's choice: no relisting.
  const QSignalBlocker quiet(tv1_);
  if (QTreeWidgetItem* node = FindArchiveNode(tv1_, selectedArchive_)) tv1_->setCurrentItem(node);
}
