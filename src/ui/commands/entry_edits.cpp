#include "ui/commands/entry_edits.h"

#include <QString>
#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "editing/delete_rename.h"
#include "engine/name_helpers.h"
#include "engine/text_encoding.h"
#include "ui/commands/job.h"
#include "ui/window/dialogs.h"
#include "ui/window/status_texts.h"

namespace {

std::string Utf8(const QString& text) { return text.toStdString(); }

QString StoredNameQuestion(const QString& typed, const QString& stored) {
  return QString("\"%1\" will be stored as \"%2\" (names keep 16 Latin-1 characters). Rename to \"%2\"?")
      .arg(typed, stored);
}

// One archive's share of a delete: its entries in the order the rows were walked.
struct Group {
  int archive;
  pff::PffArchive copy;
  std::vector<int> entries;
  bool deleted = false;
};

}  // namespace

void DeleteCommand::DeleteHighlighted() {
  if (s_.jobs.Running() || !s_.table.IsLoaded()) return;
  try {
    const std::optional<pff::GridRow> first = s_.target.RowAt(s_.target.CurrentRow());
    if (!first || ArchiveOfRow(s_.table, *first).Header.EntryCount == 0) return;
    const std::vector<pff::GridRow> rows = ChosenRows(s_.target);
    const int n = static_cast<int>(rows.size());
    if (n == 0) return;
    if (!s_.dialogs.YesNo(&s_.window, QString(), QString("Are You Sure You Want To Delete %1 Files?").arg(n)))
      return;

    // One directory rewrite per archive instead of one per row; archives in
    // the order they first appear in.
    auto groups = std::make_shared<std::vector<Group>>();
    for (const pff::GridRow& row : rows) {
      if (ArchiveOfRow(s_.table, row).Header.EntryCount == 0) continue;
      auto group = std::find_if(groups->begin(), groups->end(),
                                [&](const Group& g) { return g.archive == row.Archive; });
      if (group == groups->end())
        group = groups->insert(groups->end(), Group{row.Archive, s_.table.Archive(row.Archive), {}});
      group->entries.push_back(row.Entry);
    }
    // Each archive's directory is rewritten in one step, which cannot stop half-way.
    s_.jobs.Start(
        n, 0, false,
        [groups](JobContext& job) {
          int done = 0;
          for (Group& g : *groups) {
            g.deleted = pff::DeleteFiles(g.copy, g.entries, job.Port());
            done += static_cast<int>(g.entries.size());
            job.Progress(done, 0);
          }
        },
        [this, groups] {
          int deleted = 0, touched = 0;
          for (Group& g : *groups) {
            s_.table.Archive(g.archive) = std::move(g.copy);
            if (!g.deleted) continue;
            deleted += static_cast<int>(g.entries.size());
            touched = g.archive;
          }
          s_.target.ArchivesWritten(touched);
          s_.status.ShowResult(
              QString("Deleted %1 %2").arg(Grouped(deleted), deleted == 1 ? "entry" : "entries"));
        });
  } catch (const std::exception& e) {
    s_.port.ReportError(pff::Routine::DeleteCommand, e.what());
  }
}

void RenameCommand::RenameCurrent() {
  if (s_.jobs.Running() || !s_.table.IsLoaded()) return;
  try {
    const std::optional<pff::GridRow> row = s_.target.RowAt(s_.target.CurrentRow());
    if (!row) return;
    pff::PffArchive& archive = ArchiveOfRow(s_.table, *row);
    if (archive.Header.EntryCount == 0) return;
    if (!archive.HasEntry(row->Entry)) throw std::runtime_error(pff::NoSuchEntry(archive, row->Entry));

    // The name as shown: up to its first NUL.
    std::string name = pff::GetFileName(pff::NameBytes(archive.Entry(row->Entry).Name));
    name = name.substr(0, name.find('\0'));
    const QString old = QString::fromStdString(pff::Latin1ToUtf8(name));
    const std::optional<QString> answer =
        s_.dialogs.InputText(&s_.window, "Rename " + old, "Please Enter The New File Name!", old);
    if (!answer || answer->isEmpty()) return;

    const std::string newName = pff::Utf8ToLatin1(Utf8(*answer));
    const pff::RenameCheck check = pff::CheckNewName(archive, newName);
    if (check == pff::RenameCheck::Empty) return;
    if (check != pff::RenameCheck::Ok) {
      s_.dialogs.Message(&s_.window, QString(),
                         QString::fromStdString(pff::RenameCheckMessage(check, Utf8(*answer))));
      return;
    }
    // Characters outside Latin-1 are stored as "_": the user learns the name first.
    const QString stored = QString::fromStdString(pff::Latin1ToUtf8(newName));
    if (stored != *answer && !s_.dialogs.YesNo(&s_.window, "Warning!", StoredNameQuestion(*answer, stored)))
      return;
    const bool renamed = pff::RenameFile(archive, row->Entry, newName, s_.port);
    s_.target.ArchivesWritten(renamed ? row->Archive : 0);
    if (renamed) s_.status.ShowResult("Renamed " + old + " to " + stored);
  } catch (const std::exception& e) {
    s_.port.ReportError(pff::Routine::RenameCommand, e.what());
  }
}
