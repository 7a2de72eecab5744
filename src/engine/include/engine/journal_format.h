#pragma once
// The bytes of a rollback journal (engine/journal.h), written and read here.
//
// Layout (little-endian): a 24-byte header ("VCJRNL02", a random salt, the
// archive's old length, a CRC-32 of those 20 bytes), then records of a
// 20-byte head (offset 8 bytes, length 4, kind 4, CRC-32 of salt, the first
// 16 head bytes and the payload 4) and a payload:
// - Saved: the archive's old bytes at [offset, offset + length);
// - Written: a CRC-32 of the bytes the change is about to write there, one
//   per piece, the range being cut into pieces at every multiple of 512 (a
//   torn write leaves each piece wholly old or wholly new);
// - Cut: no payload; the change ends by cutting the archive to offset, the
//   length being what it cuts off (offset + length is the old length). Once
//   the cut is made the change is complete: what it cut off cannot be put
//   back, so a journal found with the archive cut there is only removed.
// Saved and Written records never pass a multiple of 1 MiB of the archive,
// so memory stays small.
// A journal grows while a change runs and holds no record count: a record
// counts when it is whole and its checksum matches.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/binary_file.h"

namespace pff {

constexpr int64_t kPieceBytes = 512;
constexpr int64_t kMaxRecordBytes = int64_t{1} << 20;
constexpr size_t kJournalHeaderBytes = 24;
constexpr size_t kRecordHeadBytes = 20;

/// CRC-32 (the zlib one) of n bytes, continuing crc.
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t n);

struct JournalHeader {
  uint32_t Salt = 0;
  int64_t OldLength = 0;
};
std::vector<uint8_t> EncodeJournalHeader(const JournalHeader& header);

enum class RecordKind : uint32_t { Saved = 1, Written = 2, Cut = 3 };

/// Appends one record to out; payloadBytes must fit the kind and length.
void AppendRecord(std::vector<uint8_t>& out, uint32_t salt, RecordKind kind, int64_t offset, int64_t length,
                  const uint8_t* payload, size_t payloadBytes);

/// How many pieces [offset, offset + length) is cut into.
int64_t PieceCount(int64_t offset, int64_t length);
/// Appends to sums the CRC-32 of each piece of the n bytes data that start at offset.
void AppendPieceSums(std::vector<uint32_t>& sums, int64_t offset, const uint8_t* data, size_t n);
/// The end of the record that starts at offset and covers what it can of [offset, end).
int64_t RecordEnd(int64_t offset, int64_t end);

struct JournalRecord {
  RecordKind Kind = RecordKind::Saved;
  int64_t Offset = 0, Length = 0;
  int64_t PayloadAt = 0;  // where its payload lies in the journal
};

struct JournalContents {
  std::optional<JournalHeader> Header;  // none: the header is torn
  std::vector<JournalRecord> Records;   // the whole ones, up to the first torn one
  bool Impossible = false;              // a whole record that no change writes (outside the old length)
  std::optional<int64_t> CutTo;         // the length a Cut record ends the change with
};

/// Reads header and whole records of a journal.
JournalContents ReadJournal(BinaryFile& journal);

}  // namespace pff
