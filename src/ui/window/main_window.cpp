#include "ui/window/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <exception>

#include "engine/name_helpers.h"
#include "engine/pff_archive.h"
#include "engine/text_encoding.h"
#include "listing/type_list.h"
#include "ui/commands/add_files.h"
#include "ui/commands/archive_upkeep.h"
#include "ui/commands/edited_entries.h"
#include "ui/commands/entry_edits.h"
#include "ui/commands/extract_entries.h"
#include "ui/commands/job.h"
#include "ui/commands/replace_question.h"
#include "ui/commands/undo_steps.h"
#include "ui/commands/work_progress.h"
#include "ui/filter/filter_controls.h"
#include "ui/grid/grid_listing.h"
#include "ui/grid/grid_model.h"
#include "ui/grid/grid_view.h"
#include "ui/preview/preview_pane.h"
#include "ui/window/archive_tree.h"
#include "ui/window/archive_watcher.h"
#include "ui/window/dialogs.h"
#include "ui/window/menus.h"
#include "ui/window/recent_list.h"
#include "ui/window/status_texts.h"

namespace {

QString MenuText(const std::string& utf8) { return QString::fromStdString(utf8).replace("&", "&&"); }

}  // namespace

// Resources of a static library are linked in only when asked for by name.
static void LoadIconResource() { Q_INIT_RESOURCE(vellumcraft); }

MainWindow::MainWindow(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), startFolder_(QDir::homePath()) {
  setObjectName("mainWindow");
  setWindowTitle("Tav Oskin's Vellumcraft");
  LoadIconResource();
  setWindowIcon(QIcon(":/icons/vellumcraft.svg"));
  menus_ = std::make_unique<MenuActions>(BuildMenus(menuBar()));
  recent_ = std::make_unique<RecentArchives>(settings_, menus_->recentItems, menus_->recentSeparator);
  BuildLayout();
  BuildCommands();
  ConnectMenus();
  ConnectControls();

  LoadSettings();
  recent_->Refresh();
  versionLabel_->setText(QString("Vellumcraft v") + pff::kVersion);
  ResetArchiveTree(archiveTree_);
  selectedArchive_ = pff::kAllArchives;
  RefreshList();
  UpdateActionStates();
}

MainWindow::~MainWindow() {
  // A running job still reports to the window: it ends while all of it lives.
  jobs_->Cancel();
  jobs_->Wait();
}

void MainWindow::BuildCommands() {
  jobs_ = new JobRunner(
      *this,
      [this](const pff::ReplaceRequest& request, int remaining) {
        const Dialogs::Answer answer =
            dialogs_.YesNoForRemaining(this, "Warning!", ReplaceQuestionText(request, dateStyle_), remaining);
        return JobRunner::ReplaceAnswer{answer.yes, answer.forRemaining};
      },
      this);
  connect(jobs_, &JobRunner::started, this, [this](int files, int64_t bytes, bool cancellable) {
    work_->Start(files, bytes, cancellable);
    SetBusy(true);
  });
  connect(jobs_, &JobRunner::progressed, work_, &WorkProgress::Show);
  connect(jobs_, &JobRunner::totalBytesKnown, work_, &WorkProgress::SetTotalBytes);
  connect(jobs_, &JobRunner::finished, this, [this] {
    work_->Finish();
    SetBusy(false);
  });
  connect(work_, &WorkProgress::cancelClicked, jobs_, &JobRunner::Cancel);
  connect(cancelAction_, &QAction::triggered, jobs_, &JobRunner::Cancel);

  const CommandServices services{*this, dialogs_, *this, *status_, *jobs_, table_, *this};
  add_ = std::make_unique<AddFilesCommand>(services, options_, settings_, startFolder_);
  extract_ = std::make_unique<ExtractCommand>(services);
  edited_ = new EditedEntries(services, *add_, this);
  extract_->OnOpened([this](const QString& file, const std::string& archivePath, const pff::PffEntry& entry) {
    edited_->Watch(file, archivePath, entry);
  });
  delete_ = std::make_unique<DeleteCommand>(services);
  rename_ = std::make_unique<RenameCommand>(services);
  upkeep_ = std::make_unique<ArchiveUpkeep>(services);
  undo_ = std::make_unique<UndoCommand>(services);
}

void MainWindow::ConnectMenus() {
  const MenuActions& m = *menus_;
  auto on = [this](QAction* action, auto handler) { connect(action, &QAction::triggered, this, handler); };
  on(m.newOldFlavour, [this] { NewArchive(pff::Flavour::Old); });
  on(m.newNewFlavour, [this] { NewArchive(pff::Flavour::New); });
  on(m.openArchives, [this] { OpenFromDialog(); });
  for (int i = 0; i < kCloseItems; ++i) on(m.closeItems[i], [this, i] { CloseArchive(i); });
  on(m.about, [this] { ShowAbout(); });
  for (int n = 1; n <= 4; ++n) on(m.recentItems[n], [this, n] { OpenRecent(n); });
  on(m.exit, [this] { Exit(); });
  on(m.dayMonthYear, [this] { SetDateStyle(pff::DateStyle::Good); });
  on(m.monthDayYear, [this] { SetDateStyle(pff::DateStyle::Bad); });
  for (QAction* tick : {m.showDeadSpace, m.reuseDeadSpace, m.alwaysOverwrite})
    on(tick, [this] { TakeOptionTicks(); });
  on(m.showPreview, [this] { ShowPreviewToggled(); });
  on(m.addFiles, [this] { add_->AddChosenFiles(); });
  on(m.extractEntries, [this] { extract_->ExtractToFolder(); });
  on(m.renameEntry, [this] { rename_->RenameCurrent(); });
  on(m.deleteEntries, [this] { delete_->DeleteHighlighted(); });
  on(m.checkArchive, [this] { upkeep_->CheckChosen(); });
  on(m.compactArchive, [this] { upkeep_->CompactChosen(); });
  on(m.undoChange, [this] { undo_->Undo(UndoArchive()); });
  on(m.redoChange, [this] { undo_->Redo(UndoArchive()); });
  // Another program (pff undo, another window) may have added or taken steps since.
  connect(m.actionsMenu, &QMenu::aboutToShow, this, [this] { RefreshUndoItems(); });
}

void MainWindow::ConnectControls() {
  // Arrow keys make a node current as a click does; a click on the node
  // already chosen lists it again all the same.
  archiveTree_->viewport()->installEventFilter(this);
  connect(archiveTree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
    if (node && ArchiveOfKey(NodeKey(node)) != selectedArchive_) ShowNode(node);
  });
  connect(archiveTree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) {
    if (node == nodeAtPress_ || ArchiveOfKey(NodeKey(node)) != selectedArchive_) ShowNode(node);
  });
  connect(filter_, &FilterControls::filterChanged, this, [this] { RefreshList(); });
  connect(advancedFilter_, &QPushButton::clicked, this, [this] { filter_->OpenAdvanced(this, dateStyle_); });
  connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int k) { SortByColumn(k); });
  connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    listing_->UpdateSelection();
    UpdatePreview();
  });
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { UpdatePreview(); });
  connect(grid_, &GridView::rightPressed, this, [this](const QPoint& pos) { ShowGridMenu(pos); });
  connect(grid_, &QTableView::doubleClicked, this, [this] { extract_->OpenCurrentEntry(); });
  connect(grid_, &GridView::enterPressed, this, [this] { extract_->OpenCurrentEntry(); });
  connect(preview_, &PreviewPane::openRequested, this, [this] { extract_->OpenCurrentEntry(); });
  grid_->SetDragSource([this] { return extract_->DragOut(); });
  connect(grid_, &GridView::filesDropped, this,
          [this](const QStringList& paths) { add_->AddDroppedFiles(paths); });
  connect(watcher_, &ArchiveWatcher::changedOnDisk, this, [this] { ReloadChangedArchives(); });
}

void MainWindow::SetBusy(bool busy) {
  busy_ = busy;
  watcher_->Hold(busy);
  UpdateActionStates();
  if (!busy && closeAfterWork_) QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::UpdateActionStates() {
  // While a job runs, what would change archives or the table of open ones
  // waits; browsing, sorting, filtering, the options and the preview do not.
  const MenuActions& m = *menus_;
  for (QMenu* menu : {m.newMenu, m.closeMenu, m.actionsMenu})
    for (QAction* action : menu->actions())
      if (!action->menu() && !action->isSeparator()) action->setEnabled(!busy_);
  m.openArchives->setEnabled(!busy_);
  for (int n = 1; n <= 4; ++n) m.recentItems[n]->setEnabled(!busy_);
  const bool oneArchive = !busy_ && selectedArchive_ >= 1 && selectedArchive_ <= table_.Count();
  m.checkArchive->setEnabled(oneArchive);
  m.compactArchive->setEnabled(oneArchive);
  cancelAction_->setEnabled(busy_);
  RefreshUndoItems();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing inside running work would pull the window from under it: stop the work first.
  if (busy_) {
    jobs_->Cancel();
    closeAfterWork_ = true;
    event->ignore();
    return;
  }
  // Opened copies go with the session folder: offer once to put back those saved since.
  const QStringList unsaved = edited_->Unsaved();
  if (!unsaved.isEmpty()) {
    const bool putBack = dialogs_.YesNo(
        this, QString(),
        "These entries were changed and not put back:\n" + unsaved.join("\n") + "\nPut them back now?");
    if (putBack) {
      event->ignore();
      edited_->PutBackAll([this] {
        edited_->Forget();  // what failed was reported; closing does not ask again
        close();
      });
      return;
    }
    edited_->Forget();
  }
  QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == archiveTree_->viewport() && event->type() == QEvent::MouseButtonPress)
    nodeAtPress_ = archiveTree_->currentItem();
  if ((watched == authorLabel_ || watched == mailLink_) && event->type() == QEvent::MouseButtonRelease)
    OpenMailLink();
  return QMainWindow::eventFilter(watched, event);
}

// --- pff::Frontend -------------------------------------------------------

void MainWindow::ReportError(pff::Routine routine, const std::string& description) {
  dialogs_.Message(
      this, QString(),
      QString("Error in ") + pff::RoutineName(routine) + "\r\n" + QString::fromStdString(description));
}

void MainWindow::Notify(const std::string& text) {
  dialogs_.Message(this, QString(), QString::fromStdString(text));
}

bool MainWindow::AskReplace(const pff::ReplaceRequest& request) {
  return dialogs_.YesNo(this, "Warning!", ReplaceQuestionText(request, dateStyle_));
}

// --- what the window shows ---------------------------------------------------------

ListingChoice MainWindow::Choice() const {
  return {selectedArchive_, showDeadSpace_, filter_->Filter(), dateStyle_};
}

void MainWindow::ShowArchive(int index) {
  const std::string fileName = pff::GetFileName(table_.Archive(index).Path);
  AddArchiveNode(archiveTree_, index, QString::fromStdString(fileName));
  // Archives past the last close item are closed with "Close All".
  if (index >= 1 && index < kCloseItems) {
    menus_->closeItems[index]->setText(MenuText(fileName));
    menus_->closeItems[index]->setVisible(true);
  }
}

void MainWindow::RefreshFileList() {
  try {
    QTreeWidgetItem* root = ResetArchiveTree(archiveTree_);
    for (int i = 1; i < kCloseItems; ++i) {
      menus_->closeItems[i]->setText(QString());
      menus_->closeItems[i]->setVisible(false);
    }
    for (int i = 1; i <= table_.Count(); ++i) ShowArchive(i);
    if (table_.IsLoaded()) root->setExpanded(true);
    SelectArchiveNode();
    watcher_->Watch(OpenPaths());
    UpdateActionStates();
  } catch (const std::exception& e) {
    ReportError(pff::Routine::RefreshTree, e.what());
  }
}

void MainWindow::SelectArchiveNode() {
  // Following the shown archive is no user's choice: no relisting.
  const QSignalBlocker quiet(archiveTree_);
  if (QTreeWidgetItem* node = FindArchiveNode(archiveTree_, selectedArchive_))
    archiveTree_->setCurrentItem(node);
}

void MainWindow::RefreshFilterList() {
  try {
    QStringList types;
    for (const std::string& type : pff::CollectFileTypes(table_, selectedArchive_))
      types << QString::fromStdString(pff::Latin1ToUtf8(type));
    filter_->SetTypes(types);
    listing_->ShowWalk(selectedArchive_);
    progressBar_->setValue(progressBar_->minimum());
  } catch (const std::exception& e) {
    ReportError(pff::Routine::RefreshTypeList, e.what());
  }
}

void MainWindow::RefreshList() {
  try {
    listing_->Refresh(Choice());
    if (table_.IsLoaded()) archiveTree_->setFocus();
  } catch (const std::exception& e) {
    ReportError(pff::Routine::RefreshGrid, e.what());
  }
}

void MainWindow::RelistKeepingView() {
  const GridListing::Kept kept = listing_->Remember();
  const bool gridHadFocus = grid_->hasFocus();
  RefreshList();
  listing_->Restore(kept);
  if (gridHadFocus) grid_->setFocus();
}

void MainWindow::ShowNode(QTreeWidgetItem* node) {
  if (!node) return;
  selectedArchive_ = ArchiveOfKey(NodeKey(node));
  UpdateActionStates();
  RefreshList();
}

void MainWindow::SortByColumn(int column) { listing_->SortByColumn(column); }

void MainWindow::ShowGridMenu(const QPoint& globalPos) {
  QMenu* menu = menus_->actionsMenu;
  if (!table_.IsLoaded() || menu->isVisible()) return;
  menu->popup(globalPos - QPoint(menu->sizeHint().width() / 2, 0));
}

// --- CommandTarget -------------------------------------------------------------

int MainWindow::CurrentRow() const { return listing_->CurrentRow(); }
std::vector<int> MainWindow::SelectedRows() const { return listing_->SelectedRows(); }
std::optional<pff::GridRow> MainWindow::RowAt(int row) const { return listing_->RowAt(row); }

void MainWindow::ArchivesWritten(int touched) {
  if (touched >= 1 && touched <= table_.Count()) lastChangedPath_ = table_.Archive(touched).Path;
  watcher_->NoteOwnWrites(OpenPaths());
  RelistKeepingView();
  RefreshUndoItems();
}

// --- archives changed on disk ---------------------------------------------------

QStringList MainWindow::OpenPaths() const {
  QStringList paths;
  for (const pff::PffArchive& archive : table_) paths << QString::fromStdString(archive.Path);
  return paths;
}

void MainWindow::ReloadChangedArchives() {
  if (busy_) return;
  const QStringList changed = watcher_->TakeChanged();
  QStringList reread;
  for (int a = 1; a <= table_.Count(); ++a) {
    pff::PffArchive& archive = table_.Archive(a);
    if (changed.contains(QString::fromStdString(archive.Path)) && pff::ReloadArchive(archive, *this))
      reread << QString::fromStdString(pff::GetFileName(archive.Path));
  }
  if (reread.isEmpty()) return;
  RefreshFilterList();
  RelistKeepingView();
  RefreshUndoItems();
  status_->ShowResult("Read again after a change on disk: " + reread.join(", "));
}
