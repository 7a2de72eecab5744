#pragma once
// One page of an entry's bytes as offset, hex and Latin-1 columns; only the
// lines in view are formatted and painted.

#include <QAbstractScrollArea>
#include <QByteArray>

class PreviewHexView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit PreviewHexView(QWidget* parent = nullptr);
  /// Shows bytes whose first one lies at offset within the entry.
  void SetPage(const QByteArray& bytes, qint64 offset);
  /// The text of line i of the page (empty past its end).
  QString Line(int i) const;
  int LineCount() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateScrollBars();
  QByteArray bytes_;
  qint64 offset_ = 0;
};
