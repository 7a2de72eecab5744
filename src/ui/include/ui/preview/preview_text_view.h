#pragma once
// Read-only text in a fixed-width font with line numbers in a margin.

#include <QPlainTextEdit>

class PreviewTextView : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit PreviewTextView(QWidget* parent = nullptr);
  /// Shows document (owned by the caller) with a margin wide enough for its line numbers.
  void ShowDocument(QTextDocument* document);
  /// Width of the line-number margin for the current line count.
  int MarginWidth() const;
  void PaintMargin(QPaintEvent* event);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  /// Sets the margin and the room the text leaves for it to one width: the
  /// two apart, the numbers would cover the start of every line.
  void FitMargin();

  QWidget* margin_;
};
