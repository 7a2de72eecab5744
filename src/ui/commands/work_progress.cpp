#include "ui/commands/work_progress.h"

#include <QProgressBar>
#include <QPushButton>

#include "ui/window/status_texts.h"

namespace {
// The bar's steps when it follows bytes: fine enough for a 2 GiB file.
constexpr int kByteSteps = 10000;
}  // namespace

WorkProgress::WorkProgress(QProgressBar* bar, QPushButton* cancel, QObject* parent)
    : QObject(parent), bar_(bar), cancel_(cancel) {
  connect(cancel_, &QPushButton::clicked, this, &WorkProgress::cancelClicked);
}

void WorkProgress::Start(int files, int64_t bytes, bool cancellable) {
  files_ = files;
  bytes_ = bytes;
  bar_->setRange(0, bytes_ > 0 ? kByteSteps : files_);
  bar_->setValue(0);
  bar_->setTextVisible(true);
  bar_->setFormat("0 of " + Grouped(files_));
  cancel_->setVisible(cancellable);
}

void WorkProgress::SetTotalBytes(int64_t bytes) {
  bytes_ = bytes;
  bar_->setRange(0, bytes_ > 0 ? kByteSteps : files_);
}

void WorkProgress::Show(int files, int64_t bytes) {
  bar_->setValue(bytes_ > 0 ? static_cast<int>(static_cast<double>(bytes) / bytes_ * kByteSteps) : files);
  bar_->setFormat(Grouped(files) + " of " + Grouped(files_));
}

void WorkProgress::Finish() {
  bar_->setTextVisible(false);
  bar_->setValue(0);
  cancel_->setVisible(false);
}

QString CancelledNote(int done, int total) {
  return "Cancelled after " + Grouped(done) + " of " + Grouped(total) + ": ";
}
