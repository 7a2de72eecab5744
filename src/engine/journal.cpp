#include "engine/journal.h"

#include <algorithm>
#include <cstdint>
#include <random>

#include "engine/file_system.h"
#include "engine/journal_format.h"
#include "engine/little_endian.h"
#include "engine/pff_error.h"

namespace pff {

// Named after the file itself, not after the link or path it was reached by,
// so that every way of opening the archive finds the same journal.
std::string JournalPath(const std::string& archivePath) { return ResolvedPath(archivePath) + "-journal"; }

Journal::Journal(BinaryFile file, std::string archivePath, uint32_t salt, int64_t oldLength)
    : file_(std::move(file)), archivePath_(std::move(archivePath)), salt_(salt), oldLength_(oldLength) {}

Journal Journal::Create(const std::string& archivePath, int64_t oldLength) {
  static std::mt19937 random{std::random_device{}()};
  return Journal(BinaryFile::Open(JournalPath(archivePath), BinaryFile::Mode::CreateNew), archivePath,
                 static_cast<uint32_t>(random()), oldLength);
}

void Journal::Append(BinaryFile& archive, const std::vector<std::pair<int64_t, int64_t>>& saves,
                     const std::vector<DeclaredWrite>& writes) {
  // The header goes out with the first records, so a journal without them is
  // recognised as never acted on.
  std::vector<uint8_t> block;
  if (end_ == 0) block = EncodeJournalHeader({salt_, oldLength_});
  auto flush = [&] {
    if (block.empty()) return;
    file_.WriteAt(end_, block.data(), block.size());
    end_ += static_cast<int64_t>(block.size());
    block.clear();
  };
  std::vector<uint8_t> old;
  for (const auto& [first, length] : saves) {
    for (int64_t at = first; at < first + length;) {
      const int64_t to = RecordEnd(at, first + length);
      old.resize(static_cast<size_t>(to - at));
      archive.ReadExactAt(at, old.data(), old.size());
      AppendRecord(block, salt_, RecordKind::Saved, at, to - at, old.data(), old.size());
      at = to;
      if (static_cast<int64_t>(block.size()) >= kMaxRecordBytes) flush();
    }
  }
  std::vector<uint8_t> sums;
  for (const DeclaredWrite& write : writes) {
    size_t piece = 0;
    for (int64_t at = write.Offset; at < write.Offset + write.Length;) {
      const int64_t to = RecordEnd(at, write.Offset + write.Length);
      const auto count = static_cast<size_t>(PieceCount(at, to - at));
      sums.resize(4 * count);
      for (size_t i = 0; i < count; ++i) PutLittleEndian(sums.data() + 4 * i, write.Sums.at(piece + i), 4);
      AppendRecord(block, salt_, RecordKind::Written, at, to - at, sums.data(), sums.size());
      piece += count;
      at = to;
    }
  }
  flush();
  file_.Sync();
  if (!folderSynced_) {
    // The journal's name must be durable before the archive changes.
    SyncFolder(ParentFolder(JournalPath(archivePath_)));
    folderSynced_ = true;
  }
}

void Journal::AppendCut(int64_t length) {
  // A cut never comes first: header and directory are saved before anything changes.
  if (end_ == 0 || length < 0 || length >= oldLength_ || oldLength_ - length > UINT32_MAX)
    throw PffError("a change may only cut what it found, and less than 4 GiB of it");
  std::vector<uint8_t> block;
  AppendRecord(block, salt_, RecordKind::Cut, length, oldLength_ - length, nullptr, 0);
  file_.WriteAt(end_, block.data(), block.size());
  end_ += static_cast<int64_t>(block.size());
  file_.Sync();
}

void Journal::Remove() {
  file_.Close();
  RemoveJournal(archivePath_);
}

void RemoveJournal(const std::string& archivePath) {
  const std::string path = JournalPath(archivePath);
  RemoveFile(path);
  try {
    SyncFolder(ParentFolder(path));
  } catch (const PffError&) {
    // The archive is whole and flushed either way. Should the removal not
    // survive a crash, the journal is rolled back again at the next open, to
    // the same bytes after a rollback; only a commit would be lost, as if
    // the crash had come a moment earlier.
  }
}

}  // namespace pff
