#pragma once
// "Delete" (a job: each archive's directory rewritten once) and "Rename" (one
// directory write, done at once) on the rows the user highlighted.

#include "ui/commands/command_services.h"

class DeleteCommand {
 public:
  explicit DeleteCommand(const CommandServices& services) : s_(services) {}
  /// Asks, then turns the highlighted rows' entries into dead space.
  void DeleteHighlighted();

 private:
  CommandServices s_;
};

class RenameCommand {
 public:
  explicit RenameCommand(const CommandServices& services) : s_(services) {}
  /// Asks for a new name for the current row's entry and renames it.
  void RenameCurrent();

 private:
  CommandServices s_;
};
