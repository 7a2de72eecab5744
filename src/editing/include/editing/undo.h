#pragma once
// Undo and redo of the changes this program makes. A change that carries a
// label (ArchiveTransaction::Label) leaves a step in the user's state folder
// ("$XDG_STATE_HOME/vellumcraft/undo/", never beside the archive), keyed by
// the archive's resolved path: the bytes it overwrote, the old length, what
// redo needs, and checksums of the archive before and after. Undo and redo
// are journaled changes like any other, and apply only when the archive is
// exactly in the state the step left it in (or, for redo, found it in).
// At most 20 steps and 256 MiB per archive; the oldest go first. A new change
// drops the steps that were undone.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/binary_file.h"
#include "engine/pff_archive.h"

namespace pff {

enum class ChangeKind : uint32_t { Add = 1, Replace = 2, Delete = 3, Rename = 4, PutBack = 5 };

/// How much history an archive keeps. Tests make it small.
struct UndoLimits {
  int Steps = 20;  // 0: changes keep no steps
  int64_t Bytes = int64_t{256} << 20;     // all steps of one archive together
  int64_t RedoBytes = int64_t{64} << 20;  // what a change wrote, beyond which it is undone only
  static UndoLimits& Current();
};

/// What a change did, as the history names it.
struct ChangeLabel {
  ChangeKind Kind = ChangeKind::Add;
  int Count = 1;  // files added or replaced, entries deleted, renamed or put back
};

/// "Delete 3 Entries", "Add 1 File": the window's caption after "Undo " or "Redo ".
std::string StepCaption(const ChangeLabel& label);
/// "delete of 3 entries", "add of 1 file": what `pff undo` prints after "Undid: ".
std::string StepPhrase(const ChangeLabel& label);

struct UndoStep {
  ChangeLabel Label;
  int64_t Time = 0;       // when the change was made, seconds since the Unix epoch
  int64_t Bytes = 0;      // what the step takes in the state folder
  bool Redoable = true;   // false: the change wrote more than 64 MiB, which is not kept
};

struct UndoHistory {
  std::vector<UndoStep> Done;    // oldest first: the last one is undone next
  std::vector<UndoStep> Undone;  // the first one is redone next
};

/// The steps kept for the archive at archivePath (empty when there are none
/// or they cannot be read). Reads only the steps' heads: cheap enough to ask
/// whenever a menu opens.
UndoHistory ReadHistory(const std::string& archivePath);
/// Drops every step of archivePath: after a change that cannot be undone
/// (creating, compacting), the steps no longer fit the file.
void ForgetHistory(const std::string& archivePath);

enum class StepOutcome {
  Applied,       // undone (redone); the record was read again
  NothingToDo,   // no step
  ChangedSince,  // the archive is not in the state the step needs; nothing written
  NotRedoable,   // the step keeps too little to be redone; nothing written
  Stopped,       // progress said no; nothing written
};

struct StepResult {
  StepOutcome Outcome = StepOutcome::NothingToDo;
  ChangeLabel Label;    // the step's, when there was one
  std::string Message;  // "Undid: delete of 3 entries", "nothing to undo",
                        // "ARCHIVE was changed since; nothing was undone.", ...
};

/// Undoes the newest step of archive (its record must be what the file
/// holds, as for every change) and reads the record again. Throws PffError
/// when the archive cannot be locked, read or written (rolled back as every
/// failed change is) and ArchiveChanged when another program changed it
/// since the record was read.
StepResult UndoChange(PffArchive& archive, const CopyProgress& progress = {});
/// Redoes the step undone last; as UndoChange.
StepResult RedoChange(PffArchive& archive, const CopyProgress& progress = {});

}  // namespace pff
