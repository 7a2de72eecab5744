#pragma once
// The table view of FG1: whole rows in one contiguous block (the block the
// commands walk), files dropped from the desktop, highlighted rows dragged out
// as files, a right press or the Menu key that asks for the pop-up menu, and
// Enter that opens the current entry.

#include <QStringList>
#include <QTableView>
#include <functional>
#include <vector>

class QMimeData;

class GridView : public QTableView {
  Q_OBJECT

 public:
  explicit GridView(QWidget* parent = nullptr);

  /// Row of the current index; -1 when none.
  int CurrentRow() const;
  /// Highlighted rows from the current row towards the other end of the block.
  std::vector<int> SelectedRowsInOrder() const;
  /// Selects rows current..end (either order), current becoming the current row.
  void SelectBlock(int current, int end);
  /// Who makes the files of a drag out; a null result starts no drag.
  void SetDragSource(std::function<QMimeData*()> source) { dragSource_ = std::move(source); }
  /// The files a drag out of the highlighted rows carries (the caller owns them); nullptr for none.
  QMimeData* DragOutData() const { return dragSource_ ? dragSource_() : nullptr; }

 signals:
  /// Local files dropped onto the grid from elsewhere, in the order of the drop.
  void filesDropped(const QStringList& paths);
  /// The right button alone was pressed over the rows, or the Menu key was pressed.
  void rightPressed(const QPoint& globalPos);
  /// Enter or Return on a current row.
  void enterPressed();

 protected:
  bool event(QEvent* event) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;

 private:
  /// Where a menu asked for by keyboard opens: the current row's middle, on screen.
  QPoint CurrentRowPoint() const;

  std::function<QMimeData*()> dragSource_;
};
