#pragma once
// "Add" (the file dialog) and files dropped onto the grid: one job that adds
// them to the archive chosen in the tree as one change, asking before it
// replaces an entry of the same name.

#include <QString>
#include <QStringList>
#include <functional>

#include "editing/engine_options.h"
#include "ui/commands/command_services.h"

class SettingsStore;

class AddFilesCommand {
 public:
  AddFilesCommand(const CommandServices& services, const pff::EngineOptions& options, SettingsStore& settings,
                  const QString& startFolder);

  /// Asks for files, then adds them.
  void AddChosenFiles();
  /// Adds files dropped from elsewhere, in the order of the drop.
  void AddDroppedFiles(const QStringList& paths);
  /// Puts file over the same-named entry of archive index without asking (an
  /// edited copy going back); done(true) once it is in. False when a job runs.
  bool PutBack(int index, const QString& file, std::function<void(bool)> done);

 private:
  /// In "View All" there is no archive to add to: says so and returns true.
  bool RefusedInViewAll();
  /// putBack: an edited copy going back, as the undo history names it.
  void Start(int index, const QStringList& paths, const pff::EngineOptions& options, bool putBack,
             std::function<void(bool)> done = {});

  CommandServices s_;
  const pff::EngineOptions& options_;
  SettingsStore& settings_;
  const QString& startFolder_;
};
