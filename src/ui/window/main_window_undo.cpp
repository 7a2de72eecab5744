// Which archive "Undo" and "Redo" act on, and their captions.

#include "engine/archive_table.h"
#include "ui/commands/undo_steps.h"
#include "ui/window/main_window.h"
#include "ui/window/menus.h"

int MainWindow::UndoArchive() const {
  if (selectedArchive_ >= 1 && selectedArchive_ <= table_.Count()) return selectedArchive_;
  // "View All" lists every archive: the one just changed is the one the user
  // means. It is known by its file, as closing others moves its index.
  if (selectedArchive_ != pff::kAllArchives || lastChangedPath_.empty()) return 0;
  return pff::FindOpenArchive(table_, lastChangedPath_);
}

void MainWindow::RefreshUndoItems() {
  undo_->ShowSteps(UndoArchive(), !busy_, menus_->undoChange, menus_->redoChange);
}
