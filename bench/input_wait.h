#pragma once
// How long input waits while the window works: a probe event posted from
// another thread, as the window system delivers input, and the worst time
// until the window handled one.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace bench {

using Clock = std::chrono::steady_clock;

class Probe : public QEvent {
 public:
  static inline const QEvent::Type kType = static_cast<QEvent::Type>(QEvent::registerEventType());
  Probe() : QEvent(kType), posted(Clock::now()) {}
  Clock::time_point posted;
};

class WaitMeter : public QObject {
 public:
  Clock::duration worst{};
  int handled = 0;
  bool event(QEvent* event) override {
    if (event->type() != Probe::kType) return QObject::event(event);
    worst = std::max(worst, Clock::now() - static_cast<Probe*>(event)->posted);
    ++handled;
    return true;
  }
};

/// Posts a probe to meter every 5 ms from its own thread, as the window
/// system delivers input, from construction until Stop.
class ProbePoster {
 public:
  explicit ProbePoster(WaitMeter& meter)
      : thread_([this, &meter] {
          while (running_) {
            QCoreApplication::postEvent(&meter, new Probe);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
          }
        }) {}
  ~ProbePoster() { Stop(); }
  void Stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> running_{true};
  std::thread thread_;
};

}  // namespace bench
