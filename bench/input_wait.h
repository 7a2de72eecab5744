#pragma once
// How long input waits while the window works: a probe event posted from
// another thread, as the window system delivers input, and the worst time
// until the window handled one.

#include <QEvent>
#include <QObject>
#include <algorithm>
#include <chrono>

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

}  // namespace bench
