#include "listing/grid_sort.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_map>

#include "engine/name_helpers.h"

namespace pff {

namespace {

constexpr int kRawSizeColumn = 5;
constexpr int kRawTimeColumn = 6;

// Sorting a permutation of keys keeps the comparisons cheap: one key per
// row, made once, instead of cell texts made per comparison.
template <typename Key>
std::vector<uint32_t> SortOrder(const std::vector<Key>& keys, bool ascending) {
  std::vector<uint32_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0u);
  if (ascending)
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
  else
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[b] < keys[a]; });
  return order;
}

// Ranks of texts among their few distinct values: rows then sort by small numbers.
// std::string compares as unsigned bytes, so Latin-1 letters come after ASCII.
std::vector<int> Ranks(const std::vector<std::string>& texts) {
  std::unordered_map<std::string, int> rankOf;
  for (const std::string& text : texts) rankOf.emplace(text, 0);
  std::vector<std::string> distinct;
  distinct.reserve(rankOf.size());
  for (const auto& [text, rank] : rankOf) distinct.push_back(text);
  std::sort(distinct.begin(), distinct.end());
  for (size_t r = 0; r < distinct.size(); ++r) rankOf[distinct[r]] = static_cast<int>(r);
  std::vector<int> ranks(texts.size());
  for (size_t i = 0; i < texts.size(); ++i) ranks[i] = rankOf[texts[i]];
  return ranks;
}

// Upper-cased names without NULs in fixed arrays: no allocation per row, and
// the zero padding orders a name before any longer name it begins.
using NameKey = std::array<uint8_t, kNameLength>;

std::vector<NameKey> NameKeys(const ArchiveTable& table, const std::vector<GridRow>& rows) {
  std::vector<NameKey> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const PffEntry* entry = ListedEntry(table, rows[i]);
    if (!entry) continue;
    size_t n = 0;
    for (char c : entry->Name)
      if (c != '\0') keys[i][n++] = static_cast<uint8_t>(UpperLatin1Char(c));
  }
  return keys;
}

std::vector<int> TypeKeys(const ArchiveTable& table, const std::vector<GridRow>& rows) {
  std::vector<std::string> types(rows.size());
  for (size_t i = 0; i < rows.size(); ++i)
    if (const PffEntry* entry = ListedEntry(table, rows[i])) types[i] = GetFileType(NameBytes(entry->Name));
  return Ranks(types);
}

std::vector<int> ArchiveNameKeys(const ArchiveTable& table, const std::vector<GridRow>& rows) {
  std::vector<std::string> names;
  for (const PffArchive& archive : table)
    names.push_back(UpperLatin1(GetFileName(archive.Path)));
  const std::vector<int> archiveRanks = Ranks(names);
  std::vector<int> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const size_t a = static_cast<size_t>(rows[i].Archive - 1);
    if (a < archiveRanks.size()) keys[i] = archiveRanks[a];
  }
  return keys;
}

std::vector<int64_t> NumberKeys(const ArchiveTable& table, const std::vector<GridRow>& rows, int keyColumn) {
  std::vector<int64_t> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const PffEntry* entry = ListedEntry(table, rows[i]);
    if (entry) keys[i] = keyColumn == kRawSizeColumn ? entry->DataSize : entry->FileTime;
  }
  return keys;
}

}  // namespace

int SortKeyColumn(int column) {
  switch (column) {
    case 0:
    case 2:
    case 4:
      return column;
    case 1:
      return kRawSizeColumn;
    case 3:
      return kRawTimeColumn;
    default:
      return -1;
  }
}

bool IsNumericKey(int keyColumn) { return keyColumn == kRawSizeColumn || keyColumn == kRawTimeColumn; }

bool SortDirections::Click(int column) {
  if (column < 0 || column >= kVisibleColumns) return false;
  ascending_[column] = !ascending_[column];
  return ascending_[column];
}

bool SortDirections::Ascending(int column) const {
  return column >= 0 && column < kVisibleColumns && ascending_[column];
}

std::vector<uint32_t> GridSortOrder(const ArchiveTable& table, const std::vector<GridRow>& rows, int column,
                                    bool ascending) {
  const int key = SortKeyColumn(column);
  if (IsNumericKey(key)) return SortOrder(NumberKeys(table, rows, key), ascending);
  if (key == 0) return SortOrder(NameKeys(table, rows), ascending);
  if (key == 2) return SortOrder(TypeKeys(table, rows), ascending);
  if (key == 4) return SortOrder(ArchiveNameKeys(table, rows), ascending);
  std::vector<uint32_t> order(rows.size());
  std::iota(order.begin(), order.end(), 0u);
  return order;
}

}  // namespace pff
