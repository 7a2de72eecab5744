#pragma once
// The commands that copy entries out, each as a job: "Extract" into a chosen
// folder, opening the current entry with its desktop program (double click,
// Enter), and dragging highlighted rows out as files.

#include <memory>

#include "ui/commands/command_services.h"

class QMimeData;
class SessionFolder;

class ExtractCommand {
 public:
  explicit ExtractCommand(const CommandServices& services);
  ~ExtractCommand();

  /// Asks for a folder and extracts the highlighted rows' entries into it.
  void ExtractToFolder();
  /// Extracts the current entry into the session folder and opens it with the desktop's program.
  void OpenCurrentEntry();
  /// Starts extracting the highlighted rows' entries (with their stored times) into a new folder
  /// of the session folder; their file URLs, which a drop target can read once they are written,
  /// or nullptr when there is nothing to drag.
  QMimeData* DragOut();

 private:
  CommandServices s_;
  std::unique_ptr<SessionFolder> extracted_;  // what opening and dragging out wrote
};
