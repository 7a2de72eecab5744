#pragma once
// The commands that change archives or copy entries out of them: add (by the
// dialog or a drop), extract, open by double-click, delete, rename, drag out,
// and the advanced filter. They act on the rows the user highlighted, ask
// their questions, move PB1 and say in the status bar what was done; the
// engine does the work.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "editing/engine_options.h"
#include "engine/archive_table.h"
#include "engine/window_port.h"
#include "listing/filter.h"
#include "listing/format_value.h"
#include "listing/grid_rows.h"

class Dialogs;
class QMimeData;
class QWidget;
class SessionFolder;
class SettingsStore;
class StatusPanel;
class WorkProgress;

/// What the commands need of the window around them: the rows the user chose,
/// the busy state, and a relisting after a change.
class EditingView {
 public:
  virtual ~EditingView() = default;
  /// Archive shown in the tree; pff::kAllArchives for "View All".
  virtual int SelectedArchive() const = 0;
  /// Model row of the grid's current index; -1 when none.
  virtual int CurrentRow() const = 0;
  /// Highlighted rows, from the current row towards the other end of the block.
  virtual std::vector<int> SelectedRows() const = 0;
  /// Archive and entry of a listed row; nullopt outside the list.
  virtual std::optional<pff::GridRow> RowAt(int row) const = 0;
  /// Whether a command is running (its own events still being answered).
  virtual bool Busy() const = 0;
  /// A command starts (the other commands, the tree and the filter go off) or ends.
  virtual void SetBusy(bool busy) = 0;
  /// Archives were written here: remembered as written, and the grid rebuilt keeping the view.
  virtual void ArchivesWritten() = 0;
  /// The items of the quick type list, " Show All" first.
  virtual QStringList QuickTypes() const = 0;
  /// The advanced filter replaced the one in force: quick list, caption and grid follow.
  virtual void AdvancedFilterApplied() = 0;
};

/// Where the commands find the archives, the options and the window's parts.
struct EditingParts {
  QWidget& window;  // parent of the dialogs
  EditingView& view;
  pff::WindowPort& port;  // errors and questions of the engine
  Dialogs& dialogs;
  SettingsStore& settings;
  pff::ArchiveTable& table;
  const pff::EngineOptions& options;
  const pff::DateStyle& timeDate;  // the window's, as the menu sets it
  pff::FilterSettings& filter;
  WorkProgress& work;
  StatusPanel& status;
  const QString& startFolder;  // where file dialogs start before a folder was remembered
};

class EditingCommands {
 public:
  explicit EditingCommands(const EditingParts& parts);
  ~EditingCommands();

  void mnuAddFiles_Click();
  /// Files dropped onto the grid from elsewhere.
  void FG1_FilesDropped(const QStringList& paths);
  void mnuExtract_Click();
  /// Opens a copy of the current entry (in the session folder) with the desktop's program.
  void FG1_DblClick();
  void mnuDelete_Click();
  void mnuRename_Click();
  void cmdAdvanced_Click();
  /// Extracts the highlighted rows' entries (with their stored times) into a
  /// new folder of the window's session folder; file URLs of them, or nullptr.
  QMimeData* DragMimeData();

 private:
  /// Adds files into the shown archive, answering input between them.
  void AddFiles(const QStringList& paths);
  /// The shown archive is no single one: says so and returns true.
  bool RefusedInViewAll();
  /// The archive a grid row names; a stale index is the command's error, not a crash.
  pff::PffArchive& ArchiveOfRow(const pff::GridRow& row);

  // While a command runs: the other commands, the tree and the filter are off.
  class BusyScope {
   public:
    explicit BusyScope(EditingView& view) : view_(view) { view_.SetBusy(true); }
    ~BusyScope() { view_.SetBusy(false); }

   private:
    EditingView& view_;
  };

  EditingParts p_;
  std::unique_ptr<SessionFolder> extracted_;  // what drag out and opening wrote
};
