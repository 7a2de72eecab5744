#include "engine/archive_table.h"

#include <optional>
#include <stdexcept>

#include "engine/binary_file.h"
#include "engine/file_system.h"
#include "engine/journal.h"
#include "engine/journal_recovery.h"
#include "engine/paths.h"
#include "engine/pff_error.h"
#include "engine/replace_file.h"
#include "engine/stale_temporaries.h"

namespace pff {

namespace {

// Opening waits only briefly for a program that is changing the archive: it
// then reads the file as it is and leaves that program's journal alone.
constexpr int kOpenLockWaitMs = 300;
// Creating over an archive waits as long as an edit does for another program.
constexpr int kCreateLockWaitMs = 2000;

// Undoes an interrupted change before the archive is read, and says so once.
void RecoverBeforeReading(const std::string& path, Frontend& port) {
  const Recovered recovered = RecoverArchive(path, kOpenLockWaitMs);
  if (recovered.Kind != Recovery::Undone) return;
  port.Notify(path + ": an interrupted change was undone" +
              (recovered.Note.empty() ? "" : "; " + recovered.Note));
}

// The file about to be replaced, locked; opened for writing when a journal
// beside it may have to be undone.
BinaryFile OpenToReplace(const std::string& target, const std::string& path) {
  const bool pending = StatPath(JournalPath(target), false).Exists;
  BinaryFile old = BinaryFile::Open(target, pending ? BinaryFile::Mode::Update : BinaryFile::Mode::Read);
  // A change another program makes to the old file ends first; one that
  // waits for it then finds the file replaced and writes nothing.
  if (!old.LockExclusive(kCreateLockWaitMs))
    throw PffError(path + " is being changed by another program; nothing was written.");
  return old;
}

}  // namespace

int ArchiveTable::Append(PffArchive archive) {
  archives_.push_back(std::move(archive));
  return Count();
}

void ArchiveTable::Remove(int index) {
  if (index < 1 || index > Count()) throw std::out_of_range("no open archive " + std::to_string(index));
  archives_.erase(archives_.begin() + (index - 1));
}

int OpenFile(ArchiveTable& table, const std::string& path, Frontend& port) {
  PffArchive archive{path, {}, {}};
  if (!UpdatePff(archive, port)) return 0;
  return table.Append(std::move(archive));
}

bool UpdatePff(PffArchive& archive, Frontend& port) {
  try {
    RecoverBeforeReading(archive.Path, port);
    RemoveStaleTemporaries(archive.Path);
    BinaryFile file = BinaryFile::Open(archive.Path, BinaryFile::Mode::Read);
    ReadArchive(file, archive.Header, archive.Entries);
    file.Close();
    return true;
  } catch (const PffError& e) {
    // The description names the file, so that a failed open among several says which
    // (a refused journal's text names it after the journal, and is kept as it is).
    const std::string what = e.what();
    port.ReportError(Routine::OpenArchive,
                     what.find(archive.Path) != std::string::npos ? what : archive.Path + ": " + what);
    return false;
  }
}

bool ReloadArchive(PffArchive& archive, Frontend& port) {
  PffArchive fresh{archive.Path, {}, {}};
  if (!UpdatePff(fresh, port)) return false;
  archive = std::move(fresh);
  return true;
}

int FindOpenArchive(const ArchiveTable& table, const std::string& path) {
  for (int i = 1; i <= table.Count(); ++i)
    if (IsSameFile(table.Archive(i).Path, path)) return i;
  return 0;
}

bool IsFileOpen(const ArchiveTable& table, const std::string& path) {
  return FindOpenArchive(table, path) != 0;
}

Created CreateArchive(ArchiveTable& table, const std::string& path, Flavour flavour) {
  Created result;
  try {
    // Written beside the file a link names and renamed over it: whatever
    // happens, the old file or the whole new archive is there, never a cut one.
    const std::string target = ResolvedPath(path);
    const std::string folder = ParentFolder(target);
    if (!StatPath(folder).IsDirectory) throw PffError(path + ": No such file or directory");
    std::optional<BinaryFile> old;
    if (StatPath(target).Exists) {
      old.emplace(OpenToReplace(target, path));
      // An interrupted change is undone into the old file, and its journal
      // gone durably, before the new file takes the name: a crash in between
      // then leaves the old archive whole, and the new one never meets a
      // journal that is not its own.
      if (StatPath(JournalPath(target), false).Exists) {
        RollBackJournal(*old, target);
        SyncFolder(folder);
      }
      RemoveStaleTemporaries(target);
    } else if (StatPath(JournalPath(target), false).Exists) {
      // The journal of a file that is gone has nothing left to undo.
      RemoveFile(JournalPath(target));
      SyncFolder(folder);
    }
    ReplaceFile(target, [flavour](BinaryFile& file) {
      const std::vector<uint8_t> bytes = NewArchiveBytes(flavour);
      file.WriteAt(0, bytes.data(), bytes.size());
    });
    // The file is replaced now: a slot still holding its old directory must
    // go, or a later edit would write that directory into the new file.
    if (int stale = FindOpenArchive(table, path)) {
      table.Remove(stale);
      result.Closed = stale;
    }
    SyncFolder(folder);
  } catch (const PffError& e) {
    result.Error = e.what();
    return result;
  }
  result.Index = table.Append(PffArchive{path, NewHeader(flavour), {}});
  return result;
}

bool CloseFile(ArchiveTable& table, int index, Frontend& port) {
  if (index < 1 || index > table.Count()) {
    port.ReportError(Routine::CloseArchive, "There is no open archive number " + std::to_string(index) + ".");
    return false;
  }
  table.Remove(index);
  return true;
}

}  // namespace pff
