#include "ui/grid/grid_model.h"

#include "listing/grid_sort.h"

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
    return QVariant::fromValue(Qt::AlignVCenter |
                               (index.column() == pff::kSizeColumn ? Qt::AlignRight : Qt::AlignLeft));
  if (role != Qt::DisplayRole || placeholder_) return {};
  const pff::GridRow row = rows_[static_cast<size_t>(index.row())];
  return QString::fromStdString(pff::GridCellText(table_, row, index.column(), timeDate_));
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  // Without the drag flag the view never enters its drag state: a press and
  // move on highlighted rows would only select.
  const Qt::ItemFlags base = QAbstractTableModel::flags(index);
  return placeholder_ || !index.isValid() ? base : base | Qt::ItemIsDragEnabled;
}

QModelIndexList GridModel::match(const QModelIndex& start, int role, const QVariant& value, int hits,
                                 Qt::MatchFlags flags) const {
  const bool typeAhead = role == Qt::DisplayRole && (flags & Qt::MatchTypeMask) == Qt::MatchStartsWith;
  if (!typeAhead || placeholder_ || rows_.empty() || !start.isValid())
    return QAbstractTableModel::match(start, role, value, hits, flags);
  const QString typed = value.toString();
  const int count = static_cast<int>(rows_.size());
  const int steps = (flags & Qt::MatchWrap) ? count : count - start.row();
  QModelIndexList found;
  for (int i = 0; i < steps && (hits < 0 || found.size() < hits); ++i) {
    const int row = (start.row() + i) % count;
    const pff::PffEntry* entry = pff::ListedEntry(table_, rows_[static_cast<size_t>(row)]);
    if (entry && QString::fromStdString(pff::DisplayName(entry->Name)).startsWith(typed, Qt::CaseInsensitive))
      found << index(row, 0);
  }
  return found;
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

bool GridModel::SortByHeader(int column) {
  if (column < 0 || column >= pff::kVisibleColumns) return false;
  const bool ascending = directions_.Click(column);
  if (rows_.size() < 2) return ascending;
  const std::vector<uint32_t> order = pff::GridSortOrder(table_, rows_, column, ascending);
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
  return ascending;
}
