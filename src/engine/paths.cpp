#include "engine/paths.h"

#include "engine/file_system.h"

namespace pff {

// Same file on disk: asked of the file system when both exist, else compared
// as absolute, normalised paths (so "./x.pff" and "x.pff" agree, and letter
// case matters as it does on this file system).
bool IsSameFile(const std::string& a, const std::string& b) {
  try {
    const std::optional<FileId> ia = FileIdOf(a), ib = FileIdOf(b);
    if (ia && ib) return *ia == *ib;
  } catch (const std::exception&) {
    // Unreadable: compared by name below.
  }
  return ComparablePath(a) == ComparablePath(b);
}

}  // namespace pff
