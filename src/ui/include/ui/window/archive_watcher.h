#pragma once
// Notices when another program changes an open archive's file: each change
// must rest a moment (a writer's steps end), and the window's own writes are
// told apart by the size and time they left.

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <utility>

class QFileSystemWatcher;
class QTimer;

class ArchiveWatcher : public QObject {
  Q_OBJECT

 public:
  explicit ArchiveWatcher(QObject* parent = nullptr);

  /// Watches exactly these files; a file newly watched counts as written here.
  void Watch(const QStringList& paths);
  /// The files as they are now are this window's own writes.
  void NoteOwnWrites(const QStringList& paths);
  /// While held, a change is kept for later (a job is writing archives).
  void Hold(bool held);
  /// The watched files changed by others since the last call, and still different from
  /// this window's last write of them; each is then taken as read.
  QStringList TakeChanged();
  /// How long a change must rest before it is reported, for watchers made later (tests).
  static void SetRestDelay(int milliseconds);

 signals:
  /// Files changed on disk and rested; TakeChanged names them.
  void changedOnDisk();

 private:
  void FileChanged(const QString& path);

  QFileSystemWatcher* watcher_;
  QTimer* rest_;
  bool held_ = false;
  QHash<QString, std::pair<qint64, qint64>> ownStamps_;  // path: size, modification ms as last written here
  QSet<QString> changed_;
};
