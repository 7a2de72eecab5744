#pragma once
// What the commands work with: the open archives, what the user chose in the
// window, the dialogs, the status bar and the job runner. The window provides
// them; the commands never reach into it otherwise.

#include <optional>
#include <vector>

#include "engine/archive_table.h"
#include "engine/frontend.h"
#include "listing/grid_rows.h"

class Dialogs;
class JobRunner;
class QWidget;
class StatusPanel;

/// The archive chosen in the tree and the rows highlighted in the grid: what a
/// command acts on; and the relisting after a command changed archives.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  /// Archive chosen in the tree; pff::kAllArchives for "View All".
  virtual int SelectedArchive() const = 0;
  /// Model row of the grid's current index; -1 when none.
  virtual int CurrentRow() const = 0;
  /// Highlighted rows, from the current row towards the other end of the block.
  virtual std::vector<int> SelectedRows() const = 0;
  /// Archive and entry of a listed row; nullopt outside the list.
  virtual std::optional<pff::GridRow> RowAt(int row) const = 0;
  /// Archives were written here: remembered as written, and the grid rebuilt keeping the
  /// view. touched is the archive the change wrote last (0: none), the one "Undo" then
  /// acts on in "View All".
  virtual void ArchivesWritten(int touched) = 0;
};

struct CommandServices {
  QWidget& window;  // parent of the dialogs
  Dialogs& dialogs;
  pff::Frontend& port;  // errors and notices of work done on the window's thread
  StatusPanel& status;
  JobRunner& jobs;
  pff::ArchiveTable& table;
  CommandTarget& target;
};

/// The archive a grid row names; a stale index is the command's error, not a crash.
pff::PffArchive& ArchiveOfRow(pff::ArchiveTable& table, const pff::GridRow& row);
/// The highlighted rows that name entries, from the current row on.
std::vector<pff::GridRow> ChosenRows(const CommandTarget& target);
