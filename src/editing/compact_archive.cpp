#include "editing/compact_archive.h"

#include <cstring>
#include <exception>
#include <vector>

#include "engine/archive_check.h"
#include "engine/archive_table.h"
#include "engine/binary_file.h"
#include "engine/file_system.h"
#include "engine/name_helpers.h"
#include "engine/pff_error.h"
#include "engine/pff_format.h"

namespace pff {

namespace {

constexpr int kLockWaitMs = 2000;
constexpr int32_t kMaxEntrySize = 4096;

// The compacted directory: live entries in directory order, their data packed
// from offset 20 on (right after the header, where a fresh archive of the older
// flavour puts its first file), the directory right behind the last of it.
struct Packed {
  PffHeader Header;
  std::vector<PffEntry> Entries;
  std::vector<int32_t> From;  // old data offset of each packed entry
  int64_t Length = 0;         // length of the compacted file
};

Packed Pack(const PffArchive& archive) {
  Packed packed;
  packed.Header = archive.Header;
  int64_t offset = kHeaderBytes;
  for (const PffEntry& entry : archive.Entries) {
    if (entry.DeadFlag == 1) continue;
    if (entry.DataOffset < 0 || entry.DataSize < 0) {
      throw PffError("The entry \"" + DisplayName(entry.Name) + "\" has a negative data offset or size.");
    }
    PffEntry moved = entry;
    moved.DataOffset = static_cast<int32_t>(offset);
    packed.From.push_back(entry.DataOffset);
    packed.Entries.push_back(moved);
    offset += entry.DataSize;
    if (offset > INT32_MAX) throw PffError("The live entries hold 2 GiB or more; they cannot be packed.");
  }
  if (!packed.Entries.empty() && archive.Header.EntrySize > kMaxEntrySize) {
    throw PffError("EntrySize " + std::to_string(archive.Header.EntrySize) +
                   " is above 4,096 bytes; the directory cannot be written.");
  }
  packed.Header.EntryCount = static_cast<int32_t>(packed.Entries.size());
  packed.Header.DirOffset = static_cast<int32_t>(offset);
  packed.Length = DirectoryEnd(packed.Header);
  return packed;
}

// The header and directory on disk must still be those the record was read
// from: otherwise another program changed the file, and packing from the
// stale record would lose its change. (The editing layer's shared routine for
// this check can replace this one.)
void ConfirmUnchanged(BinaryFile& file, const PffArchive& archive) {
  const PffHeader& h = archive.Header;
  const int64_t stride = RecordStride(h);
  const int64_t dirBytes = int64_t{h.EntryCount} * stride;
  std::vector<uint8_t> expected(kHeaderBytes), actual(kHeaderBytes);
  EncodeHeader(h, expected.data());
  if (h.EntryCount > 0) {
    if (h.DirOffset < kHeaderBytes || int64_t{h.DirOffset} + dirBytes > file.Length()) {
      throw PffError(archive.Path + " was changed by another program; nothing was written.");
    }
    std::vector<uint8_t> dir(static_cast<size_t>(dirBytes));
    file.ReadExactAt(h.DirOffset, dir.data(), dir.size());
    for (size_t i = 0; i < archive.Entries.size(); ++i) {
      uint8_t record[kRecordBytes];
      EncodeRecord(archive.Entries[i], record);
      if (std::memcmp(record, dir.data() + i * static_cast<size_t>(stride), kRecordBytes) != 0) {
        throw PffError(archive.Path + " was changed by another program; nothing was written.");
      }
    }
  }
  if (file.ReadAt(0, actual.data(), actual.size()) != actual.size() || actual != expected) {
    throw PffError(archive.Path + " was changed by another program; nothing was written.");
  }
}

void RefuseBrokenArchive(const std::string& path, bool force) {
  const CheckReport report = CheckArchive(path);
  for (const CheckFinding& finding : report.Findings) {
    // Replaying the journal over a compacted file would scramble it; never forced.
    if (finding.Kind == CheckKind::Journal) throw PffError(finding.Text);
  }
  if (report.Errors() > 0 && !force) {
    throw PffError(path + ": the check finds " + std::to_string(report.Errors()) +
                   " error(s) in it; it was not compacted (force compacting to go ahead anyway).");
  }
}

CompactResult WriteCompacted(PffArchive& archive, const Packed& packed, BinaryFile& old) {
  const std::string folder = ParentFolder(archive.Path);
  BinaryFile temp = BinaryFile::CreateTemporary(folder, GetFileName(archive.Path));
  try {
    // Locked before it takes the archive's name, so that a program opening the
    // new file waits until it is complete and durable.
    temp.LockExclusive(0);
    WriteHeader(temp, packed.Header);
    for (size_t i = 0; i < packed.Entries.size(); ++i) {
      const PffEntry& entry = packed.Entries[i];
      CopyBetween(old, packed.From[i], temp, entry.DataOffset, entry.DataSize);
    }
    WriteDirectoryTo(temp, packed.Header, packed.Entries);
    temp.Sync();
    CopyPermissions(archive.Path, temp.Path());
    RenameReplace(temp.Path(), archive.Path);
  } catch (...) {
    try {
      RemoveFile(temp.Path());
    } catch (const std::exception&) {
      // The failure that brought us here is the one to report.
    }
    throw;
  }
  SyncFolder(folder);
  CompactResult result;
  result.BytesBefore = old.Length();
  result.BytesAfter = temp.Length();
  temp.Close();
  return result;
}

}  // namespace

int64_t ReclaimableBytes(const PffArchive& archive) {
  try {
    const Packed packed = Pack(archive);
    return StatPath(archive.Path).Size - packed.Length;
  } catch (const std::exception&) {
    return 0;
  }
}

std::optional<CompactResult> CompactArchive(PffArchive& archive, bool force, WindowPort& port) {
  try {
    BinaryFile old = BinaryFile::Open(archive.Path, BinaryFile::Mode::Read);
    if (!old.LockExclusive(kLockWaitMs)) {
      throw PffError(archive.Path + " is being changed by another program; nothing was written.");
    }
    ConfirmUnchanged(old, archive);
    RefuseBrokenArchive(archive.Path, force);
    const Packed packed = Pack(archive);
    for (size_t i = 0; i < packed.Entries.size(); ++i) {
      if (int64_t{packed.From[i]} + packed.Entries[i].DataSize > old.Length()) {
        throw PffError("The data of \"" + DisplayName(packed.Entries[i].Name) + "\" runs past the end of " +
                       archive.Path + ".");
      }
    }
    const CompactResult result = WriteCompacted(archive, packed, old);
    old.Close();
    if (!ReloadArchive(archive, port)) return std::nullopt;
    return result;
  } catch (const std::exception& e) {
    port.ReportError("CompactArchive", e.what());
    return std::nullopt;
  }
}

}  // namespace pff
