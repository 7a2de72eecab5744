#pragma once
// "Undo" and "Redo": the newest change of an archive taken back, or the one
// taken back last made again, as a job that Escape stops. The steps live in
// the user's state folder, so they outlast the window.

#include "ui/commands/command_services.h"

class QAction;

class UndoCommand {
 public:
  explicit UndoCommand(const CommandServices& services) : s_(services) {}

  /// Undoes the newest step of archive index; a refusal is shown and writes nothing.
  void Undo(int index) { Run(index, false); }
  /// Redoes the step of archive index undone last; as Undo.
  void Redo(int index) { Run(index, true); }

  /// Names the steps of archive index (0: none) in the captions of undo and
  /// redo, enabling each only when it has a step. enabled false (work runs)
  /// disables both and reads nothing, the captions kept as they were.
  void ShowSteps(int index, bool enabled, QAction* undo, QAction* redo) const;

 private:
  void Run(int index, bool redo);

  CommandServices s_;
};
