#include "ui/grid/grid_view.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>

namespace {

QStringList LocalFiles(const QMimeData* mime) {
  QStringList paths;
  if (!mime || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  return paths;
}

// Ctrl+C and Ctrl+A are the window's "Close All" and "Add"; the view's own
// copy and select-all must not take them.
bool IsWindowShortcut(const QKeyEvent* key) {
  return key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll);
}

}  // namespace

GridView::GridView(QWidget* parent) : QTableView(parent) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  // One block only: what is highlighted is exactly the block the commands walk.
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab leaves the grid for the next control instead of walking its cells.
  setTabKeyNavigation(false);
  // Whole rows per scroll step, so a row keeps its place on screen after a relist.
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setWordWrap(false);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::CopyAction);
  verticalHeader()->hide();
  // Fixed row heights keep a view of 100,000+ rows cheap to lay out.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setSortIndicatorShown(true);
  horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

int GridView::CurrentRow() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

// The block's ends come from the selection model itself, so they can never
// drift from what is highlighted.
std::vector<int> GridView::SelectedRowsInOrder() const {
  std::vector<int> rows;
  if (!selectionModel()) return rows;
  for (const QItemSelectionRange& range : selectionModel()->selection())
    for (int r = range.top(); r <= range.bottom(); ++r) rows.push_back(r);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows.size() > 1 && CurrentRow() == rows.back()) std::reverse(rows.begin(), rows.end());
  return rows;
}

void GridView::SelectBlock(int current, int end) {
  if (!model() || !selectionModel()) return;
  const int last = model()->rowCount() - 1;
  if (current < 0 || end < 0 || current > last || end > last) return;
  const QModelIndex from = model()->index(std::min(current, end), 0);
  const QModelIndex to = model()->index(std::max(current, end), model()->columnCount() - 1);
  selectionModel()->setCurrentIndex(model()->index(current, 0), QItemSelectionModel::NoUpdate);
  selectionModel()->select(QItemSelection(from, to), QItemSelectionModel::ClearAndSelect);
}

QItemSelectionModel::SelectionFlags GridView::selectionCommand(const QModelIndex& index,
                                                               const QEvent* event) const {
  // Ctrl+Shift+End and the like extend the block as Shift alone does, not restart it.
  if (event && event->type() == QEvent::KeyPress) {
    const Qt::KeyboardModifiers mods = static_cast<const QKeyEvent*>(event)->modifiers();
    if ((mods & Qt::ShiftModifier) && (mods & Qt::ControlModifier))
      return QItemSelectionModel::SelectCurrent | QItemSelectionModel::Rows;
  }
  return QTableView::selectionCommand(index, event);
}

QModelIndex GridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  // Rows are what is chosen here: Home and End go to the first and last row, not column.
  if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
  return QTableView::moveCursor(action, modifiers);
}

bool GridView::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && IsWindowShortcut(static_cast<QKeyEvent*>(event))) {
    event->ignore();
    return false;
  }
  return QTableView::event(event);
}

void GridView::keyPressEvent(QKeyEvent* event) {
  if (IsWindowShortcut(event)) {
    event->ignore();
    return;
  }
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && CurrentRow() >= 0) {
    emit enterPressed();
    return;
  }
  if (event->key() == Qt::Key_Menu) {
    emit rightPressed(CurrentRowPoint());
    return;
  }
  QTableView::keyPressEvent(event);
}

void GridView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    // The pop-up leaves the current row and the selection as they are.
    if (event->buttons() == Qt::RightButton) emit rightPressed(event->globalPosition().toPoint());
    return;
  }
  // A press on a highlighted row may start a drag out; anywhere else the
  // mouse selects, and dragging extends the block.
  const QModelIndex index = indexAt(event->position().toPoint());
  setDragEnabled(index.isValid() && event->modifiers() == Qt::NoModifier &&
                 selectionModel()->isRowSelected(index.row(), QModelIndex()));
  QTableView::mousePressEvent(event);
}

void GridView::contextMenuEvent(QContextMenuEvent* event) {
  // The mouse's right press already opened the menu; the Menu key opens it at the current row.
  if (event->reason() == QContextMenuEvent::Keyboard) emit rightPressed(CurrentRowPoint());
}

QPoint GridView::CurrentRowPoint() const {
  const QRect row = visualRect(currentIndex());
  return viewport()->mapToGlobal(row.isValid() ? row.center() : QPoint(0, 0));
}

void GridView::dragEnterEvent(QDragEnterEvent* event) {
  // Rows dragged out of this grid are not added back into it.
  if (event->source() == this || LocalFiles(event->mimeData()).isEmpty()) return event->ignore();
  event->acceptProposedAction();
}

void GridView::dragMoveEvent(QDragMoveEvent* event) {
  if (event->source() == this || LocalFiles(event->mimeData()).isEmpty()) return event->ignore();
  event->acceptProposedAction();
}

void GridView::dropEvent(QDropEvent* event) {
  const QStringList paths = LocalFiles(event->mimeData());
  if (event->source() == this || paths.isEmpty()) return event->ignore();
  event->acceptProposedAction();
  emit filesDropped(paths);
}

void GridView::startDrag(Qt::DropActions) {
  QMimeData* mime = DragOutData();
  if (!mime) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(mime);
  drag->exec(Qt::CopyAction, Qt::CopyAction);
}
