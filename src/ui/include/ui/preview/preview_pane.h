#pragma once
// The preview pane beside the grid: the current entry as an image, text,
// sound or bytes, or a summary of several highlighted rows. Reading and
// decoding run on a worker thread; a newer entry supersedes an older one.

#include <QImage>
#include <QThreadPool>
#include <QWidget>
#include <atomic>
#include <memory>

#include "ui/preview/preview_loader.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTimer;
class PreviewHexView;
class PreviewSound;
class PreviewTextView;

class PreviewPane : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewPane(QWidget* parent = nullptr);
  ~PreviewPane() override;

  /// Previews the entry of the archive at path (UTF-8) shortly, off the GUI thread.
  void ShowEntry(const std::string& path, const pff::PffEntry& entry);
  /// "N entries, SIZE" for several highlighted rows.
  void ShowSummary(qint64 count, qint64 bytes);
  /// Empties the pane (nothing highlighted, or the pane hidden).
  void ShowNothing();

  // What is shown, for tests and the benchmark.
  /// Whether no preview is waiting or being made.
  bool Settled() const;
  pff::PreviewKind ShownKind() const { return shownKind_; }
  /// The text of the message page (errors, summaries, empty entries).
  QString Message() const;
  QString Text() const;
  QImage Image() const { return image_; }
  PreviewHexView* hexView() const { return hex_; }
  /// Asks for hex page n of the shown entry.
  void ShowHexPage(qint64 page);

 signals:
  /// A double click in the pane: open the entry as a double click on its row does.
  void openRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Start(PreviewRequest request);
  void Show(const PreviewRequest& request, PreviewResult result);
  void ShowMessage(const QString& text);
  void FitImage();
  void FindNext();
  void UpdatePageButtons();

  QThreadPool pool_;
  std::shared_ptr<std::atomic<int>> generation_ = std::make_shared<std::atomic<int>>(0);
  int running_ = 0;  // jobs given to the worker and not yet answered
  QString cutNote_;
  QTimer* delay_;
  PreviewRequest next_;
  PreviewRequest shown_;
  bool hasEntry_ = false;
  pff::PreviewKind shownKind_ = pff::PreviewKind::Empty;
  QImage image_;
  std::shared_ptr<QTextDocument> document_;  // the text view's document

  QLabel* title_;
  QLabel* info_;
  QStackedWidget* pages_;
  QLabel* message_;
  QLabel* picture_;
  QWidget* textPage_;
  QLineEdit* find_;
  QLabel* textNote_;
  PreviewTextView* text_;
  PreviewSound* sound_;
  QWidget* hexPage_;
  PreviewHexView* hex_;
  QPushButton* previousPage_;
  QPushButton* nextPage_;
  QLabel* pageText_;
  QPushButton* bytesButton_;
};
