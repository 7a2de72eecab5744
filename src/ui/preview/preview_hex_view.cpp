#include "ui/preview/preview_hex_view.h"

#include <QFontDatabase>
#include <QPainter>
#include <QScrollBar>

#include "formats/entry_content.h"

PreviewHexView::PreviewHexView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  viewport()->setBackgroundRole(QPalette::Base);
}

void PreviewHexView::SetPage(const QByteArray& bytes, qint64 offset) {
  bytes_ = bytes;
  offset_ = offset;
  verticalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
}

int PreviewHexView::LineCount() const {
  return static_cast<int>((bytes_.size() + pff::kHexLineBytes - 1) / pff::kHexLineBytes);
}

QString PreviewHexView::Line(int i) const {
  if (i < 0 || i >= LineCount()) return {};
  const qsizetype at = static_cast<qsizetype>(i) * pff::kHexLineBytes;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes_.constData()) + at;
  return QString::fromStdString(pff::HexLine(
      offset_ + at, p, static_cast<size_t>(qMin<qsizetype>(pff::kHexLineBytes, bytes_.size() - at))));
}

void PreviewHexView::UpdateScrollBars() {
  const int lineHeight = fontMetrics().height();
  const int shown = qMax(1, viewport()->height() / lineHeight);
  verticalScrollBar()->setRange(0, qMax(0, LineCount() - shown));
  verticalScrollBar()->setPageStep(shown);
  const int lineWidth = fontMetrics().horizontalAdvance(QString(78, QLatin1Char('0'))) + 8;
  horizontalScrollBar()->setRange(0, qMax(0, lineWidth - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void PreviewHexView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void PreviewHexView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Text));
  const int lineHeight = fontMetrics().height();
  const int first = verticalScrollBar()->value();
  const int x = 4 - horizontalScrollBar()->value();
  for (int i = first, y = 0; i < LineCount() && y < viewport()->height(); ++i, y += lineHeight)
    painter.drawText(x, y + fontMetrics().ascent(), Line(i));
}
