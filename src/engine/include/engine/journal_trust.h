#pragma once
// Whether a journal found beside an archive may be applied to it. Anyone can
// write a file with consistent checksums, so a journal is applied only when
// it provably describes an interrupted change of this very archive:
// - it is a regular file (no link) of the archive's owner or of the user
//   running the program, and nobody else may write it;
// - it saved the archive's header and the old directory that header
//   describes, inside the old length (else it was cut short before the
//   archive was touched: unfinished);
// - its records lie inside the old length, and the archive is at least that
//   long, or exactly as long as a Cut record says: the change was complete;
// - every saved piece of the archive holds either its old bytes or the
//   bytes the change declared it would write there.
// A copy of the archive with its journal passes: nothing ties the journal
// to a file system's inode.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/binary_file.h"
#include "engine/journal_format.h"

namespace pff {

enum class JournalVerdict {
  None,        // no journal
  Unfinished,  // cut short before the archive was touched: nothing to undo
  Foreign,     // not provably this archive's: never applied
  Genuine,     // an interrupted change of this archive
  Complete,    // a change that was complete (its cut made) when it was interrupted: only remove it
};

struct JournalFindings {
  JournalVerdict Verdict = JournalVerdict::None;
  std::optional<BinaryFile> Journal;  // open, for Genuine
  int64_t OldLength = 0;
  std::vector<JournalRecord> Saved;  // in journal order
  bool ChangesArchive = false;       // undoing it changes bytes or the length
};

/// Examines the journal beside archivePath against archive (open, locked by
/// the caller). Throws PffError when the journal cannot be read.
JournalFindings ExamineJournal(BinaryFile& archive, const std::string& archivePath);

/// "JOURNAL does not belong to ARCHIVE; it was not applied. Move it away to open the archive."
std::string ForeignJournalText(const std::string& archivePath);

}  // namespace pff
