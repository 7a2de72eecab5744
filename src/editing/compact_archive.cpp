#include "editing/compact_archive.h"

#include <exception>
#include <vector>

#include "editing/archive_transaction.h"
#include "editing/undo.h"
#include "engine/archive_check.h"
#include "engine/archive_table.h"
#include "engine/binary_file.h"
#include "engine/entry_region.h"
#include "engine/file_system.h"
#include "engine/pff_error.h"
#include "engine/pff_format.h"
#include "engine/replace_file.h"

namespace pff {

namespace {

// The compacted directory: live entries in directory order, their data packed
// from offset 20 on (right after the header, where a fresh archive of the older
// flavour puts its first file), the directory right behind the last of it.
struct Packed {
  PffHeader Header;
  std::vector<PffEntry> Entries;
  std::vector<int32_t> From;  // old data offset of each packed entry
  int64_t Length = 0;         // length of the compacted file
};

// fileLength: the length of the archive file the data is copied from.
Packed Pack(const PffArchive& archive, int64_t fileLength) {
  Packed packed;
  packed.Header = archive.Header;
  int64_t offset = kHeaderBytes;
  for (const PffEntry& entry : archive.Entries) {
    if (entry.DeadFlag == 1) continue;
    // Whatever else the check finds, a forced compaction goes ahead with; data
    // outside the file could not be copied.
    RequireEntryRegion(entry, archive.Header, fileLength, true);
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
  // Beside the file itself: renamed over a link, the new file would replace the link.
  const std::string target = ResolvedPath(archive.Path);
  const std::string folder = ParentFolder(target);
  CompactResult result;
  result.BytesBefore = old.Length();
  result.BytesAfter = ReplaceFile(target, [&](BinaryFile& temp) {
    WriteHeader(temp, packed.Header);
    for (size_t i = 0; i < packed.Entries.size(); ++i) {
      const PffEntry& entry = packed.Entries[i];
      CopyBetween(old, packed.From[i], temp, entry.DataOffset, entry.DataSize);
    }
    WriteDirectoryTo(temp, packed.Header, packed.Entries);
  });
  SyncFolder(folder);
  return result;
}

}  // namespace

int64_t ReclaimableBytes(const PffArchive& archive) {
  try {
    const int64_t length = StatPath(archive.Path).Size;
    return length - Pack(archive, length).Length;
  } catch (const std::exception&) {
    return 0;
  }
}

std::optional<CompactResult> CompactArchive(PffArchive& archive, bool force, Frontend& port) {
  try {
    BinaryFile old = OpenLockedArchive(archive.Path, BinaryFile::Mode::Read, ArchiveTransaction::LockWaitMs);
    ConfirmArchiveUnchanged(old, archive);
    RefuseBrokenArchive(archive.Path, force);
    const Packed packed = Pack(archive, old.Length());
    const CompactResult result = WriteCompacted(archive, packed, old);
    old.Close();
    // Nothing of the old layout is left for the steps to fit.
    ForgetHistory(archive.Path);
    if (!ReloadArchive(archive, port)) return std::nullopt;
    return result;
  } catch (const std::exception& e) {
    port.ReportError(Routine::CompactArchive, e.what());
    return std::nullopt;
  }
}

}  // namespace pff
