// What the advanced filter dialog does when its controls change. Each handler
// recomputes its part of DialogFilter from what the controls hold now.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <algorithm>

#include "engine/text_encoding.h"
#include "ui/filter/caption_check_box.h"
#include "ui/filter/filter_dialog.h"

namespace {

double BoxNumber(const QLineEdit* box) { return pff::LeadingNumber(box->text().toStdString()); }

}  // namespace

// --- the check boxes: each switches one frame and its criterion ---

void FilterDialog::OnDateEnabledToggled() {
  HideCalendar();
  dateRows_->button(0)->setChecked(true);
  const bool on = dateEnabled_->isChecked();
  dateFrame_->setEnabled(on);
  dialogFilter_.DateOn = on;
}

void FilterDialog::OnSizeEnabledToggled() {
  HideCalendar();
  sizeModes_->button(1)->setChecked(true);
  const bool on = sizeEnabled_->isChecked();
  sizeFrame_->setEnabled(on);
  dialogFilter_.SizeOn = on;
}

void FilterDialog::OnNameEnabledToggled() {
  HideCalendar();
  const bool on = nameEnabled_->isChecked();
  nameFrame_->setEnabled(on);
  dialogFilter_.NameOn = on;
}

void FilterDialog::OnTypeEnabledToggled() {
  HideCalendar();
  typeModes_->button(0)->setChecked(true);
  const bool on = typeEnabled_->isChecked();
  typeFrame_->setEnabled(on);
  if (on) {
    // Ticking again after a clear finds the option already selected, so its
    // handler does not run; rebuild the criterion here instead.
    RebuildTypeCriterion();
  } else {
    // A cleared box must not leave a type criterion behind (an empty isolate
    // list would hide every entry).
    dialogFilter_.IsolateOn = false;
    dialogFilter_.ExcludeOn = false;
  }
}

// --- date ---

void FilterDialog::OnDateRowChosen(int row) {
  HideCalendar();
  // The spinners follow their boxes, so a row that is not chosen cannot change the range.
  fromDate_->setEnabled(row == 0);
  toDate_->setEnabled(row == 0);
  months_->setEnabled(row == 1);
  monthsSpinner_->setEnabled(row == 1);
  days_->setEnabled(row == 2);
  daysSpinner_->setEnabled(row == 2);
  SetDateRange(pff::FixedDateRange(row, Today()));
}

void FilterDialog::OnCalendarDatePicked(const QDate& date) {
  HideCalendar();
  QLineEdit* box = pickingFromDate_ ? fromDate_ : toDate_;
  if (timeDate_ != pff::DateStyle::Other) box->setText(FormatDate(date));
  const pff::CalendarDay day{date.year(), date.month(), date.day()};
  if (pickingFromDate_) {
    if (const auto from = pff::DayFileTime(day)) dialogFilter_.DateFrom = *from;
  } else {
    // The To day itself is listed: the range ends where the next day starts.
    if (const auto to = pff::DayFileTime(day, 1)) dialogFilter_.DateTo = *to;
  }
}

void FilterDialog::OnDaysEdited() {
  const double days = BoxNumber(days_);
  // Counts the spinner cannot show (".4", "9e9") are ignored.
  const auto count = pff::SpinnerCount(days);
  if (!count) return;
  daysSpinner_->setValue(*count);
  SetDateRange(pff::DaysRange(Today(), days));
}

void FilterDialog::OnMonthsEdited() {
  const auto count = pff::SpinnerCount(BoxNumber(months_));
  if (!count) return;
  monthsSpinner_->setValue(*count);
  SetDateRange(pff::MonthsRange(Today(), *count));
}

// --- size ---

void FilterDialog::RecomputeSizeBounds() {
  static constexpr pff::SizeMode kModes[] = {pff::SizeMode::AtLeast, pff::SizeMode::About,
                                             pff::SizeMode::AtMost};
  const int index = sizeModes_->checkedId();
  const pff::SizeMode mode = index < 0 ? pff::SizeMode::None : kModes[index];
  // Sizes whose bytes do not fit 32 bits ("999e99") leave the bounds as they were.
  if (const auto range = pff::ComputeSizeRange(mode, BoxNumber(sizeKb_), BoxNumber(toleranceKb_))) {
    dialogFilter_.SizeMin = range->Min;
    dialogFilter_.SizeMax = range->Max;
  }
}

void FilterDialog::StepBox(QLineEdit* box, QScrollBar* spinner) {
  if (const auto value = pff::SteppedValue(BoxNumber(box), spinner->value()))
    box->setText(QString::fromStdString(pff::NumberText(*value)));
  // Back to rest; this change runs the handler again with a step of 0.
  spinner->setValue(0);
}

// --- name and type ---

void FilterDialog::OnNameTextEdited() {
  dialogFilter_.NameText = pff::Utf8ToLatin1(nameContains_->text().toStdString());
}

void FilterDialog::RebuildTypeCriterion() {
  const int mode = typeModes_->checkedId();
  if (mode < 0) return;
  std::vector<std::string> types;
  for (int i = 0; i < types_->count(); ++i)
    if (types_->item(i)->isSelected()) types.push_back(types_->item(i)->text().toStdString());

  const bool isolate = mode == 0;
  pff::SetTypeList(dialogFilter_, isolate ? pff::TypeList::Isolate : pff::TypeList::Exclude, types);
  // The dialog offers one mode at a time; the other keeps its list for a switch back.
  (isolate ? dialogFilter_.ExcludeOn : dialogFilter_.IsolateOn) = false;
}

// --- closing ---

void FilterDialog::OnOkClicked() {
  HideCalendar();
  dialogFilter_.Active = true;
  accept();
}

// --- helpers ---

QString FilterDialog::FormatDate(const QDate& date) const {
  if (timeDate_ == pff::DateStyle::Good) return date.toString("dd/MM/yy");
  if (timeDate_ == pff::DateStyle::Bad) return date.toString("MM/dd/yy");
  return QString();
}

pff::CalendarDay FilterDialog::Today() const { return {today_.year(), today_.month(), today_.day()}; }

void FilterDialog::SetDateRange(const std::optional<pff::DateRange>& range) {
  if (!range) return;
  dialogFilter_.DateFrom = range->From;
  dialogFilter_.DateTo = range->To;
}

void FilterDialog::HideCalendar() { calendar_->hide(); }

void FilterDialog::ShowCalendar(bool pickingFrom) {
  pickingFromDate_ = pickingFrom;
  // Below the date boxes, centred under them and kept inside the dialog; nearly
  // as tall as it is wide, since its own size hint crowds the weeks together.
  QSize size = calendar_->sizeHint();
  size.setHeight(std::max(size.height(), size.width() * 7 / 8));
  const QRect boxes(fromDate_->mapTo(this, QPoint(0, 0)),
                    toDate_->mapTo(this, toDate_->rect().bottomRight()));
  const int left = std::clamp(boxes.center().x() - size.width() / 2, 0, std::max(0, width() - size.width()));
  const int top = std::min(boxes.bottom() + 1, std::max(0, height() - size.height()));
  calendar_->setGeometry(left, top, size.width(), size.height());
  calendar_->show();
  calendar_->raise();
  calendar_->setFocus();
}
