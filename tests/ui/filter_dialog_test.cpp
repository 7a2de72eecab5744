// frmFilter driven through its controls, with a fixed "today" (Sunday 15 March 2026).

#include "ui/filter_dialog.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "engine/file_time.h"

namespace {

const QDate kToday(2026, 3, 15);
const QStringList kTypes{" Show All", "BMP", "PCX", "TXT"};

int32_t FT(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  return *pff::FileTimeFromWallClock(pff::WallClock{y, m, d, h, mi, s});
}

template <typename T>
T* Find(const QWidget& dialog, const QString& name) {
  T* widget = dialog.findChild<T*>(name);
  if (!widget) qFatal("no control %s", qPrintable(name));
  return widget;
}

// Replaces a box's text the way a user does: select all, type.
void Type(QLineEdit* box, const QString& text) {
  box->selectAll();
  if (text.isEmpty())
    QTest::keyClick(box, Qt::Key_Backspace);
  else
    QTest::keyClicks(box, text);
}

}  // namespace

class FilterDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void startsReset();
  void checkBoxesSwitchFrameOptionAndFlag();
  void typeCriterionFollowsItsCheckBox();
  void dateRowsSetFixedRangesAndEnableTheirBoxes();
  void daysBoxAndSpinnerNest();
  void monthsCountBackAcrossTheYear();
  void calendarFillsFromAndToDates();
  void sizeBoundsPerModeWithTolerance();
  void sizeSpinnersStepTheBoxes();
  void typeListInBothModes();
  void nameTextIsCopied();
  void unusableNumbersAreIgnored();
  void okActivatesAndCancelRejects();
};

void FilterDialogTest::startsReset() {
  FilterDialog dialog(kTypes, "Good", kToday);
  QCOMPARE(dialog.objectName(), QString("frmFilter"));
  QCOMPARE(dialog.windowTitle(), QString("Set Advanced Filter"));
  const auto& f = dialog.DialogFilter();
  QVERIFY(!f.Active && !f.DateOn && !f.SizeOn && !f.NameOn && !f.IsolateOn && !f.ExcludeOn);
  QVERIFY(dialog.PickingFromDate());
  for (const QGroupBox* frame : dialog.findChildren<QGroupBox*>()) QVERIFY(!frame->isEnabled());
  for (const QCheckBox* box : dialog.findChildren<QCheckBox*>()) QVERIFY(!box->isChecked());
  for (const QRadioButton* option : dialog.findChildren<QRadioButton*>()) QVERIFY(!option->isChecked());
  QVERIFY(Find<QCalendarWidget>(dialog, "DateView")->isHidden());
  // " Show All" is no type.
  auto* list = Find<QListWidget>(dialog, "List1");
  QCOMPARE(list->count(), 3);
  QCOMPARE(list->item(0)->text(), QString("BMP"));

  const QStringList expected{"Good", "05/03/26", "15/03/26", "Bad", "03/05/26", "03/15/26", "good", "", ""};
  for (int i = 0; i < expected.size(); i += 3) {
    FilterDialog styled(kTypes, expected[i], kToday);
    QCOMPARE(Find<QLineEdit>(styled, "txtFromDate")->text(), expected[i + 1]);
    QCOMPARE(Find<QLineEdit>(styled, "txtToDate")->text(), expected[i + 2]);
  }
}

void FilterDialogTest::checkBoxesSwitchFrameOptionAndFlag() {
  FilterDialog dialog(kTypes, "Good", kToday);
  const auto& f = dialog.DialogFilter();

  Find<QCheckBox>(dialog, "chkTimeEnabled")->click();
  QVERIFY(Find<QGroupBox>(dialog, "Frame1")->isEnabled());
  QVERIFY(Find<QRadioButton>(dialog, "Option1(0)")->isChecked());
  QVERIFY(f.DateOn);
  QCOMPARE(f.DateFrom, FT(2026, 3, 5));
  QCOMPARE(f.DateTo, FT(2026, 3, 16));

  Find<QCheckBox>(dialog, "chkSizeEnabled")->click();
  QVERIFY(Find<QGroupBox>(dialog, "Frame4")->isEnabled());
  QVERIFY(Find<QRadioButton>(dialog, "Option3(1)")->isChecked());
  QVERIFY(f.SizeOn);
  QCOMPARE(f.SizeMin, 102400);
  QCOMPARE(f.SizeMax, 102400);

  Find<QCheckBox>(dialog, "chkContEnabled")->click();
  QVERIFY(Find<QGroupBox>(dialog, "Frame2")->isEnabled());
  QVERIFY(f.NameOn);

  // Clearing "Is At Most" selects "Is About" again and recomputes for it.
  Find<QRadioButton>(dialog, "Option3(2)")->click();
  QCOMPARE(f.SizeMin, 0);
  Find<QCheckBox>(dialog, "chkSizeEnabled")->click();
  QVERIFY(Find<QRadioButton>(dialog, "Option3(1)")->isChecked());
  QCOMPARE(f.SizeMin, 102400);
  QVERIFY(!f.SizeOn);
  QVERIFY(!Find<QGroupBox>(dialog, "Frame4")->isEnabled());

  Find<QCheckBox>(dialog, "chkTimeEnabled")->click();
  Find<QCheckBox>(dialog, "chkContEnabled")->click();
  QVERIFY(!f.DateOn && !f.NameOn);
  QVERIFY(!Find<QGroupBox>(dialog, "Frame1")->isEnabled());
}

void FilterDialogTest::typeCriterionFollowsItsCheckBox() {
  FilterDialog dialog(kTypes, "Good", kToday);
  const auto& f = dialog.DialogFilter();
  auto* check = Find<QCheckBox>(dialog, "chkTypeEnabled");

  check->click();
  QVERIFY(Find<QRadioButton>(dialog, "Option2(0)")->isChecked());
  QVERIFY(f.IsolateOn && !f.ExcludeOn);
  QCOMPARE(f.IsolateCount, 0);  // nothing selected: isolate hides everything

  Find<QRadioButton>(dialog, "Option2(1)")->click();
  QVERIFY(f.ExcludeOn && !f.IsolateOn);
  check->click();  // clearing selects "Isolate" again but leaves no criterion on
  QVERIFY(Find<QRadioButton>(dialog, "Option2(0)")->isChecked());
  QVERIFY(!f.IsolateOn && !f.ExcludeOn);
  QVERIFY(!Find<QGroupBox>(dialog, "Frame3")->isEnabled());

  check->click();  // ticked again with "Isolate" already selected
  QVERIFY(f.IsolateOn && !f.ExcludeOn);
}

void FilterDialogTest::dateRowsSetFixedRangesAndEnableTheirBoxes() {
  FilterDialog dialog(kTypes, "Good", kToday);
  const auto& f = dialog.DialogFilter();
  Find<QCheckBox>(dialog, "chkTimeEnabled")->click();

  struct Row {
    const char* option;
    int32_t from;
    QStringList enabled;
  };
  const QStringList all{"txtFromDate", "txtToDate", "txtMonths", "scrMonths", "txtDays", "scrDays"};
  for (const Row& row : {Row{"Option1(1)", FT(2026, 3, 1), {"txtMonths", "scrMonths"}},
                         Row{"Option1(2)", FT(2026, 3, 14), {"txtDays", "scrDays"}},
                         Row{"Option1(0)", FT(2026, 3, 5), {"txtFromDate", "txtToDate"}}}) {
    Find<QRadioButton>(dialog, row.option)->click();
    QCOMPARE(f.DateFrom, row.from);
    QCOMPARE(f.DateTo, FT(2026, 3, 16));
    for (const QString& name : all)
      QVERIFY2(Find<QWidget>(dialog, name)->isEnabled() == row.enabled.contains(name), qPrintable(name));
  }
}

void FilterDialogTest::daysBoxAndSpinnerNest() {
  FilterDialog dialog(kTypes, "Good", kToday);
  const auto& f = dialog.DialogFilter();
  Find<QCheckBox>(dialog, "chkTimeEnabled")->click();
  Find<QRadioButton>(dialog, "Option1(2)")->click();
  auto* box = Find<QLineEdit>(dialog, "txtDays");
  auto* spinner = Find<QScrollBar>(dialog, "scrDays");

  Type(box, "5");
  QCOMPARE(spinner->value(), 5);
  QCOMPARE(f.DateFrom, FT(2026, 3, 10));
  QCOMPARE(f.DateTo, FT(2026, 3, 16));

  // The lower arrow moves towards the maximum; the box follows the spinner.
  spinner->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCOMPARE(box->text(), QString("6"));
  QCOMPARE(f.DateFrom, FT(2026, 3, 9));
  spinner->triggerAction(QAbstractSlider::SliderSingleStepSub);
  QCOMPARE(box->text(), QString("5"));

  // A fraction moves the bound into the day. When the rounded count changes
  // the spinner, the spinner rewrites the box inside the running handler,
  // which still finishes with the value it read (a paste of "2.5").
  box->setText("2.5");
  QCOMPARE(spinner->value(), 2);
  QCOMPARE(box->text(), QString("2"));
  QCOMPARE(f.DateFrom, FT(2026, 3, 12, 12));
  // With the spinner already at the rounded count the typed text stays.
  Type(box, "2.5");
  QCOMPARE(box->text(), QString("2.5"));
  QCOMPARE(f.DateFrom, FT(2026, 3, 12, 12));
}

void FilterDialogTest::monthsCountBackAcrossTheYear() {
  struct Case {
    const char* typed;
    int year, month;
  };
  for (const Case& c : {Case{"1", 2026, 2}, Case{"3", 2025, 12}, Case{"14", 2025, 1}, Case{"2.5", 2026, 1}}) {
    FilterDialog dialog(kTypes, "Good", kToday);
    Find<QCheckBox>(dialog, "chkTimeEnabled")->click();
    Find<QRadioButton>(dialog, "Option1(1)")->click();
    Type(Find<QLineEdit>(dialog, "txtMonths"), c.typed);
    QCOMPARE(dialog.DialogFilter().DateFrom, FT(c.year, c.month, 1));
    // Files changed today stay listed: the range ends where tomorrow starts.
    QCOMPARE(dialog.DialogFilter().DateTo, FT(2026, 3, 16));
  }
}

void FilterDialogTest::calendarFillsFromAndToDates() {
  for (const QString style : {"Good", "Bad", "none"}) {
    FilterDialog dialog(kTypes, style, kToday);
    dialog.show();
    const auto& f = dialog.DialogFilter();
    auto* calendar = Find<QCalendarWidget>(dialog, "DateView");
    auto* from = Find<QLineEdit>(dialog, "txtFromDate");
    auto* to = Find<QLineEdit>(dialog, "txtToDate");
    Find<QCheckBox>(dialog, "chkTimeEnabled")->click();

    QTest::mouseClick(to, Qt::LeftButton);
    QVERIFY(calendar->isVisible());
    QVERIFY(!dialog.PickingFromDate());
    emit calendar->clicked(QDate(2026, 12, 4));
    QVERIFY(calendar->isHidden());
    QTest::mouseClick(from, Qt::LeftButton);
    QVERIFY(dialog.PickingFromDate());
    emit calendar->clicked(QDate(2026, 12, 1));
    QVERIFY(calendar->isHidden());

    QCOMPARE(f.DateFrom, FT(2026, 12, 1));
    // The whole To day is listed.
    QCOMPARE(f.DateTo, FT(2026, 12, 5));
    const QString expectFrom = style == "Good" ? "01/12/26" : style == "Bad" ? "12/01/26" : "";
    const QString expectTo = style == "Good" ? "04/12/26" : style == "Bad" ? "12/04/26" : "";
    QCOMPARE(from->text(), expectFrom);
    QCOMPARE(to->text(), expectTo);
    QVERIFY(from->isReadOnly());

    // Any other check box hides the calendar.
    QTest::mouseClick(from, Qt::LeftButton);
    QVERIFY(!calendar->isHidden());
    Find<QCheckBox>(dialog, "chkContEnabled")->click();
    QVERIFY(calendar->isHidden());
  }
}

void FilterDialogTest::sizeBoundsPerModeWithTolerance() {
  struct Case {
    const char *option, *size, *tolerance;
    int min, max;
  };
  for (const Case& c :
       {Case{"Option3(1)", "100", "0", 102400, 102400}, Case{"Option3(1)", "100", "2", 100352, 104448},
        Case{"Option3(0)", "100", "2", 100352, 2147483647}, Case{"Option3(2)", "100", "2", 0, 104448},
        Case{"Option3(1)", "1.5", "0.25", 1280, 1792}, Case{"Option3(1)", "1", "x", 1024, 1024},
        // bytes rounded halves to even: 2.5 and 3.5
        Case{"Option3(1)", ".00244140625", "0", 2, 2}, Case{"Option3(1)", ".00341796875", "0", 4, 4},
        // a size of 0 leaves the bounds "Is About" gave
        Case{"Option3(0)", "0", "5", 102400, 102400}}) {
    FilterDialog dialog(kTypes, "Good", kToday);
    Find<QCheckBox>(dialog, "chkSizeEnabled")->click();
    Find<QLineEdit>(dialog, "txtSize")->setText(c.size);
    Find<QLineEdit>(dialog, "txtTolerance")->setText(c.tolerance);
    Find<QRadioButton>(dialog, c.option)->click();
    QCOMPARE(dialog.DialogFilter().SizeMin, c.min);
    QCOMPARE(dialog.DialogFilter().SizeMax, c.max);
  }
}

void FilterDialogTest::sizeSpinnersStepTheBoxes() {
  FilterDialog dialog(kTypes, "Good", kToday);
  const auto& f = dialog.DialogFilter();
  Find<QCheckBox>(dialog, "chkSizeEnabled")->click();
  auto* size = Find<QLineEdit>(dialog, "txtSize");
  auto* sizeSpin = Find<QScrollBar>(dialog, "scrSize");
  auto* tolerance = Find<QLineEdit>(dialog, "txtTolerance");
  auto* toleranceSpin = Find<QScrollBar>(dialog, "scrTolerance");

  sizeSpin->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCOMPARE(size->text(), QString("101"));
  QCOMPARE(sizeSpin->value(), 0);
  QCOMPARE(f.SizeMin, 101 * 1024);
  sizeSpin->triggerAction(QAbstractSlider::SliderSingleStepSub);
  sizeSpin->triggerAction(QAbstractSlider::SliderSingleStepSub);
  QCOMPARE(size->text(), QString("99"));
  QCOMPARE(sizeSpin->value(), 0);

  Type(size, "1.5");
  sizeSpin->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCOMPARE(size->text(), QString("2.5"));
  Type(size, "1");
  sizeSpin->triggerAction(QAbstractSlider::SliderSingleStepSub);
  QCOMPARE(size->text(), QString("1"));  // never stepped to 0

  // A stepped text is kept whole, past the six characters that can be typed.
  Type(size, "9999999");
  QCOMPARE(size->text(), QString("999999"));
  sizeSpin->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCOMPARE(size->text(), QString("1000000"));
  QCOMPARE(f.SizeMax, 1024000000);

  Type(tolerance, "");
  toleranceSpin->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCOMPARE(tolerance->text(), QString("1"));
  toleranceSpin->triggerAction(QAbstractSlider::SliderSingleStepSub);
  QCOMPARE(tolerance->text(), QString("1"));
  QCOMPARE(toleranceSpin->value(), 0);
  Type(tolerance, "0");  // 0 can be typed
  QCOMPARE(f.SizeMin, 1024000000);
}

void FilterDialogTest::typeListInBothModes() {
  FilterDialog dialog(kTypes, "Good", kToday);
  const auto& f = dialog.DialogFilter();
  auto* list = Find<QListWidget>(dialog, "List1");

  list->item(1)->setSelected(true);  // no option selected yet: nothing happens
  QVERIFY(!f.IsolateOn && f.IsolateCount == 0);

  Find<QCheckBox>(dialog, "chkTypeEnabled")->click();
  QCOMPARE(f.IsolateCount, 1);
  list->item(0)->setSelected(true);
  QCOMPARE(f.IsolateCount, 2);
  QCOMPARE(f.IsolateList, (std::vector<std::string>{"BMP", "PCX"}));

  Find<QRadioButton>(dialog, "Option2(1)")->click();
  QVERIFY(f.ExcludeOn && !f.IsolateOn);
  QCOMPARE(f.ExcludeCount, 2);
  QCOMPARE(f.ExcludeList, (std::vector<std::string>{"BMP", "PCX"}));
  QCOMPARE(f.IsolateCount, 2);  // the mode not chosen keeps its list

  list->clearSelection();
  QCOMPARE(f.ExcludeCount, 0);
  QVERIFY(f.ExcludeOn);
}

void FilterDialogTest::nameTextIsCopied() {
  FilterDialog dialog(kTypes, "Good", kToday);
  Find<QCheckBox>(dialog, "chkContEnabled")->click();
  auto* box = Find<QLineEdit>(dialog, "txtCont");
  Type(box, "caf");
  box->insert(QString::fromUtf8("\u00e9"));  // keyClicks takes ASCII only
  QTest::keyClicks(box, " and more than sixteen");
  QCOMPARE(box->text().size(), 16);
  QCOMPARE(dialog.DialogFilter().NameText, std::string("caf\xe9 and more th"));
}

void FilterDialogTest::unusableNumbersAreIgnored() {
  FilterDialog dialog(kTypes, "Good", kToday);
  const auto& f = dialog.DialogFilter();
  Find<QCheckBox>(dialog, "chkTimeEnabled")->click();
  Find<QCheckBox>(dialog, "chkSizeEnabled")->click();

  for (const char* row : {"Option1(2)", "Option1(1)"}) {
    Find<QRadioButton>(dialog, row)->click();
    const int32_t from = f.DateFrom;
    for (const char* text : {".4", "9e9", "1e999", "-3", "abc"}) {
      // setText as well as typing: the handlers must also survive texts longer than a user can type.
      for (const char* box : {"txtDays", "txtMonths"}) {
        Find<QLineEdit>(dialog, box)->setText(text);
        QCOMPARE(f.DateFrom, from);
        QCOMPARE(Find<QScrollBar>(dialog, box[3] == 'D' ? "scrDays" : "scrMonths")->value(), 1);
      }
    }
  }

  auto* size = Find<QLineEdit>(dialog, "txtSize");
  auto* tolerance = Find<QLineEdit>(dialog, "txtTolerance");
  for (const char* text : {"999e99", "1e999", "3000000"}) {
    size->setText(text);
    QCOMPARE(f.SizeMin, 102400);
    QCOMPARE(f.SizeMax, 102400);
  }
  Find<QScrollBar>(dialog, "scrSize")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCOMPARE(f.SizeMax, 102400);
  size->setText("100");
  tolerance->setText("1e999");
  QCOMPARE(f.SizeMax, 102400);
}

void FilterDialogTest::okActivatesAndCancelRejects() {
  {
    FilterDialog dialog(kTypes, "Good", kToday);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    Find<QPushButton>(dialog, "cmdOK")->click();
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(dialog.DialogFilter().Active);
    QVERIFY(!dialog.DialogFilter().DateOn);
  }
  {
    FilterDialog dialog(kTypes, "Good", kToday);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    Find<QCheckBox>(dialog, "chkSizeEnabled")->click();
    Find<QPushButton>(dialog, "cmdCancel")->click();
    QCOMPARE(rejected.count(), 1);
    QVERIFY(!dialog.DialogFilter().Active);
  }
}

QTEST_MAIN(FilterDialogTest)
#include "filter_dialog_test.moc"
