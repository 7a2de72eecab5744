#pragma once
// The rollback journal that makes every change of an archive all or nothing.
// Before a change overwrites bytes of the archive, their old content and the
// archive's old length go into "ARCHIVE-journal" beside it and are flushed;
// the change is done when the journal is removed. A journal found later means
// the change was interrupted: writing the saved bytes back and cutting the
// archive to its old length restores it exactly.
//
// Layout (little-endian): a 24-byte header ("VCJRNL01", a random salt, the
// old length, a CRC-32 of those 20 bytes), then records: offset (8 bytes),
// length (4), CRC-32 of salt, offset, length and data (4), then the data.
// A journal grows while a change runs, so it holds no record count: a record
// counts when it is whole and its checksum matches. A torn tail was never
// acted on (the archive is touched only after the journal is flushed).

#include <cstdint>
#include <string>
#include <vector>

#include "engine/binary_file.h"

namespace pff {

/// "ARCHIVE-journal": where the journal of an archive lives.
std::string JournalPath(const std::string& archivePath);

/// The journal of one change being made, open for appending.
class Journal {
 public:
  /// Creates the journal of archivePath (failing when one exists) recording
  /// oldLength. Nothing is flushed yet.
  static Journal Create(const std::string& archivePath, int64_t oldLength);

  /// Appends the current bytes of archive in [offset, offset + length) and
  /// flushes the journal (and, the first time, its folder). Ranges must not
  /// overlap earlier ones.
  void Save(BinaryFile& archive, const std::vector<std::pair<int64_t, int64_t>>& ranges);
  /// Deletes the journal: the change it guarded is committed (or undone).
  void Remove();

 private:
  Journal(BinaryFile file, std::string archivePath, uint32_t salt);
  BinaryFile file_;
  std::string archivePath_;
  uint32_t salt_;
  std::vector<uint8_t> header_;  // written with the first records
  int64_t end_;
  bool folderSynced_ = false;
};

enum class JournalState {
  None,        // no journal
  Incomplete,  // a journal whose header is torn: the archive was never touched
  Complete,    // an interrupted change to undo
};

/// What the journal beside archivePath holds.
JournalState InspectJournal(const std::string& archivePath);

/// Undoes an interrupted change: writes the journal's saved bytes back into
/// archive (opened for writing and locked by the caller), restores the old
/// length, flushes, then removes the journal. An incomplete journal is only
/// removed. Returns whether a change was undone; throws PffError, keeping the
/// journal, when the archive cannot be written.
bool RollBackJournal(BinaryFile& archive, const std::string& archivePath);

enum class Recovery { None, Undone, Busy };

/// Opening's part: when a journal lies beside the archive, takes the
/// archive's lock (waiting up to waitMs) and rolls it back. Busy, touching
/// nothing, when another program holds the lock (its change may be running).
/// Throws PffError, keeping the journal, when it cannot be rolled back.
Recovery RecoverArchive(const std::string& archivePath, int waitMs);

}  // namespace pff
