// The four frames of the advanced filter dialog and the controls inside them.

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QValidator>

#include "ui/filter/filter_dialog.h"

namespace {

// A box's character limit for typing only: texts set by the handlers (a size
// stepped from 999999 to 1000000) are kept whole, whereas QLineEdit::setMaxLength
// would cut them.
class TypedLengthValidator : public QValidator {
 public:
  TypedLengthValidator(int maxLength, QObject* parent) : QValidator(parent), maxLength_(maxLength) {}
  State validate(QString& input, int&) const override {
    return input.size() <= maxLength_ ? Acceptable : Invalid;
  }

 private:
  int maxLength_;
};

QLineEdit* MakeBox(const char* name, const QString& text) {
  auto* box = new QLineEdit(text);
  box->setObjectName(name);
  return box;
}

// A box as wide as sample needs and no wider, in whatever font the dialog
// ends up with, so that its row keeps its proportions.
class NarrowBox : public QLineEdit {
 public:
  NarrowBox(const QString& text, const QString& sample) : QLineEdit(text), sample_(sample) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  }
  QSize sizeHint() const override {
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(sample_) + metrics.height(), QLineEdit::sizeHint().height()};
  }

 private:
  QString sample_;
};

QLineEdit* MakeNarrowBox(const char* name, const QString& text, const QString& sample) {
  auto* box = new NarrowBox(text, sample);
  box->setObjectName(name);
  return box;
}

QScrollBar* MakeSpinner(const char* name, int minimum, int maximum, int value) {
  // A vertical scroll bar keeps the spinner's direction: the upper arrow moves
  // towards the minimum.
  auto* spinner = new QScrollBar(Qt::Vertical);
  spinner->setObjectName(name);
  spinner->setRange(minimum, maximum);
  spinner->setSingleStep(1);
  spinner->setPageStep(1);
  spinner->setValue(value);
  // As tall as the box beside it, however short that leaves the groove.
  spinner->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
  return spinner;
}

QLabel* MakeLabel(const char* text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(text);
  label->setAlignment(alignment);
  return label;
}

// A box with its spinner right beside it, as one piece of a row.
QHBoxLayout* Joined(QLineEdit* box, QScrollBar* spinner) {
  auto* pair = new QHBoxLayout;
  pair->setSpacing(0);
  pair->addWidget(box);
  pair->addWidget(spinner);
  return pair;
}

// An option of group at the end of row; its id in the group is its place in it.
void AddOption(QButtonGroup* group, QBoxLayout* row, const char* name, const char* caption, int stretch = 0) {
  auto* option = new QRadioButton(caption);
  option->setObjectName(name);
  group->addButton(option, static_cast<int>(group->buttons().size()));
  row->addWidget(option, stretch);
}

// A row of options spread evenly over its width, as one group.
QButtonGroup* OptionRow(QObject* owner, QBoxLayout* row,
                        std::initializer_list<std::pair<const char*, const char*>> options) {
  auto* group = new QButtonGroup(owner);
  for (const auto& [name, caption] : options) AddOption(group, row, name, caption, 1);
  return group;
}

}  // namespace

QGroupBox* FilterDialog::BuildDateFrame() {
  auto* frame = new QGroupBox("      Date Filter");
  frame->setObjectName("dateFrame");
  auto* rows = new QVBoxLayout(frame);
  rows->addWidget(MakeLabel("Show File(s) Modified"));

  fromDate_ = MakeNarrowBox("fromDate", QString(), "00/00/00");
  toDate_ = MakeNarrowBox("toDate", QString(), "00/00/00");
  // The dates are chosen on the calendar; a typed date would show a range the filter does not use.
  for (QLineEdit* box : {fromDate_, toDate_}) {
    box->setReadOnly(true);
    box->installEventFilter(this);
  }
  months_ = MakeNarrowBox("months", "1", "0000");
  months_->setMaxLength(3);
  monthsSpinner_ = MakeSpinner("monthsSpinner", 1, 999, 1);
  days_ = MakeNarrowBox("days", "1", "0000");
  days_->setMaxLength(3);
  daysSpinner_ = MakeSpinner("daysSpinner", 1, 999, 1);

  dateRows_ = new QButtonGroup(this);
  auto* between = new QHBoxLayout;
  AddOption(dateRows_, between, "dateBetween", "between");
  between->addWidget(fromDate_);
  between->addWidget(MakeLabel("and", Qt::AlignCenter), 1);
  between->addWidget(toDate_);
  auto* previousMonths = new QHBoxLayout;
  AddOption(dateRows_, previousMonths, "dateMonths", "during the previous");
  previousMonths->addLayout(Joined(months_, monthsSpinner_));
  previousMonths->addWidget(MakeLabel("month(s)"), 1);
  auto* previousDays = new QHBoxLayout;
  AddOption(dateRows_, previousDays, "dateDays", "during the previous");
  previousDays->addLayout(Joined(days_, daysSpinner_));
  previousDays->addWidget(MakeLabel("day(s)"), 1);
  for (QHBoxLayout* row : {between, previousMonths, previousDays}) rows->addLayout(row);
  return frame;
}

QGroupBox* FilterDialog::BuildNameFrame() {
  auto* frame = new QGroupBox("      Name Text Filter");
  frame->setObjectName("nameFrame");
  auto* rows = new QVBoxLayout(frame);
  rows->addWidget(MakeLabel("Show File(s) If Name Contains text:"));
  nameContains_ = MakeBox("nameContains", QString());
  // An entry name holds 16 characters.
  nameContains_->setMaxLength(16);
  rows->addWidget(nameContains_);
  return frame;
}

QGroupBox* FilterDialog::BuildSizeFrame() {
  auto* frame = new QGroupBox("      File Size Filter");
  frame->setObjectName("sizeFrame");
  auto* modes = new QHBoxLayout;
  sizeModes_ = OptionRow(
      this, modes, {{"sizeAtLeast", "Is At Least"}, {"sizeAbout", "Is About"}, {"sizeAtMost", "Is At Most"}});

  sizeKb_ = MakeBox("sizeKb", "100");
  sizeKb_->setValidator(new TypedLengthValidator(6, sizeKb_));
  sizeSpinner_ = MakeSpinner("sizeSpinner", -1, 1, 0);
  toleranceKb_ = MakeBox("toleranceKb", "0");
  toleranceKb_->setValidator(new TypedLengthValidator(6, toleranceKb_));
  toleranceSpinner_ = MakeSpinner("toleranceSpinner", -1, 1, 0);

  auto* amounts = new QGridLayout;
  const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
  amounts->addWidget(MakeLabel("Size:", right), 0, 0);
  amounts->addLayout(Joined(sizeKb_, sizeSpinner_), 0, 1);
  amounts->addWidget(MakeLabel("KB"), 0, 2);
  amounts->addWidget(MakeLabel("Tolerance:", right), 1, 0);
  amounts->addLayout(Joined(toleranceKb_, toleranceSpinner_), 1, 1);
  amounts->addWidget(MakeLabel("KB"), 1, 2);
  amounts->setColumnStretch(0, 1);

  auto* rows = new QVBoxLayout(frame);
  rows->addLayout(modes);
  rows->addStretch();
  rows->addLayout(amounts);
  rows->addStretch();
  return frame;
}

QGroupBox* FilterDialog::BuildTypeFrame() {
  auto* frame = new QGroupBox("      File Type Filter");
  frame->setObjectName("typeFrame");
  auto* modes = new QHBoxLayout;
  typeModes_ = OptionRow(this, modes,
                         {{"isolateTypes", "Isolate File Types"}, {"excludeTypes", "Exclude File Types"}});
  types_ = new QListWidget;
  types_->setObjectName("types");
  types_->setSelectionMode(QAbstractItemView::MultiSelection);
  // The list fills what the options and the left column leave; it sets no size of its own.
  types_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  auto* rows = new QVBoxLayout(frame);
  rows->addLayout(modes);
  rows->addWidget(types_, 1);
  return frame;
}
