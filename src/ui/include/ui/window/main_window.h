#pragma once
// The main window: it lays out the tree of open archives, the quick filter,
// the grid with its preview pane and the progress row, and wires the menus to
// the parts that do the work: the commands (ui/commands), the grid's listing
// (ui/grid), the filter controls (ui/filter), the recent archives and the
// watcher of changes on disk. The engine reports and asks through
// pff::Frontend; what to redraw after an open, new or close the window
// decides itself.

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editing/engine_options.h"
#include "engine/archive_table.h"
#include "engine/frontend.h"
#include "engine/pff_format.h"
#include "listing/grid_rows.h"
#include "ui/commands/command_services.h"
#include "ui/window/settings_store.h"

class AddFilesCommand;
class ArchiveUpkeep;
class ArchiveWatcher;
class DeleteCommand;
class EditedEntries;
class Dialogs;
class ExtractCommand;
class FilterControls;
class GridListing;
class GridModel;
class GridView;
class JobRunner;
class PreviewPane;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class RecentArchives;
class RenameCommand;
class StatusPanel;
class UndoCommand;
class WorkProgress;
struct ListingChoice;
struct MenuActions;

class MainWindow : public QMainWindow, public pff::Frontend, private CommandTarget {
  Q_OBJECT

 public:
  explicit MainWindow(Dialogs& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  // pff::Frontend: "Error in ROUTINE" boxes, notices, the replace question.
  void ReportError(pff::Routine routine, const std::string& description) override;
  void Notify(const std::string& text) override;
  bool AskReplace(const pff::ReplaceRequest& request) override;

  /// Rebuilds the tree and the close menu from the table.
  void RefreshFileList();
  /// Rebuilds the quick type list.
  void RefreshFilterList();
  /// Rebuilds the grid from the top, then hands the keyboard to the tree.
  void RefreshList();

  /// "Open File": archives chosen in the dialog, opened as a job.
  void OpenFromDialog();
  /// Opens the archives the command line names unless open (no recent-list change).
  void OpenFromCommandLine(const QStringList& paths);
  /// A recent item: opens its archive unless it is open.
  void OpenRecent(int slot);
  /// "New": an empty archive of a flavour, written where the save dialog says.
  void NewArchive(pff::Flavour flavour);
  /// A close item: archive index, or 0 for "Close All".
  void CloseArchive(int index);
  void ShowAbout();
  /// "Exit": ends the program once a running job stopped.
  void Exit();
  /// Lists the archive of a tree node (the root: "View All").
  void ShowNode(QTreeWidgetItem* node);
  /// A header click: sorts the grid by visible column 0-4.
  void SortByColumn(int column);
  /// The mail link in "About:".
  void OpenMailLink();

  /// Whether a job is running (the commands that change archives are off meanwhile).
  bool Busy() const { return busy_; }
  /// Where the file dialogs start before they remember a folder (the home folder by default).
  void SetStartFolder(const QString& folder) { startFolder_ = folder; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // CommandTarget: what the commands act on.
  int SelectedArchive() const override { return selectedArchive_; }
  int CurrentRow() const override;
  std::vector<int> SelectedRows() const override;
  std::optional<pff::GridRow> RowAt(int row) const override;
  void ArchivesWritten(int touched) override;

  // Built in main_window_layout.cpp.
  void BuildLayout();
  QWidget* BuildLeftColumn(QWidget* parent);
  QWidget* BuildProgressRow(QWidget* parent);
  /// The grid and the preview pane side by side.
  QWidget* BuildPreviewSplitter(QWidget* parent);
  void BuildCommands();
  void ConnectMenus();
  void ConnectControls();

  ListingChoice Choice() const;
  /// Rebuilds the grid keeping the highlighted entries and the view (after a change or a reload).
  void RelistKeepingView();
  /// A job started (what would change archives or the table goes off) or ended.
  void SetBusy(bool busy);
  /// Enables the commands that fit the state: none that change archives while busy,
  /// check and compact with one archive shown.
  void UpdateActionStates();
  /// Opens paths as a job, skipping those open already; each archive that opened
  /// gets its tree node and close item, and, when remember, a recent slot; then
  /// the type list and the grid are rebuilt once.
  void OpenArchives(const QStringList& paths, bool remember);
  /// Tree node and close item of one open archive.
  void ShowArchive(int index);
  void SelectArchiveNode();
  void ShowGridMenu(const QPoint& globalPos);
  /// The open archives' paths, as the watcher and the session see them.
  QStringList OpenPaths() const;
  /// Reads again the open archives another program changed, and relists.
  void ReloadChangedArchives();
  /// Shows the current entry, or a summary of several, in the preview pane when it is shown.
  void UpdatePreview();

  // Undo and redo (main_window_undo.cpp).
  /// The archive "Undo" and "Redo" act on: the one chosen in the tree, or in
  /// "View All" the one this window's last change touched; 0 when none.
  int UndoArchive() const;
  /// Names its steps in the items' captions and enables those it has.
  void RefreshUndoItems();

  // Options (main_window_options.cpp).
  void LoadSettings();
  void SetDateStyle(pff::DateStyle style);
  void TakeOptionTicks();
  void ShowPreviewToggled();

  Dialogs& dialogs_;
  SettingsStore settings_;
  pff::ArchiveTable table_;
  pff::EngineOptions options_;
  pff::DateStyle dateStyle_ = pff::DateStyle::Good;
  int selectedArchive_ = pff::kAllArchives;
  bool showDeadSpace_ = false;
  QString startFolder_;
  bool busy_ = false;
  bool closeAfterWork_ = false;
  std::string lastChangedPath_;  // the archive this window's last change touched
  QTreeWidgetItem* nodeAtPress_ = nullptr;

  QTreeWidget* archiveTree_ = nullptr;
  GridView* grid_ = nullptr;
  GridModel* model_ = nullptr;
  PreviewPane* preview_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QAction* cancelAction_ = nullptr;
  QComboBox* quickTypes_ = nullptr;
  QGroupBox* filterFrame_ = nullptr;
  QPushButton* advancedFilter_ = nullptr;
  QLabel* versionLabel_ = nullptr;
  QLabel* authorLabel_ = nullptr;
  QLineEdit* mailLink_ = nullptr;
  StatusPanel* status_ = nullptr;
  WorkProgress* work_ = nullptr;
  std::unique_ptr<MenuActions> menus_;
  std::unique_ptr<RecentArchives> recent_;
  std::unique_ptr<GridListing> listing_;
  FilterControls* filter_ = nullptr;
  ArchiveWatcher* watcher_ = nullptr;
  JobRunner* jobs_ = nullptr;
  std::unique_ptr<AddFilesCommand> add_;
  std::unique_ptr<ExtractCommand> extract_;
  EditedEntries* edited_ = nullptr;
  std::unique_ptr<DeleteCommand> delete_;
  std::unique_ptr<RenameCommand> rename_;
  std::unique_ptr<ArchiveUpkeep> upkeep_;
  std::unique_ptr<UndoCommand> undo_;
};
