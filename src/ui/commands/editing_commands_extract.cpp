// The commands that copy entries out: extract into a chosen folder, open a
// copy by double-click, and drag out as files.

#include <QDir>
#include <QMimeData>
#include <QPointer>
#include <QWidget>
#include <QUrl>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editing/extract_file.h"
#include "engine/name_helpers.h"
#include "ui/window/dialogs.h"
#include "ui/commands/editing_commands.h"
#include "ui/commands/session_folder.h"
#include "ui/window/status_texts.h"
#include "ui/commands/work_progress.h"

namespace {

std::string Utf8(const QString& text) { return text.toStdString(); }

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
    std::string error;
    // A folder per opening: the copy a program still shows is never overwritten.
    const QString folder = extracted_->NewFolder("open", &error);
    if (folder.isEmpty()) return p_.port.ReportError("FG1_DblClick", error);
    const std::optional<std::string> target = pff::ExtractFile(archive, row->Entry, Utf8(folder), p_.port);
    if (!target) return;
    const QString path = QString::fromStdString(*target);
    pff::WindowPort& port = p_.port;
    const QPointer<QWidget> window = &p_.window;  // the answer may come after the window closed
    p_.dialogs.OpenWithDesktop(path, [&port, window, path](const QString& reason) {
      if (window) port.ReportError("FG1_DblClick", Utf8("No program opened " + path + ": " + reason + "."));
    });
  } catch (const std::exception& e) {
    p_.port.ReportError("FG1_DblClick", e.what());
  }
}

QMimeData* EditingCommands::DragMimeData() {
  if (p_.view.Busy()) return nullptr;
  const std::vector<int> rows = p_.view.SelectedRows();
  if (rows.empty()) return nullptr;
  std::string error;
  const QString dragFolder = extracted_->NewFolder("drag", &error);
  if (dragFolder.isEmpty()) {
    p_.port.ReportError("DragMimeData", error);
    return nullptr;
  }
  ArchiveExtractions extractions(p_.table, p_.port);
  QList<QUrl> urls;
  for (int r : rows) {
    const std::optional<pff::GridRow> row = p_.view.RowAt(r);
    if (!row || row->Archive < 1 || row->Archive > p_.table.Count()) continue;
    const pff::PffArchive& archive = p_.table.Archive(row->Archive);
    if (!archive.HasEntry(row->Entry)) continue;
    // One folder per archive: equal names from two archives do not meet.
    const QString folder = QDir(dragFolder).filePath(QString::number(row->Archive));
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
