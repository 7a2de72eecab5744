#pragma once
// The window's status bar: counts of listed and selected rows, the filter in
// force with a button that clears it, and the one-line result of the last command.

#include <QObject>
#include <QString>
#include <cstdint>

class QLabel;
class QStatusBar;
class QToolButton;

/// 32701 as "32,701".
QString Grouped(int64_t number);
/// "1 file", "32,701 files".
QString FileCount(int64_t n);
/// Bytes as a person reads them (pff::FormatByteSize).
QString HumanSize(int64_t bytes);

class StatusPanel : public QObject {
  Q_OBJECT

 public:
  explicit StatusPanel(QStatusBar* bar);

  /// "N of M entries listed"; nothing while no archive is open.
  void ShowCounts(bool loaded, int64_t listed, int64_t total);
  /// "N selected (size)"; nothing when no row is highlighted.
  void ShowSelection(int64_t rows, int64_t bytes);
  /// "Filter: TEXT" with the clearing button; hidden when text is empty.
  void ShowFilter(const QString& text);
  /// The result of the last command, kept until the next one.
  void ShowResult(const QString& text);
  QString Result() const;
  QString Counts() const;
  QString Selection() const;
  QString Filter() const;

 signals:
  void clearFilterClicked();

 private:
  QStatusBar* bar_;
  QLabel* counts_;
  QLabel* selection_;
  QLabel* filter_;
  QToolButton* clearFilter_;
};
