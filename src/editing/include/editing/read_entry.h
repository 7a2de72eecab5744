#pragma once
// Reading part of an entry's data without extracting it, for previews.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/pff_archive.h"

namespace pff {

/// Up to maxBytes of the entry's data starting at offset within the entry
/// (fewer at its end, none past it). Throws PffError when the entry's region
/// does not lie inside the archive file or the file cannot be read.
std::vector<uint8_t> ReadEntryBytes(const std::string& archivePath, const PffEntry& entry, int64_t offset,
                                    size_t maxBytes);

}  // namespace pff
