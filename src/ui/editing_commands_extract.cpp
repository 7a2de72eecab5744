// The commands that copy entries out: extract into a chosen folder, open a
// copy by double-click, and drag out as files.

#include <QDir>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editing/extract_file.h"
#include "engine/name_helpers.h"
#include "ui/dialogs.h"
#include "ui/editing_commands.h"
#include "ui/status_texts.h"
#include "ui/work_progress.h"

namespace {

std::string Utf8(const QString& text) { return text.toStdString(); }

// Program folder's "Temp" when it can be written, else the user's cache folder.
QString OpenedEntriesFolder(const QString& programFolder) {
  const QStringList candidates{
      QDir(programFolder).filePath("Temp"),
      QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).filePath("Temp")};
  for (const QString& folder : candidates) {
    if (!pff::CanWriteFolder(Utf8(folder))) QDir().mkpath(folder);
    if (pff::CanWriteFolder(Utf8(folder))) return folder;
  }
  return QString();
}

// The extractions of one command, one per archive: each archive is opened and
// compared with its record once, not once per entry.
class ArchiveExtractions {
 public:
  ArchiveExtractions(const pff::ArchiveTable& table, pff::WindowPort& port) : table_(table), port_(port) {}
  /// Writes row's entry into folder (the same folder for every row of an archive).
  std::optional<std::string> Extract(const pff::GridRow& row, const QString& folder) {
    std::unique_ptr<pff::Extraction>& extraction = open_[row.Archive];
    if (!extraction)
      extraction = std::make_unique<pff::Extraction>(table_.Archive(row.Archive), Utf8(folder), port_);
    return extraction->Extract(row.Entry);
  }

 private:
  const pff::ArchiveTable& table_;
  pff::WindowPort& port_;
  std::map<int, std::unique_ptr<pff::Extraction>> open_;
};

}  // namespace

void EditingCommands::mnuExtract_Click() {
  if (p_.view.Busy() || !p_.table.IsLoaded()) return;
  try {
    const std::optional<pff::GridRow> first = p_.view.RowAt(p_.view.CurrentRow());
    if (!first || ArchiveOfRow(*first).Header.EntryCount == 0) return;
    std::vector<pff::GridRow> rows;
    for (int r : p_.view.SelectedRows())
      if (const std::optional<pff::GridRow> row = p_.view.RowAt(r)) rows.push_back(*row);
    if (rows.empty()) return;
    // The folder is used as chosen, also when its path holds a ".".
    const QString folder = p_.dialogs.PickFolder(&p_.window, "Please Select A Folder");
    if (folder.isEmpty()) return;

    const BusyScope busy(p_.view);
    int files = 0;
    int64_t bytes = 0;
    ArchiveExtractions extractions(p_.table, p_.port);
    p_.work.Start(static_cast<int>(rows.size()));
    for (const pff::GridRow& row : rows) {
      const pff::PffArchive& archive = ArchiveOfRow(row);
      if (archive.Header.EntryCount != 0 && extractions.Extract(row, folder)) {
        ++files;
        bytes += archive.Entry(row.Entry).DataSize;
      }
      if (!p_.work.Step()) break;
    }
    const QString cancelled = p_.work.CancelledNote();
    p_.work.Finish();
    p_.status.ShowResult(cancelled +
                         QString("Extracted %1 (%2) to %3")
                             .arg(FileCount(files), HumanSize(bytes), QDir::toNativeSeparators(folder)));
  } catch (const std::exception& e) {
    if (p_.work.Running()) p_.work.Finish();
    p_.port.ReportError("mnuExtract_Click", e.what());
  }
}

void EditingCommands::FG1_DblClick() {
  if (p_.view.Busy()) return;
  try {
    const std::optional<pff::GridRow> row = p_.view.RowAt(p_.view.CurrentRow());
    if (!row) return;
    const pff::PffArchive& archive = ArchiveOfRow(*row);
    if (archive.Header.EntryCount == 0) return;
    const QString folder = OpenedEntriesFolder(p_.programFolder);
    if (folder.isEmpty()) {
      p_.port.ReportError("FG1_DblClick", "No folder for opened entries could be created in " +
                                              Utf8(p_.programFolder) + " or in the cache folder.");
      return;
    }
    const std::optional<std::string> target = pff::ExtractFile(archive, row->Entry, Utf8(folder), p_.port);
    if (!target) return;
    if (!p_.dialogs.OpenWithDesktop(QString::fromStdString(*target)))
      p_.port.ReportError("FG1_DblClick", "No program could be started to open " + *target + ".");
  } catch (const std::exception& e) {
    p_.port.ReportError("FG1_DblClick", e.what());
  }
}

QMimeData* EditingCommands::DragMimeData() {
  if (p_.view.Busy()) return nullptr;
  const std::vector<int> rows = p_.view.SelectedRows();
  if (rows.empty()) return nullptr;
  if (!dragFolder_) dragFolder_ = std::make_unique<QTemporaryDir>();
  if (!dragFolder_->isValid()) {
    p_.port.ReportError("DragMimeData", dragFolder_->errorString().toStdString());
    return nullptr;
  }
  // One folder per drag and archive: equal names from two archives do not meet.
  ++drags_;
  ArchiveExtractions extractions(p_.table, p_.port);
  QList<QUrl> urls;
  for (int r : rows) {
    const std::optional<pff::GridRow> row = p_.view.RowAt(r);
    if (!row || row->Archive < 1 || row->Archive > p_.table.Count()) continue;
    const pff::PffArchive& archive = p_.table.Archive(row->Archive);
    if (!archive.HasEntry(row->Entry)) continue;
    const QString folder = dragFolder_->filePath(QString("%1/%2").arg(drags_).arg(row->Archive));
    QDir().mkpath(folder);
    const std::optional<std::string> target = extractions.Extract(*row, folder);
    if (!target) continue;  // extracted with the entry's stored time
    urls << QUrl::fromLocalFile(QString::fromStdString(*target));
  }
  if (urls.isEmpty()) return nullptr;
  auto* mime = new QMimeData;
  mime->setUrls(urls);
  return mime;
}
