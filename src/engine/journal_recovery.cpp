#include "engine/journal_recovery.h"

#include <optional>
#include <vector>

#include "engine/file_system.h"
#include "engine/journal.h"
#include "engine/journal_trust.h"
#include "engine/pff_error.h"

namespace pff {

namespace {

// Later records never overlap earlier ones; going backwards would still
// leave the oldest bytes in place if they did.
void WriteBack(BinaryFile& journal, const std::vector<JournalRecord>& saved, int64_t oldLength,
               BinaryFile& archive) {
  std::vector<uint8_t> data;
  for (auto r = saved.rbegin(); r != saved.rend(); ++r) {
    data.resize(static_cast<size_t>(r->Length));
    journal.ReadExactAt(r->PayloadAt, data.data(), data.size());
    archive.WriteAt(r->Offset, data.data(), data.size());
  }
  archive.Truncate(oldLength);
  archive.Sync();
}

bool TryRemoveJournal(const std::string& archivePath, std::string* why = nullptr) {
  try {
    RemoveJournal(archivePath);
    return true;
  } catch (const PffError& e) {
    if (why) *why = e.what();
    return false;
  }
}

// A journal that was applied but cannot be removed (a read-only folder) is
// emptied instead, so that it undoes nothing should the archive change later.
std::string KeepEmptied(const std::string& archivePath, const std::string& why) {
  const std::string path = JournalPath(archivePath);
  try {
    BinaryFile journal = BinaryFile::Open(path, BinaryFile::Mode::Update, false);
    journal.Truncate(0);
    journal.Sync();
    return "its journal " + path + " could not be removed (" + why + "); it was emptied and may be deleted.";
  } catch (const PffError&) {
    return "its journal " + path + " could not be removed (" + why + ").";
  }
}

}  // namespace

bool RollBackJournal(BinaryFile& archive, const std::string& archivePath) {
  JournalFindings findings = ExamineJournal(archive, archivePath);
  switch (findings.Verdict) {
    case JournalVerdict::None:
      return false;
    case JournalVerdict::Foreign:
      throw PffError(ForeignJournalText(archivePath));
    case JournalVerdict::Unfinished:
    case JournalVerdict::Complete:
      RemoveJournal(archivePath);
      return false;
    case JournalVerdict::Genuine:
      break;
  }
  WriteBack(*findings.Journal, findings.Saved, findings.OldLength, archive);
  findings.Journal->Close();
  RemoveJournal(archivePath);
  return true;
}

void UndoOwnJournal(BinaryFile& archive, const std::string& archivePath) {
  {
    BinaryFile journal = BinaryFile::Open(JournalPath(archivePath), BinaryFile::Mode::Read, false);
    const JournalContents contents = ReadJournal(journal);
    if (contents.Header) {
      std::vector<JournalRecord> saved;
      for (const JournalRecord& r : contents.Records)
        if (r.Kind == RecordKind::Saved) saved.push_back(r);
      WriteBack(journal, saved, contents.Header->OldLength, archive);
    }
  }
  RemoveJournal(archivePath);
}

Recovered RecoverArchive(const std::string& archivePath, int waitMs) {
  if (!StatPath(JournalPath(archivePath), false).Exists) return {};
  std::optional<BinaryFile> file;
  std::string writeError;
  try {
    file.emplace(BinaryFile::Open(archivePath, BinaryFile::Mode::Update));
  } catch (const PffError& e) {
    writeError = e.what();
    file.emplace(BinaryFile::Open(archivePath, BinaryFile::Mode::Read));
  }
  // The lock tells a crashed change from one still running: a program
  // changing the archive holds it until its journal is gone.
  if (!file->LockExclusive(waitMs)) return {Recovery::Busy, {}};
  // A lock won on a file that was meanwhile replaced by a rename protects nothing.
  if (!(FileIdOf(archivePath) == std::optional<FileId>(file->Id()))) return {Recovery::Busy, {}};
  const std::string kept = "; its journal " + JournalPath(archivePath) + " is kept.";
  JournalFindings findings = ExamineJournal(*file, archivePath);
  switch (findings.Verdict) {
    case JournalVerdict::None:
      return {};
    case JournalVerdict::Foreign:
      throw PffError(ForeignJournalText(archivePath));
    case JournalVerdict::Unfinished:
    case JournalVerdict::Complete:
      // Nothing to undo: where the folder keeps it, it may stay.
      TryRemoveJournal(archivePath);
      return {};
    case JournalVerdict::Genuine:
      break;
  }
  if (!writeError.empty()) {
    if (findings.ChangesArchive)
      throw PffError("An interrupted change cannot be undone: " + writeError + kept);
    TryRemoveJournal(archivePath);
    return {};
  }
  try {
    WriteBack(*findings.Journal, findings.Saved, findings.OldLength, *file);
  } catch (const PffError& e) {
    throw PffError("An interrupted change cannot be undone: " + std::string(e.what()) + kept);
  }
  findings.Journal->Close();
  std::string why;
  if (TryRemoveJournal(archivePath, &why)) return {Recovery::Undone, {}};
  return {Recovery::Undone, KeepEmptied(archivePath, why)};
}

}  // namespace pff
