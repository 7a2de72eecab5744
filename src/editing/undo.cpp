#include "editing/undo.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "editing/archive_transaction.h"
#include "engine/journal_format.h"
#include "engine/pff_format.h"
#include "undo_history.h"

namespace pff {

namespace {

struct KindWords {
  const char* Verb;    // "Delete"
  const char* Phrase;  // "delete"
  bool Files;          // counts files, else entries
};

KindWords WordsOf(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::Add:
      return {"Add", "add", true};
    case ChangeKind::Replace:
      return {"Replace", "replace", true};
    case ChangeKind::Delete:
      return {"Delete", "delete", false};
    case ChangeKind::Rename:
      return {"Rename", "rename", false};
    case ChangeKind::PutBack:
      return {"Put Back", "put-back", false};
  }
  return {"Change", "change", false};
}

std::string Counted(int count, bool files, bool capitalised) {
  const char* noun = files ? (count == 1 ? "file" : "files") : (count == 1 ? "entry" : "entries");
  std::string text = std::to_string(count) + " " + noun;
  if (capitalised) text[text.find(' ') + 1] = static_cast<char>(std::toupper(static_cast<unsigned char>(noun[0])));
  return text;
}

// Whether the archive holds exactly what checks describe and is length long.
bool InState(BinaryFile& archive, int64_t length, const std::vector<StepCheck>& checks) {
  if (archive.Length() != length) return false;
  std::vector<uint8_t> bytes;
  std::vector<uint32_t> sums;
  for (const StepCheck& check : checks) {
    bytes.resize(static_cast<size_t>(check.Length));
    archive.ReadExactAt(check.Offset, bytes.data(), bytes.size());
    sums.clear();
    AppendPieceSums(sums, check.Offset, bytes.data(), bytes.size());
    if (sums != check.Sums) return false;
  }
  return true;
}

ArchiveWrite StepWrite(LoadedStep& step, int64_t offset, int64_t from, int64_t length, const CopyProgress& progress) {
  ArchiveWrite write = SourceWrite(*step.File, offset, length, progress);
  write.SourceOffset = from;
  return write;
}

enum class Direction { Back, Forward };

// Applies the newest done step (Back) or the first undone one (Forward).
StepResult Step(PffArchive& archive, Direction direction, const CopyProgress& progress) {
  const bool back = direction == Direction::Back;
  const std::string nothing = back ? "nothing was undone." : "nothing was redone.";
  std::vector<std::string> damaged;  // dropped, or to be passed over should they not go
  for (;;) {
    std::optional<StepFile> next;
    for (const StepFile& step : ListStepFiles(archive.Path)) {
      if (step.Done != back || std::find(damaged.begin(), damaged.end(), step.Path) != damaged.end()) continue;
      next = step;
      if (!back) break;
    }
    StepResult result;
    if (!next) {
      result.Message = back ? "nothing to undo" : "nothing to redo";
      return result;
    }
    std::optional<LoadedStep> step;
    try {
      step = LoadStep(BinaryFile::Open(next->Path, BinaryFile::Mode::Read, false));
    } catch (const PffError&) {
    }
    if (!step) {
      // Damaged: no step. The ones behind it are refused when they fail to fit.
      DropStep(*next);
      damaged.push_back(next->Path);
      continue;
    }
    result.Label = step->Head.Label;
    const StepHead& head = step->Head;
    ArchiveTransaction tx(archive);
    const auto& from = back ? step->After : step->Before;
    const auto& to = back ? step->Before : step->After;
    const int64_t fromLength = back ? head.NewLength : head.OldLength;
    const int64_t toLength = back ? head.OldLength : head.NewLength;
    if (!InState(tx.File(), fromLength, from)) {
      if (InState(tx.File(), toLength, to)) {
        // Already so: a crash came between the change and the history's update.
        MarkStep(*next, !back);
        continue;
      }
      result.Outcome = StepOutcome::ChangedSince;
      result.Message = archive.Path + " was changed since; " + nothing;
      return result;
    }
    if (!back && !head.Redoable) {
      result.Outcome = StepOutcome::NotRedoable;
      result.Message = "The " + StepPhrase(head.Label) + " cannot be redone: it wrote more than " +
                       std::to_string(UndoLimits::Current().RedoBytes >> 20) + " MiB, which is not kept; " + nothing;
      return result;
    }
    std::vector<ArchiveWrite> writes;
    for (const StepRun& run : step->Runs)
      writes.push_back(StepWrite(*step, run.Offset, back ? run.OldAt : run.NewAt, run.Length, progress));
    if (!back && head.NewLength > head.OldLength)
      writes.push_back(StepWrite(*step, head.OldLength, step->AppendedAt, head.NewLength - head.OldLength, progress));
    try {
      tx.Write(writes);
      if (back && head.NewLength > head.OldLength) tx.CutAtCommit(head.OldLength);
      tx.Commit();
    } catch (const Stopped&) {
      const std::string note = RollBackAfterFailure(tx);
      result.Outcome = StepOutcome::Stopped;
      result.Message = "Stopped; " + nothing + note;
      return result;
    } catch (const std::exception& e) {
      throw PffError(e.what() + RollBackAfterFailure(tx));
    }
    try {
      MarkStep(*next, !back);
    } catch (const PffError&) {
      // The archive is changed all the same; the next step in either
      // direction finds the step's state and moves it then.
    }
    ReadArchive(tx.File(), archive.Header, archive.Entries);
    result.Outcome = StepOutcome::Applied;
    result.Message = std::string(back ? "Undid: " : "Redid: ") + StepPhrase(head.Label);
    return result;
  }
}

}  // namespace

UndoLimits& UndoLimits::Current() {
  static UndoLimits limits;
  return limits;
}

std::string StepCaption(const ChangeLabel& label) {
  const KindWords words = WordsOf(label.Kind);
  return std::string(words.Verb) + " " + Counted(label.Count, words.Files, true);
}

std::string StepPhrase(const ChangeLabel& label) {
  const KindWords words = WordsOf(label.Kind);
  return std::string(words.Phrase) + " of " + Counted(label.Count, words.Files, false);
}

StepResult UndoChange(PffArchive& archive, const CopyProgress& progress) {
  return Step(archive, Direction::Back, progress);
}

StepResult RedoChange(PffArchive& archive, const CopyProgress& progress) {
  return Step(archive, Direction::Forward, progress);
}

}  // namespace pff
