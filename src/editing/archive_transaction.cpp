#include "editing/archive_transaction.h"

#include <algorithm>
#include <exception>

#include "engine/file_system.h"
#include "engine/pff_format.h"

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

bool MatchesRecord(const PffHeader& header, const std::vector<PffEntry>& entries, const PffArchive& archive) {
  if (!SameHeader(header, archive.Header)) return false;
  if (header.EntryCount == 0) return true;
  return entries.size() == archive.Entries.size() &&
         std::equal(entries.begin(), entries.end(), archive.Entries.begin(), SameRecords);
}

}  // namespace

int ArchiveTransaction::LockWaitMs = 2000;

ByteRange DirectoryRange(const PffHeader& header) {
  return {header.DirOffset, DirectoryEnd(header) - header.DirOffset};
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
  // A change that crashed since the archive was read is undone first; the
  // file is then what it was before that change, which memory may well be.
  RollBackJournal(file_, path_);
  ConfirmArchiveUnchanged(file_, archive);
  oldHeader_ = archive.Header;
  oldLength_ = file_.Length();
}

void ArchiveTransaction::Protect(const std::vector<ByteRange>& ranges) {
  std::vector<ByteRange> wanted = ranges;
  const bool first = !journal_;
  if (first) {
    journal_.emplace(Journal::Create(path_, oldLength_));
    // Header and old directory are what nearly every change overwrites;
    // saving them at once spares a flush for each later range.
    wanted.push_back({0, kHeaderBytes});
    wanted.push_back(DirectoryRange(oldHeader_));
  }
  // Only the parts inside the old length that were not saved yet.
  std::vector<ByteRange> pieces;
  for (const auto& [offset, length] : wanted) {
    int64_t from = std::max<int64_t>(offset, 0);
    const int64_t to = std::min(offset + length, oldLength_);
    for (const auto& [savedFrom, savedLength] : saved_) {
      if (from >= to) break;
      if (savedFrom + savedLength <= from) continue;
      if (savedFrom >= to) break;
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
  // Appending past the old end needs no saving, and so no flush: that is what
  // keeps a batch of many additions at one flush.
  if (pieces.empty() && !first) return;
  journal_->Save(file_, pieces);
}

void ArchiveTransaction::Commit() {
  file_.Sync();
  if (journal_) journal_->Remove();
  journal_.reset();
}

void ArchiveTransaction::RollBack() {
  if (!journal_) return;  // nothing was written before the journal existed
  RollBackJournal(file_, path_);
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
