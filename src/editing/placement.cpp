#include "editing/placement.h"

#include <limits>

#include "engine/entry_region.h"
#include "engine/name_helpers.h"
#include "engine/pff_error.h"
#include "engine/pff_format.h"

namespace pff {

namespace {

constexpr int64_t kMaxArchiveBytes = std::numeric_limits<int32_t>::max();

// Empty ranges and entries of 0 bytes overlap nothing.
bool Overlaps(const PffEntry& e, int64_t from, int64_t to) {
  return from < to && e.DataSize > 0 && e.DataOffset < to && from < int64_t{e.DataOffset} + e.DataSize;
}

std::string Bytes(int64_t from, int64_t to) {
  return "(bytes " + std::to_string(from) + " to " + std::to_string(to) + ")";
}

// New data under dead space would be overwritten by the addition that re-uses it.
void CheckNoDeadSpaceIn(const std::vector<PffEntry>& entries, int64_t from, int64_t to, int except) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const PffEntry& e = entries[i];
    if (e.DeadFlag != 1 || static_cast<int>(i + 1) == except || !Overlaps(e, from, to)) continue;
    throw PffError("Writing the data " + Bytes(from, to) + " would put it inside the dead space of entry " +
                   std::to_string(i + 1) + " (" + DisplayName(e.Name) +
                   "), room that a later addition re-uses; the archive's layout is damaged (pff check tells "
                   "more). Nothing was written.");
  }
}

void RequireRoomForData(const std::vector<PffEntry>& entries, const EntryIndex* index, int64_t from,
                        int64_t to, int slot) {
  if (index && index->ProvesFree(entries, from, to, slot)) return;
  CheckNoLiveDataIn(entries, from, to, slot, "the data");
  CheckNoDeadSpaceIn(entries, from, to, slot);
}

void RequireRoomForDirectory(const std::vector<PffEntry>& entries, const EntryIndex* index,
                             const PffHeader& header) {
  const int64_t from = header.DirOffset, to = DirectoryEnd(header);
  if (index && index->ProvesFree(entries, from, to, 0)) return;
  CheckNoLiveDataIn(entries, from, to, 0, "the directory");
}

// Dead space of a byte or more may be re-used only inside the room for data;
// a damaged directory may describe it over the header or the directory.
void RequireReusable(const PffHeader& header, const PffEntry& dead, int slot) {
  // The file's length is no concern here: the room for data ends before the directory.
  if (EntryRegionFault(dead, header, std::numeric_limits<int64_t>::max()) != RegionFault::None) {
    throw PffError("The dead space to re-use (entry " + std::to_string(slot) + ", " +
                   std::to_string(dead.DataSize) + " bytes at offset " + std::to_string(dead.DataOffset) +
                   ") does not lie between the header and the directory; nothing was written.");
  }
}

}  // namespace

void CheckNoLiveDataIn(const std::vector<PffEntry>& entries, int64_t from, int64_t to, int except,
                       const std::string& what) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const PffEntry& e = entries[i];
    if (e.DeadFlag == 1 || static_cast<int>(i + 1) == except || !Overlaps(e, from, to)) continue;
    throw PffError("Writing " + what + " " + Bytes(from, to) + " would overwrite the data of entry " +
                   std::to_string(i + 1) + " (" + DisplayName(e.Name) +
                   "); the archive's layout is damaged (pff check tells more). Nothing was written.");
  }
}

int FindEntryByName(const std::vector<PffEntry>& entries, const EntryName& name) {
  EntryName wanted;
  for (size_t k = 0; k < wanted.size(); ++k) wanted[k] = UpperLatin1Char(name[k]);
  for (size_t i = 0; i < entries.size(); ++i) {
    const EntryName& held = entries[i].Name;
    size_t k = 0;
    while (k < held.size() && UpperLatin1Char(held[k]) == wanted[k]) ++k;
    if (k == held.size()) return static_cast<int>(i + 1);
  }
  return 0;
}

int FindDeadSlot(const std::vector<PffEntry>& entries, int32_t size) {
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].DeadFlag == 1 && entries[i].DataSize >= size) return static_cast<int>(i + 1);
  }
  return 0;
}

int PlaceEntry(PffHeader& header, std::vector<PffEntry>& entries, const PffEntry& entry, bool reuseDeadSpaces,
               EntryIndex* index) {
  CheckWritableLayout(header);
  int slot = 0;
  if (reuseDeadSpaces && header.EntryCount != 0)
    slot = index ? index->Slots().FirstFit(entry.DataSize) : FindDeadSlot(entries, entry.DataSize);
  if (slot != 0) RequireReusable(header, entries[static_cast<size_t>(slot - 1)], slot);
  if (slot != 0 && entries[static_cast<size_t>(slot - 1)].DataSize == entry.DataSize) {
    // Same size: the slot itself becomes the entry, so the directory neither grows nor moves.
    PffEntry& reused = entries[static_cast<size_t>(slot - 1)];
    const int64_t end = int64_t{reused.DataOffset} + reused.DataSize;
    if (end > kMaxArchiveBytes) throw PffError("The dead space to re-use lies beyond 2 GiB.");
    RequireRoomForData(entries, index, reused.DataOffset, end, slot);
    RequireRoomForDirectory(entries, index, header);
    const PffEntry before = reused;
    reused.FileTime = entry.FileTime;
    reused.Name = entry.Name;
    reused.DeadFlag = 0;
    if (index) index->Update(slot, before, reused);
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
  // A damaged archive may keep data or dead space where the new data or the moved directory would go.
  RequireRoomForData(entries, index, added.DataOffset, int64_t{added.DataOffset} + added.DataSize, slot);
  RequireRoomForDirectory(entries, index, newHeader);

  if (slot != 0) {
    PffEntry& dead = entries[static_cast<size_t>(slot - 1)];
    const PffEntry before = dead;
    dead.DataSize = remainder;
    if (index) index->Update(slot, before, dead);
  }
  entries.push_back(added);
  if (index) index->Append(static_cast<int>(entries.size()), added, slot);
  header = newHeader;
  return static_cast<int>(entries.size());
}

}  // namespace pff
