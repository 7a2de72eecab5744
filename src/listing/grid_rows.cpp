#include "listing/grid_rows.h"

#include <algorithm>

#include "engine/name_helpers.h"
#include "engine/text_encoding.h"
#include "listing/format_value.h"

namespace pff {

namespace {

// Row indices are 16-bit, so nothing past index 32767 can be listed.
size_t ListableCount(size_t count) { return std::min(count, static_cast<size_t>(kMaxEntries)); }

}  // namespace

bool IsArchiveTaken(const PffArchive& archive, int index, int selected) {
  return (selected == kAllArchives || selected == index) && archive.Header.EntryCount != 0;
}

const PffEntry* ListedEntry(const ArchiveTable& table, GridRow row) {
  if (row.Archive < 1 || row.Archive > table.Count()) return nullptr;
  const PffArchive& archive = table.Archive(row.Archive);
  if (row.Entry < 1 || static_cast<size_t>(row.Entry) > archive.Entries.size()) return nullptr;
  return &archive.Entries[static_cast<size_t>(row.Entry - 1)];
}

const char* GridHeaderText(int column) {
  static const char* const kHeaders[kVisibleColumns] = {"Name ", "Size ", "Type ", "Modified ", "From"};
  return column >= 0 && column < kVisibleColumns ? kHeaders[column] : "";
}

std::vector<GridRow> ListGridRows(const ArchiveTable& table, int selected, bool showDeadSpace,
                                  const FilterSettings& filter) {
  std::vector<GridRow> rows;
  if (!table.IsLoaded()) return rows;
  const size_t archiveCount = ListableCount(static_cast<size_t>(table.Count()));

  size_t total = 0;
  for (size_t a = 0; a < archiveCount; ++a) {
    const PffArchive& archive = table.Archive(static_cast<int>(a + 1));
    if (IsArchiveTaken(archive, static_cast<int>(a + 1), selected))
      total += ListableCount(archive.Entries.size());
  }
  rows.reserve(total);

  for (size_t a = 0; a < archiveCount; ++a) {
    const PffArchive& archive = table.Archive(static_cast<int>(a + 1));
    if (!IsArchiveTaken(archive, static_cast<int>(a + 1), selected)) continue;
    const size_t entryCount = ListableCount(archive.Entries.size());
    for (size_t e = 0; e < entryCount; ++e) {
      const PffEntry& entry = archive.Entries[e];
      if (IsFiltered(filter, entry)) continue;
      if (!showDeadSpace && IsDeadSpaceName(entry.Name)) continue;
      rows.push_back(GridRow{static_cast<int16_t>(a + 1), static_cast<int16_t>(e + 1)});
    }
  }
  return rows;
}

std::string GridCellText(const ArchiveTable& table, GridRow row, int column, DateStyle dateStyle) {
  // A row that no longer names an entry shows nothing.
  const PffEntry* listed = ListedEntry(table, row);
  if (!listed) return std::string();
  const PffEntry& entry = *listed;
  const PffArchive& archive = table.Archive(row.Archive);

  switch (column) {
    case kNameColumn:
      return " " + DisplayName(entry.Name) + " ";
    case kSizeColumn:
      return " " + FormatFileSize(entry.DataSize) + " ";
    case kTypeColumn:
      return " " + Latin1ToUtf8(GetFileType(NameBytes(entry.Name))) + " File ";
    case kModifiedColumn:
      return " " + FormatFileDate(entry.FileTime, dateStyle) + " ";
    case kFromColumn:
      return " " + GetFileName(archive.Path) + " ";
    case kRawSizeColumn:
      return std::to_string(entry.DataSize);
    case kRawTimeColumn:
      return std::to_string(entry.FileTime);
    case kArchiveIndexColumn:
      return std::to_string(row.Archive);
    case kEntryIndexColumn:
      return std::to_string(row.Entry);
    default:
      return std::string();
  }
}

}  // namespace pff
