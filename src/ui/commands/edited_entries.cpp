#include "ui/commands/edited_entries.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <utility>

#include "editing/placement.h"
#include "engine/name_helpers.h"
#include "engine/text_encoding.h"
#include "ui/commands/add_files.h"
#include "ui/commands/job.h"
#include "ui/window/dialogs.h"

namespace {

constexpr int kSettleMs = 400;

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

bool SameRecord(const pff::PffEntry& a, const pff::PffEntry& b) {
  return a.DeadFlag == b.DeadFlag && a.DataOffset == b.DataOffset && a.DataSize == b.DataSize &&
         a.FileTime == b.FileTime && a.Name == b.Name;
}

}  // namespace

EditedEntries::EditedEntries(const CommandServices& services, AddFilesCommand& add, QObject* parent)
    : QObject(parent),
      s_(services),
      add_(add),
      watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this)) {
  settle_->setSingleShot(true);
  settle_->setInterval(kSettleMs);
  // Saves arrive as bursts of changes: the copies are looked at once they settle. An editor
  // that saves by renaming a new file over the copy shows as a change of its folder.
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { settle_->start(); });
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_->start(); });
  connect(settle_, &QTimer::timeout, this, &EditedEntries::AskAboutSaves);
}

EditedEntries::~EditedEntries() = default;

void EditedEntries::Watch(const QString& file, const std::string& archivePath, const pff::PffEntry& entry) {
  const QFileInfo info(file);
  copies_.push_back({file, archivePath, entry, info.lastModified().toMSecsSinceEpoch(), info.size(), false});
  watcher_->addPath(file);
  watcher_->addPath(info.path());
}

void EditedEntries::AskAboutSaves() {
  if (asking_) return;
  // A question or a job of its own would cross the running job: look again once it ended.
  if (s_.jobs.Running()) return settle_->start();
  for (Copy& copy : copies_) {
    const QFileInfo info(copy.file);
    if (!info.exists()) continue;
    // A program that saved by renaming a new file over the copy left the watcher without it.
    if (!watcher_->files().contains(copy.file)) watcher_->addPath(copy.file);
    const qint64 ms = info.lastModified().toMSecsSinceEpoch();
    if (ms == copy.seenMs && info.size() == copy.seenSize) continue;
    copy.seenMs = ms;
    copy.seenSize = info.size();
    asking_ = true;
    const QString name = Utf8(pff::DisplayName(copy.entry.Name));
    const bool yes = s_.dialogs.YesNo(
        &s_.window, QString(), name + " was changed. Put it back into " + Utf8(copy.archivePath) + "?");
    asking_ = false;
    copy.unsaved = true;
    if (yes) {
      // One job at a time: the other saved copies are asked about once this one is back.
      PutBack(copy, [this] { settle_->start(); });
      return;
    }
  }
}

void EditedEntries::PutBack(Copy& copy, std::function<void()> then) {
  const QString name = Utf8(pff::DisplayName(copy.entry.Name));
  const QString archive = Utf8(copy.archivePath);
  auto refuse = [&](const QString& why) {
    copy.unsaved = false;  // said once; asking again on exit would only repeat it
    s_.port.Notify((name + " was not put back: " + why).toStdString());
    then();
  };
  int index = 0;
  for (int i = 1; i <= s_.table.Count(); ++i)
    if (s_.table.Archive(i).Path == copy.archivePath) index = i;
  if (index == 0) return refuse(archive + " is not open any more.");
  const pff::PffArchive& record = s_.table.Archive(index);
  const int now = pff::FindEntryByName(record.Entries, copy.entry.Name);
  if (now == 0 || !SameRecord(record.Entry(now), copy.entry))
    return refuse(archive + " was changed since it was opened; nothing was written.");
  // The copy's file name must give the entry's name back, or the add would make a new entry.
  const std::string fileName = pff::Utf8ToLatin1(pff::GetFileName(copy.file.toStdString()));
  if (pff::FindEntryByName({copy.entry}, pff::MakeEntryName(fileName)) != 1)
    return refuse("the copy's file name is not the entry's name.");
  const QString file = copy.file;
  const bool started = add_.PutBack(index, file, [this, &copy, index, then](bool ok) {
    const pff::PffArchive& written = s_.table.Archive(index);
    if (const int now = pff::FindEntryByName(written.Entries, copy.entry.Name); ok && now != 0) {
      copy.entry = written.Entry(now);
      copy.unsaved = false;
    }
    // The job's end is still being announced: the next step starts after it.
    QTimer::singleShot(0, this, then);
  });
  if (!started) refuse("other work is running.");
}

QString EditedEntries::Describe(const Copy& copy) const {
  return Utf8(pff::DisplayName(copy.entry.Name)) + " (" + Utf8(copy.archivePath) + ")";
}

QStringList EditedEntries::Unsaved() const {
  QStringList list;
  for (const Copy& copy : copies_)
    if (copy.unsaved) list << Describe(copy);
  return list;
}

void EditedEntries::PutBackAll(std::function<void()> done) {
  // Each copy is tried once: one that fails stays unsaved, and is not tried again here.
  queue_.clear();
  for (Copy& copy : copies_)
    if (copy.unsaved) queue_.push_back(&copy);
  queueDone_ = std::move(done);
  PutBackQueued();
}

void EditedEntries::PutBackQueued() {
  if (queue_.empty()) return std::exchange(queueDone_, nullptr)();
  Copy& copy = *queue_.back();
  queue_.pop_back();
  PutBack(copy, [this] { PutBackQueued(); });
}

void EditedEntries::Forget() {
  for (Copy& copy : copies_) copy.unsaved = false;
}
