#include "ui/commands/editing_commands.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "editing/add_file.h"
#include "editing/delete_rename.h"
#include "editing/placement.h"
#include "engine/name_helpers.h"
#include "engine/text_encoding.h"
#include "ui/window/dialogs.h"
#include "ui/filter/filter_dialog.h"
#include "ui/commands/session_folder.h"
#include "ui/window/settings_store.h"
#include "ui/window/status_texts.h"
#include "ui/commands/work_progress.h"

namespace {

const QString kWarningTitle = "Warning!";
const QString kViewAllRefusal =
    "You can not add files in \"View All\" mode!\r\nPlease select a file from the Tree View List first!";

QString UnableToAdd(const QString& path) { return "Unable to Add " + path + ", Please Select Only Files!"; }

std::string Utf8(const QString& text) { return text.toStdString(); }

QString StoredNameQuestion(const QString& typed, const QString& stored) {
  return QString("\"%1\" will be stored as \"%2\" (names keep 16 Latin-1 characters). Rename to \"%2\"?")
      .arg(typed, stored);
}

}  // namespace

EditingCommands::EditingCommands(const EditingParts& parts)
    : p_(parts), extracted_(std::make_unique<SessionFolder>()) {}

EditingCommands::~EditingCommands() = default;

pff::PffArchive& EditingCommands::ArchiveOfRow(const pff::GridRow& row) {
  if (row.Archive < 1 || row.Archive > p_.table.Count())
    throw std::runtime_error("There is no open archive " + std::to_string(row.Archive) + ".");
  return p_.table.Archive(row.Archive);
}

// --- adding ----------------------------------------------------------------

bool EditingCommands::RefusedInViewAll() {
  if (p_.view.SelectedArchive() != pff::kAllArchives) return false;
  p_.dialogs.Message(&p_.window, kWarningTitle, kViewAllRefusal);
  return true;
}

void EditingCommands::mnuAddFiles_Click() {
  if (p_.view.Busy()) return;
  try {
    if (RefusedInViewAll()) return;
    const QStringList files = p_.dialogs.OpenFiles(
        &p_.window, p_.settings.ReadPath("LastAdd", p_.startFolder), "Select Files (*.*)", true);
    if (files.isEmpty()) return;
    // Stored with its separator, like the other remembered folders.
    p_.settings.WritePath("LastAdd", QFileInfo(files.first()).path() + "/");
    AddFiles(files);
  } catch (const std::exception& e) {
    p_.port.ReportError("mnuAddFiles_Click", e.what());
  }
}

void EditingCommands::FG1_FilesDropped(const QStringList& paths) {
  if (p_.view.Busy() || paths.isEmpty()) return;
  try {
    if (RefusedInViewAll()) return;
    AddFiles(paths);
  } catch (const std::exception& e) {
    p_.port.ReportError("FG1_FilesDropped", e.what());
  }
}

void EditingCommands::AddFiles(const QStringList& paths) {
  const BusyScope busy(p_.view);
  pff::PffArchive& archive = p_.table.Archive(p_.view.SelectedArchive());
  int added = 0, replaced = 0, skipped = 0;
  p_.work.Start(static_cast<int>(paths.size()));
  for (const QString& path : paths) {
    // Whether a path is a folder is the file system's answer, not a guess from a "." in it.
    if (QFileInfo(path).isDir()) {
      p_.dialogs.Message(&p_.window, QString(), UnableToAdd(path));
      ++skipped;
    } else {
      const bool exists =
          pff::FindEntryByName(archive.Entries,
                               pff::MakeEntryName(pff::Utf8ToLatin1(Utf8(QFileInfo(path).fileName())))) != 0;
      if (pff::AddFile(Utf8(path), archive, p_.options, p_.port) == pff::AddResult::Added)
        ++(exists ? replaced : added);
      else
        ++skipped;
    }
    if (!p_.work.Step()) break;
  }
  const QString cancelled = p_.work.CancelledNote();
  p_.work.Finish();
  p_.view.ArchivesWritten();
  QString result = cancelled + QString("Added %1").arg(FileCount(added + replaced));
  if (replaced) result += ", " + Grouped(replaced) + " replaced";
  if (skipped) result += ", " + Grouped(skipped) + " skipped";
  p_.status.ShowResult(result);
}

// --- deleting and renaming -------------------------------------------------

void EditingCommands::mnuDelete_Click() {
  if (p_.view.Busy() || !p_.table.IsLoaded()) return;
  try {
    const std::optional<pff::GridRow> first = p_.view.RowAt(p_.view.CurrentRow());
    if (!first || ArchiveOfRow(*first).Header.EntryCount == 0) return;

    const std::vector<int> rows = p_.view.SelectedRows();
    const int n = static_cast<int>(rows.size());
    if (n == 0) return;
    p_.work.ShowPending(n);
    if (!p_.dialogs.YesNo(&p_.window, QString(), QString("Are You Sure You Want To Delete %1 Files?").arg(n)))
      return;

    // One directory rewrite per archive instead of one per row; rows keep
    // their order within an archive, archives the order they first appear in.
    struct Group {
      int archive;
      std::vector<int> entries;
    };
    std::vector<Group> groups;
    for (int r : rows) {
      const std::optional<pff::GridRow> row = p_.view.RowAt(r);
      if (!row || ArchiveOfRow(*row).Header.EntryCount == 0) continue;
      auto group = std::find_if(groups.begin(), groups.end(),
                                [&](const Group& g) { return g.archive == row->Archive; });
      if (group == groups.end()) group = groups.insert(groups.end(), Group{row->Archive, {}});
      group->entries.push_back(row->Entry);
    }
    const BusyScope busy(p_.view);
    // Each archive's directory is rewritten in one step, which cannot stop half-way.
    p_.work.Start(n, false);
    int deleted = 0;
    for (const Group& group : groups) {
      const bool ok = pff::DeleteFiles(p_.table.Archive(group.archive), group.entries, p_.port);
      if (ok) deleted += static_cast<int>(group.entries.size());
      for (size_t i = 0; i < group.entries.size(); ++i) p_.work.Step();
    }
    p_.work.Finish();
    p_.view.ArchivesWritten();
    p_.status.ShowResult(QString("Deleted %1 %2").arg(Grouped(deleted), deleted == 1 ? "entry" : "entries"));
  } catch (const std::exception& e) {
    if (p_.work.Running()) p_.work.Finish();
    p_.port.ReportError("mnuDelete_Click", e.what());
  }
}

void EditingCommands::mnuRename_Click() {
  if (p_.view.Busy() || !p_.table.IsLoaded()) return;
  try {
    const std::optional<pff::GridRow> row = p_.view.RowAt(p_.view.CurrentRow());
    if (!row) return;
    pff::PffArchive& archive = ArchiveOfRow(*row);
    if (archive.Header.EntryCount == 0) return;
    if (!archive.HasEntry(row->Entry)) throw std::runtime_error(pff::NoSuchEntry(archive, row->Entry));

    // The name as shown: up to its first NUL.
    std::string name = pff::GetFileName(pff::NameBytes(archive.Entry(row->Entry).Name));
    name = name.substr(0, name.find('\0'));
    const QString old = QString::fromStdString(pff::Latin1ToUtf8(name));
    const std::optional<QString> answer =
        p_.dialogs.InputText(&p_.window, "Rename " + old, "Please Enter The New File Name!", old);
    if (!answer || answer->isEmpty()) return;

    const std::string newName = pff::Utf8ToLatin1(Utf8(*answer));
    const pff::RenameCheck check = pff::CheckNewName(archive, newName);
    if (check == pff::RenameCheck::Empty) return;
    if (check != pff::RenameCheck::Ok) {
      p_.dialogs.Message(&p_.window, QString(),
                         QString::fromStdString(pff::RenameCheckMessage(check, Utf8(*answer))));
      return;
    }
    // Characters outside Latin-1 are stored as "_": the user learns the name first.
    const QString stored = QString::fromStdString(pff::Latin1ToUtf8(newName));
    if (stored != *answer && !p_.dialogs.YesNo(&p_.window, kWarningTitle, StoredNameQuestion(*answer, stored)))
      return;
    const bool renamed = pff::RenameFile(archive, row->Entry, newName, p_.port);
    p_.view.ArchivesWritten();
    if (renamed) p_.status.ShowResult("Renamed " + old + " to " + stored);
  } catch (const std::exception& e) {
    p_.port.ReportError("mnuRename_Click", e.what());
  }
}

// --- advanced filter -------------------------------------------------------

void EditingCommands::cmdAdvanced_Click() {
  if (p_.view.Busy()) return;
  auto* dialog = new FilterDialog(p_.view.QuickTypes(), p_.timeDate, QDate::currentDate(), &p_.window);
  // open() returns at once; the window stays blocked until OK or Cancel.
  QObject::connect(dialog, &QDialog::finished, dialog, [this, dialog](int result) {
    if (result == QDialog::Accepted) {
      p_.filter = dialog->DialogFilter();
      p_.view.AdvancedFilterApplied();
    }
    dialog->deleteLater();
  });
  dialog->open();
}
