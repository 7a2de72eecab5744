#pragma once
// The rollback journal that makes every change of an archive all or nothing.
// Before a change overwrites bytes of the archive, their old content, the
// archive's old length and checksums of the bytes about to be written go into
// "ARCHIVE-journal" beside it and are flushed; the change is done when the
// journal is removed. A journal found later means the change was
// interrupted: writing the saved bytes back and cutting the archive to its
// old length restores it exactly (engine/journal_recovery.h). The bytes are
// laid out in engine/journal_format.h.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/binary_file.h"

namespace pff {

/// "ARCHIVE-journal": where the journal of an archive lives.
std::string JournalPath(const std::string& archivePath);

/// Bytes a change is about to write inside the archive's old length, by
/// the checksums of their pieces (AppendPieceSums).
struct DeclaredWrite {
  int64_t Offset = 0;
  int64_t Length = 0;
  std::vector<uint32_t> Sums;
};

/// The journal of one change being made, open for appending.
class Journal {
 public:
  /// Creates the journal of archivePath (failing when one exists) recording
  /// oldLength. Nothing is flushed yet.
  static Journal Create(const std::string& archivePath, int64_t oldLength);

  /// Appends the current bytes of archive in each of saves (offset, length),
  /// then the declared writes, and flushes the journal (and, the first time,
  /// its folder). Everything lies inside the old length; saves must not
  /// overlap earlier ones.
  void Append(BinaryFile& archive, const std::vector<std::pair<int64_t, int64_t>>& saves,
              const std::vector<DeclaredWrite>& writes);
  /// Appends a Cut record (the change ends by cutting the archive to
  /// length, below the old length) and flushes the journal. Nothing may be
  /// appended after it.
  void AppendCut(int64_t length);
  /// Deletes the journal: the change it guarded is committed (or undone).
  void Remove();

 private:
  Journal(BinaryFile file, std::string archivePath, uint32_t salt, int64_t oldLength);
  BinaryFile file_;
  std::string archivePath_;
  uint32_t salt_;
  int64_t oldLength_;
  int64_t end_ = 0;
  bool folderSynced_ = false;
};

/// Removes the journal of archivePath and flushes its folder (a failing flush
/// is let pass: the archive is whole either way). Throws PffError when the
/// journal cannot be removed.
void RemoveJournal(const std::string& archivePath);

}  // namespace pff
