#include "engine/entry_region.h"

#include <algorithm>

#include "engine/name_helpers.h"
#include "engine/pff_error.h"
#include "engine/pff_format.h"

namespace pff {

RegionFault EntryRegionFault(const PffEntry& entry, const PffHeader& header, int64_t fileLength) {
  // In 64 bits, so that an offset and a size near 2 GiB cannot wrap round.
  const int64_t start = entry.DataOffset, size = entry.DataSize, end = start + size;
  if (start < 0 || size < 0) return RegionFault::Negative;
  if (end > fileLength) return RegionFault::PastEnd;
  if (size == 0) return RegionFault::None;
  if (start < kHeaderBytes) return RegionFault::InHeader;
  if (end <= header.DirOffset) return RegionFault::None;
  const int64_t records = std::clamp<int32_t>(header.EntryCount, 0, kMaxEntries);
  const int64_t recordsEnd = int64_t{header.DirOffset} + records * RecordStride(header);
  return records > 0 && start < recordsEnd ? RegionFault::OverDirectory : RegionFault::BehindDirectory;
}

bool InsideFile(RegionFault fault) { return fault != RegionFault::Negative && fault != RegionFault::PastEnd; }

std::string RegionFaultText(RegionFault fault, const std::string& subject, const PffEntry& entry,
                            const PffHeader& header, int64_t fileLength) {
  const std::string where = subject + " (" + std::to_string(entry.DataSize) + " bytes at offset " +
                            std::to_string(entry.DataOffset) + ")";
  switch (fault) {
    case RegionFault::None:
      break;
    case RegionFault::Negative:
      return where + " has a negative offset or size.";
    case RegionFault::PastEnd:
      return where + " runs past the end of the file of " + std::to_string(fileLength) + " bytes.";
    case RegionFault::InHeader:
      return where + " starts inside the 20-byte header.";
    case RegionFault::OverDirectory:
      return where + " overlaps the directory.";
    case RegionFault::BehindDirectory:
      return where + " lies behind the directory offset " + std::to_string(header.DirOffset) + ".";
  }
  return where + " lies where data may.";
}

void RequireEntryRegion(const PffEntry& entry, const PffHeader& header, int64_t fileLength,
                        bool insideFileOnly) {
  const RegionFault fault = EntryRegionFault(entry, header, fileLength);
  if (fault == RegionFault::None || (insideFileOnly && InsideFile(fault))) return;
  const std::string subject = "The data of \"" + DisplayName(entry.Name) + "\"";
  throw PffError(RegionFaultText(fault, subject, entry, header, fileLength));
}

}  // namespace pff
