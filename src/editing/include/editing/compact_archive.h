#pragma once
// Rewriting an archive without its dead space: the live entries packed in
// directory order into a new file beside the old one, renamed over it when whole.

#include <cstdint>
#include <optional>

#include "engine/frontend.h"
#include "engine/pff_archive.h"

namespace pff {

struct CompactResult {
  int64_t BytesBefore = 0;  // length of the archive file before
  int64_t BytesAfter = 0;   // length of the compacted file
};

/// Bytes that CompactArchive would reclaim (file length minus the packed length); 0 on any error.
int64_t ReclaimableBytes(const PffArchive& archive);

/// Compacts archive (HeaderSize, Magic and EntrySize kept; data packed from
/// offset 20, directory and footer right behind it) and reads it again
/// into the record. An archive that CheckArchive finds in error is refused
/// unless force. Reports "Error in CompactArchive" and returns nullopt on failure,
/// the archive file and the record then being as before.
std::optional<CompactResult> CompactArchive(PffArchive& archive, bool force, Frontend& port);

}  // namespace pff
