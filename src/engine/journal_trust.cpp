#include "engine/journal_trust.h"

#include <algorithm>
#include <cstring>

#include "engine/file_system.h"
#include "engine/journal.h"
#include "engine/little_endian.h"
#include "engine/pff_format.h"

namespace pff {

namespace {

// A piece a change declared it would write, by the checksum of its new bytes.
struct Piece {
  int64_t Offset = 0, Length = 0;
  uint32_t Sum = 0;
  bool Changed = false;  // the archive holds something other than the old bytes there
};

bool ByOffset(const JournalRecord& a, const JournalRecord& b) { return a.Offset < b.Offset; }

// Records sorted by offset, none overlapping the next.
bool Disjoint(const std::vector<JournalRecord>& sorted) {
  for (size_t i = 1; i < sorted.size(); ++i)
    if (sorted[i].Offset < sorted[i - 1].Offset + sorted[i - 1].Length) return false;
  return true;
}

bool Covers(const std::vector<JournalRecord>& sorted, int64_t from, int64_t to) {
  for (const JournalRecord& r : sorted) {
    if (from >= to) break;
    if (r.Offset + r.Length <= from) continue;
    if (r.Offset > from) return false;
    from = r.Offset + r.Length;
  }
  return from >= to;
}

std::vector<Piece> ReadPieces(BinaryFile& journal, const std::vector<JournalRecord>& written) {
  std::vector<Piece> pieces;
  std::vector<uint8_t> sums;
  for (const JournalRecord& r : written) {
    const auto count = static_cast<size_t>(PieceCount(r.Offset, r.Length));
    sums.resize(4 * count);
    journal.ReadExactAt(r.PayloadAt, sums.data(), sums.size());
    size_t i = 0;
    for (int64_t at = r.Offset; at < r.Offset + r.Length; ++i) {
      const int64_t end = std::min(r.Offset + r.Length, (at / kPieceBytes + 1) * kPieceBytes);
      const auto sum = static_cast<uint32_t>(GetLittleEndian(sums.data() + 4 * i, 4));
      pieces.push_back({at, end - at, sum, false});
      at = end;
    }
  }
  std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.Offset < b.Offset; });
  return pieces;
}

// The old header as saved, and the directory range it makes the change save.
std::optional<std::pair<int64_t, int64_t>> OldDirectory(BinaryFile& journal,
                                                        const std::vector<JournalRecord>& sorted,
                                                        int64_t oldLength) {
  uint8_t raw[kHeaderBytes];
  for (const JournalRecord& r : sorted) {
    if (r.Offset >= kHeaderBytes) break;
    const int64_t to = std::min<int64_t>(r.Offset + r.Length, kHeaderBytes);
    journal.ReadExactAt(r.PayloadAt, raw + r.Offset, static_cast<size_t>(to - r.Offset));
  }
  const PffHeader h = DecodeHeader(raw);
  // The change read this header as a sound archive's.
  if (h.EntryCount < 0 || h.EntryCount > kMaxEntries) return std::nullopt;
  if (h.EntryCount > 0 && (h.EntrySize > kMaxEntrySize || h.DirOffset < kHeaderBytes ||
                           int64_t{h.DirOffset} + h.EntryCount * RecordStride(h) > oldLength))
    return std::nullopt;
  const int64_t from = std::max<int64_t>(h.DirOffset, 0);
  return std::make_pair(from, std::max(from, std::min(DirectoryEnd(h), oldLength)));
}

// Whether every saved byte of the archive is old or lies in a declared piece;
// marks the pieces whose bytes are not the old ones.
bool OldOrDeclared(BinaryFile& archive, BinaryFile& journal, const std::vector<JournalRecord>& saved,
                   std::vector<Piece>& pieces) {
  std::vector<uint8_t> old, now;
  for (const JournalRecord& r : saved) {
    old.resize(static_cast<size_t>(r.Length));
    now.resize(old.size());
    journal.ReadExactAt(r.PayloadAt, old.data(), old.size());
    archive.ReadExactAt(r.Offset, now.data(), now.size());
    for (int64_t at = r.Offset; at < r.Offset + r.Length;) {
      const int64_t end = std::min(r.Offset + r.Length, (at / kPieceBytes + 1) * kPieceBytes);
      const auto from = static_cast<size_t>(at - r.Offset), n = static_cast<size_t>(end - at);
      if (std::memcmp(old.data() + from, now.data() + from, n) != 0) {
        auto piece = std::lower_bound(pieces.begin(), pieces.end(), at, [](const Piece& p, int64_t offset) {
          return p.Offset + p.Length <= offset;
        });
        for (size_t i = from; i < from + n; ++i) {
          const int64_t byte = r.Offset + static_cast<int64_t>(i);
          while (piece != pieces.end() && piece->Offset + piece->Length <= byte) ++piece;
          const bool declared = piece != pieces.end() && piece->Offset <= byte;
          if (old[i] == now[i]) continue;
          if (!declared) return false;
          piece->Changed = true;
        }
      }
      at = end;
    }
  }
  return true;
}

// After its cut, a change left every declared piece new and every other
// saved byte old: all of the archive that is left is what it wrote.
JournalVerdict CompleteOrForeign(BinaryFile& archive, BinaryFile& journal, const std::vector<JournalRecord>& saved,
                                 std::vector<Piece>& pieces, int64_t length) {
  std::vector<JournalRecord> kept;
  for (JournalRecord r : saved) {
    if (r.Offset >= length) continue;
    r.Length = std::min(r.Length, length - r.Offset);
    kept.push_back(r);
  }
  if (!OldOrDeclared(archive, journal, kept, pieces)) return JournalVerdict::Foreign;
  std::vector<uint8_t> now;
  for (const Piece& piece : pieces) {
    if (piece.Offset + piece.Length > length) return JournalVerdict::Foreign;
    now.resize(static_cast<size_t>(piece.Length));
    archive.ReadExactAt(piece.Offset, now.data(), now.size());
    if (Crc32(0, now.data(), now.size()) != piece.Sum) return JournalVerdict::Foreign;
  }
  return JournalVerdict::Complete;
}

}  // namespace

std::string ForeignJournalText(const std::string& archivePath) {
  return JournalPath(archivePath) + " does not belong to " + archivePath +
         "; it was not applied. Move it away to open the archive.";
}

JournalFindings ExamineJournal(BinaryFile& archive, const std::string& archivePath) {
  JournalFindings findings;
  const std::string path = JournalPath(archivePath);
  const FileStatus link = StatPath(path, false);
  if (!link.Exists) return findings;
  findings.Verdict = JournalVerdict::Foreign;
  if (!link.IsRegular) return findings;
  BinaryFile journal = BinaryFile::Open(path, BinaryFile::Mode::Read, false);
  const FileStatus status = journal.Status();
  if (status.OwnerId != CurrentUserId() && status.OwnerId != archive.Status().OwnerId) return findings;
  if ((status.Permissions & 022) != 0) return findings;

  const JournalContents contents = ReadJournal(journal);
  if (!contents.Header) {
    findings.Verdict = JournalVerdict::Unfinished;
    return findings;
  }
  if (contents.Impossible) return findings;
  const int64_t oldLength = contents.Header->OldLength;
  const int64_t length = archive.Length();
  // Shorter only when the change's own cut made it so.
  const bool cutMade = length < oldLength;
  if (cutMade && contents.CutTo != length) return findings;
  std::vector<JournalRecord> saved, written;
  for (const JournalRecord& r : contents.Records)
    (r.Kind == RecordKind::Saved ? saved : written).push_back(r);
  std::vector<JournalRecord> sortedSaved = saved, sortedWritten = written;
  std::sort(sortedSaved.begin(), sortedSaved.end(), ByOffset);
  std::sort(sortedWritten.begin(), sortedWritten.end(), ByOffset);
  if (!Disjoint(sortedSaved) || !Disjoint(sortedWritten)) return findings;

  std::optional<std::pair<int64_t, int64_t>> directory;
  if (Covers(sortedSaved, 0, kHeaderBytes)) {
    directory = OldDirectory(journal, sortedSaved, oldLength);
    if (!directory) return findings;
  }
  if (!directory || !Covers(sortedSaved, directory->first, directory->second)) {
    if (cutMade) return findings;
    // Cut short while its first records were written: the archive was not
    // touched yet, so it must be exactly as the journal saw it.
    std::vector<Piece> none;
    if (written.empty() && length == oldLength && OldOrDeclared(archive, journal, saved, none))
      findings.Verdict = JournalVerdict::Unfinished;
    return findings;
  }
  for (const JournalRecord& w : sortedWritten)
    if (!Covers(sortedSaved, w.Offset, w.Offset + w.Length)) return findings;
  std::vector<Piece> pieces = ReadPieces(journal, written);
  if (cutMade) {
    findings.Verdict = CompleteOrForeign(archive, journal, saved, pieces, length);
    return findings;
  }
  if (!OldOrDeclared(archive, journal, saved, pieces)) return findings;
  std::vector<uint8_t> now;
  for (const Piece& piece : pieces) {
    if (!piece.Changed) continue;
    now.resize(static_cast<size_t>(piece.Length));
    archive.ReadExactAt(piece.Offset, now.data(), now.size());
    if (Crc32(0, now.data(), now.size()) != piece.Sum) return findings;
    findings.ChangesArchive = true;
  }
  findings.ChangesArchive = findings.ChangesArchive || length > oldLength;
  findings.Verdict = JournalVerdict::Genuine;
  findings.Journal.emplace(std::move(journal));
  findings.OldLength = oldLength;
  findings.Saved = std::move(saved);
  return findings;
}

}  // namespace pff
