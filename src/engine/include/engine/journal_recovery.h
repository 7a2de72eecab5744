#pragma once
// Undoing an interrupted change from its journal (engine/journal.h), and
// only a journal that provably belongs to the archive (engine/journal_trust.h).

#include <string>

#include "engine/binary_file.h"

namespace pff {

/// Before a change of the archive, or before replacing it: undoes an
/// interrupted change into archive (open for writing and locked by the
/// caller) and removes its journal; an unfinished journal is only removed.
/// Returns whether a change was undone. Throws PffError, touching nothing,
/// with ForeignJournalText when the journal does not belong to the archive,
/// and when the journal cannot be removed.
bool RollBackJournal(BinaryFile& archive, const std::string& archivePath);

/// After a failed change of this program: writes back what its own journal
/// saved, restores the old length, flushes, removes the journal.
void UndoOwnJournal(BinaryFile& archive, const std::string& archivePath);

enum class Recovery { None, Undone, Busy };

struct Recovered {
  Recovery Kind = Recovery::None;
  std::string
      Note;  // when the journal of an undone change could not be removed: why, and what was done instead
};

/// Opening's part: when a journal lies beside the archive, takes the
/// archive's lock (waiting up to waitMs) and rolls it back. Busy, touching
/// nothing, when another program holds the lock (its change may be running).
/// An unfinished journal is removed where the folder allows and otherwise
/// left alone. Throws PffError, keeping the journal, when it does not belong
/// to the archive or cannot be rolled back.
Recovered RecoverArchive(const std::string& archivePath, int waitMs);

}  // namespace pff
