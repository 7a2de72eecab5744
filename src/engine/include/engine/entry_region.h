#pragma once
// Where the data of an entry, live or dead space, may lie in an archive file.

#include <cstdint>
#include <string>

#include "engine/pff_archive.h"

namespace pff {

enum class RegionFault {
  None,
  Negative,         // offset or size below 0
  PastEnd,          // reaches past the end of the file
  InHeader,         // a byte or more, starting inside the 20-byte header
  OverDirectory,    // a byte or more, reaching into the directory's records
  BehindDirectory,  // a byte or more, reaching past DirOffset but not into the records
};

/// How the data of entry lies in a file of fileLength bytes with header: it
/// must lie inside the file and, when it holds a byte or more, inside
/// [20, DirOffset). Entries of 0 bytes lie nowhere and need only a place inside the file.
RegionFault EntryRegionFault(const PffEntry& entry, const PffHeader& header, int64_t fileLength);
/// Whether data with fault lies inside the file all the same (it can be read).
bool InsideFile(RegionFault fault);
/// The sentence for fault, about subject ("The data", "The dead space"):
/// "The data (5 bytes at offset 30) runs past the end of the file of 32 bytes."
std::string RegionFaultText(RegionFault fault, const std::string& subject, const PffEntry& entry,
                            const PffHeader& header, int64_t fileLength);
/// Throws PffError with that sentence about "The data of \"NAME\"" unless the
/// entry's data lies where data may (with insideFileOnly, unless it lies inside the file).
void RequireEntryRegion(const PffEntry& entry, const PffHeader& header, int64_t fileLength,
                        bool insideFileOnly = false);

}  // namespace pff
