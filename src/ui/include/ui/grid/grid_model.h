#pragma once
// The rows of the entry grid FG1. Only {archive, entry} pairs are kept; the
// nine cell texts are made on demand, so a large list costs little to build.
// The order a header click gives comes from the listing layer.

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "engine/archive_table.h"
#include "listing/grid_rows.h"
#include "listing/grid_sort.h"

class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit GridModel(const pff::ArchiveTable& table, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  /// Listed rows can be dragged out; the empty row that stands for none cannot.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  /// Type-ahead: a "starts with" search for display text looks at entry names
  /// whatever the column, without the cell's padding and regardless of case.
  QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits = 1,
                        Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith | Qt::MatchWrap)) const override;

  /// Shows rows; with placeholder (nothing open) one empty row stands in their place.
  /// The columns' sort directions stay, and the new rows are not sorted again.
  void SetRows(std::vector<pff::GridRow> rows, bool placeholder, pff::DateStyle timeDate);
  const std::vector<pff::GridRow>& Rows() const { return rows_; }
  /// A header click on visible column 0-4: reverses its direction and sorts the rows,
  /// which move whole; returns true when the column now sorts ascending.
  bool SortByHeader(int column);

 private:
  const pff::ArchiveTable& table_;
  std::vector<pff::GridRow> rows_;
  bool placeholder_ = true;
  pff::DateStyle timeDate_ = pff::DateStyle::Good;
  pff::SortDirections directions_;
};
