#include "ui/filter/caption_check_box.h"

#include <QEvent>
#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionGroupBox>

CaptionCheckBox::CaptionCheckBox(QGroupBox* frame, QWidget* parent) : QCheckBox(parent), frame_(frame) {
  frame_->installEventFilter(this);
  FollowFrame();
}

bool CaptionCheckBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == frame_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) FollowFrame();
  return QCheckBox::eventFilter(watched, event);
}

void CaptionCheckBox::FollowFrame() {
  // Where the style draws the caption decides where the box goes: over its
  // opening blanks, centred on its line.
  QStyleOptionGroupBox option;
  option.initFrom(frame_);
  option.text = frame_->title();
  option.subControls = QStyle::SC_GroupBoxLabel;
  const QRect label =
      frame_->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame_);
  const QPoint centre = frame_->mapTo(parentWidget(), QPoint(label.x(), label.center().y()));
  const QSize size = sizeHint();
  setGeometry(centre.x(), centre.y() - size.height() / 2, size.width(), size.height());
  raise();
}
