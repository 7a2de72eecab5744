#pragma once
// One change of an archive file, all or nothing. It holds the archive's
// exclusive lock from start to end, makes sure the file is still what memory
// was read from, saves every byte it is about to overwrite, with checksums of
// what it will write there, into the rollback journal (engine/journal.h)
// before writing, and commits by removing the journal. A failure rolls the
// file back; a crash leaves the journal for the next open to roll back.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editing/undo.h"
#include "engine/binary_file.h"
#include "engine/journal.h"
#include "engine/pff_archive.h"
#include "engine/pff_error.h"
#include "engine/pff_format.h"

namespace pff {

/// Another program changed the archive since it was read; the record has
/// been read again and nothing was written.
class ArchiveChanged : public PffError {
 public:
  using PffError::PffError;
};

/// Opens path and takes its exclusive lock, waiting up to waitMs, making sure
/// the name still names the locked file. Throws PffError when another program
/// keeps the lock.
BinaryFile OpenLockedArchive(const std::string& path, BinaryFile::Mode mode, int waitMs);
/// Throws ArchiveChanged, after reading header and directory into archive,
/// when the locked file no longer holds what archive was read from.
void ConfirmArchiveUnchanged(BinaryFile& file, PffArchive& archive);
/// Whether file still holds the header and directory archive was read from
/// (false too when they cannot be read).
bool FileMatchesRecord(BinaryFile& file, const PffArchive& archive);

/// A byte range of the archive file: offset, length.
using ByteRange = std::pair<int64_t, int64_t>;

/// One write of a change: Bytes, or Length bytes of Source from SourceOffset.
struct ArchiveWrite {
  int64_t Offset = 0;
  std::vector<uint8_t> Bytes;
  BinaryFile* Source = nullptr;
  int64_t SourceOffset = 0;
  int64_t Length = 0;
  /// Asked between the pieces of a copy from Source; false stops the write
  /// (Write throws Stopped, and RollBack undoes what was written).
  CopyProgress Progress;

  int64_t Size() const { return Source ? Length : static_cast<int64_t>(Bytes.size()); }
};
/// The directory and footer of header and entries, at the header's DirOffset.
ArchiveWrite DirectoryWrite(const PffHeader& header, const std::vector<PffEntry>& entries);
ArchiveWrite HeaderWrite(const PffHeader& header);
/// length bytes of source, from its start, at offset; progress as in ArchiveWrite.
ArchiveWrite SourceWrite(BinaryFile& source, int64_t offset, int64_t length, CopyProgress progress = {});

class ArchiveTransaction {
 public:
  /// How long a change waits for another program's lock before giving up.
  static int LockWaitMs;

  /// Opens archive.Path for writing and locks it, undoes an interrupted
  /// change found there, and compares header and directory on disk with the
  /// record. Throws PffError when the file is locked or unreadable, and
  /// ArchiveChanged (after reading the file into the record) when it differs.
  explicit ArchiveTransaction(PffArchive& archive);
  ArchiveTransaction(const ArchiveTransaction&) = delete;
  ArchiveTransaction& operator=(const ArchiveTransaction&) = delete;

  /// Saves what the writes overwrite inside the old length (and, the first
  /// time, header and old directory) with checksums of what they put there,
  /// flushes the journal when it grew, then makes the writes in order.
  /// Writes past the old length need no journal, and so no flush. Throws
  /// PffError; RollBack then undoes what was written.
  void Write(const std::vector<ArchiveWrite>& writes);
  /// Names the change for its undo step, which Commit keeps (editing/undo.h).
  /// Changes without a label (undo and redo themselves) keep none.
  void Label(const ChangeLabel& label) { label_ = label; }
  /// Makes Commit end the change by cutting the file to length, below its
  /// old length; the cut, once made, completes the change.
  void CutAtCommit(int64_t length) { cutTo_ = length; }
  /// The archive, open and locked, for reading what it holds now.
  BinaryFile& File() { return file_; }

  /// Makes the change durable, keeps its undo step and removes the journal.
  /// A step that cannot be kept drops the archive's history instead: the
  /// change itself stands.
  void Commit();
  /// Puts the file back as it was at the start. Throws PffError when that
  /// fails; the journal then stays for the next open.
  void RollBack();

 private:
  std::vector<ByteRange> Unsaved(const std::vector<ByteRange>& wanted);
  DeclaredWrite Declare(const ArchiveWrite& write) const;
  void Perform(const ArchiveWrite& write, const DeclaredWrite& declared);

  std::string path_;
  BinaryFile file_;
  PffHeader oldHeader_;
  int64_t oldLength_ = 0;
  std::optional<Journal> journal_;
  std::vector<ByteRange> saved_;  // sorted, disjoint
  std::optional<ChangeLabel> label_;
  std::optional<int64_t> cutTo_;
  bool cutMade_ = false;
};

/// Rolls tx back after a failure. Returns "" when that worked, else a
/// sentence for the error message saying that the next open will do it.
std::string RollBackAfterFailure(ArchiveTransaction& tx);

}  // namespace pff
