#include "ui/commands/extract_entries.h"

#include <QDir>
#include <QEventLoop>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editing/extract_file.h"
#include "engine/name_helpers.h"
#include "ui/commands/job.h"
#include "ui/commands/session_folder.h"
#include "ui/commands/work_progress.h"
#include "ui/window/dialogs.h"
#include "ui/window/status_texts.h"

namespace {

std::string Utf8(const QString& text) { return text.toStdString(); }

// One entry to write, and where: the folder of its archive.
struct Wanted {
  pff::GridRow row;
  std::string folder;
};

// What an extraction job works from and what it did.
struct ExtractOutcome {
  std::map<int, pff::PffArchive> archives;  // the job's copies, by archive index
  std::vector<Wanted> wanted;
  std::vector<std::string> written;
  int64_t bytes = 0;      // written
  int64_t processed = 0;  // written or failed, for the progress
  int done = 0;
  bool cancelled = false;
};

// On the worker: one extraction per archive, so each archive is opened and
// compared with its record once, not once per entry.
void ExtractAll(ExtractOutcome& out, JobContext& job) {
  std::map<std::pair<int, std::string>, std::unique_ptr<pff::Extraction>> open;
  for (const Wanted& w : out.wanted) {
    if (job.Cancelled()) {
      out.cancelled = true;
      return;
    }
    const pff::PffArchive& archive = out.archives.at(w.row.Archive);
    std::unique_ptr<pff::Extraction>& extraction = open[{w.row.Archive, w.folder}];
    if (!extraction) extraction = std::make_unique<pff::Extraction>(archive, w.folder, job.Port());
    const int32_t size = archive.Entry(w.row.Entry).DataSize;
    job.StartFile(out.done, out.processed);
    if (const std::optional<std::string> path = extraction->Extract(w.row.Entry)) {
      out.written.push_back(*path);
      out.bytes += size;
    } else if (extraction->WasStopped()) {
      out.cancelled = true;  // stopped inside the file: nothing of it was left
      return;
    }
    ++out.done;
    out.processed += size;
    job.Progress(out.done, out.processed);
  }
}

// A drag's files, written by a job that may still run when the drop comes:
// the drop target's read waits for it.
class DragOutFiles : public QMimeData {
 public:
  explicit DragOutFiles(JobRunner& jobs) : jobs_(&jobs) {}

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
    if (jobs_ && jobs_->Running()) jobs_->Wait();
    return QMimeData::retrieveData(mimeType, type);
  }

 private:
  QPointer<JobRunner> jobs_;
};

int64_t TotalBytes(const ExtractOutcome& out) {
  int64_t bytes = 0;
  for (const Wanted& w : out.wanted) bytes += out.archives.at(w.row.Archive).Entry(w.row.Entry).DataSize;
  return bytes;
}

}  // namespace

ExtractCommand::ExtractCommand(const CommandServices& services)
    : s_(services), extracted_(std::make_unique<SessionFolder>()) {}

ExtractCommand::~ExtractCommand() = default;

void ExtractCommand::ExtractToFolder() {
  if (s_.jobs.Running() || !s_.table.IsLoaded()) return;
  try {
    const std::vector<pff::GridRow> rows = ChosenRows(s_.target);
    if (rows.empty()) return;
    // The folder is used as chosen, also when its path holds a ".".
    const QString folder = s_.dialogs.PickFolder(&s_.window, "Please Select A Folder");
    if (folder.isEmpty()) return;
    auto out = std::make_shared<ExtractOutcome>();
    for (const pff::GridRow& row : rows) {
      out->archives.try_emplace(row.Archive, ArchiveOfRow(s_.table, row));
      out->wanted.push_back({row, Utf8(folder)});
    }
    const int total = static_cast<int>(rows.size());
    s_.jobs.Start(
        total, TotalBytes(*out), true, [out](JobContext& job) { ExtractAll(*out, job); },
        [this, out, total, folder] {
          s_.status.ShowResult((out->cancelled ? CancelledNote(out->done, total) : QString()) +
                               QString("Extracted %1 (%2) to %3")
                                   .arg(FileCount(static_cast<int64_t>(out->written.size())),
                                        HumanSize(out->bytes), QDir::toNativeSeparators(folder)));
        });
  } catch (const std::exception& e) {
    s_.port.ReportError(pff::Routine::ExtractCommand, e.what());
  }
}

void ExtractCommand::OpenCurrentEntry() {
  if (s_.jobs.Running()) return;
  try {
    const std::optional<pff::GridRow> row = s_.target.RowAt(s_.target.CurrentRow());
    if (!row) return;
    const pff::PffArchive& archive = ArchiveOfRow(s_.table, *row);
    if (archive.Header.EntryCount == 0) return;
    std::string error;
    // A folder per opening: the copy a program still shows is never overwritten.
    const QString folder = extracted_->NewFolder("open", &error);
    if (folder.isEmpty()) return s_.port.ReportError(pff::Routine::OpenEntry, error);
    auto out = std::make_shared<ExtractOutcome>();
    out->archives.try_emplace(row->Archive, archive);
    out->wanted.push_back({*row, Utf8(folder)});
    const std::string archivePath = archive.Path;
    const pff::PffEntry entry = archive.Entry(row->Entry);
    s_.jobs.Start(
        1, TotalBytes(*out), true, [out](JobContext& job) { ExtractAll(*out, job); },
        [this, out, archivePath, entry] {
          if (out->written.empty()) return;
          const QString path = QString::fromStdString(out->written.front());
          if (opened_) opened_(path, archivePath, entry);
          pff::Frontend& port = s_.port;
          const QPointer<QWidget> window = &s_.window;  // the answer may come after the window closed
          s_.dialogs.OpenWithDesktop(path, [&port, window, path](const QString& reason) {
            if (window)
              port.ReportError(pff::Routine::OpenEntry,
                               Utf8("No program opened " + path + ": " + reason + "."));
          });
        });
  } catch (const std::exception& e) {
    s_.port.ReportError(pff::Routine::OpenEntry, e.what());
  }
}

QMimeData* ExtractCommand::DragOut() {
  if (s_.jobs.Running()) return nullptr;
  std::string error;
  const QString dragFolder = extracted_->NewFolder("drag", &error);
  if (dragFolder.isEmpty()) {
    s_.port.ReportError(pff::Routine::DragOut, error);
    return nullptr;
  }
  auto out = std::make_shared<ExtractOutcome>();
  QList<QUrl> urls;
  for (const pff::GridRow& row : ChosenRows(s_.target)) {
    if (row.Archive < 1 || row.Archive > s_.table.Count()) continue;
    const pff::PffArchive& archive = s_.table.Archive(row.Archive);
    if (!archive.HasEntry(row.Entry)) continue;
    const std::optional<std::string> name = pff::EntryFileName(archive.Entry(row.Entry));
    if (!name) continue;
    // One folder per archive: equal names from two archives do not meet.
    const QString folder = QDir(dragFolder).filePath(QString::number(row.Archive));
    QDir().mkpath(folder);
    out->archives.try_emplace(row.Archive, archive);
    out->wanted.push_back({row, Utf8(folder)});
    urls << QUrl::fromLocalFile(QString::fromStdString(pff::JoinPath(Utf8(folder), *name)));
  }
  if (urls.isEmpty()) return nullptr;
  s_.jobs.Start(
      static_cast<int>(out->wanted.size()), TotalBytes(*out), true,
      [out](JobContext& job) { ExtractAll(*out, job); }, [] {});
  auto* mime = new DragOutFiles(s_.jobs);
  mime->setUrls(urls);
  return mime;
}
