#include "ui/commands/add_files.h"

#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "editing/add_file.h"
#include "ui/commands/job.h"
#include "ui/commands/work_progress.h"
#include "ui/window/dialogs.h"
#include "ui/window/settings_store.h"
#include "ui/window/status_texts.h"

namespace {

const QString kViewAllRefusal =
    "You can not add files in \"View All\" mode!\r\nPlease select a file from the Tree View List first!";

std::string UnableToAdd(const std::string& path) {
  return "Unable to Add " + path + ", Please Select Only Files!";
}

// What the job did, read by the window once it ended.
struct AddOutcome {
  pff::PffArchive archive;  // the job's copy, changed or as before
  int added = 0, replaced = 0, skipped = 0, done = 0;
  bool cancelled = false;
};

constexpr int64_t kFolder = -1;

// The sizes of the files to add, for a bar that moves with bytes: kFolder for
// a folder (whether a path is one is the file system's answer, not a guess
// from a "." in it), 0 for a file that cannot be read (AddFile reports it).
std::vector<int64_t> FileSizes(const std::vector<std::string>& paths) {
  std::vector<int64_t> sizes;
  sizes.reserve(paths.size());
  for (const std::string& path : paths) {
    const QFileInfo info(QString::fromStdString(path));
    sizes.push_back(info.isDir() ? kFolder : info.isFile() ? info.size() : 0);
  }
  return sizes;
}

// On the worker: all files as one change, undone whole when cancelled; a put-back
// is named so in the undo history.
void AddAll(AddOutcome& out, const std::vector<std::string>& paths, const pff::EngineOptions& options,
            bool putBack, JobContext& job) {
  // Asked here, not before the job: a drop of thousands of files would hold the window meanwhile.
  const std::vector<int64_t> sizes = FileSizes(paths);
  int64_t totalBytes = 0;
  for (int64_t size : sizes) totalBytes += std::max<int64_t>(size, 0);
  job.SetTotalBytes(totalBytes);
  pff::AddBatch batch(out.archive);
  if (putBack) batch.LabelAs(pff::ChangeKind::PutBack);
  int64_t bytes = 0;
  for (size_t i = 0; i < paths.size() && !batch.Failed(); ++i) {
    if (job.Cancelled()) {
      out.cancelled = true;
      break;
    }
    job.SetRemaining(static_cast<int>(paths.size() - i - 1));
    job.StartFile(out.done, bytes);
    const std::string& path = paths[i];
    if (sizes[i] == kFolder) {
      job.Port().Notify(UnableToAdd(path));
      ++out.skipped;
    } else {
      switch (pff::AddFile(path, out.archive, options, job.Port(), &batch)) {
        case pff::AddResult::Added:
          ++out.added;
          break;
        case pff::AddResult::Replaced:
          ++out.replaced;
          break;
        case pff::AddResult::Stopped:
          out.cancelled = true;
          break;
        default:
          ++out.skipped;
          break;
      }
      if (out.cancelled) break;
    }
    bytes += std::max<int64_t>(sizes[i], 0);
    out.done = static_cast<int>(i + 1);
    job.Progress(out.done, bytes);
  }
  if (out.cancelled) {
    batch.Abandon();
    out.added = out.replaced = 0;
    return;
  }
  // A failure undoes the whole batch: nothing was added then.
  if (!batch.Commit(job.Port())) out.added = out.replaced = 0;
}

}  // namespace

AddFilesCommand::AddFilesCommand(const CommandServices& services, const pff::EngineOptions& options,
                                 SettingsStore& settings, const QString& startFolder)
    : s_(services), options_(options), settings_(settings), startFolder_(startFolder) {}

bool AddFilesCommand::RefusedInViewAll() {
  if (s_.target.SelectedArchive() != pff::kAllArchives) return false;
  s_.dialogs.Message(&s_.window, "Warning!", kViewAllRefusal);
  return true;
}

void AddFilesCommand::AddChosenFiles() {
  if (s_.jobs.Running()) return;
  try {
    if (RefusedInViewAll()) return;
    const QStringList files = s_.dialogs.OpenFiles(&s_.window, settings_.ReadPath("LastAdd", startFolder_),
                                                   "Select Files (*.*)", true);
    if (files.isEmpty()) return;
    // Stored with its separator, like the other remembered folders.
    settings_.WritePath("LastAdd", QFileInfo(files.first()).path() + "/");
    Start(s_.target.SelectedArchive(), files, options_, false);
  } catch (const std::exception& e) {
    s_.port.ReportError(pff::Routine::AddCommand, e.what());
  }
}

void AddFilesCommand::AddDroppedFiles(const QStringList& paths) {
  if (s_.jobs.Running() || paths.isEmpty()) return;
  try {
    if (RefusedInViewAll()) return;
    Start(s_.target.SelectedArchive(), paths, options_, false);
  } catch (const std::exception& e) {
    s_.port.ReportError(pff::Routine::DropFiles, e.what());
  }
}

bool AddFilesCommand::PutBack(int index, const QString& file, std::function<void(bool)> done) {
  if (s_.jobs.Running()) return false;
  pff::EngineOptions replacing = options_;
  replacing.AlwaysOverwrite = true;
  Start(index, {file}, replacing, true, std::move(done));
  return true;
}

void AddFilesCommand::Start(int index, const QStringList& paths, const pff::EngineOptions& options,
                            bool putBack, std::function<void(bool)> done) {
  auto out = std::make_shared<AddOutcome>();
  out->archive = s_.table.Archive(index);
  std::vector<std::string> files;
  for (const QString& path : paths) files.push_back(path.toStdString());
  const int total = static_cast<int>(files.size());
  s_.jobs.Start(
      total, 0, true,
      [out, files, options, putBack](JobContext& job) { AddAll(*out, files, options, putBack, job); },
      [this, out, index, total, done = std::move(done)] {
        // The table was not touched while the job ran: its archive takes the job's copy.
        s_.table.Archive(index) = std::move(out->archive);
        s_.target.ArchivesWritten(index);
        if (done) done(!out->cancelled && out->added + out->replaced == total);
        if (out->cancelled) {
          s_.status.ShowResult(CancelledNote(out->done, total) + "nothing was added");
          return;
        }
        QString result = QString("Added %1").arg(FileCount(out->added + out->replaced));
        if (out->replaced) result += ", " + Grouped(out->replaced) + " replaced";
        if (out->skipped) result += ", " + Grouped(out->skipped) + " skipped";
        s_.status.ShowResult(result);
      });
}
