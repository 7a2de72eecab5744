#pragma once
// The write that ends every edit, with the undo that makes a failed edit
// leave no trace in memory and as little as possible on disk.

#include <functional>
#include <vector>

#include "engine/binary_file.h"
#include "engine/pff_archive.h"

namespace pff {

/// What an archive record held before an edit.
struct ArchiveSnapshot {
  PffHeader Header;
  std::vector<PffEntry> Entries;
};

ArchiveSnapshot TakeSnapshot(const PffArchive& archive);
void RestoreSnapshot(PffArchive& archive, const ArchiveSnapshot& before);

/// Writes the edited archive into its file: the header when writeHeader,
/// then whatever writeData puts there, then directory and footer, then closes.
/// On failure the record is put back to before and, once the file has been
/// written to, the old header and directory are written back as far as the
/// file allows; then the failure is thrown again as PffError.
void RewriteArchive(PffArchive& archive, const ArchiveSnapshot& before, bool writeHeader,
                    const std::function<void(BinaryFile&)>& writeData = {});

}  // namespace pff
