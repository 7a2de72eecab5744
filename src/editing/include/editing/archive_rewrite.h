#pragma once
// The record as it was before an edit, and the directory rewrite that ends
// deleting and renaming.

#include <functional>
#include <vector>

#include "editing/undo.h"
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

/// Applies edit to the record and rewrites directory and footer (never the
/// header) as one transaction. Throws PffError with the record as before, or
/// read again when another program had changed the file (ArchiveChanged).
/// label names the change in the undo history.
void RewriteDirectory(PffArchive& archive, const ChangeLabel& label, const std::function<void(PffArchive&)>& edit);

}  // namespace pff
