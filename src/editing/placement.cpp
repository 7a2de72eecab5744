#include "editing/placement.h"

#include <limits>

#include "engine/name_helpers.h"
#include "engine/pff_error.h"
#include "engine/pff_format.h"

namespace pff {

namespace {

constexpr int64_t kMaxArchiveBytes = std::numeric_limits<int32_t>::max();

std::string UpperName(const EntryName& name) { return UpperLatin1(NameBytes(name)); }

}  // namespace

void CheckNoLiveDataIn(const std::vector<PffEntry>& entries, int64_t from, int64_t to, int except,
                       const std::string& what) {
  if (to <= from) return;
  for (size_t i = 0; i < entries.size(); ++i) {
    const PffEntry& e = entries[i];
    if (e.DeadFlag == 1 || e.DataSize <= 0 || static_cast<int>(i + 1) == except) continue;
    const int64_t start = e.DataOffset, end = int64_t{e.DataOffset} + e.DataSize;
    if (start < to && from < end) {
      throw PffError("Writing " + what + " (bytes " + std::to_string(from) + " to " + std::to_string(to) +
                     ") would overwrite the data of entry " + std::to_string(i + 1) + " (" +
                     DisplayName(e.Name) +
                     "); the archive's layout is damaged (pff check tells more). Nothing was written.");
    }
  }
}

int FindEntryByName(const std::vector<PffEntry>& entries, const EntryName& name) {
  const std::string wanted = UpperName(name);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (UpperName(entries[i].Name) == wanted) return static_cast<int>(i + 1);
  }
  return 0;
}

int FindDeadSlot(const std::vector<PffEntry>& entries, int32_t size) {
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].DeadFlag == 1 && entries[i].DataSize >= size) return static_cast<int>(i + 1);
  }
  return 0;
}

int PlaceEntry(PffHeader& header, std::vector<PffEntry>& entries, const PffEntry& entry,
               bool reuseDeadSpaces) {
  CheckWritableLayout(header);
  const int slot = reuseDeadSpaces && header.EntryCount != 0 ? FindDeadSlot(entries, entry.DataSize) : 0;
  if (slot != 0) {
    // A damaged directory may describe dead space over the header or the
    // directory itself; data written there would destroy either.
    const PffEntry& dead = entries[static_cast<size_t>(slot - 1)];
    if (dead.DataOffset < kHeaderBytes || int64_t{dead.DataOffset} + dead.DataSize > header.DirOffset) {
      throw PffError("The dead space to re-use (entry " + std::to_string(slot) + ", " +
                     std::to_string(dead.DataSize) + " bytes at offset " + std::to_string(dead.DataOffset) +
                     ") does not lie between the header and the directory; nothing was written.");
    }
  }
  if (slot != 0 && entries[static_cast<size_t>(slot - 1)].DataSize == entry.DataSize) {
    // Same size: the slot itself becomes the entry, so the directory neither grows nor moves.
    PffEntry& reused = entries[static_cast<size_t>(slot - 1)];
    if (int64_t{reused.DataOffset} + reused.DataSize > kMaxArchiveBytes) {
      throw PffError("The dead space to re-use lies beyond 2 GiB.");
    }
    CheckNoLiveDataIn(entries, reused.DataOffset, int64_t{reused.DataOffset} + reused.DataSize, slot,
                      "the data");
    CheckNoLiveDataIn(entries, header.DirOffset, DirectoryEnd(header), 0, "the directory");
    reused.FileTime = entry.FileTime;
    reused.Name = entry.Name;
    reused.DeadFlag = 0;
    return slot;
  }

  if (header.EntryCount >= kMaxEntries || entries.size() >= static_cast<size_t>(kMaxEntries)) {
    throw PffError("The archive already holds " + std::to_string(header.EntryCount) +
                   " entries; it cannot hold more than " + std::to_string(kMaxEntries) + ".");
  }

  PffHeader newHeader = header;
  PffEntry added = entry;
  added.DeadFlag = 0;
  int32_t remainder = 0;
  if (slot != 0) {
    // A larger slot keeps its start; the new data takes its tail.
    const PffEntry& dead = entries[static_cast<size_t>(slot - 1)];
    remainder = dead.DataSize - entry.DataSize;
    const int64_t offset = int64_t{dead.DataOffset} + remainder;
    if (offset + entry.DataSize > kMaxArchiveBytes) {
      throw PffError("The dead space to re-use lies beyond 2 GiB.");
    }
    added.DataOffset = static_cast<int32_t>(offset);
  } else {
    const int64_t dirOffset = int64_t{header.DirOffset} + entry.DataSize;
    if (dirOffset > kMaxArchiveBytes) throw PffError("The archive would grow past 2 GiB.");
    added.DataOffset = header.DirOffset;
    newHeader.DirOffset = static_cast<int32_t>(dirOffset);
  }
  newHeader.EntryCount = header.EntryCount + 1;
  if (DirectoryEnd(newHeader) > kMaxArchiveBytes) throw PffError("The archive would grow past 2 GiB.");
  // A damaged archive may keep live data where the new data or the moved directory would go.
  CheckNoLiveDataIn(entries, added.DataOffset, int64_t{added.DataOffset} + added.DataSize, 0, "the data");
  CheckNoLiveDataIn(entries, newHeader.DirOffset, DirectoryEnd(newHeader), 0, "the directory");

  if (slot != 0) entries[static_cast<size_t>(slot - 1)].DataSize = remainder;
  entries.push_back(added);
  header = newHeader;
  return static_cast<int>(entries.size());
}

}  // namespace pff
