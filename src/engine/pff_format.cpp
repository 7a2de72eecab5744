#include "engine/pff_format.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/pff_error.h"

namespace pff {

namespace {

void PutInt32(uint8_t* out, int32_t value) {
  auto v = static_cast<uint32_t>(value);
  out[0] = static_cast<uint8_t>(v);
  out[1] = static_cast<uint8_t>(v >> 8);
  out[2] = static_cast<uint8_t>(v >> 16);
  out[3] = static_cast<uint8_t>(v >> 24);
}

int32_t GetInt32(const uint8_t* in) {
  return static_cast<int32_t>(uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 |
                              uint32_t(in[3]) << 24);
}

std::string Stamp(const char* text) { return std::string(text) + kVersion; }

}  // namespace

PffHeader NewHeader(Flavour flavour) {
  PffHeader h;
  bool old = flavour == Flavour::Old;
  h.HeaderSize = old ? 62 : 20;
  std::memcpy(h.Magic.data(), "PFF3", 4);
  h.EntryCount = 0;
  h.EntrySize = old ? 32 : 36;
  h.DirOffset = old ? 20 : 62;
  return h;
}

std::vector<uint8_t> NewArchiveBytes(Flavour flavour) {
  std::vector<uint8_t> bytes(kHeaderBytes);
  EncodeHeader(NewHeader(flavour), bytes.data());
  std::string created = Stamp(kCreatedStamp);
  bytes.insert(bytes.end(), created.begin(), created.end());
  bytes.insert(bytes.end(), kFooterZeros, 0);
  bytes.insert(bytes.end(), {'K', 'I', 'N', 'G'});
  return bytes;
}

int64_t RecordStride(const PffHeader& header) {
  return header.EntrySize > kRecordBytes ? header.EntrySize : kRecordBytes;
}

int64_t DirectoryEnd(const PffHeader& header) {
  return int64_t{header.DirOffset} + int64_t{header.EntryCount} * RecordStride(header) + kFooterZeros +
         static_cast<int64_t>(Stamp(kModifiedStamp).size());
}

void EncodeHeader(const PffHeader& header, uint8_t out[kHeaderBytes]) {
  PutInt32(out, header.HeaderSize);
  std::memcpy(out + 4, header.Magic.data(), 4);
  PutInt32(out + 8, header.EntryCount);
  PutInt32(out + 12, header.EntrySize);
  PutInt32(out + 16, header.DirOffset);
}

PffHeader DecodeHeader(const uint8_t in[kHeaderBytes]) {
  PffHeader h;
  h.HeaderSize = GetInt32(in);
  std::memcpy(h.Magic.data(), in + 4, 4);
  h.EntryCount = GetInt32(in + 8);
  h.EntrySize = GetInt32(in + 12);
  h.DirOffset = GetInt32(in + 16);
  return h;
}

void EncodeRecord(const PffEntry& entry, uint8_t out[kRecordBytes]) {
  PutInt32(out, entry.DeadFlag);
  PutInt32(out + 4, entry.DataOffset);
  PutInt32(out + 8, entry.DataSize);
  PutInt32(out + 12, entry.FileTime);
  std::memcpy(out + 16, entry.Name.data(), kNameLength);
}

PffEntry DecodeRecord(const uint8_t in[kRecordBytes]) {
  PffEntry e;
  e.DeadFlag = GetInt32(in);
  e.DataOffset = GetInt32(in + 4);
  e.DataSize = GetInt32(in + 8);
  e.FileTime = GetInt32(in + 12);
  std::memcpy(e.Name.data(), in + 16, kNameLength);
  return e;
}

void ReadArchive(BinaryFile& file, PffHeader& header, std::vector<PffEntry>& entries) {
  const int64_t length = file.Length();
  if (length < kHeaderBytes)
    throw PffError("The file is " + std::to_string(length) + " bytes long, too short for an archive header.");
  uint8_t raw[kHeaderBytes];
  file.ReadExactAt(0, raw, kHeaderBytes);
  PffHeader h = DecodeHeader(raw);
  if (h.EntryCount == 0) {
    header = h;
    entries.clear();
    return;
  }
  if (h.EntryCount < 0 || h.EntryCount > kMaxEntries)
    throw PffError("The header claims " + std::to_string(h.EntryCount) +
                   " entries; an archive holds 0 to 32767.");
  if (h.EntrySize > kMaxEntrySize)
    throw PffError("The header gives directory records of " + std::to_string(h.EntrySize) +
                   " bytes; archives use at most 4,096.");
  if (h.DirOffset < kHeaderBytes)
    throw PffError("The header puts the directory at offset " + std::to_string(h.DirOffset) +
                   ", inside the 20-byte header.");
  const int64_t stride = RecordStride(h);
  const int64_t dirBytes = int64_t{h.EntryCount} * stride;
  if (int64_t{h.DirOffset} + dirBytes > length)
    throw PffError("The directory (" + std::to_string(h.EntryCount) + " records at offset " +
                   std::to_string(h.DirOffset) + ") does not lie inside the file of " +
                   std::to_string(length) + " bytes.");

  // Read in pieces of whole records, so that wide records cost no more
  // memory than the records themselves.
  const int64_t perPiece = std::max<int64_t>(1, (int64_t{1} << 20) / stride);
  std::vector<uint8_t> piece;
  std::vector<PffEntry> read(static_cast<size_t>(h.EntryCount));
  for (int64_t first = 0; first < h.EntryCount; first += perPiece) {
    const int64_t count = std::min<int64_t>(perPiece, h.EntryCount - first);
    piece.resize(static_cast<size_t>(count * stride));
    file.ReadExactAt(h.DirOffset + first * stride, piece.data(), piece.size());
    for (int64_t i = 0; i < count; ++i)
      read[static_cast<size_t>(first + i)] = DecodeRecord(piece.data() + i * stride);
  }
  header = h;
  entries = std::move(read);
}

void CheckWritableLayout(const PffHeader& header) {
  if (header.DirOffset < kHeaderBytes)
    throw PffError("The header puts the directory at offset " + std::to_string(header.DirOffset) +
                   ", inside the 20-byte header; nothing was written.");
  if (header.EntrySize > kMaxEntrySize)
    throw PffError("The header gives directory records of " + std::to_string(header.EntrySize) +
                   " bytes; at most 4,096 are written. Nothing was written.");
}

void WriteHeader(BinaryFile& file, const PffHeader& header) {
  uint8_t raw[kHeaderBytes];
  EncodeHeader(header, raw);
  file.WriteAt(0, raw, kHeaderBytes);
}

std::vector<uint8_t> DirectoryBytes(const PffHeader& header, const std::vector<PffEntry>& entries) {
  const size_t stride = static_cast<size_t>(RecordStride(header));
  const std::string stamp = Stamp(kModifiedStamp);
  std::vector<uint8_t> block(entries.size() * stride + kFooterZeros + stamp.size(), 0);
  for (size_t i = 0; i < entries.size(); ++i) EncodeRecord(entries[i], block.data() + i * stride);
  std::memcpy(block.data() + entries.size() * stride + kFooterZeros, stamp.data(), stamp.size());
  return block;
}

void WriteDirectoryTo(BinaryFile& file, const PffHeader& header, const std::vector<PffEntry>& entries) {
  // Records, zero tails, footer zeros and stamp go out in one write.
  const std::vector<uint8_t> block = DirectoryBytes(header, entries);
  file.WriteAt(header.DirOffset, block.data(), block.size());
}

}  // namespace pff
