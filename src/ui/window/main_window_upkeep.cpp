// Keeping open archives sound and true to their files: checking and
// compacting the shown archive, and reading again an archive another program
// changed.

#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include "editing/compact_archive.h"
#include "engine/archive_check.h"
#include "engine/name_helpers.h"
#include "ui/window/dialogs.h"
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

// --- check and compact -------------------------------------------------------

void MainWindow::mnuCheck_Click() {
  if (busy_ || selectedArchive_ < 1 || selectedArchive_ > table_.Count()) return;
  const pff::PffArchive& archive = table_.Archive(selectedArchive_);
  const pff::CheckReport report = pff::CheckArchive(archive.Path);
  QStringList lines{QString::fromStdString(pff::CheckSummary(report))};
  for (const pff::CheckFinding& finding : report.Findings)
    lines << QString::fromStdString(pff::FindingText(finding));
  dialogs_.ShowText(this, "Check Archive", lines.join('\n'));
  status_->ShowResult(QString("Checked %1: %2 errors, %3 warnings")
                          .arg(ArchiveName(archive))
                          .arg(report.Errors())
                          .arg(report.Warnings()));
}

void MainWindow::mnuCompact_Click() {
  if (busy_ || selectedArchive_ < 1 || selectedArchive_ > table_.Count()) return;
  pff::PffArchive& archive = table_.Archive(selectedArchive_);
  const QString question = QString("Compact %1? %2 of dead space will be reclaimed")
                               .arg(ArchiveName(archive), HumanSize(pff::ReclaimableBytes(archive)));
  if (!dialogs_.YesNo(this, QString(), question)) return;
  const std::optional<pff::CompactResult> result = pff::CompactArchive(archive, false, *this);
  if (!result) return;
  NoteOwnWrites();
  WatchOpenArchives();
  RefreshFilterList();
  RefreshList();
  status_->ShowResult(QString("Compacted %1: %2 reclaimed")
                          .arg(ArchiveName(archive), HumanSize(result->BytesBefore - result->BytesAfter)));
}

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
