// Keeping open archives true to their files: reading again an archive another
// program changed.

#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include "engine/name_helpers.h"
#include "ui/window/main_window.h"
#include "ui/window/status_texts.h"

namespace {

QString ArchivePath(const pff::PffArchive& archive) { return QString::fromStdString(archive.Path); }

QString ArchiveName(const pff::PffArchive& archive) {
  return QString::fromStdString(pff::GetFileName(archive.Path));
}

// Size and modification time: what tells a change by another program from our own last write.
std::pair<qint64, qint64> Stamp(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return {-1, -1};
  return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

}  // namespace

// --- archives changed on disk ---------------------------------------------------

void MainWindow::WatchOpenArchives() {
  QStringList open;
  for (const pff::PffArchive& archive : table_) open << ArchivePath(archive);
  const QStringList watched = watcher_->files();
  for (const QString& path : watched)
    if (!open.contains(path)) {
      watcher_->removePath(path);
      ownStamps_.remove(path);
    }
  for (const QString& path : open)
    if (!watched.contains(path)) {
      ownStamps_[path] = Stamp(path);
      if (QFileInfo::exists(path)) watcher_->addPath(path);
    }
}

void MainWindow::NoteOwnWrites() {
  for (const pff::PffArchive& archive : table_)
    ownStamps_[ArchivePath(archive)] = Stamp(ArchivePath(archive));
}

void MainWindow::ArchivesWritten() {
  NoteOwnWrites();
  RelistKeepingView();
}

void MainWindow::FileChangedOnDisk(const QString& path) {
  // A file replaced by a rename is no longer watched.
  if (!watcher_->files().contains(path) && QFileInfo::exists(path)) watcher_->addPath(path);
  if (!ownStamps_.contains(path) || Stamp(path) == ownStamps_.value(path)) return;
  changedPaths_.insert(path);
  // While a command runs, its end reads the change.
  if (!busy_) reloadTimer_->start();
}

void MainWindow::ReloadChangedArchives() {
  if (busy_ || changedPaths_.isEmpty()) return;
  const QSet<QString> changed = std::exchange(changedPaths_, {});
  QStringList reread;
  for (int a = 1; a <= table_.Count(); ++a) {
    pff::PffArchive& archive = table_.Archive(a);
    const QString path = ArchivePath(archive);
    if (!changed.contains(path) || Stamp(path) == ownStamps_.value(path)) continue;
    ownStamps_[path] = Stamp(path);
    if (!watcher_->files().contains(path) && QFileInfo::exists(path)) watcher_->addPath(path);
    if (pff::ReloadArchive(archive, *this)) reread << ArchiveName(archive);
  }
  if (reread.isEmpty()) return;
  RefreshFilterList();
  RelistKeepingView();
  status_->ShowResult("Read again after a change on disk: " + reread.join(", "));
}
