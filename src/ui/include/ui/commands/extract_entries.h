#pragma once
// The commands that copy entries out, each as a job: "Extract" into a chosen
// folder, opening the current entry with its desktop program (double click,
// Enter), and dragging highlighted rows out as files.

#include <functional>
#include <memory>
#include <string>

#include "ui/commands/command_services.h"

class QMimeData;
class QString;
class SessionFolder;
namespace pff {
struct PffEntry;
}

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

  /// Told of each entry copy handed to a desktop program: the copy, its archive's path, the entry.
  using Opened =
      std::function<void(const QString& file, const std::string& archivePath, const pff::PffEntry&)>;
  void OnOpened(Opened opened) { opened_ = std::move(opened); }

 private:
  CommandServices s_;
  Opened opened_;
  std::unique_ptr<SessionFolder> extracted_;  // what opening and dragging out wrote
};
