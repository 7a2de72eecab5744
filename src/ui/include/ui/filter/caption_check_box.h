#pragma once
// A check box drawn over the blanks that open a frame's caption. It belongs to
// the frame's parent rather than the frame, so that it stays clickable while it
// keeps the frame disabled, and it follows the frame wherever a layout puts it.

#include <QCheckBox>

class QGroupBox;

class CaptionCheckBox : public QCheckBox {
  Q_OBJECT

 public:
  CaptionCheckBox(QGroupBox* frame, QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FollowFrame();

  QGroupBox* frame_;
};
