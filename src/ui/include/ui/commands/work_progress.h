#pragma once
// The progress of a running job under the grid: PB1 with "n of N" files, moved
// by bytes so that one large file moves it too, and the Cancel button when the
// job can stop.

#include <QObject>
#include <QString>
#include <cstdint>

class QProgressBar;
class QPushButton;

class WorkProgress : public QObject {
  Q_OBJECT

 public:
  WorkProgress(QProgressBar* bar, QPushButton* cancel, QObject* parent = nullptr);

  /// A job began: the bar at 0 of files, Cancel shown when it can stop.
  void Start(int files, int64_t bytes, bool cancellable);
  /// The bytes the job moves, known after it started: the bar follows them from now on.
  void SetTotalBytes(int64_t bytes);
  /// Files and bytes done.
  void Show(int files, int64_t bytes);
  /// Bar back to rest, Cancel hidden.
  void Finish();

 signals:
  void cancelClicked();

 private:
  QProgressBar* bar_;
  QPushButton* cancel_;
  int files_ = 0;
  int64_t bytes_ = 0;
};

/// "Cancelled after n of N: " for a job stopped after n of N files.
QString CancelledNote(int done, int total);
