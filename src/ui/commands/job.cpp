#include "ui/commands/job.h"

#include <QDateTime>
#include <QEventLoop>
#include <QThread>

namespace {

// Progress often enough to look smooth, rarely enough not to flood the window.
constexpr int64_t kProgressIntervalMs = 30;

int64_t NowMs() { return QDateTime::currentMSecsSinceEpoch(); }

}  // namespace

// The engine's reports and questions from the worker, answered by the window
// on its own thread while the worker waits.
class JobContext::ForwardingPort : public pff::Frontend {
 public:
  ForwardingPort(JobRunner& runner, JobContext& job) : runner_(runner), job_(job) {}

  void ReportError(pff::Routine routine, const std::string& description) override {
    OnWindowThread([&] { runner_.windowPort_.ReportError(routine, description); });
  }
  void Notify(const std::string& text) override {
    OnWindowThread([&] { runner_.windowPort_.Notify(text); });
  }
  bool KeepGoing(int64_t copied) override {
    job_.Progress(job_.fileStartFiles_, job_.fileStartBytes_ + copied);
    return !job_.Cancelled();
  }
  bool AskReplace(const pff::ReplaceRequest& request) override {
    if (!standing_) OnWindowThread([&] { answer_ = runner_.askReplace_(request, remaining_); });
    standing_ = answer_.forRemaining;
    return answer_.replace;
  }
  int remaining_ = 0;

 private:
  template <typename F>
  void OnWindowThread(F&& call) {
    QMetaObject::invokeMethod(&runner_, std::forward<F>(call), Qt::BlockingQueuedConnection);
  }

  JobRunner& runner_;
  JobContext& job_;
  JobRunner::ReplaceAnswer answer_;
  bool standing_ = false;  // the last answer holds for the rest of the job
};

JobContext::JobContext(JobRunner& runner, std::shared_ptr<std::atomic<bool>> cancelled)
    : runner_(runner),
      cancelled_(std::move(cancelled)),
      port_(std::make_unique<ForwardingPort>(runner, *this)) {}

JobContext::~JobContext() {
  // The bar shows where the job ended before it goes back to rest.
  if (unshown_) emit runner_.progressed(files_, bytes_);
}

pff::Frontend& JobContext::Port() { return *port_; }

void JobContext::SetRemaining(int files) { port_->remaining_ = files; }

void JobContext::StartFile(int files, int64_t bytes) {
  fileStartFiles_ = files;
  fileStartBytes_ = bytes;
}

void JobContext::SetTotalBytes(int64_t bytes) { emit runner_.totalBytesKnown(bytes); }

void JobContext::Progress(int files, int64_t bytes) {
  files_ = files;
  bytes_ = bytes;
  const int64_t now = NowMs();
  unshown_ = lastShownMs_ >= 0 && now - lastShownMs_ < kProgressIntervalMs;
  if (unshown_) return;
  lastShownMs_ = now;
  emit runner_.progressed(files, bytes);  // queued to the window's thread
}

JobRunner::JobRunner(pff::Frontend& windowPort, AskReplace askReplace, QObject* parent)
    : QObject(parent), windowPort_(windowPort), askReplace_(std::move(askReplace)) {}

JobRunner::~JobRunner() {
  if (!Running()) return;
  Cancel();
  Wait();
}

bool JobRunner::Start(int files, int64_t bytes, bool cancellable, Body body, std::function<void()> done) {
  if (Running()) return false;
  cancelled_ = std::make_shared<std::atomic<bool>>(false);
  cancellable_ = cancellable;
  done_ = std::move(done);
  thread_ = QThread::create([this, body = std::move(body), cancelled = cancelled_] {
    JobContext context(*this, cancelled);
    body(context);
  });
  connect(thread_, &QThread::finished, this, &JobRunner::Finish);
  emit started(files, bytes, cancellable);
  thread_->start();
  return true;
}

void JobRunner::Cancel() {
  if (Running() && cancellable_) *cancelled_ = true;
}

void JobRunner::Wait() {
  if (!Running()) return;
  // The worker may be waiting for an answer from this thread: keep answering.
  QEventLoop loop;
  connect(this, &JobRunner::finished, &loop, &QEventLoop::quit);
  loop.exec();
}

void JobRunner::Finish() {
  QThread* thread = std::exchange(thread_, nullptr);
  thread->deleteLater();
  const bool cancelled = *cancelled_;
  if (done_) std::exchange(done_, nullptr)();
  emit finished(cancelled);
}
