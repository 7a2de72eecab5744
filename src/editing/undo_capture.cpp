#include "undo_capture.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "engine/journal.h"
#include "engine/journal_format.h"
#include "engine/pff_format.h"
#include "undo_history.h"

namespace pff {

namespace {

// Runs closer than this are kept as one: a run's head costs 16 bytes.
constexpr int64_t kJoinGap = 32;

std::vector<uint32_t> SumsOf(int64_t offset, const std::vector<uint8_t>& bytes) {
  std::vector<uint32_t> sums;
  AppendPieceSums(sums, offset, bytes.data(), bytes.size());
  return sums;
}

// Checks of [from, to) of the archive as it is now, a chunk at a time.
void AddChecks(BinaryFile& archive, int64_t from, int64_t to, std::vector<StepCheck>& checks) {
  std::vector<uint8_t> chunk;
  for (int64_t at = from; at < to;) {
    const int64_t end = RecordEnd(at, to);
    chunk.resize(static_cast<size_t>(end - at));
    archive.ReadExactAt(at, chunk.data(), chunk.size());
    checks.push_back({at, end - at, SumsOf(at, chunk)});
    at = end;
  }
}

// AddChecks for the parts of [from, to) that no saved record covers: those
// the record's own check already holds.
void AddChecksOutside(BinaryFile& archive, int64_t from, int64_t to, const std::vector<JournalRecord>& saved,
                      std::vector<StepCheck>& checks) {
  for (const JournalRecord& r : saved) {
    if (r.Offset >= to) break;
    if (r.Offset + r.Length <= from) continue;
    AddChecks(archive, from, std::min(r.Offset, to), checks);
    from = std::max(from, r.Offset + r.Length);
  }
  AddChecks(archive, from, to, checks);
}

// Extends runs by the bytes of old and new that differ, both starting at
// offset. A run ending before joinFrom is not extended: what lies between was
// not saved, so its old bytes are not known here.
void AddRuns(int64_t offset, const std::vector<uint8_t>& old, const std::vector<uint8_t>& now, int64_t joinFrom,
             std::vector<std::pair<int64_t, int64_t>>& runs) {
  for (size_t piece = 0; piece < old.size(); piece += kPieceBytes) {
    const size_t n = std::min<size_t>(kPieceBytes, old.size() - piece);
    if (std::memcmp(old.data() + piece, now.data() + piece, n) == 0) continue;
    for (size_t i = piece; i < piece + n; ++i) {
      if (old[i] == now[i]) continue;
      const int64_t at = offset + static_cast<int64_t>(i);
      const int64_t end = runs.empty() ? -1 : runs.back().first + runs.back().second;
      if (!runs.empty() && end >= joinFrom && at - end <= kJoinGap) {
        runs.back().second = at + 1 - runs.back().first;
      } else {
        runs.push_back({at, 1});
      }
    }
  }
}

}  // namespace

void KeepUndoStep(const std::string& archivePath, BinaryFile& archive, const ChangeLabel& label, int64_t oldLength) {
  BinaryFile journal = BinaryFile::Open(JournalPath(archivePath), BinaryFile::Mode::Read, false);
  std::vector<JournalRecord> saved;
  for (const JournalRecord& r : ReadJournal(journal).Records)
    if (r.Kind == RecordKind::Saved) saved.push_back(r);
  std::sort(saved.begin(), saved.end(), [](const JournalRecord& a, const JournalRecord& b) { return a.Offset < b.Offset; });

  StepContents contents;
  StepHead& head = contents.Head;
  head.Label = label;
  head.Time = static_cast<int64_t>(std::time(nullptr));
  head.OldLength = oldLength;
  head.NewLength = archive.Length();

  // Everything the change overwrote is in the journal; only what differs is kept.
  std::vector<uint8_t> old, now;
  int64_t lastEnd = -1;
  for (const JournalRecord& r : saved) {
    old.resize(static_cast<size_t>(r.Length));
    now.resize(old.size());
    journal.ReadExactAt(r.PayloadAt, old.data(), old.size());
    archive.ReadExactAt(r.Offset, now.data(), now.size());
    contents.Before.push_back({r.Offset, r.Length, SumsOf(r.Offset, old)});
    contents.After.push_back({r.Offset, r.Length, SumsOf(r.Offset, now)});
    AddRuns(r.Offset, old, now, r.Offset == lastEnd ? 0 : r.Offset, contents.Runs);
    lastEnd = r.Offset + r.Length;
  }
  // The directory the change left, wherever it lies (where it was rewritten
  // in place, the saved records' checks hold it already).
  uint8_t raw[kHeaderBytes];
  archive.ReadExactAt(0, raw, kHeaderBytes);
  const PffHeader newHeader = DecodeHeader(raw);
  const int64_t dirFrom = std::max<int64_t>(newHeader.DirOffset, 0);
  AddChecksOutside(archive, std::min(dirFrom, head.NewLength), std::min(DirectoryEnd(newHeader), head.NewLength),
                   saved, contents.After);

  int64_t written = head.NewLength - head.OldLength;
  for (const auto& run : contents.Runs) written += run.second;
  head.Redoable = written <= UndoLimits::Current().RedoBytes;
  // Appended bytes kept for redo are checked too. Beyond that bound reading
  // them back would cost the change as much again (a 256 MiB add: 0.4 s more);
  // header, directory and length still describe them, and an undo cuts them
  // away whatever they hold.
  if (head.Redoable) {
    AddChecks(archive, head.OldLength, head.NewLength, contents.After);
    contents.New = [&](int64_t offset, int64_t length, uint8_t* out) {
      archive.ReadExactAt(offset, out, static_cast<size_t>(length));
    };
  }
  contents.Old = [&](int64_t offset, int64_t length, uint8_t* out) {
    // Runs lie inside saved records, which may end inside a run.
    auto r = std::upper_bound(saved.begin(), saved.end(), offset,
                              [](int64_t at, const JournalRecord& rec) { return at < rec.Offset; });
    for (--r; length > 0; ++r) {
      const int64_t n = std::min(length, r->Offset + r->Length - offset);
      journal.ReadExactAt(r->PayloadAt + (offset - r->Offset), out, static_cast<size_t>(n));
      out += n;
      offset += n;
      length -= n;
    }
  };
  if (StepFileBytes(contents) > UndoLimits::Current().Bytes) {
    ForgetHistory(archivePath);
    return;
  }
  KeepStep(archivePath, contents);
}

}  // namespace pff
