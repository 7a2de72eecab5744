#pragma once
// Progress of long work on the window's own thread: PB1 advances with an
// "n of N" text, the window paints and takes input between entries, and the
// Cancel button (or Escape) ends the work after the current entry.

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QProgressBar;
class QPushButton;

class WorkProgress : public QObject {
  Q_OBJECT

 public:
  WorkProgress(QProgressBar* bar, QPushButton* cancel, QObject* parent = nullptr);

  /// Shows the bar at 0 of total, and the Cancel button when the work can stop
  /// between entries; lets a just-closed dialog vanish first.
  void Start(int total, bool cancellable = true);
  /// One entry done: advances the bar and, at most every YieldInterval ms,
  /// lets pending events run. Returns false once cancel was asked for.
  bool Step();
  /// Bar back to rest, Cancel hidden.
  void Finish();
  /// The bar at 0 of total before the question that may start the work.
  void ShowPending(int total);
  /// "Cancelled after n of N: " when the work was cancelled, else empty.
  QString CancelledNote() const;
  /// Asks the running work to stop after its current entry.
  void Cancel() { cancelled_ = running_ && cancellable_; }
  bool Running() const { return running_; }
  bool Cancelled() const { return cancelled_; }
  int Done() const { return done_; }
  int Total() const { return total_; }

  /// How long work may run without answering input; 0 yields after every entry (tests).
  static void SetYieldInterval(int milliseconds);

 private:
  void ShowText();

  QProgressBar* bar_;
  QPushButton* cancel_;
  QElapsedTimer sinceYield_;
  bool running_ = false;
  bool cancelled_ = false;
  bool cancellable_ = true;
  int done_ = 0;
  int total_ = 0;
};
