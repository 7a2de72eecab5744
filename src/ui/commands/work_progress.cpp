#include "ui/commands/work_progress.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include "ui/window/status_texts.h"

namespace {
// Well under the 100 ms after which a user feels the window hang.
int yieldInterval = 15;
}  // namespace

void WorkProgress::SetYieldInterval(int milliseconds) { yieldInterval = milliseconds; }

WorkProgress::WorkProgress(QProgressBar* bar, QPushButton* cancel, QObject* parent)
    : QObject(parent), bar_(bar), cancel_(cancel) {
  connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
}

void WorkProgress::Start(int total, bool cancellable) {
  running_ = true;
  cancelled_ = false;
  cancellable_ = cancellable;
  done_ = 0;
  total_ = total;
  bar_->setRange(0, total);
  bar_->setValue(0);
  bar_->setTextVisible(true);
  ShowText();
  cancel_->setVisible(cancellable);
  // Keys go back to the window once the dialog that asked for the work is
  // gone, so that Escape reaches it; nor may that dialog stay painted over the grid.
  bar_->window()->activateWindow();
  QCoreApplication::processEvents();
  sinceYield_.start();
}

bool WorkProgress::Step() {
  ++done_;
  bar_->setValue(done_);
  if (sinceYield_.elapsed() >= yieldInterval) {
    ShowText();
    QCoreApplication::processEvents();
    sinceYield_.restart();
  }
  return !cancelled_;
}

void WorkProgress::Finish() {
  running_ = false;
  bar_->setTextVisible(false);
  bar_->setValue(0);
  cancel_->setVisible(false);
}

void WorkProgress::ShowPending(int total) {
  bar_->setRange(0, total);
  bar_->setValue(0);
}

QString WorkProgress::CancelledNote() const {
  return cancelled_ ? "Cancelled after " + Grouped(done_) + " of " + Grouped(total_) + ": " : QString();
}

void WorkProgress::ShowText() { bar_->setFormat(Grouped(done_) + " of " + Grouped(total_)); }
