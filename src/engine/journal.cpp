#include "engine/journal.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <random>
#include <utility>

#include "engine/file_system.h"
#include "engine/pff_error.h"

namespace pff {

namespace {

constexpr char kMagic[8] = {'V', 'C', 'J', 'R', 'N', 'L', '0', '1'};
constexpr size_t kHeaderSize = 24;
constexpr size_t kRecordHead = 16;
constexpr int64_t kMaxRecord = 1 << 20;  // longer ranges are split, so memory stays small

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t n) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void Put(uint8_t* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t Get(const uint8_t* in, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= uint64_t{in[i]} << (8 * i);
  return value;
}

// Salt, offset and length in the record's checksum tie the data to its place
// and to this journal.
uint32_t RecordCrc(uint32_t salt, const uint8_t* head, const uint8_t* data, size_t n) {
  uint8_t saltBytes[4];
  Put(saltBytes, salt, 4);
  uint32_t crc = Crc32(0, saltBytes, 4);
  crc = Crc32(crc, head, 12);
  return Crc32(crc, data, n);
}

struct JournalHeader {
  uint32_t Salt = 0;
  int64_t OldLength = 0;
};

std::optional<JournalHeader> ReadHeader(BinaryFile& journal) {
  uint8_t raw[kHeaderSize];
  if (journal.ReadAt(0, raw, kHeaderSize) != kHeaderSize) return std::nullopt;
  if (std::memcmp(raw, kMagic, 8) != 0 || Get(raw + 20, 4) != Crc32(0, raw, 20)) return std::nullopt;
  JournalHeader header{static_cast<uint32_t>(Get(raw + 8, 4)), static_cast<int64_t>(Get(raw + 12, 8))};
  if (header.OldLength < 0) return std::nullopt;
  return header;
}

struct SavedRange {
  int64_t JournalOffset, Offset, Length;
};

// The whole records after the header, up to the first torn or foreign one.
std::vector<SavedRange> ReadRecords(BinaryFile& journal, const JournalHeader& header) {
  std::vector<SavedRange> ranges;
  const int64_t end = journal.Length();
  std::vector<uint8_t> data;
  int64_t at = kHeaderSize;
  while (at + static_cast<int64_t>(kRecordHead) <= end) {
    uint8_t head[kRecordHead];
    journal.ReadExactAt(at, head, kRecordHead);
    const auto offset = static_cast<int64_t>(Get(head, 8));
    const auto length = static_cast<int64_t>(Get(head + 8, 4));
    if (offset < 0 || length > kMaxRecord || offset > header.OldLength - length ||
        at + static_cast<int64_t>(kRecordHead) + length > end) {
      break;
    }
    data.resize(static_cast<size_t>(length));
    journal.ReadExactAt(at + static_cast<int64_t>(kRecordHead), data.data(), data.size());
    if (Get(head + 12, 4) != RecordCrc(header.Salt, head, data.data(), data.size())) break;
    ranges.push_back({at + static_cast<int64_t>(kRecordHead), offset, length});
    at += static_cast<int64_t>(kRecordHead) + length;
  }
  return ranges;
}

void RemoveJournal(const std::string& archivePath) {
  RemoveFile(JournalPath(archivePath));
  try {
    SyncFolder(ParentFolder(archivePath));
  } catch (const PffError&) {
    // The archive is whole and flushed either way. Should the removal not
    // survive a crash, the journal is rolled back again at the next open, to
    // the same bytes after a rollback; only a commit would be lost, as if
    // the crash had come a moment earlier.
  }
}

}  // namespace

// Named after the file itself, not after the link or path it was reached by,
// so that every way of opening the archive finds the same journal.
std::string JournalPath(const std::string& archivePath) { return ResolvedPath(archivePath) + "-journal"; }

Journal::Journal(BinaryFile file, std::string archivePath, uint32_t salt)
    : file_(std::move(file)), archivePath_(std::move(archivePath)), salt_(salt), end_(0) {}

Journal Journal::Create(const std::string& archivePath, int64_t oldLength) {
  static std::mt19937 random{std::random_device{}()};
  Journal journal(BinaryFile::Open(JournalPath(archivePath), BinaryFile::Mode::CreateNew), archivePath,
                  static_cast<uint32_t>(random()));
  journal.header_.resize(kHeaderSize);
  uint8_t* raw = journal.header_.data();
  std::memcpy(raw, kMagic, 8);
  Put(raw + 8, journal.salt_, 4);
  Put(raw + 12, static_cast<uint64_t>(oldLength), 8);
  Put(raw + 20, Crc32(0, raw, 20), 4);
  return journal;
}

void Journal::Save(BinaryFile& archive, const std::vector<std::pair<int64_t, int64_t>>& ranges) {
  // The header goes out with the first records, so a journal without them is
  // recognised as never acted on.
  std::vector<uint8_t> block = std::move(header_);
  header_.clear();
  auto flush = [&] {
    if (block.empty()) return;
    file_.WriteAt(end_, block.data(), block.size());
    end_ += static_cast<int64_t>(block.size());
    block.clear();
  };
  for (const auto& [first, length] : ranges) {
    for (int64_t done = 0; done < length;) {
      const int64_t n = std::min(length - done, kMaxRecord);
      const size_t at = block.size();
      block.resize(at + kRecordHead + static_cast<size_t>(n));
      uint8_t* head = block.data() + at;
      Put(head, static_cast<uint64_t>(first + done), 8);
      Put(head + 8, static_cast<uint64_t>(n), 4);
      archive.ReadExactAt(first + done, head + kRecordHead, static_cast<size_t>(n));
      Put(head + 12, RecordCrc(salt_, head, head + kRecordHead, static_cast<size_t>(n)), 4);
      done += n;
      if (static_cast<int64_t>(block.size()) >= kMaxRecord) flush();
    }
  }
  flush();
  file_.Sync();
  if (!folderSynced_) {
    // The journal's name must be durable before the archive changes.
    SyncFolder(ParentFolder(archivePath_));
    folderSynced_ = true;
  }
}

void Journal::Remove() {
  file_.Close();
  RemoveJournal(archivePath_);
}

JournalState InspectJournal(const std::string& archivePath) {
  if (!StatPath(JournalPath(archivePath), false).Exists) return JournalState::None;
  BinaryFile journal = BinaryFile::Open(JournalPath(archivePath), BinaryFile::Mode::Read);
  return ReadHeader(journal) ? JournalState::Complete : JournalState::Incomplete;
}

bool RollBackJournal(BinaryFile& archive, const std::string& archivePath) {
  if (!StatPath(JournalPath(archivePath), false).Exists) return false;
  std::optional<JournalHeader> header;
  std::vector<SavedRange> ranges;
  {
    BinaryFile journal = BinaryFile::Open(JournalPath(archivePath), BinaryFile::Mode::Read);
    header = ReadHeader(journal);
    if (header) {
      ranges = ReadRecords(journal, *header);
      // Later records never overlap earlier ones; going backwards would still
      // leave the oldest bytes in place if they did.
      std::vector<uint8_t> data;
      for (auto r = ranges.rbegin(); r != ranges.rend(); ++r) {
        data.resize(static_cast<size_t>(r->Length));
        journal.ReadExactAt(r->JournalOffset, data.data(), data.size());
        archive.WriteAt(r->Offset, data.data(), data.size());
      }
    }
  }
  if (header) {
    archive.Truncate(header->OldLength);
    archive.Sync();
  }
  RemoveJournal(archivePath);
  return header.has_value();
}

Recovery RecoverArchive(const std::string& archivePath, int waitMs) {
  if (!StatPath(JournalPath(archivePath), false).Exists) return Recovery::None;
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
  if (!file->LockExclusive(waitMs)) return Recovery::Busy;
  // A lock won on a file that was meanwhile replaced by a rename protects nothing.
  if (!(FileIdOf(archivePath) == std::optional<FileId>(file->Id()))) return Recovery::Busy;
  const std::string kept = "; its journal " + JournalPath(archivePath) + " is kept.";
  if (!writeError.empty()) {
    const JournalState state = InspectJournal(archivePath);
    if (state == JournalState::Complete)
      throw PffError("An interrupted change cannot be undone: " + writeError + kept);
    if (state == JournalState::Incomplete) RemoveJournal(archivePath);
    return Recovery::None;
  }
  try {
    return RollBackJournal(*file, archivePath) ? Recovery::Undone : Recovery::None;
  } catch (const PffError& e) {
    throw PffError("An interrupted change cannot be undone: " + std::string(e.what()) + kept);
  }
}

}  // namespace pff
