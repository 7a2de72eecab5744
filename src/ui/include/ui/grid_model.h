#pragma once
// The rows of the entry grid FG1. Only {archive, entry} pairs are kept; the
// nine cell texts are made on demand, so a large list costs little to build.

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "engine/archive_table.h"
#include "listing/grid_rows.h"

class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit GridModel(const pff::ArchiveTable& table, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  /// Shows rows; with placeholder (nothing open) one empty row stands in their place.
  void SetRows(std::vector<pff::GridRow> rows, bool placeholder, pff::DateStyle timeDate);
  const std::vector<pff::GridRow>& Rows() const { return rows_; }
  pff::DateStyle TimeDate() const { return timeDate_; }
  /// Sorts the rows by visible column 0-4: size and time by their raw numbers,
  /// the others as text without regard to case. Equal keys keep their order.
  void SortByColumn(int column, bool ascending);

 private:
  const pff::ArchiveTable& table_;
  std::vector<pff::GridRow> rows_;
  bool placeholder_ = true;
  pff::DateStyle timeDate_ = pff::DateStyle::Good;
};
