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

  if (slot != 0) entries[static_cast<size_t>(slot - 1)].DataSize = remainder;
  entries.push_back(added);
  header = newHeader;
  return static_cast<int>(entries.size());
}

}  // namespace pff
