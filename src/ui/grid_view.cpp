#include "ui/grid_view.h"

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
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  verticalHeader()->hide();
  // Fixed row heights keep a view of 100,000+ rows cheap to lay out.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int GridView::CurrentRow() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void GridView::SelectBlock(int current, int end) {
  if (!model() || !selectionModel()) return;
  const int last = model()->rowCount() - 1;
  if (current < 0 || end < 0 || current > last || end > last) return;
  const QModelIndex from = model()->index(std::min(current, end), 0);
  const QModelIndex to = model()->index(std::max(current, end), model()->columnCount() - 1);
  selectionModel()->setCurrentIndex(model()->index(current, 0), QItemSelectionModel::NoUpdate);
  selectionModel()->select(QItemSelection(from, to), QItemSelectionModel::ClearAndSelect);
  anchor_ = end;
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
  eventModifiers_ = event->modifiers();
  QTableView::keyPressEvent(event);
  eventModifiers_ = Qt::NoModifier;
}

void GridView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    // The pop-up leaves the current row and the selection as they are.
    if (event->buttons() == Qt::RightButton) emit rightPressed(event->globalPosition().toPoint());
    return;
  }
  eventModifiers_ = event->modifiers();
  QTableView::mousePressEvent(event);
  eventModifiers_ = Qt::NoModifier;
}

void GridView::dragEnterEvent(QDragEnterEvent* event) {
  if (LocalFiles(event->mimeData()).isEmpty()) return event->ignore();
  event->acceptProposedAction();
}

void GridView::dragMoveEvent(QDragMoveEvent* event) {
  if (LocalFiles(event->mimeData()).isEmpty()) return event->ignore();
  event->acceptProposedAction();
}

void GridView::dropEvent(QDropEvent* event) {
  const QStringList paths = LocalFiles(event->mimeData());
  if (paths.isEmpty()) return event->ignore();
  event->acceptProposedAction();
  emit filesDropped(paths);
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  // Shift extends the block from the anchor; anything else starts a new block.
  if (!(eventModifiers_ & Qt::ShiftModifier) || anchor_ < 0) anchor_ = current.isValid() ? current.row() : -1;
}

void GridView::reset() {
  QTableView::reset();
  anchor_ = -1;
}
