#pragma once
// Long work (adding, extracting, deleting, compacting, checking, opening) runs
// as a job on a worker thread, with its own copy of what it needs, so that the
// window keeps answering. The job reports progress and asks its questions
// through its context; the window answers them on its own thread, and takes
// the job's result once, when it ends.

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/frontend.h"

class QThread;
class JobRunner;

/// What the worker sees: whether to stop, where to report progress, and a
/// port whose errors, notices and questions are shown by the window (the
/// worker waits for the answer).
class JobContext {
 public:
  JobContext(JobRunner& runner, std::shared_ptr<std::atomic<bool>> cancelled);
  ~JobContext();

  /// True once the user asked to stop.
  bool Cancelled() const { return *cancelled_; }
  /// Files and bytes done so far; shown a few dozen times a second at most.
  void Progress(int files, int64_t bytes);
  /// The next file begins after files and bytes done: the copy inside it moves the
  /// progress on from there, and stops when the user asks.
  void StartFile(int files, int64_t bytes);
  /// The bytes the job will move, once the worker knows them (a job given no
  /// byte total at its start); the bar follows bytes from then on.
  void SetTotalBytes(int64_t bytes);
  /// The port to hand to the engine's routines.
  pff::Frontend& Port();
  /// How many files of the command come after the current one, for the
  /// replace question's "Do this for the remaining N files".
  void SetRemaining(int files);

 private:
  class ForwardingPort;
  JobRunner& runner_;
  std::shared_ptr<std::atomic<bool>> cancelled_;
  std::unique_ptr<ForwardingPort> port_;
  int64_t lastShownMs_ = -1;
  int fileStartFiles_ = 0;
  int64_t fileStartBytes_ = 0;
  // The last progress, shown at the end when it was held back.
  int files_ = 0;
  int64_t bytes_ = 0;
  bool unshown_ = false;
};

/// Runs one job at a time and shows its progress.
class JobRunner : public QObject {
  Q_OBJECT

 public:
  /// The answer to the replace question, and whether it holds for the files still to come.
  struct ReplaceAnswer {
    bool replace = false;
    bool forRemaining = false;
  };
  /// The replace question, offering to answer it for the remaining files when there are any.
  using AskReplace = std::function<ReplaceAnswer(const pff::ReplaceRequest&, int remaining)>;

  /// windowPort shows errors and notices; askReplace asks the replace question.
  JobRunner(pff::Frontend& windowPort, AskReplace askReplace, QObject* parent = nullptr);
  ~JobRunner() override;

  using Body = std::function<void(JobContext&)>;
  /// Starts body on a worker thread; done runs here once it ended, whether it
  /// finished or was cancelled. files and bytes are the totals progress counts
  /// towards. False, and nothing started, while another job runs.
  bool Start(int files, int64_t bytes, bool cancellable, Body body, std::function<void()> done);
  bool Running() const { return thread_ != nullptr; }
  /// Asks the running job to stop at its next check.
  void Cancel();
  /// Returns once the running job ended and its done ran (closing the window, tests).
  void Wait();

 signals:
  void started(int files, int64_t bytes, bool cancellable);
  void progressed(int files, int64_t bytes);
  /// The worker learnt the job's byte total (queued to the window's thread).
  void totalBytesKnown(int64_t bytes);
  /// After the job's done ran.
  void finished(bool cancelled);

 private:
  friend class JobContext;
  void Finish();

  pff::Frontend& windowPort_;
  AskReplace askReplace_;
  QThread* thread_ = nullptr;
  std::shared_ptr<std::atomic<bool>> cancelled_;
  bool cancellable_ = true;
  std::function<void()> done_;
};
