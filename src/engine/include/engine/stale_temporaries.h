#pragma once
// Leftovers of an interrupted compaction or creation: the temporary file
// (".NAME.XXXXXX.tmp", engine/binary_file.h) that was to replace an archive.

#include <string>

namespace pff {

/// Removes the temporary files beside the archive at archivePath that were
/// made to replace it and whose writer is gone: regular files of the
/// archive's owner or of this user whose lock is free (their writer holds it
/// until the rename). Files another program is still writing stay, and so
/// does everything when the folder cannot be read or changed.
void RemoveStaleTemporaries(const std::string& archivePath);

}  // namespace pff
