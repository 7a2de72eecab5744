#pragma once
// Read-only text in a fixed-width font with line numbers in a margin.

#include <QPlainTextEdit>

class PreviewTextView : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit PreviewTextView(QWidget* parent = nullptr);
  /// Width of the line-number margin for the current line count.
  int MarginWidth() const;
  void PaintMargin(QPaintEvent* event);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* margin_;
};
