#include "editing/add_file.h"

#include <exception>
#include <limits>

#include "editing/archive_rewrite.h"
#include "editing/archive_transaction.h"
#include "editing/placement.h"
#include "engine/file_system.h"
#include "engine/file_time.h"
#include "engine/name_helpers.h"
#include "engine/paths.h"
#include "engine/pff_error.h"
#include "engine/pff_format.h"
#include "engine/text_encoding.h"

namespace pff {

namespace {

PffEntry ReadFileHeader(const std::string& path) {
  const FileStatus st = StatPath(path);
  if (!st.Exists) throw PffError(path + ": No such file or directory");
  if (!st.IsRegular) throw PffError(path + ": not a regular file");
  if (st.Size > std::numeric_limits<int32_t>::max()) {
    throw PffError(path + ": files of 2 GiB or more cannot be added");
  }
  const std::optional<int32_t> fileTime = FileTimeFromUnix(st.ModifiedSeconds, st.ModifiedNanoseconds);
  if (!fileTime) {
    throw PffError(path + ": the modification time lies outside 1901-12-13 15:45:52 to 2038-01-18 22:14:07");
  }
  PffEntry entry;
  entry.DataSize = static_cast<int32_t>(st.Size);
  entry.FileTime = *fileTime;
  entry.Name = MakeEntryName(Utf8ToLatin1(GetFileName(path)));
  return entry;
}

ReplaceRequest AskingToReplace(const PffEntry& old, const PffEntry& added, const std::string& path) {
  return {{DisplayName(old.Name), old.DataSize, old.FileTime},
          {DisplayName(added.Name), added.DataSize, added.FileTime},
          path};
}

// The entry replaced becomes dead space (its slot may take the new data),
// then the new entry is placed. A refused placement takes the replacement
// back, so the record is as before.
int PlaceReplacing(PffArchive& archive, int match, const PffEntry& added, bool reuse, EntryIndex* index) {
  const PffEntry replaced = match != 0 ? archive.Entry(match) : PffEntry{};
  auto become = [&](const PffEntry& now) {
    const PffEntry was = archive.Entry(match);
    archive.Entry(match) = now;
    if (index) index->Update(match, was, now);
  };
  if (match != 0) {
    PffEntry dead = replaced;
    MakeDead(dead);
    become(dead);
  }
  try {
    return PlaceEntry(archive.Header, archive.Entries, added, reuse, index);
  } catch (...) {
    if (match != 0) become(replaced);
    throw;
  }
}

}  // namespace

std::optional<PffEntry> GetFileHeader(const std::string& path, Frontend& port) {
  try {
    return ReadFileHeader(path);
  } catch (const std::exception& e) {
    port.ReportError(Routine::ReadFileHeader, e.what());
    return std::nullopt;
  }
}

AddBatch::AddBatch(PffArchive& archive) : archive_(archive) {}

AddBatch::~AddBatch() = default;

ArchiveTransaction& AddBatch::Begin() {
  if (!tx_) {
    auto tx = std::make_unique<ArchiveTransaction>(archive_);
    before_ = std::make_unique<ArchiveSnapshot>(TakeSnapshot(archive_));
    tx_ = std::move(tx);
  }
  return *tx_;
}

EntryIndex* AddBatch::Index() {
  if (!index_ && indexWanted_) index_.emplace(archive_.Entries);
  indexWanted_ = true;
  return index_ ? &*index_ : nullptr;
}

bool AddBatch::IsArchive(const BinaryFile& source) {
  if (!archiveId_) archiveId_ = FileIdOf(archive_.Path);
  return *archiveId_ == std::optional<FileId>(source.Id());
}

std::string AddBatch::Undo() {
  failed_ = true;
  index_.reset();
  if (!tx_) return "";
  std::string note = RollBackAfterFailure(*tx_);
  tx_.reset();
  RestoreSnapshot(archive_, *before_);
  return note;
}

std::string AddBatch::Abandon() {
  const bool begun = tx_ != nullptr;
  std::string note = Undo();
  if (begun && added_ > 0)
    note += " The " + std::to_string(added_) + " files added before by this command were undone too.";
  return note;
}

bool AddBatch::Commit(Frontend& port) {
  if (failed_) return false;
  if (added_ == 0) {
    tx_.reset();  // nothing was written: the file stays as it is, footer included
    return true;
  }
  try {
    // The header last: until it is written, the old header still describes a whole archive.
    tx_->Write({DirectoryWrite(archive_.Header, archive_.Entries), HeaderWrite(archive_.Header)});
    const ChangeKind kind = kind_ ? *kind_ : replaced_ == added_ ? ChangeKind::Replace : ChangeKind::Add;
    tx_->Label({kind, added_});
    tx_->Commit();
    tx_.reset();
    return true;
  } catch (const std::exception& e) {
    const std::string text = e.what();
    port.ReportError(Routine::AddFile, text + Abandon());
    return false;
  }
}

AddResult AddFile(const std::string& path, PffArchive& archive, const EngineOptions& options, Frontend& port,
                  AddBatch* batch) {
  if (batch && batch->Failed()) {
    port.ReportError(Routine::AddFile, path + ": not added, an earlier failure ended this command.");
    return AddResult::Failed;
  }
  const std::optional<PffEntry> header = GetFileHeader(path, port);
  if (!header) return AddResult::Failed;
  const PffEntry& added = *header;

  // A batch undoes a failed write as a whole; on its own, a call restores the record it began with.
  std::optional<ArchiveSnapshot> before;
  if (!batch) before = TakeSnapshot(archive);
  EntryIndex* index = batch ? batch->Index() : nullptr;
  std::unique_ptr<ArchiveTransaction> own;
  ArchiveTransaction* tx = nullptr;
  bool locking = false, writing = false;
  try {
    // Opened before the archive is touched, so an unreadable source changes nothing.
    BinaryFile source = BinaryFile::Open(path, BinaryFile::Mode::Read);
    if (batch ? batch->IsArchive(source) : IsSameFile(path, archive.Path))
      throw PffError(path + ": an archive cannot be added to itself");

    int match = 0;
    if (archive.Header.EntryCount != 0)
      match = index ? index->Names().Find(added.Name) : FindEntryByName(archive.Entries, added.Name);
    if (match != 0 && !options.AlwaysOverwrite &&
        !port.AskReplace(AskingToReplace(archive.Entry(match), added, path))) {
      return AddResult::Declined;
    }
    // Locked only after the question, so that no other program waits on it.
    locking = true;
    if (batch) {
      tx = &batch->Begin();
    } else {
      own = std::make_unique<ArchiveTransaction>(archive);
      tx = own.get();
    }
    locking = false;
    if (source.Length() != added.DataSize)
      throw PffError(path + ": the file changed while it was being added");

    const int placed = PlaceReplacing(archive, match, added, options.ReUseDeadSpaces, index);
    const PffEntry target = archive.Entry(placed);
    std::vector<ArchiveWrite> writes;
    writes.push_back(SourceWrite(source, target.DataOffset, target.DataSize,
                                 [&port](int64_t copied) { return port.KeepGoing(copied); }));
    // The header last: until it is written, the old header still describes a whole archive.
    if (!batch) {
      writes.push_back(DirectoryWrite(archive.Header, archive.Entries));
      writes.push_back(HeaderWrite(archive.Header));
    }
    writing = true;
    tx->Write(writes);
    const AddResult result = match != 0 ? AddResult::Replaced : AddResult::Added;
    if (batch) {
      batch->CountAdded(match != 0);
      return result;
    }
    tx->Label({match != 0 ? ChangeKind::Replace : ChangeKind::Add, 1});
    tx->Commit();
    return result;
  } catch (const Stopped&) {
    // The user stopped it: undone as after a failure, with nothing to report
    // unless the undoing itself failed.
    std::string note = batch ? batch->Undo() : (tx ? RollBackAfterFailure(*tx) : "");
    if (before) RestoreSnapshot(archive, *before);
    if (!note.empty()) port.ReportError(Routine::AddFile, path + ": stopped." + note);
    return AddResult::Stopped;
  } catch (const ArchiveChanged& e) {
    // The record was read again; there is nothing to restore.
    if (batch) batch->MarkFailed();
    port.ReportError(Routine::AddFile, e.what());
    return AddResult::Failed;
  } catch (const std::exception& e) {
    std::string text = e.what();
    if (batch && writing) {
      text += batch->Abandon();
    } else {
      if (batch && locking) batch->MarkFailed();  // locked or unreadable: the rest would fail too
      if (tx && !batch) text += RollBackAfterFailure(*tx);
      if (before) RestoreSnapshot(archive, *before);
    }
    port.ReportError(Routine::AddFile, text);
    return AddResult::Failed;
  }
}

}  // namespace pff
