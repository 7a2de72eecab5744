#include "listing/grid_sort.h"

#include <algorithm>
#include <array>
#include <string>

#include "engine/name_helpers.h"

namespace pff {

namespace {

// Rows sort as plain values holding their key and their listing position, so
// that ties go by listing order in both directions: the order is stable by
// rule, whatever the algorithm. Descending sorts complement the key instead of
// reversing the comparison. Merge sort is used for its speed here (its
// comparisons are easy to predict), not for its stability.

// A number key in the high half, the row in the low half.
std::vector<uint32_t> SortNumbers(const std::vector<int32_t>& values, bool ascending) {
  std::vector<uint64_t> keyed(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    // Flipping the sign bit orders signed values as unsigned ones.
    uint32_t key = static_cast<uint32_t>(values[i]) ^ 0x80000000u;
    if (!ascending) key = ~key;
    keyed[i] = uint64_t{key} << 32 | i;
  }
  std::stable_sort(keyed.begin(), keyed.end());
  std::vector<uint32_t> order(keyed.size());
  for (size_t i = 0; i < keyed.size(); ++i) order[i] = static_cast<uint32_t>(keyed[i]);
  return order;
}

// Up to 16 text bytes as two big-endian numbers, zero-padded, so that a text
// orders before any longer text it begins; bytes compare unsigned, so
// Latin-1 letters come after ASCII.
struct TextKey {
  uint64_t high = 0, low = 0;
  uint32_t row = 0;
  bool operator<(const TextKey& other) const {
    if (high != other.high) return high < other.high;
    if (low != other.low) return low < other.low;
    return row < other.row;
  }
};

std::vector<uint32_t> SortTexts(std::vector<TextKey> keys, bool ascending) {
  if (!ascending) {
    for (TextKey& key : keys) key.high = ~key.high, key.low = ~key.low;
  }
  std::stable_sort(keys.begin(), keys.end());
  std::vector<uint32_t> order(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].row;
  return order;
}

const std::array<uint8_t, 256>& UpperTable() {
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(UpperLatin1Char(static_cast<char>(c)));
    return t;
  }();
  return table;
}

// The upper-cased name without NULs (Name), or the part after its first "."
// (Type, the whole name when it has none).
TextKey KeyOfName(const EntryName& name, bool typeOnly, const std::array<uint8_t, 256>& upper) {
  uint8_t bytes[kNameLength] = {};
  size_t n = 0;
  bool dotSeen = false;
  for (char c : name) {
    if (c == '\0') continue;
    if (typeOnly && !dotSeen && c == '.') {
      dotSeen = true;
      std::fill(bytes, bytes + n, 0);
      n = 0;
      continue;
    }
    bytes[n++] = upper[static_cast<uint8_t>(c)];
  }
  TextKey key;
  for (int i = 0; i < 8; ++i) {
    key.high = key.high << 8 | bytes[i];
    key.low = key.low << 8 | bytes[8 + i];
  }
  return key;
}

std::vector<TextKey> NameKeys(const ArchiveTable& table, const std::vector<GridRow>& rows, bool typeOnly) {
  const std::array<uint8_t, 256>& upper = UpperTable();
  std::vector<TextKey> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (const PffEntry* entry = ListedEntry(table, rows[i]))
      keys[i] = KeyOfName(entry->Name, typeOnly, upper);
    keys[i].row = static_cast<uint32_t>(i);
  }
  return keys;
}

// Each row's archive by the rank of its upper-cased file name among the archives'.
std::vector<int32_t> ArchiveNameKeys(const ArchiveTable& table, const std::vector<GridRow>& rows) {
  std::vector<std::string> names;
  for (const PffArchive& archive : table) names.push_back(UpperLatin1(GetFileName(archive.Path)));
  std::vector<std::string> sorted = names;
  std::sort(sorted.begin(), sorted.end());
  std::vector<int32_t> rank(names.size());
  for (size_t a = 0; a < names.size(); ++a)
    rank[a] = static_cast<int32_t>(std::lower_bound(sorted.begin(), sorted.end(), names[a]) - sorted.begin());
  std::vector<int32_t> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const size_t a = static_cast<size_t>(rows[i].Archive - 1);
    if (a < rank.size()) keys[i] = rank[a];
  }
  return keys;
}

std::vector<int32_t> NumberKeys(const ArchiveTable& table, const std::vector<GridRow>& rows, int keyColumn) {
  std::vector<int32_t> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const PffEntry* entry = ListedEntry(table, rows[i]);
    if (entry) keys[i] = keyColumn == kRawSizeColumn ? entry->DataSize : entry->FileTime;
  }
  return keys;
}

}  // namespace

int SortKeyColumn(int column) {
  switch (column) {
    case kNameColumn:
    case kTypeColumn:
    case kFromColumn:
      return column;
    case kSizeColumn:
      return kRawSizeColumn;
    case kModifiedColumn:
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
  if (IsNumericKey(key)) return SortNumbers(NumberKeys(table, rows, key), ascending);
  if (key == 0 || key == 2) return SortTexts(NameKeys(table, rows, key == 2), ascending);
  if (key == 4) return SortNumbers(ArchiveNameKeys(table, rows), ascending);
  return SortNumbers(std::vector<int32_t>(rows.size()), true);
}

}  // namespace pff
