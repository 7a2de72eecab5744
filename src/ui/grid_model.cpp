#include "ui/grid_model.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <unordered_map>

#include "engine/name_helpers.h"

namespace {

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
using NameKey = std::array<uint8_t, pff::kNameLength>;

std::vector<NameKey> NameKeys(const pff::ArchiveTable& table, const std::vector<pff::GridRow>& rows) {
  std::vector<NameKey> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const pff::PffEntry* entry = pff::ListedEntry(table, rows[i]);
    if (!entry) continue;
    size_t n = 0;
    for (char c : entry->Name)
      if (c != '\0') keys[i][n++] = static_cast<uint8_t>(pff::UpperLatin1Char(c));
  }
  return keys;
}

std::vector<int> TypeKeys(const pff::ArchiveTable& table, const std::vector<pff::GridRow>& rows) {
  std::vector<std::string> types(rows.size());
  for (size_t i = 0; i < rows.size(); ++i)
    if (const pff::PffEntry* entry = pff::ListedEntry(table, rows[i]))
      types[i] = pff::GetFileType(pff::NameBytes(entry->Name));
  return Ranks(types);
}

std::vector<int> ArchiveNameKeys(const pff::ArchiveTable& table, const std::vector<pff::GridRow>& rows) {
  std::vector<std::string> names;
  for (const pff::PffArchive& archive : table)
    names.push_back(pff::UpperLatin1(pff::GetFileName(archive.Path)));
  const std::vector<int> archiveRanks = Ranks(names);
  std::vector<int> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const size_t a = static_cast<size_t>(rows[i].Archive - 1);
    if (a < archiveRanks.size()) keys[i] = archiveRanks[a];
  }
  return keys;
}

std::vector<int64_t> NumberKeys(const pff::ArchiveTable& table, const std::vector<pff::GridRow>& rows,
                                int column) {
  std::vector<int64_t> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const pff::PffEntry* entry = pff::ListedEntry(table, rows[i]);
    if (entry) keys[i] = column == 1 ? entry->DataSize : entry->FileTime;
  }
  return keys;
}

}  // namespace

GridModel::GridModel(const pff::ArchiveTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int GridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return placeholder_ ? 1 : static_cast<int>(rows_.size());
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : pff::kGridColumns;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= pff::kGridColumns) return {};
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::AlignVCenter | (index.column() == 1 ? Qt::AlignRight : Qt::AlignLeft));
  if (role != Qt::DisplayRole || placeholder_) return {};
  const pff::GridRow row = rows_[static_cast<size_t>(index.row())];
  return QString::fromStdString(pff::GridCellText(table_, row, index.column(), timeDate_));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= pff::kGridColumns) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) return QString::fromLatin1(pff::GridHeaderText(section));
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::AlignVCenter | (section == 1 ? Qt::AlignRight : Qt::AlignLeft));
  return {};
}

void GridModel::SetRows(std::vector<pff::GridRow> rows, bool placeholder, pff::DateStyle timeDate) {
  beginResetModel();
  rows_ = std::move(rows);
  placeholder_ = placeholder;
  if (placeholder_) rows_.clear();
  timeDate_ = timeDate;
  endResetModel();
}

void GridModel::SortByColumn(int column, bool ascending) {
  if (column < 0 || column >= pff::kVisibleColumns || rows_.size() < 2) return;
  std::vector<uint32_t> order;
  if (column == 0)
    order = SortOrder(NameKeys(table_, rows_), ascending);
  else if (column == 2)
    order = SortOrder(TypeKeys(table_, rows_), ascending);
  else if (column == 4)
    order = SortOrder(ArchiveNameKeys(table_, rows_), ascending);
  else
    order = SortOrder(NumberKeys(table_, rows_, column), ascending);
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<pff::GridRow> sorted;
  sorted.reserve(rows_.size());
  std::vector<int> newRow(rows_.size());
  for (size_t i = 0; i < order.size(); ++i) {
    sorted.push_back(rows_[order[i]]);
    newRow[order[i]] = static_cast<int>(i);
  }
  rows_ = std::move(sorted);
  // Rows move whole: whatever the view holds on to (selection, current cell) moves with them.
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before)
    after << createIndex(newRow[static_cast<size_t>(index.row())], index.column());
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
