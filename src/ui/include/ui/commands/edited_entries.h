#pragma once
// Entries opened with their desktop program are copies in the session folder;
// when the program saves one, the window offers to put it back into its
// archive (a replace: in place when the size stays, else placed as an add
// places it). Saves are noticed by a file watcher, after they settle.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "engine/pff_archive.h"
#include "ui/commands/command_services.h"

class AddFilesCommand;
class QFileSystemWatcher;
class QTimer;

class EditedEntries : public QObject {
  Q_OBJECT

 public:
  EditedEntries(const CommandServices& services, AddFilesCommand& add, QObject* parent = nullptr);
  ~EditedEntries() override;

  /// Watches file, the copy of entry (as it was when opened) of the archive at archivePath.
  void Watch(const QString& file, const std::string& archivePath, const pff::PffEntry& entry);
  /// The copies saved since and not put back, "NAME (ARCHIVE)" each.
  QStringList Unsaved() const;
  /// Puts every unsaved copy back, one job after the other, then calls done.
  void PutBackAll(std::function<void()> done);
  /// Stops offering the unsaved copies (the user chose not to put them back).
  void Forget();

 private:
  struct Copy {
    QString file;
    std::string archivePath;
    pff::PffEntry entry;  // the record the copy was made from, or last put back as
    qint64 seenMs = 0;    // the copy's modification time and size when last looked at
    qint64 seenSize = 0;
    bool unsaved = false;
  };

  /// Asks about each copy saved since it was last looked at.
  void AskAboutSaves();
  /// Puts one copy back unless its archive changed since; then() runs once that ended.
  void PutBack(Copy& copy, std::function<void()> then);
  QString Describe(const Copy& copy) const;
  void PutBackQueued();

  CommandServices s_;
  AddFilesCommand& add_;
  QFileSystemWatcher* watcher_;
  QTimer* settle_;
  std::list<Copy> copies_;  // stable addresses for the jobs' callbacks
  bool asking_ = false;
  std::vector<Copy*> queue_;  // PutBackAll's copies still to go
  std::function<void()> queueDone_;
};
