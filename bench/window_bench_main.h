#pragma once
// The main of the benchmarks that need the window: offscreen, and a settings
// store of their own, so that the user's options neither change what is
// measured nor get touched.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

namespace bench {

/// Runs the event loop (the window answering, its jobs ending) until done() holds.
inline void WaitUntil(const std::function<bool()>& done) {
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(1);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  poll.start();
  if (!done()) loop.exec();
}

/// Runs the event loop for milliseconds.
inline void RunEventsFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

/// Runs the registered benchmarks inside a QApplication; atEnd runs while it
/// still lives (windows made by the benchmarks must die before it).
inline int RunWithApplication(int& argc, char** argv, const std::function<void()>& atEnd = {}) {
  QTemporaryDir home;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (atEnd) atEnd();
  return 0;
}

}  // namespace bench
