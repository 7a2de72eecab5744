#include "ui/window/archive_watcher.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {

int restDelayMs = 300;

// Size and modification time: what tells a change by another program from our own last write.
std::pair<qint64, qint64> Stamp(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return {-1, -1};
  return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

}  // namespace

void ArchiveWatcher::SetRestDelay(int milliseconds) { restDelayMs = milliseconds; }

ArchiveWatcher::ArchiveWatcher(QObject* parent)
    : QObject(parent), watcher_(new QFileSystemWatcher(this)), rest_(new QTimer(this)) {
  rest_->setSingleShot(true);
  rest_->setInterval(restDelayMs);
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, &ArchiveWatcher::FileChanged);
  connect(rest_, &QTimer::timeout, this, [this] {
    if (!held_ && !changed_.isEmpty()) emit changedOnDisk();
  });
}

void ArchiveWatcher::Watch(const QStringList& paths) {
  const QStringList watched = watcher_->files();
  for (const QString& path : watched)
    if (!paths.contains(path)) {
      watcher_->removePath(path);
      ownStamps_.remove(path);
    }
  for (const QString& path : paths)
    if (!watched.contains(path)) {
      ownStamps_[path] = Stamp(path);
      if (QFileInfo::exists(path)) watcher_->addPath(path);
    }
}

void ArchiveWatcher::NoteOwnWrites(const QStringList& paths) {
  for (const QString& path : paths) {
    ownStamps_[path] = Stamp(path);
    // A file replaced by a rename (compaction, creation) is watched anew.
    if (!watcher_->files().contains(path) && QFileInfo::exists(path)) watcher_->addPath(path);
  }
}

void ArchiveWatcher::Hold(bool held) {
  held_ = held;
  // Changes other programs made while held are reported once they rest.
  if (!held_ && !changed_.isEmpty()) rest_->start();
}

void ArchiveWatcher::FileChanged(const QString& path) {
  // A file replaced by a rename is no longer watched.
  if (!watcher_->files().contains(path) && QFileInfo::exists(path)) watcher_->addPath(path);
  if (!ownStamps_.contains(path) || Stamp(path) == ownStamps_.value(path)) return;
  changed_.insert(path);
  // Each new change restarts the rest: a writer's steps are read once, when done.
  rest_->start();
}

QStringList ArchiveWatcher::TakeChanged() {
  QStringList taken;
  for (const QString& path : std::exchange(changed_, {})) {
    if (Stamp(path) == ownStamps_.value(path)) continue;
    ownStamps_[path] = Stamp(path);
    if (!watcher_->files().contains(path) && QFileInfo::exists(path)) watcher_->addPath(path);
    taken << path;
  }
  return taken;
}
