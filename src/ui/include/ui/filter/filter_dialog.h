#pragma once
// frmFilter, "Set Advanced Filter": date, size, type and name criteria. Every
// handler recomputes DialogFilter from the current control values at once, so
// OK only has to hand the record over. Setting a control from code runs its
// change handler nested inside the running one (spinner to box and back),
// which the handlers tolerate because each reads the current texts.

#include <QDate>
#include <QDialog>
#include <QStringList>
#include <array>

#include "listing/filter.h"
#include "listing/filter_bounds.h"
#include "listing/format_value.h"

class QButtonGroup;
class QCalendarWidget;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;

class FilterDialog : public QDialog {
  Q_OBJECT

 public:
  /// filterListItems are the quick type list's items; item 0 (" Show All") is not
  /// offered. timeDate Other leaves the date boxes empty.
  FilterDialog(const QStringList& filterListItems, pff::DateStyle timeDate, const QDate& today,
               QWidget* parent = nullptr);
  ~FilterDialog() override;

  /// The record the controls have built so far (Active is set by OK).
  const pff::FilterSettings& DialogFilter() const { return dialogFilter_; }
  /// True while a calendar pick fills the From date.
  bool PickingFromDate() const { return pickingFromDate_; }

  // The handlers, named after the control and event they answer.
  void chkTimeEnabled_Click();
  void chkSizeEnabled_Click();
  void chkContEnabled_Click();
  void chkTypeEnabled_Click();
  void Option1_Click(int index);
  void Option2_Click(int index);
  void Option3_Click(int index);
  void txtFromDate_Click();
  void txtToDate_Click();
  void DateView_DateClick(const QDate& date);
  void txtDays_Change();
  void txtMonths_Change();
  void scrDays_Change();
  void scrMonths_Change();
  void txtSize_Change();
  void txtTolerance_Change();
  void scrSize_Change();
  void scrTolerance_Change();
  void txtCont_Change();
  void List1_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// Pixels per design pixel: large enough for the captions in this font, small
  /// enough for the dialog to fit its screen (shrinking the font when it must).
  double FittingScale();
  void Place(QWidget* widget, int left, int top, int width, int height) const;
  void BuildControls();
  void BuildDateFrame();
  void BuildSizeFrame();
  void BuildNameAndTypeFrames();
  void ConnectHandlers();
  void OrderTabStops();
  void LoadInitialState(const QStringList& filterListItems);

  QString FormatDate(const QDate& date) const;
  pff::CalendarDay Today() const;
  void SetDateRange(const std::optional<pff::DateRange>& range);
  void RecomputeSize();
  void StepBox(QLineEdit* box, QScrollBar* spinner);
  void HideDateView();
  void ShowDateView(bool pickingFrom);

  QMetaObject::Connection focusWatch_;
  double pixelsPerTwip_ = 1.0 / 15;
  pff::DateStyle timeDate_;
  QDate today_;
  pff::FilterSettings dialogFilter_;
  bool pickingFromDate_ = true;

  QGroupBox* Frame1_ = nullptr;
  QGroupBox* Frame2_ = nullptr;
  QGroupBox* Frame3_ = nullptr;
  QGroupBox* Frame4_ = nullptr;
  QCheckBox* chkTimeEnabled_ = nullptr;
  QCheckBox* chkContEnabled_ = nullptr;
  QCheckBox* chkSizeEnabled_ = nullptr;
  QCheckBox* chkTypeEnabled_ = nullptr;
  QCalendarWidget* DateView_ = nullptr;
  QPushButton* cmdOK_ = nullptr;
  QPushButton* cmdCancel_ = nullptr;

  std::array<QRadioButton*, 3> Option1_{};
  QButtonGroup* Option1Group_ = nullptr;
  QLineEdit* txtFromDate_ = nullptr;
  QLineEdit* txtToDate_ = nullptr;
  QLineEdit* txtMonths_ = nullptr;
  QScrollBar* scrMonths_ = nullptr;
  QLineEdit* txtDays_ = nullptr;
  QScrollBar* scrDays_ = nullptr;

  QLineEdit* txtCont_ = nullptr;

  std::array<QRadioButton*, 3> Option3_{};
  QButtonGroup* Option3Group_ = nullptr;
  QLineEdit* txtSize_ = nullptr;
  QScrollBar* scrSize_ = nullptr;
  QLineEdit* txtTolerance_ = nullptr;
  QScrollBar* scrTolerance_ = nullptr;

  std::array<QRadioButton*, 2> Option2_{};
  QButtonGroup* Option2Group_ = nullptr;
  QListWidget* List1_ = nullptr;
};
