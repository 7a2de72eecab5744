#pragma once
// The table view of FG1: whole-row extended selection, files dropped from the
// desktop, a right press that asks for the pop-up menu, and a record of the
// selection's anchor (the end that stays put while shift extends the block).

#include <QStringList>
#include <QTableView>

class GridView : public QTableView {
  Q_OBJECT

 public:
  explicit GridView(QWidget* parent = nullptr);

  /// Row of the current index; -1 when none.
  int CurrentRow() const;
  /// Row where the selected block started; -1 when none.
  int AnchorRow() const { return anchor_; }
  /// Selects rows current..end (either order), current becoming the current row.
  void SelectBlock(int current, int end);

 signals:
  /// Local files dropped onto the grid, in the order of the drop.
  void filesDropped(const QStringList& paths);
  /// The right button alone was pressed over the rows.
  void rightPressed(const QPoint& globalPos);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void reset() override;

 private:
  Qt::KeyboardModifiers eventModifiers_ = Qt::NoModifier;  // of the input event being handled
  int anchor_ = -1;
};
