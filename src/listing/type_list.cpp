#include "listing/type_list.h"

#include <algorithm>
#include <unordered_set>

#include "engine/name_helpers.h"
#include "listing/grid_rows.h"

namespace pff {

std::vector<std::string> CollectFileTypes(const ArchiveTable& table, int selected) {
  std::vector<std::string> types;
  if (table.IsLoaded()) {
    // The same archives and entries the grid would walk, hidden ones included.
    const size_t archiveCount =
        std::min(static_cast<size_t>(table.Count()), static_cast<size_t>(kMaxEntries));
    std::unordered_set<std::string> seen;
    for (size_t a = 0; a < archiveCount; ++a) {
      const PffArchive& archive = table.Archive(static_cast<int>(a + 1));
      if (!IsArchiveTaken(archive, static_cast<int>(a + 1), selected)) continue;
      const size_t entryCount = std::min(archive.Entries.size(), static_cast<size_t>(kMaxEntries));
      for (size_t e = 0; e < entryCount; ++e) seen.insert(GetFileType(NameBytes(archive.Entries[e].Name)));
    }
    types.assign(seen.begin(), seen.end());
    // std::string compares as unsigned bytes.
    std::sort(types.begin(), types.end());
  }
  types.insert(types.begin(), kShowAll);
  return types;
}

}  // namespace pff
