// frmFilter driven through its controls with a fixed "today" (Sunday 15 March
// 2026), and opened from the window by cmdAdvanced_Click.

#include "ui/filter/filter_dialog.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QScrollBar>
#include <QtTest>

#include "engine/file_time.h"
#include "support/ui_test_env.h"

namespace {

const QDate kToday(2026, 3, 15);
const QStringList kTypes{" Show All", "BMP", "PCX", "TXT"};

int32_t FT(int y, int m, int d, int h = 0) {
  return *pff::FileTimeFromWallClock(pff::WallClock{y, m, d, h, 0, 0});
}

template <typename T = QWidget>
T* Find(const QWidget& dialog, const QString& name) {
  T* widget = dialog.findChild<T*>(name);
  if (!widget) qFatal("no control %s", qPrintable(name));
  return widget;
}
void Click(const QWidget& d, const QString& name) { Find<QAbstractButton>(d, name)->click(); }
QLineEdit* Box(const QWidget& d, const QString& name) { return Find<QLineEdit>(d, name); }
void Step(const QWidget& d, const QString& spinner, QAbstractSlider::SliderAction action) {
  Find<QScrollBar>(d, spinner)->triggerAction(action);
}
constexpr auto kDown = QAbstractSlider::SliderSingleStepAdd;  // the lower arrow moves towards the maximum
constexpr auto kUp = QAbstractSlider::SliderSingleStepSub;

// Replaces a box's text the way a user does: select all, type.
void Type(QLineEdit* box, const QString& text) {
  box->selectAll();
  text.isEmpty() ? QTest::keyClick(box, Qt::Key_Backspace) : QTest::keyClicks(box, text);
}

}  // namespace

class FilterDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void startsResetAndPicksDatesOnTheCalendar() {
    // style, the From and To texts at start, and after picking 1 to 4 December
    const std::tuple<pff::DateStyle, QString, QString, QString, QString> styles[] = {
        {pff::DateStyle::Good, "05/03/26", "15/03/26", "01/12/26", "04/12/26"},
        {pff::DateStyle::Bad, "03/05/26", "03/15/26", "12/01/26", "12/04/26"},
        {pff::DateStyle::Other, "", "", "", ""}};
    for (const auto& [style, from, to, pickedFrom, pickedTo] : styles) {
      FilterDialog d(kTypes, style, kToday);
      const auto& f = d.DialogFilter();
      QCOMPARE(Box(d, "txtFromDate")->text(), from);
      QCOMPARE(Box(d, "txtToDate")->text(), to);

      d.show();
      auto* calendar = Find<QCalendarWidget>(d, "DateView");
      QVERIFY(calendar->isHidden());
      Click(d, "chkTimeEnabled");
      QTest::mouseClick(Box(d, "txtToDate"), Qt::LeftButton);
      QVERIFY(calendar->isVisible() && !d.PickingFromDate());
      emit calendar->clicked(QDate(2026, 12, 4));
      QVERIFY(calendar->isHidden());
      QTest::mouseClick(Box(d, "txtFromDate"), Qt::LeftButton);
      QVERIFY(d.PickingFromDate());
      emit calendar->clicked(QDate(2026, 12, 1));
      QCOMPARE(f.DateFrom, FT(2026, 12, 1));
      QCOMPARE(f.DateTo, FT(2026, 12, 5));  // the whole To day is listed
      QCOMPARE(Box(d, "txtFromDate")->text(), pickedFrom);
      QCOMPARE(Box(d, "txtToDate")->text(), pickedTo);
      QTest::mouseClick(Box(d, "txtFromDate"), Qt::LeftButton);
      Click(d, "chkContEnabled");  // any other check box hides the calendar
      QVERIFY(calendar->isHidden());
    }
  }

  void dateRowsAndTheirCounts() {
    FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
    const auto& f = d.DialogFilter();
    Click(d, "chkTimeEnabled");
    const QStringList boxes{"txtFromDate", "txtToDate", "txtMonths", "scrMonths", "txtDays", "scrDays"};
    const std::tuple<int, int32_t> rows[] = {{1, FT(2026, 3, 1)}, {2, FT(2026, 3, 14)}, {0, FT(2026, 3, 5)}};
    for (const auto& [row, from] : rows) {
      Click(d, QString("Option1(%1)").arg(row));
      QCOMPARE(f.DateFrom, from);
      // Files changed today stay listed: the range ends where tomorrow starts.
      QCOMPARE(f.DateTo, FT(2026, 3, 16));
      for (int i = 0; i < boxes.size(); ++i)
        QVERIFY2(Find(d, boxes[i])->isEnabled() == (i / 2 == row), qPrintable(boxes[i]));
    }

    Click(d, "Option1(1)");
    Type(Box(d, "txtMonths"), "3");
    QCOMPARE(f.DateFrom, FT(2025, 12, 1));

    Click(d, "Option1(2)");
    Type(Box(d, "txtDays"), "5");
    QCOMPARE(Find<QScrollBar>(d, "scrDays")->value(), 5);
    QCOMPARE(f.DateFrom, FT(2026, 3, 10));
    Step(d, "scrDays", kDown);  // the box follows the spinner
    QCOMPARE(Box(d, "txtDays")->text(), QString("6"));
    QCOMPARE(f.DateFrom, FT(2026, 3, 9));
  }

  void sizeBoundsPerModeWithTolerance() {
    // mode (0 "Is At Least", 1 "Is About", 2 "Is At Most"), size, tolerance, bounds
    const std::tuple<int, const char*, const char*, int, int> cases[] = {
        {1, "100", "2", 100352, 104448},
        {0, "100", "2", 100352, 2147483647},
        {2, "100", "2", 0, 104448},
        {1, "1.5", "0.25", 1280, 1792},
        {0, "0", "5", 102400, 102400}};  // 0 keeps the bounds "Is About" gave
    for (const auto& [mode, size, tolerance, min, max] : cases) {
      FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
      Click(d, "chkSizeEnabled");
      Box(d, "txtSize")->setText(size);
      Box(d, "txtTolerance")->setText(tolerance);
      Click(d, QString("Option3(%1)").arg(mode));
      QCOMPARE(d.DialogFilter().SizeMin, min);
      QCOMPARE(d.DialogFilter().SizeMax, max);
    }
  }

  void sizeSpinnersStepTheBoxes() {
    FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
    const auto& f = d.DialogFilter();
    Click(d, "chkSizeEnabled");
    auto* size = Box(d, "txtSize");
    auto* tolerance = Box(d, "txtTolerance");
    Step(d, "scrSize", kDown);
    QCOMPARE(size->text(), QString("101"));
    QCOMPARE(f.SizeMin, 101 * 1024);
    Step(d, "scrSize", kUp);  // the spinner went back to rest: it steps again
    Step(d, "scrSize", kUp);
    QCOMPARE(size->text(), QString("99"));
    Type(size, "1");
    Step(d, "scrSize", kUp);
    QCOMPARE(size->text(), QString("1"));  // never stepped to 0

    Type(tolerance, "");
    Step(d, "scrTolerance", kDown);
    Step(d, "scrTolerance", kUp);
    QCOMPARE(tolerance->text(), QString("1"));
    QCOMPARE(f.SizeMin, 0);
    Type(tolerance, "0");  // 0 can be typed
    QCOMPARE(f.SizeMin, 1024);
  }

  void typeListInBothModesAndNameText() {
    FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
    const auto& f = d.DialogFilter();
    auto* list = Find<QListWidget>(d, "List1");
    list->item(1)->setSelected(true);  // no option selected yet: nothing happens
    QVERIFY(!f.IsolateOn && f.IsolateList.empty());
    Click(d, "chkTypeEnabled");
    QCOMPARE(f.IsolateList.size(), size_t{1});
    list->item(0)->setSelected(true);
    QCOMPARE(f.IsolateList, (std::vector<std::string>{"BMP", "PCX"}));
    Click(d, "Option2(1)");
    QVERIFY(f.ExcludeOn && !f.IsolateOn);
    QCOMPARE(f.ExcludeList, (std::vector<std::string>{"BMP", "PCX"}));
    QCOMPARE(f.IsolateList.size(), size_t{2});  // the mode not chosen keeps its list
    list->clearSelection();
    QVERIFY(f.ExcludeOn && f.ExcludeList.empty());

    Click(d, "chkContEnabled");
    auto* name = Box(d, "txtCont");
    name->insert(QString::fromUtf8("caf\u00e9"));  // keyClicks takes ASCII only
    QTest::keyClicks(name, " and more than sixteen");
    QCOMPARE(f.NameText, std::string("caf\xe9 and more th"));
  }

  void unusableNumbersAreIgnored() {
    FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
    const auto& f = d.DialogFilter();
    Click(d, "chkTimeEnabled");
    Click(d, "chkSizeEnabled");
    Click(d, "Option1(2)");
    const int32_t from = f.DateFrom;
    // setText: the handlers must also survive texts longer than a user can type.
    const std::pair<const char*, QString> bad[] = {
        {"txtDays", "9e9"}, {"txtMonths", ".4"}, {"txtTolerance", "1e999"}, {"txtSize", "3000000"}};
    for (const auto& [box, text] : bad) {
      Box(d, box)->setText(text);
      QVERIFY2(f.DateFrom == from && f.SizeMin == 102400 && f.SizeMax == 102400, box);
    }
    Step(d, "scrSize", kDown);
    QCOMPARE(f.SizeMax, 102400);
    QCOMPARE(Find<QScrollBar>(d, "scrDays")->value() + Find<QScrollBar>(d, "scrMonths")->value(), 2);
  }

  void okReplacesTheWindowFilterAndCancelKeepsIt() {
    for (const bool ok : {true, false}) {
      ClearStore();
      WindowHarness h;
      h.Open({h.Archive("a.pff", {{"big.bin", 102400}, {"small.bin", 1}, {"pic.pcx", 102400}})});
      h.ChooseType("PCX");
      QPointer<FilterDialog> d = h.OpenAdvanced();
      QVERIFY(d && d->isVisible() && d->isModal());
      QCOMPARE(Find<QListWidget>(*d, "List1")->count(), h.FilterList()->count() - 1);
      Click(*d, "chkSizeEnabled");
      Click(*d, ok ? "cmdOK" : "cmdCancel");
      // OK drops the quick type filter chosen before: big.bin and pic.pcx, 100 KB each.
      QCOMPARE(h.Column(0), ok ? QStringList({" big.bin ", " pic.pcx "}) : QStringList{" pic.pcx "});
      // The quick list, the frame and the status bar say which filter is in force.
      QCOMPARE(h.FilterList()->currentText() + "|" + h.FilterFrame()->title() + "|" + h.Status().Filter(),
               ok ? QString(" Show All|Filter - Advanced|Filter: advanced")
                  : QString("PCX|Filter - Only PCX|Filter: Only PCX"));
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QVERIFY(!d);
    }
  }
};

VELLUM_UI_TEST_MAIN(FilterDialogTest)
#include "filter_dialog_test.moc"
