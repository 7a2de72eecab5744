#include "engine/stale_temporaries.h"

#include <exception>
#include <optional>

#include "engine/binary_file.h"
#include "engine/file_system.h"
#include "engine/name_helpers.h"

namespace pff {

namespace {

void RemoveIfStale(const std::string& path, uint32_t archiveOwner) {
  const FileStatus link = StatPath(path, false);
  if (!link.IsRegular) return;
  if (link.OwnerId != CurrentUserId() && link.OwnerId != archiveOwner) return;
  BinaryFile file = BinaryFile::Open(path, BinaryFile::Mode::Read, false);
  if (!file.LockExclusive(0)) return;
  // Only the file that was locked, not one that took the name since.
  if (FileIdOf(path, false) == std::optional<FileId>(file.Id())) RemoveFile(path);
}

}  // namespace

void RemoveStaleTemporaries(const std::string& archivePath) {
  try {
    const std::string target = ResolvedPath(archivePath);
    const FileStatus archive = StatPath(target);
    if (!archive.IsRegular) return;
    const std::string folder = ParentFolder(target);
    const std::string stem = GetFileName(target);
    for (const std::string& name : FolderEntries(folder)) {
      if (!IsTemporaryName(name, stem)) continue;
      try {
        RemoveIfStale(JoinPath(folder, name), archive.OwnerId);
      } catch (const std::exception&) {
        // Left for a later open; the archive itself is not concerned.
      }
    }
  } catch (const std::exception&) {
    // A folder that cannot be listed keeps its leftovers.
  }
}

}  // namespace pff
