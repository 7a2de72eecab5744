#include "editing/archive_transaction.h"

#include <algorithm>
#include <exception>

#include "engine/file_system.h"
#include "engine/journal_format.h"
#include "engine/journal_recovery.h"
#include "engine/stale_temporaries.h"
#include "undo_capture.h"

namespace pff {

namespace {

bool SameRecords(const PffEntry& a, const PffEntry& b) {
  return a.DeadFlag == b.DeadFlag && a.DataOffset == b.DataOffset && a.DataSize == b.DataSize &&
         a.FileTime == b.FileTime && a.Name == b.Name;
}

bool SameHeader(const PffHeader& a, const PffHeader& b) {
  return a.HeaderSize == b.HeaderSize && a.Magic == b.Magic && a.EntryCount == b.EntryCount &&
         a.EntrySize == b.EntrySize && a.DirOffset == b.DirOffset;
}

// The directory and footer of header: offset and length.
ByteRange DirectoryRange(const PffHeader& header) {
  return {header.DirOffset, DirectoryEnd(header) - header.DirOffset};
}

bool MatchesRecord(const PffHeader& header, const std::vector<PffEntry>& entries, const PffArchive& archive) {
  if (!SameHeader(header, archive.Header)) return false;
  if (header.EntryCount == 0) return true;
  return entries.size() == archive.Entries.size() &&
         std::equal(entries.begin(), entries.end(), archive.Entries.begin(), SameRecords);
}

}  // namespace

int ArchiveTransaction::LockWaitMs = 2000;

ArchiveWrite DirectoryWrite(const PffHeader& header, const std::vector<PffEntry>& entries) {
  ArchiveWrite write;
  write.Offset = header.DirOffset;
  write.Bytes = DirectoryBytes(header, entries);
  return write;
}

ArchiveWrite HeaderWrite(const PffHeader& header) {
  ArchiveWrite write;
  write.Bytes.resize(kHeaderBytes);
  EncodeHeader(header, write.Bytes.data());
  return write;
}

ArchiveWrite SourceWrite(BinaryFile& source, int64_t offset, int64_t length, CopyProgress progress) {
  ArchiveWrite write;
  write.Offset = offset;
  write.Source = &source;
  write.Length = length;
  write.Progress = std::move(progress);
  return write;
}

// A program that rewrites the whole archive (compaction) renames a new file
// over it while others wait for the lock of the old one; a lock won on a file
// that no longer has the name protects nothing, so the name is opened again.
BinaryFile OpenLockedArchive(const std::string& path, BinaryFile::Mode mode, int waitMs) {
  for (int attempt = 0;; ++attempt) {
    BinaryFile file = BinaryFile::Open(path, mode);
    if (!file.LockExclusive(waitMs))
      throw PffError(path + " is being changed by another program; nothing was written.");
    if (FileIdOf(path) == std::optional<FileId>(file.Id())) return file;
    if (attempt == 3) throw PffError(path + " is being replaced by another program; nothing was written.");
  }
}

void ConfirmArchiveUnchanged(BinaryFile& file, PffArchive& archive) {
  PffHeader header;
  std::vector<PffEntry> entries;
  try {
    ReadArchive(file, header, entries);
  } catch (const PffError& e) {
    throw PffError(archive.Path + " was changed by another program and cannot be read any more (" + e.what() +
                   "); nothing was written.");
  }
  if (!MatchesRecord(header, entries, archive)) {
    archive.Header = header;
    archive.Entries = std::move(entries);
    throw ArchiveChanged(archive.Path +
                         " was changed by another program; it has been read again, nothing was written.");
  }
}

bool FileMatchesRecord(BinaryFile& file, const PffArchive& archive) {
  PffHeader header;
  std::vector<PffEntry> entries;
  try {
    ReadArchive(file, header, entries);
  } catch (const PffError&) {
    return false;
  }
  return MatchesRecord(header, entries, archive);
}

ArchiveTransaction::ArchiveTransaction(PffArchive& archive)
    : path_(archive.Path), file_(OpenLockedArchive(archive.Path, BinaryFile::Mode::Update, LockWaitMs)) {
  RemoveStaleTemporaries(path_);
  // A change that crashed since the archive was read is undone first; the
  // file is then what it was before that change, which memory may well be.
  RollBackJournal(file_, path_);
  ConfirmArchiveUnchanged(file_, archive);
  oldHeader_ = archive.Header;
  oldLength_ = file_.Length();
}

std::vector<ByteRange> ArchiveTransaction::Unsaved(const std::vector<ByteRange>& wanted) {
  // Only the parts inside the old length that were not saved yet.
  std::vector<ByteRange> pieces;
  for (const auto& [offset, length] : wanted) {
    int64_t from = std::max<int64_t>(offset, 0);
    const int64_t to = std::min(offset + length, oldLength_);
    if (from >= to) continue;
    // Saved ranges are disjoint and sorted, so their ends are sorted too.
    auto saved = std::partition_point(saved_.begin(), saved_.end(),
                                      [&](const ByteRange& r) { return r.first + r.second <= from; });
    for (; saved != saved_.end() && from < to && saved->first < to; ++saved) {
      const auto [savedFrom, savedLength] = *saved;
      if (savedFrom > from) pieces.push_back({from, savedFrom - from});
      from = std::max(from, savedFrom + savedLength);
    }
    if (from < to) pieces.push_back({from, to - from});
    // Later ranges of this call must not save these bytes twice.
    for (const ByteRange& piece : pieces) {
      auto at = std::lower_bound(saved_.begin(), saved_.end(), piece);
      if (at == saved_.end() || *at != piece) saved_.insert(at, piece);
    }
  }
  std::sort(pieces.begin(), pieces.end());
  pieces.erase(std::unique(pieces.begin(), pieces.end()), pieces.end());
  return pieces;
}

// Checksums of what write puts inside the old length, read in pieces that
// end where journal records end.
DeclaredWrite ArchiveTransaction::Declare(const ArchiveWrite& write) const {
  DeclaredWrite declared;
  declared.Offset = std::max<int64_t>(write.Offset, 0);
  const int64_t to = std::min(write.Offset + write.Size(), oldLength_);
  if (declared.Offset >= to) return declared;
  declared.Length = to - declared.Offset;
  if (!write.Source) {
    AppendPieceSums(declared.Sums, declared.Offset, write.Bytes.data() + (declared.Offset - write.Offset),
                    static_cast<size_t>(declared.Length));
    return declared;
  }
  std::vector<uint8_t> chunk;
  for (int64_t at = declared.Offset; at < to;) {
    // Only reading yet: the copy's progress starts when the writing does.
    if (write.Progress && !write.Progress(0)) throw Stopped();
    const int64_t end = RecordEnd(at, to);
    chunk.resize(static_cast<size_t>(end - at));
    write.Source->ReadExactAt(write.SourceOffset + (at - write.Offset), chunk.data(), chunk.size());
    AppendPieceSums(declared.Sums, at, chunk.data(), chunk.size());
    at = end;
  }
  return declared;
}

void ArchiveTransaction::Perform(const ArchiveWrite& write, const DeclaredWrite& declared) {
  if (write.Size() <= 0) return;
  if (!write.Source) {
    file_.WriteAt(write.Offset, write.Bytes.data(), write.Bytes.size());
    return;
  }
  // Inside the old length the bytes pass through memory and are compared
  // with their declared checksums: a source changed since would put bytes
  // into the archive that its journal does not vouch for.
  std::vector<uint8_t> chunk;
  std::vector<uint32_t> sums;
  size_t piece = 0;
  const int64_t declaredEnd = declared.Offset + declared.Length;
  for (int64_t at = declared.Offset; at < declaredEnd;) {
    if (write.Progress && !write.Progress(at - write.Offset)) throw Stopped();
    const int64_t end = RecordEnd(at, declaredEnd);
    chunk.resize(static_cast<size_t>(end - at));
    write.Source->ReadExactAt(write.SourceOffset + (at - write.Offset), chunk.data(), chunk.size());
    sums.clear();
    AppendPieceSums(sums, at, chunk.data(), chunk.size());
    if (!std::equal(sums.begin(), sums.end(), declared.Sums.begin() + static_cast<std::ptrdiff_t>(piece)))
      throw PffError(write.Source->Path() + ": the file changed while it was being added");
    file_.WriteAt(at, chunk.data(), chunk.size());
    piece += sums.size();
    at = end;
  }
  const int64_t rest = declared.Length > 0 ? declaredEnd : write.Offset;
  const int64_t before = rest - write.Offset;
  CopyProgress progress;
  if (write.Progress) progress = [&](int64_t copied) { return write.Progress(before + copied); };
  CopyBetween(*write.Source, write.SourceOffset + before, file_, rest, write.Offset + write.Size() - rest,
              progress);
}

void ArchiveTransaction::Write(const std::vector<ArchiveWrite>& writes) {
  std::vector<ByteRange> wanted;
  const bool first = !journal_;
  if (first) {
    journal_.emplace(Journal::Create(path_, oldLength_));
    // Header and old directory are what nearly every change overwrites:
    // saving them at once spares a flush for each later range, and a journal
    // that holds them is known to be whole.
    wanted = {{0, kHeaderBytes}, DirectoryRange(oldHeader_)};
  }
  std::vector<DeclaredWrite> declared, inside;
  for (const ArchiveWrite& write : writes) {
    wanted.push_back({write.Offset, write.Size()});
    declared.push_back(Declare(write));
    if (declared.back().Length > 0) inside.push_back(declared.back());
  }
  const std::vector<ByteRange> pieces = Unsaved(wanted);
  // Appending past the old end needs no journal, and so no flush: that is
  // what keeps a batch of many additions at few flushes.
  if (first || !pieces.empty() || !inside.empty()) journal_->Append(file_, pieces, inside);
  for (size_t i = 0; i < writes.size(); ++i) Perform(writes[i], declared[i]);
}

void ArchiveTransaction::Commit() {
  file_.Sync();
  if (label_ && journal_ && UndoLimits::Current().Steps > 0) {
    // Kept before the journal goes: should the change still be rolled back,
    // the step is found not to fit the file and is put aside.
    try {
      KeepUndoStep(path_, file_, *label_, oldLength_);
    } catch (const std::exception&) {
      ForgetHistory(path_);
    }
  }
  if (cutTo_ && journal_) {
    journal_->AppendCut(*cutTo_);
    file_.Truncate(*cutTo_);
    cutMade_ = true;
    try {
      file_.Sync();
      journal_->Remove();
    } catch (const PffError&) {
      // The change is made and cannot be taken back. Until the cut is
      // durable a power loss rolls it back whole; a journal left behind is
      // found complete and removed by the next open.
    }
    journal_.reset();
    return;
  }
  if (journal_) journal_->Remove();
  journal_.reset();
}

void ArchiveTransaction::RollBack() {
  // Nothing was written before the journal existed; what a cut took cannot
  // come back, and the next open finds the change complete.
  if (!journal_ || cutMade_) return;
  // Its own journal needs no proof; a write that failed half way may have
  // left pieces that are neither old nor new.
  UndoOwnJournal(file_, path_);
  journal_.reset();
}

std::string RollBackAfterFailure(ArchiveTransaction& tx) {
  try {
    tx.RollBack();
    return "";
  } catch (const std::exception& e) {
    return " The change could not be undone yet (" + std::string(e.what()) +
           "); it will be undone when the archive is opened next.";
  }
}

}  // namespace pff
