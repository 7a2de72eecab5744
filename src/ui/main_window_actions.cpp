// The editing commands of the grid's "&Actions" menu, the grid's drop and
// double-click, and the advanced filter button. The engine does the work;
// these handlers pick the rows, ask the questions and move PB1.

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
#include "engine/name_helpers.h"
#include "engine/text_encoding.h"
#include "ui/dialogs.h"
#include "ui/filter_dialog.h"
#include "ui/main_window.h"

namespace {

const QString kWarningTitle = "Warning!";
const QString kViewAllRefusal =
    "You can not add files in \"View All\" mode!\r\nPlease select a file from the Tree View List first!";

QString UnableToAdd(const QString& path) { return "Unable to Add " + path + ", Please Select Only Files!"; }

std::string Utf8(const QString& text) { return text.toStdString(); }

// Rows from the current row towards the other end of the selection, both included.
std::vector<int> RowsTowards(int current, int end) {
  if (end < 0) end = current;
  const int step = current > end ? -1 : 1;
  std::vector<int> rows;
  for (int row = current;; row += step) {
    rows.push_back(row);
    if (row == end) break;
  }
  return rows;
}

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
    pff::PffArchive& archive = Table().Archive(SelectedArchive());
    for (const QString& path : files) {
      // Whether a path is a folder is the file system's answer, not a guess from a "." in it.
      if (QFileInfo(path).isDir())
        dialogs().Message(this, QString(), UnableToAdd(path));
      else
        pff::AddFile(Utf8(path), archive, Options(), *this);
    }
    RefreshList();
  } catch (const std::exception& e) {
    ReportError("mnuAddFiles_Click", e.what());
  }
}

void MainWindow::FG1_FilesDropped(const QStringList& paths) {
  if (paths.isEmpty()) return;
  try {
    if (SelectedArchive() == pff::kAllArchives) {
      dialogs().Message(this, kWarningTitle, kViewAllRefusal);
      return;
    }
    pff::PffArchive& archive = Table().Archive(SelectedArchive());
    QProgressBar* pb1 = progressBar();
    pb1->setRange(0, static_cast<int>(paths.size()));
    for (int i = 0; i < paths.size(); ++i) {
      if (QFileInfo(paths[i]).isDir())
        dialogs().Message(this, QString(), UnableToAdd(paths[i]));
      else
        pff::AddFile(Utf8(paths[i]), archive, Options(), *this);
      pb1->setValue(i + 1);
    }
    // Back to rest like every other loop; a bar left at 1 of n looked like unfinished work.
    pb1->setValue(0);
    RefreshList();
  } catch (const std::exception& e) {
    ReportError("FG1_FilesDropped", e.what());
  }
}

// --- extracting ------------------------------------------------------------

void MainWindow::mnuExtract_Click() {
  if (!Table().IsLoaded) return;
  try {
    const int current = CurrentRow();
    const std::optional<pff::GridRow> first = RowAt(current);
    if (!first || ArchiveOfRow(Table(), *first).Header.EntryCount == 0) return;
    // The folder is used as chosen, also when its path holds a ".".
    const QString folder = dialogs().PickFolder(this, "Please Select A Folder");
    if (folder.isEmpty()) return;

    const std::vector<int> rows = RowsTowards(current, SelectionEndRow());
    QProgressBar* pb1 = progressBar();
    pb1->setRange(0, static_cast<int>(rows.size()));
    pb1->setValue(0);
    for (int r : rows) {
      if (const std::optional<pff::GridRow> row = RowAt(r)) {
        const pff::PffArchive& archive = ArchiveOfRow(Table(), *row);
        if (archive.Header.EntryCount != 0) pff::ExtractFile(archive, row->Entry, Utf8(folder), *this);
      }
      pb1->setValue(pb1->value() + 1);
    }
    pb1->setValue(0);
  } catch (const std::exception& e) {
    ReportError("mnuExtract_Click", e.what());
  }
}

void MainWindow::FG1_DblClick() {
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
  if (!Table().IsLoaded) return;
  try {
    const int current = CurrentRow();
    const std::optional<pff::GridRow> first = RowAt(current);
    if (!first || ArchiveOfRow(Table(), *first).Header.EntryCount == 0) return;

    const std::vector<int> rows = RowsTowards(current, SelectionEndRow());
    const int n = static_cast<int>(rows.size());
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
      int rowCount = 0;
    };
    std::vector<Group> groups;
    for (int r : rows) {
      const std::optional<pff::GridRow> row = RowAt(r);
      if (!row || ArchiveOfRow(Table(), *row).Header.EntryCount == 0) {
        pb1->setValue(pb1->value() + 1);
        continue;
      }
      auto group = std::find_if(groups.begin(), groups.end(),
                                [&](const Group& g) { return g.archive == row->Archive; });
      if (group == groups.end()) group = groups.insert(groups.end(), Group{row->Archive, {}, 0});
      group->entries.push_back(row->Entry);
      ++group->rowCount;
    }
    for (const Group& group : groups) {
      pff::DeleteFiles(Table().Archive(group.archive), group.entries, *this);
      for (int i = 0; i < group.rowCount; ++i) pb1->setValue(pb1->value() + 1);
    }
    pb1->setValue(0);
    RefreshList();
  } catch (const std::exception& e) {
    ReportError("mnuDelete_Click", e.what());
  }
}

void MainWindow::mnuRename_Click() {
  if (!Table().IsLoaded) return;
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
    pff::RenameFile(archive, row->Entry, newName, *this);
    RefreshList();
  } catch (const std::exception& e) {
    ReportError("mnuRename_Click", e.what());
  }
}

// --- advanced filter -------------------------------------------------------

void MainWindow::cmdAdvanced_Click() {
  QStringList items;
  for (int i = 0; i < filterList()->count(); ++i) items << filterList()->itemText(i);
  auto* dialog =
      new FilterDialog(items, QString::fromStdString(Options().TimeDate), QDate::currentDate(), this);
  // open() returns at once; the window stays blocked until OK or Cancel.
  connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
    if (result == QDialog::Accepted) {
      CurrentFilter() = dialog->DialogFilter();
      activateWindow();
      QCoreApplication::processEvents();
      RefreshList();
    }
    dialog->deleteLater();
  });
  dialog->open();
}
