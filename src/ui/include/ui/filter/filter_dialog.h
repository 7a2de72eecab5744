#pragma once
// "Set Advanced Filter": date, size, type and name criteria. Every handler
// recomputes DialogFilter from the current control values at once, so OK only
// has to hand the record over. Setting a control from code runs its change
// handler nested inside the running one (spinner to box and back), which the
// handlers tolerate because each reads the current texts.

#include <QDate>
#include <QDialog>
#include <QStringList>
#include <optional>

#include "listing/filter.h"
#include "listing/filter_bounds.h"
#include "listing/format_value.h"

class CaptionCheckBox;
class QButtonGroup;
class QCalendarWidget;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QGroupBox* BuildDateFrame();
  QGroupBox* BuildNameFrame();
  QGroupBox* BuildSizeFrame();
  QGroupBox* BuildTypeFrame();
  void BuildCalendar();
  void BuildLayout();
  void OrderTabStops();
  /// Fixes the dialog at the size its controls need, shrinking its font first
  /// when that size does not fit the screen.
  void SizeToFitScreen();
  void SpaceForFont();
  void LoadInitialState(const QStringList& filterListItems);
  void ConnectHandlers();

  // Each check box switches its frame and its criterion.
  void OnDateEnabledToggled();
  void OnNameEnabledToggled();
  void OnSizeEnabledToggled();
  void OnTypeEnabledToggled();

  void OnDateRowChosen(int row);
  void OnCalendarDatePicked(const QDate& date);
  void OnDaysEdited();
  void OnMonthsEdited();
  void RecomputeSizeBounds();
  void StepBox(QLineEdit* box, QScrollBar* spinner);
  void OnNameTextEdited();
  void RebuildTypeCriterion();
  void OnOkClicked();

  QString FormatDate(const QDate& date) const;
  pff::CalendarDay Today() const;
  void SetDateRange(const std::optional<pff::DateRange>& range);
  void HideCalendar();
  void ShowCalendar(bool pickingFrom);

  QMetaObject::Connection focusWatch_;
  pff::DateStyle timeDate_;
  QDate today_;
  pff::FilterSettings dialogFilter_;
  bool pickingFromDate_ = true;

  QGroupBox* dateFrame_ = nullptr;
  QGroupBox* nameFrame_ = nullptr;
  QGroupBox* sizeFrame_ = nullptr;
  QGroupBox* typeFrame_ = nullptr;
  CaptionCheckBox* dateEnabled_ = nullptr;
  CaptionCheckBox* nameEnabled_ = nullptr;
  CaptionCheckBox* sizeEnabled_ = nullptr;
  CaptionCheckBox* typeEnabled_ = nullptr;
  QCalendarWidget* calendar_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* okButton_ = nullptr;

  // Button ids are the rows "between", months, days.
  QButtonGroup* dateRows_ = nullptr;
  QLineEdit* fromDate_ = nullptr;
  QLineEdit* toDate_ = nullptr;
  QLineEdit* months_ = nullptr;
  QScrollBar* monthsSpinner_ = nullptr;
  QLineEdit* days_ = nullptr;
  QScrollBar* daysSpinner_ = nullptr;

  QLineEdit* nameContains_ = nullptr;

  // Button ids are the modes "Is At Least", "Is About", "Is At Most".
  QButtonGroup* sizeModes_ = nullptr;
  QLineEdit* sizeKb_ = nullptr;
  QScrollBar* sizeSpinner_ = nullptr;
  QLineEdit* toleranceKb_ = nullptr;
  QScrollBar* toleranceSpinner_ = nullptr;

  // Button ids are "Isolate File Types" and "Exclude File Types".
  QButtonGroup* typeModes_ = nullptr;
  QListWidget* types_ = nullptr;
};
