#include "ui/preview/preview_text_view.h"

#include <QFontDatabase>
#include <QPainter>
#include <QTextBlock>

namespace {

class Margin : public QWidget {
 public:
  explicit Margin(PreviewTextView* view) : QWidget(view), view_(view) { setObjectName("lineNumbers"); }
  QSize sizeHint() const override { return {view_->MarginWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { view_->PaintMargin(event); }

 private:
  PreviewTextView* view_;
};

}  // namespace

PreviewTextView::PreviewTextView(QWidget* parent) : QPlainTextEdit(parent), margin_(new Margin(this)) {
  setReadOnly(true);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { FitMargin(); });
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
    if (dy)
      margin_->scroll(0, dy);
    else
      margin_->update(0, rect.y(), margin_->width(), rect.height());
  });
  FitMargin();
}

void PreviewTextView::ShowDocument(QTextDocument* document) {
  // A new document brings its line count along without a blockCountChanged.
  setDocument(document);
  FitMargin();
}

void PreviewTextView::FitMargin() {
  const int width = MarginWidth();
  setViewportMargins(width, 0, 0, 0);
  const QRect area = contentsRect();
  margin_->setGeometry(QRect(area.left(), area.top(), width, area.height()));
}

int PreviewTextView::MarginWidth() const {
  const int digits = QString::number(qMax(1, blockCount())).size();
  return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void PreviewTextView::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  FitMargin();
}

void PreviewTextView::PaintMargin(QPaintEvent* event) {
  QPainter painter(margin_);
  painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
  painter.setPen(palette().color(QPalette::PlaceholderText));
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  // Only the lines in view are painted, whatever the text's length.
  while (block.isValid() && top <= event->rect().bottom()) {
    const int height = qRound(blockBoundingRect(block).height());
    if (block.isVisible() && top + height >= event->rect().top())
      painter.drawText(0, top, margin_->width() - 4, fontMetrics().height(), Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    block = block.next();
    top += height;
  }
}
