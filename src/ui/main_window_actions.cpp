// The editing commands of the grid's "&Actions" menu, the grid's drop and
// double-click, and the advanced filter button. The engine does the work;
// these handlers pick the highlighted rows, ask the questions, move PB1 and
// say in the status bar what was done.

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QStandardPaths>
#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "editing/add_file.h"
#include "editing/delete_rename.h"
#include "editing/extract_file.h"
#include "editing/placement.h"
#include "engine/name_helpers.h"
#include "engine/text_encoding.h"
#include "ui/dialogs.h"
#include "ui/filter_dialog.h"
#include "ui/main_window.h"
#include "ui/status_texts.h"
#include "ui/work_progress.h"

namespace {

const QString kWarningTitle = "Warning!";
const QString kViewAllRefusal =
    "You can not add files in \"View All\" mode!\r\nPlease select a file from the Tree View List first!";

QString UnableToAdd(const QString& path) { return "Unable to Add " + path + ", Please Select Only Files!"; }

QString Files(int n) { return Grouped(n) + (n == 1 ? " file" : " files"); }

QString CancelledAfter(int done, int total) {
  return "Cancelled after " + Grouped(done) + " of " + Grouped(total);
}

std::string Utf8(const QString& text) { return text.toStdString(); }

// The archive a grid row names; a stale index is the command's error, not a crash.
pff::PffArchive& ArchiveOfRow(pff::ArchiveTable& table, const pff::GridRow& row) {
  if (row.Archive < 1 || row.Archive > table.Count())
    throw std::runtime_error("There is no open archive " + std::to_string(row.Archive) + ".");
  return table.Archive(row.Archive);
}

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

}  // namespace

// --- adding ----------------------------------------------------------------

void MainWindow::mnuAddFiles_Click() {
  if (busy_) return;
  try {
    if (SelectedArchive() == pff::kAllArchives) {
      dialogs().Message(this, kWarningTitle, kViewAllRefusal);
      return;
    }
    const QStringList files = dialogs().OpenFiles(this, settings().ReadPath("LastAdd", ProgramFolder()),
                                                  "Select Files (*.*)", true);
    if (files.isEmpty()) return;
    // Stored with its separator, like the other remembered folders.
    settings().WritePath("LastAdd", QFileInfo(files.first()).path() + "/");
    AddFiles(files);
  } catch (const std::exception& e) {
    ReportError("mnuAddFiles_Click", e.what());
  }
}

void MainWindow::FG1_FilesDropped(const QStringList& paths) {
  if (busy_ || paths.isEmpty()) return;
  try {
    if (SelectedArchive() == pff::kAllArchives) {
      dialogs().Message(this, kWarningTitle, kViewAllRefusal);
      return;
    }
    AddFiles(paths);
  } catch (const std::exception& e) {
    ReportError("FG1_FilesDropped", e.what());
  }
}

void MainWindow::AddFiles(const QStringList& paths) {
  const BusyScope busy(*this);
  pff::PffArchive& archive = Table().Archive(SelectedArchive());
  int added = 0, replaced = 0, skipped = 0;
  work_->Start(static_cast<int>(paths.size()));
  for (const QString& path : paths) {
    // Whether a path is a folder is the file system's answer, not a guess from a "." in it.
    if (QFileInfo(path).isDir()) {
      dialogs().Message(this, QString(), UnableToAdd(path));
      ++skipped;
    } else {
      const bool exists =
          pff::FindEntryByName(archive.Entries,
                               pff::MakeEntryName(pff::Utf8ToLatin1(Utf8(QFileInfo(path).fileName())))) != 0;
      if (pff::AddFile(Utf8(path), archive, Options(), *this) == pff::AddResult::Added)
        ++(exists ? replaced : added);
      else
        ++skipped;
    }
    if (!work_->Step()) break;
  }
  const bool cancelled = work_->Cancelled();
  const int done = work_->Done(), total = work_->Total();
  work_->Finish();
  NoteOwnWrites();
  RelistKeepingView();
  QString result = cancelled ? CancelledAfter(done, total) + ": " : QString();
  result += QString("Added %1").arg(Files(added + replaced));
  if (replaced) result += ", " + Grouped(replaced) + " replaced";
  if (skipped) result += ", " + Grouped(skipped) + " skipped";
  status_->ShowResult(result);
}

// --- extracting ------------------------------------------------------------

void MainWindow::mnuExtract_Click() {
  if (busy_ || !Table().IsLoaded()) return;
  try {
    const std::optional<pff::GridRow> first = RowAt(CurrentRow());
    if (!first || ArchiveOfRow(Table(), *first).Header.EntryCount == 0) return;
    std::vector<pff::GridRow> rows;
    for (int r : SelectedRows())
      if (const std::optional<pff::GridRow> row = RowAt(r)) rows.push_back(*row);
    if (rows.empty()) return;
    // The folder is used as chosen, also when its path holds a ".".
    const QString folder = dialogs().PickFolder(this, "Please Select A Folder");
    if (folder.isEmpty()) return;

    const BusyScope busy(*this);
    int files = 0;
    int64_t bytes = 0;
    work_->Start(static_cast<int>(rows.size()));
    for (const pff::GridRow& row : rows) {
      const pff::PffArchive& archive = ArchiveOfRow(Table(), row);
      if (archive.Header.EntryCount != 0 && pff::ExtractFile(archive, row.Entry, Utf8(folder), *this)) {
        ++files;
        bytes += archive.Entry(row.Entry).DataSize;
      }
      if (!work_->Step()) break;
    }
    const bool cancelled = work_->Cancelled();
    const int done = work_->Done(), total = work_->Total();
    work_->Finish();
    const QString extracted = QString("Extracted %1 (%2) to %3")
                                  .arg(Files(files), HumanSize(bytes), QDir::toNativeSeparators(folder));
    status_->ShowResult(cancelled ? CancelledAfter(done, total) + ": " + extracted : extracted);
  } catch (const std::exception& e) {
    if (work_->Running()) work_->Finish();
    ReportError("mnuExtract_Click", e.what());
  }
}

void MainWindow::FG1_DblClick() {
  if (busy_) return;
  try {
    const std::optional<pff::GridRow> row = RowAt(CurrentRow());
    if (!row) return;
    const pff::PffArchive& archive = ArchiveOfRow(Table(), *row);
    if (archive.Header.EntryCount == 0) return;
    const QString folder = OpenedEntriesFolder(ProgramFolder());
    if (folder.isEmpty()) {
      ReportError("FG1_DblClick", "No folder for opened entries could be created in " +
                                      Utf8(ProgramFolder()) + " or in the cache folder.");
      return;
    }
    const std::optional<std::string> target = pff::ExtractFile(archive, row->Entry, Utf8(folder), *this);
    if (!target) return;
    if (!dialogs().OpenWithDesktop(QString::fromStdString(*target)))
      ReportError("FG1_DblClick", "No program could be started to open " + *target + ".");
  } catch (const std::exception& e) {
    ReportError("FG1_DblClick", e.what());
  }
}

// --- deleting and renaming -------------------------------------------------

void MainWindow::mnuDelete_Click() {
  if (busy_ || !Table().IsLoaded()) return;
  try {
    const std::optional<pff::GridRow> first = RowAt(CurrentRow());
    if (!first || ArchiveOfRow(Table(), *first).Header.EntryCount == 0) return;

    const std::vector<int> rows = SelectedRows();
    const int n = static_cast<int>(rows.size());
    if (n == 0) return;
    QProgressBar* pb1 = progressBar();
    pb1->setRange(0, n);
    pb1->setValue(0);
    if (!dialogs().YesNo(this, QString(), QString("Are You Sure You Want To Delete %1 Files?").arg(n)))
      return;

    // One directory rewrite per archive instead of one per row; rows keep
    // their order within an archive, archives the order they first appear in.
    struct Group {
      int archive;
      std::vector<int> entries;
    };
    std::vector<Group> groups;
    for (int r : rows) {
      const std::optional<pff::GridRow> row = RowAt(r);
      if (!row || ArchiveOfRow(Table(), *row).Header.EntryCount == 0) continue;
      auto group = std::find_if(groups.begin(), groups.end(),
                                [&](const Group& g) { return g.archive == row->Archive; });
      if (group == groups.end()) group = groups.insert(groups.end(), Group{row->Archive, {}});
      group->entries.push_back(row->Entry);
    }
    const BusyScope busy(*this);
    work_->Start(n);
    int deleted = 0;
    for (const Group& group : groups) {
      const bool ok = pff::DeleteFiles(Table().Archive(group.archive), group.entries, *this);
      if (ok) deleted += static_cast<int>(group.entries.size());
      for (size_t i = 0; i < group.entries.size(); ++i) work_->Step();
    }
    work_->Finish();
    NoteOwnWrites();
    RelistKeepingView();
    status_->ShowResult(QString("Deleted %1 %2").arg(Grouped(deleted), deleted == 1 ? "entry" : "entries"));
  } catch (const std::exception& e) {
    if (work_->Running()) work_->Finish();
    ReportError("mnuDelete_Click", e.what());
  }
}

void MainWindow::mnuRename_Click() {
  if (busy_ || !Table().IsLoaded()) return;
  try {
    const std::optional<pff::GridRow> row = RowAt(CurrentRow());
    if (!row) return;
    pff::PffArchive& archive = ArchiveOfRow(Table(), *row);
    if (archive.Header.EntryCount == 0) return;
    if (!archive.HasEntry(row->Entry)) throw std::runtime_error(pff::NoSuchEntry(archive, row->Entry));

    // The name as shown: up to its first NUL.
    std::string name = pff::GetFileName(pff::NameBytes(archive.Entry(row->Entry).Name));
    name = name.substr(0, name.find('\0'));
    const QString old = QString::fromStdString(pff::Latin1ToUtf8(name));
    const std::optional<QString> answer =
        dialogs().InputText(this, "Rename " + old, "Please Enter The New File Name!", old);
    if (!answer || answer->isEmpty()) return;

    const std::string newName = pff::Utf8ToLatin1(Utf8(*answer));
    const pff::RenameCheck check = pff::CheckNewName(archive, newName);
    if (check == pff::RenameCheck::Empty) return;
    if (check != pff::RenameCheck::Ok) {
      dialogs().Message(this, QString(),
                        QString::fromStdString(pff::RenameCheckMessage(check, Utf8(*answer))));
      return;
    }
    const bool renamed = pff::RenameFile(archive, row->Entry, newName, *this);
    NoteOwnWrites();
    RelistKeepingView();
    if (renamed) status_->ShowResult("Renamed " + old + " to " + *answer);
  } catch (const std::exception& e) {
    ReportError("mnuRename_Click", e.what());
  }
}

// --- advanced filter -------------------------------------------------------

void MainWindow::cmdAdvanced_Click() {
  if (busy_) return;
  QStringList items;
  for (int i = 0; i < filterList()->count(); ++i) items << filterList()->itemText(i);
  auto* dialog = new FilterDialog(items, TimeDate(), QDate::currentDate(), this);
  // open() returns at once; the window stays blocked until OK or Cancel.
  connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
    if (result == QDialog::Accepted) {
      CurrentFilter() = dialog->DialogFilter();
      // The quick type is gone with the dialog's filter; list and caption say so.
      quickType_.clear();
      SetFilterCaption("Filter - Advanced");
      SyncFilterControls();
      activateWindow();
      QCoreApplication::processEvents();
      RefreshList();
    }
    dialog->deleteLater();
  });
  dialog->open();
}
