// The event handlers of frmFilter. Each one recomputes its part of
// DialogFilter from what the controls hold now.

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>

#include "engine/text_encoding.h"
#include "ui/filter/filter_dialog.h"

namespace {

double BoxNumber(const QLineEdit* box) { return pff::LeadingNumber(box->text().toStdString()); }

}  // namespace

// --- the check-box family: each switches one frame and its criterion ---

void FilterDialog::chkTimeEnabled_Click() {
  HideDateView();
  Option1_[0]->setChecked(true);
  const bool on = chkTimeEnabled_->isChecked();
  Frame1_->setEnabled(on);
  dialogFilter_.DateOn = on;
}

void FilterDialog::chkSizeEnabled_Click() {
  HideDateView();
  Option3_[1]->setChecked(true);
  const bool on = chkSizeEnabled_->isChecked();
  Frame4_->setEnabled(on);
  dialogFilter_.SizeOn = on;
}

void FilterDialog::chkContEnabled_Click() {
  HideDateView();
  const bool on = chkContEnabled_->isChecked();
  Frame2_->setEnabled(on);
  dialogFilter_.NameOn = on;
}

void FilterDialog::chkTypeEnabled_Click() {
  HideDateView();
  Option2_[0]->setChecked(true);
  const bool on = chkTypeEnabled_->isChecked();
  Frame3_->setEnabled(on);
  if (on) {
    // Ticking again after a clear finds the option already selected, so its
    // handler does not run; rebuild the criterion here instead.
    List1_Click();
  } else {
    // A cleared box must not leave a type criterion behind (an empty isolate
    // list would hide every entry).
    dialogFilter_.IsolateOn = false;
    dialogFilter_.ExcludeOn = false;
  }
}

// --- date ---

void FilterDialog::Option1_Click(int index) {
  HideDateView();
  // The spinners follow their boxes, so a row that is not chosen cannot change the range.
  txtFromDate_->setEnabled(index == 0);
  txtToDate_->setEnabled(index == 0);
  txtMonths_->setEnabled(index == 1);
  scrMonths_->setEnabled(index == 1);
  txtDays_->setEnabled(index == 2);
  scrDays_->setEnabled(index == 2);
  SetDateRange(pff::FixedDateRange(index, Today()));
}

void FilterDialog::txtFromDate_Click() { ShowDateView(true); }

void FilterDialog::txtToDate_Click() { ShowDateView(false); }

void FilterDialog::DateView_DateClick(const QDate& date) {
  HideDateView();
  QLineEdit* box = pickingFromDate_ ? txtFromDate_ : txtToDate_;
  if (timeDate_ != pff::DateStyle::Other) box->setText(FormatDate(date));
  const pff::CalendarDay day{date.year(), date.month(), date.day()};
  if (pickingFromDate_) {
    if (const auto from = pff::DayFileTime(day)) dialogFilter_.DateFrom = *from;
  } else {
    // The To day itself is listed: the range ends where the next day starts.
    if (const auto to = pff::DayFileTime(day, 1)) dialogFilter_.DateTo = *to;
  }
}

void FilterDialog::txtDays_Change() {
  const double days = BoxNumber(txtDays_);
  // Counts the spinner cannot show (".4", "9e9") are ignored.
  const auto count = pff::SpinnerCount(days);
  if (!count) return;
  scrDays_->setValue(*count);
  SetDateRange(pff::DaysRange(Today(), days));
}

void FilterDialog::txtMonths_Change() {
  const auto count = pff::SpinnerCount(BoxNumber(txtMonths_));
  if (!count) return;
  scrMonths_->setValue(*count);
  SetDateRange(pff::MonthsRange(Today(), *count));
}

void FilterDialog::scrDays_Change() { txtDays_->setText(QString::number(scrDays_->value())); }

void FilterDialog::scrMonths_Change() { txtMonths_->setText(QString::number(scrMonths_->value())); }

// --- size ---

void FilterDialog::Option3_Click(int) { RecomputeSize(); }

void FilterDialog::txtSize_Change() { RecomputeSize(); }

void FilterDialog::txtTolerance_Change() { RecomputeSize(); }

void FilterDialog::scrSize_Change() { StepBox(txtSize_, scrSize_); }

void FilterDialog::scrTolerance_Change() { StepBox(txtTolerance_, scrTolerance_); }

void FilterDialog::RecomputeSize() {
  static constexpr pff::SizeMode kModes[] = {pff::SizeMode::AtLeast, pff::SizeMode::About,
                                             pff::SizeMode::AtMost};
  const int index = Option3Group_->checkedId();
  const pff::SizeMode mode = index < 0 ? pff::SizeMode::None : kModes[index];
  // Sizes whose bytes do not fit 32 bits ("999e99") leave the bounds as they were.
  if (const auto range = pff::ComputeSizeRange(mode, BoxNumber(txtSize_), BoxNumber(txtTolerance_))) {
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

void FilterDialog::txtCont_Change() {
  dialogFilter_.NameText = pff::Utf8ToLatin1(txtCont_->text().toStdString());
}

void FilterDialog::Option2_Click(int) { List1_Click(); }

void FilterDialog::List1_Click() {
  const int mode = Option2Group_->checkedId();
  if (mode < 0) return;
  std::vector<std::string> types;
  for (int i = 0; i < List1_->count(); ++i)
    if (List1_->item(i)->isSelected()) types.push_back(List1_->item(i)->text().toStdString());

  const bool isolate = mode == 0;
  pff::SetTypeList(dialogFilter_, isolate ? pff::TypeList::Isolate : pff::TypeList::Exclude, types);
  // The dialog offers one mode at a time; the other keeps its list for a switch back.
  (isolate ? dialogFilter_.ExcludeOn : dialogFilter_.IsolateOn) = false;
}

// --- closing ---

void FilterDialog::cmdOK_Click() {
  HideDateView();
  dialogFilter_.Active = true;
  accept();
}

void FilterDialog::cmdCancel_Click() { reject(); }

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

void FilterDialog::HideDateView() { DateView_->hide(); }

void FilterDialog::ShowDateView(bool pickingFrom) {
  pickingFromDate_ = pickingFrom;
  DateView_->show();
  DateView_->raise();
  DateView_->setFocus();
}
