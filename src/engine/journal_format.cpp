#include "engine/journal_format.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "engine/little_endian.h"

namespace pff {

namespace {

constexpr char kMagic[8] = {'V', 'C', 'J', 'R', 'N', 'L', '0', '2'};

// Salt and head in the checksum tie the payload to its place and to this journal.
uint32_t RecordCrc(uint32_t salt, const uint8_t* head, const uint8_t* payload, size_t n) {
  uint8_t saltBytes[4];
  PutLittleEndian(saltBytes, salt, 4);
  uint32_t crc = Crc32(0, saltBytes, 4);
  crc = Crc32(crc, head, 16);
  return Crc32(crc, payload, n);
}

std::optional<JournalHeader> DecodeHeader(const uint8_t* raw) {
  if (std::memcmp(raw, kMagic, 8) != 0 || GetLittleEndian(raw + 20, 4) != Crc32(0, raw, 20)) return std::nullopt;
  JournalHeader header{static_cast<uint32_t>(GetLittleEndian(raw + 8, 4)), static_cast<int64_t>(GetLittleEndian(raw + 12, 8))};
  if (header.OldLength < 0) return std::nullopt;
  return header;
}

// Payload bytes of a record, or -1 for a head no writer makes.
int64_t PayloadBytes(uint32_t kind, int64_t offset, int64_t length) {
  if (kind == static_cast<uint32_t>(RecordKind::Cut)) return length < 1 || offset < 0 ? -1 : 0;
  if (length < 1 || length > kMaxRecordBytes || offset < 0) return -1;
  if (kind == static_cast<uint32_t>(RecordKind::Saved)) return length;
  if (kind == static_cast<uint32_t>(RecordKind::Written)) return 4 * PieceCount(offset, length);
  return -1;
}

}  // namespace

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t n) {
  // zlib takes at most 4 GiB per call; records are far smaller.
  return static_cast<uint32_t>(::crc32(crc, data, static_cast<uInt>(n)));
}

std::vector<uint8_t> EncodeJournalHeader(const JournalHeader& header) {
  std::vector<uint8_t> raw(kJournalHeaderBytes);
  std::memcpy(raw.data(), kMagic, 8);
  PutLittleEndian(raw.data() + 8, header.Salt, 4);
  PutLittleEndian(raw.data() + 12, static_cast<uint64_t>(header.OldLength), 8);
  PutLittleEndian(raw.data() + 20, Crc32(0, raw.data(), 20), 4);
  return raw;
}

void AppendRecord(std::vector<uint8_t>& out, uint32_t salt, RecordKind kind, int64_t offset, int64_t length,
                  const uint8_t* payload, size_t payloadBytes) {
  const size_t at = out.size();
  out.resize(at + kRecordHeadBytes + payloadBytes);
  uint8_t* head = out.data() + at;
  PutLittleEndian(head, static_cast<uint64_t>(offset), 8);
  PutLittleEndian(head + 8, static_cast<uint64_t>(length), 4);
  PutLittleEndian(head + 12, static_cast<uint32_t>(kind), 4);
  if (payloadBytes > 0) std::memcpy(head + kRecordHeadBytes, payload, payloadBytes);
  PutLittleEndian(head + 16, RecordCrc(salt, head, head + kRecordHeadBytes, payloadBytes), 4);
}

int64_t PieceCount(int64_t offset, int64_t length) {
  if (length <= 0) return 0;
  return (offset + length - 1) / kPieceBytes - offset / kPieceBytes + 1;
}

void AppendPieceSums(std::vector<uint32_t>& sums, int64_t offset, const uint8_t* data, size_t n) {
  const int64_t end = offset + static_cast<int64_t>(n);
  for (int64_t at = offset; at < end;) {
    const int64_t pieceEnd = std::min(end, (at / kPieceBytes + 1) * kPieceBytes);
    sums.push_back(Crc32(0, data + (at - offset), static_cast<size_t>(pieceEnd - at)));
    at = pieceEnd;
  }
}

int64_t RecordEnd(int64_t offset, int64_t end) {
  return std::min(end, (offset / kMaxRecordBytes + 1) * kMaxRecordBytes);
}

JournalContents ReadJournal(BinaryFile& journal) {
  JournalContents contents;
  uint8_t raw[kJournalHeaderBytes];
  if (journal.ReadAt(0, raw, kJournalHeaderBytes) != kJournalHeaderBytes) return contents;
  contents.Header = DecodeHeader(raw);
  if (!contents.Header) return contents;
  const int64_t end = journal.Length();
  std::vector<uint8_t> payload;
  for (int64_t at = kJournalHeaderBytes; at + static_cast<int64_t>(kRecordHeadBytes) <= end;) {
    uint8_t head[kRecordHeadBytes];
    journal.ReadExactAt(at, head, kRecordHeadBytes);
    const auto offset = static_cast<int64_t>(GetLittleEndian(head, 8));
    const auto length = static_cast<int64_t>(GetLittleEndian(head + 8, 4));
    const auto kind = static_cast<uint32_t>(GetLittleEndian(head + 12, 4));
    const int64_t bytes = PayloadBytes(kind, offset, length);
    const int64_t payloadAt = at + static_cast<int64_t>(kRecordHeadBytes);
    if (bytes < 0 || payloadAt + bytes > end) break;
    payload.resize(static_cast<size_t>(bytes));
    journal.ReadExactAt(payloadAt, payload.data(), payload.size());
    if (GetLittleEndian(head + 16, 4) != RecordCrc(contents.Header->Salt, head, payload.data(), payload.size())) break;
    const bool cut = kind == static_cast<uint32_t>(RecordKind::Cut);
    // A cut ends exactly at the old length, and a change cuts once, last.
    if (offset > contents.Header->OldLength - length || (cut && offset + length != contents.Header->OldLength) ||
        contents.CutTo) {
      contents.Impossible = true;
      break;
    }
    if (cut) {
      contents.CutTo = offset;
    } else {
      contents.Records.push_back({static_cast<RecordKind>(kind), offset, length, payloadAt});
    }
    at = payloadAt + bytes;
  }
  return contents;
}

}  // namespace pff
