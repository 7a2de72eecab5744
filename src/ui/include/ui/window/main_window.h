#pragma once
// The main window frmMain: menus, the tree of open archives, the entry grid and
// the quick type list. The engine reports and asks through pff::WindowPort;
// what to redraw after an open, new or close the window decides itself. The
// commands that edit archives live in ui/commands and run long work as jobs.

#include <QHash>
#include <QMainWindow>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "editing/engine_options.h"
#include "engine/archive_table.h"
#include "engine/window_port.h"
#include "listing/filter.h"
#include "listing/grid_rows.h"
#include "ui/commands/command_services.h"
#include "ui/window/settings_store.h"

class Dialogs;
class QAction;
class QComboBox;
class QFileSystemWatcher;
class QPushButton;
class QTimer;
class StatusPanel;
class WorkProgress;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;
class GridModel;
class GridView;
class PreviewPane;
struct MenuActions;

class AddFilesCommand;
class ArchiveUpkeep;
class DeleteCommand;
class ExtractCommand;
class JobRunner;
class RenameCommand;

class MainWindow : public QMainWindow, public pff::WindowPort, private CommandTarget {
  Q_OBJECT

 public:
  explicit MainWindow(Dialogs& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  // pff::WindowPort
  void ReportError(const std::string& routine, const std::string& description) override;
  void Notify(const std::string& text) override;
  bool AskReplace(const pff::ReplaceRequest& request) override;

  /// Rebuilds the tree and the close menu from the table.
  void RefreshFileList();
  /// Rebuilds the quick type list.
  void RefreshFilterList();
  /// Rebuilds the grid.
  void RefreshList();

  // Menu and control handlers; the editing ones are EditingCommands'.
  void mnuOpen_Click();
  void mnuNewV1_Click();
  void mnuNewV2_Click();
  void mnuActualClose_Click(int index);
  void mnuLast_Click(int index);
  void mnuAbout_Click();
  void mnuExit_Click();
  // The three option handlers below the date styles take their item's tick,
  // which the checkable QAction has already inverted when it triggers.
  void mnuGoodFormat_Click();
  void mnuBadFormat_Click();
  void mnuOverwrite_Click();
  void mnuReUseDeadSpace_Click();
  void mnuShowDeadSpace_Click();
  void mnuShowPreview_Click();
  void TV1_NodeClick(QTreeWidgetItem* node);
  void FilterList_Click();
  void FG1_HeaderClick(int column);
  void Text1_Click();
  /// Opens the archives the command line names unless open, as start-up does (no recent-list change).
  void OpenFromCommandLine(const QStringList& paths);
  /// Whether a job is running (its commands are off meanwhile).
  bool Busy() const { return busy_; }

  /// How long a file changed on disk must rest before it is read again, for windows made later (tests).
  static void SetReloadDelay(int milliseconds);
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
  void ArchivesWritten() override;

  /// A job started (the commands that change archives or the table go off) or ended.
  void SetBusy(bool busy);
  void BuildCommands();
  /// Opens the advanced filter dialog; OK puts its filter in force.
  void OpenAdvancedFilter();
  /// The advanced filter replaced the one in force: quick list, caption and grid follow.
  void AdvancedFilterApplied();
  QStringList QuickTypes() const;

  void BuildLayout();
  void ConnectMenus();
  void LoadSettings();
  void RefreshLastOpend();
  void AddLastOpened(const QString& path);
  void SetTimeDate(pff::DateStyle style);
  /// Opens paths as a job, skipping those open already; each archive that opened
  /// gets its tree node and close item, and, when remember, a recent slot; then
  /// the type list and the grid are rebuilt once.
  void OpenArchives(const QStringList& paths, bool remember);
  /// Shows an archive the table took: its tree node and close item.
  void ShowOpened(int index);
  void NewArchive(bool oldFlavour);
  /// Tree node and close item of one open archive.
  void ShowArchive(int index, const std::string& fileName);
  void SelectArchiveNode();
  void ShowGridMenu(const QPoint& globalPos);
  void ApplyColumnWidths(const std::array<int, pff::kVisibleColumns>& widths);
  /// Leaves PB1 at the range of the last archive the grid or the type list walks.
  void ShowProgressOverTakenArchives();
  /// Enables the commands that fit the state: none while busy, check and compact with one archive shown.
  void UpdateActionStates();
  /// Quick list, frame caption and status bar after the filter changed.
  void SyncFilterControls();
  void SetFilterCaption(const QString& caption);
  void UpdateCounts();
  void UpdateSelectionStatus();
  /// Listed rows (0 when nothing is listed, even though one empty row shows).
  int RowCount() const;
  /// Selects rows current..end (either order) and makes current the current row.
  void SetSelection(int current, int end);
  /// Rebuilds the grid keeping the current row's neighbourhood in view (after a delete, rename or reload).
  void RelistKeepingView();
  /// Watches the open archives' files; remembers their state as this window left them.
  void WatchOpenArchives();
  void NoteOwnWrites();
  void FileChangedOnDisk(const QString& path);
  /// Reads again the open archives another program changed, and relists.
  void ReloadChangedArchives();
  /// The grid and the preview pane side by side; defined in main_window_preview.cpp.
  QWidget* BuildPreviewSplitter(QWidget* parent);
  /// Shows the current entry, or a summary of several, in the preview pane when it is shown.
  void UpdatePreview();

  Dialogs& dialogs_;
  SettingsStore settings_;
  pff::ArchiveTable table_;
  pff::EngineOptions options_;
  pff::DateStyle timeDate_ = pff::DateStyle::Good;
  pff::FilterSettings currentFilter_;
  int selectedArchive_ = pff::kAllArchives;
  bool showDeadSpace_ = false;
  QString startFolder_;
  bool busy_ = false;
  bool closeAfterWork_ = false;
  QString quickType_;  // the type chosen in the quick list; empty when none is in force
  QTreeWidgetItem* nodeAtPress_ = nullptr;
  QHash<QString, std::pair<qint64, qint64>> ownStamps_;  // path: size, modification ms as last written here
  QSet<QString> changedPaths_;

  QTreeWidget* tv1_ = nullptr;
  GridView* fg1_ = nullptr;
  GridModel* model_ = nullptr;
  PreviewPane* preview_ = nullptr;
  QProgressBar* pb1_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QAction* cancelAction_ = nullptr;
  WorkProgress* work_ = nullptr;
  StatusPanel* status_ = nullptr;
  QFileSystemWatcher* watcher_ = nullptr;
  QTimer* reloadTimer_ = nullptr;
  QComboBox* filterList_ = nullptr;
  QGroupBox* fraSort_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QLineEdit* text1_ = nullptr;
  std::unique_ptr<MenuActions> menus_;
  JobRunner* jobs_ = nullptr;
  std::unique_ptr<AddFilesCommand> add_;
  std::unique_ptr<ExtractCommand> extract_;
  std::unique_ptr<DeleteCommand> delete_;
  std::unique_ptr<RenameCommand> rename_;
  std::unique_ptr<ArchiveUpkeep> upkeep_;
};
