// The advanced filter dialog driven through its controls with a fixed "today"
// (Sunday 15 March 2026), and opened from the window's "Advanced Filter" button.

#include "ui/filter/filter_dialog.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
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
// The options in the order of their rows or modes.
const QStringList kDateRows{"dateBetween", "dateMonths", "dateDays"};
const QStringList kSizeModes{"sizeAtLeast", "sizeAbout", "sizeAtMost"};

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
  void everyCaptionReadsAsUsersKnowIt() {
    FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
    // Every caption, label and frame title, sorted; the calendar's own month and year buttons aside.
    const QWidget* calendar = Find<QCalendarWidget>(d, "calendar");
    QStringList texts;
    for (QWidget* w : d.findChildren<QWidget*>()) {
      if (calendar->isAncestorOf(w)) continue;
      if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) texts << label->text();
      if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->text().isEmpty())
        texts << button->text();
      if (auto* box = qobject_cast<QGroupBox*>(w); box && !box->title().isEmpty()) texts << box->title();
    }
    texts.sort();
    QCOMPARE(texts, (QStringList{"      Date Filter",
                                 "      File Size Filter",
                                 "      File Type Filter",
                                 "      Name Text Filter",
                                 "Cancel",
                                 "Exclude File Types",
                                 "Is About",
                                 "Is At Least",
                                 "Is At Most",
                                 "Isolate File Types",
                                 "KB",
                                 "KB",
                                 "OK",
                                 "Show File(s) If Name Contains text:",
                                 "Show File(s) Modified",
                                 "Size:",
                                 "Tolerance:",
                                 "and",
                                 "between",
                                 "day(s)",
                                 "during the previous",
                                 "during the previous",
                                 "month(s)"}));
    QCOMPARE(d.windowTitle(), QString("Set Advanced Filter"));
  }

  void startsResetAndPicksDatesOnTheCalendar() {
    // style, the From and To texts at start, and after picking 1 to 4 December
    const std::tuple<pff::DateStyle, QString, QString, QString, QString> styles[] = {
        {pff::DateStyle::Good, "05/03/26", "15/03/26", "01/12/26", "04/12/26"},
        {pff::DateStyle::Bad, "03/05/26", "03/15/26", "12/01/26", "12/04/26"},
        {pff::DateStyle::Other, "", "", "", ""}};
    for (const auto& [style, from, to, pickedFrom, pickedTo] : styles) {
      FilterDialog d(kTypes, style, kToday);
      const auto& f = d.DialogFilter();
      QCOMPARE(Box(d, "fromDate")->text(), from);
      QCOMPARE(Box(d, "toDate")->text(), to);

      d.show();
      auto* calendar = Find<QCalendarWidget>(d, "calendar");
      QVERIFY(calendar->isHidden());
      Click(d, "dateEnabled");
      QTest::mouseClick(Box(d, "toDate"), Qt::LeftButton);
      QVERIFY(calendar->isVisible() && !d.PickingFromDate());
      emit calendar->clicked(QDate(2026, 12, 4));
      QVERIFY(calendar->isHidden());
      QTest::mouseClick(Box(d, "fromDate"), Qt::LeftButton);
      QVERIFY(d.PickingFromDate());
      emit calendar->clicked(QDate(2026, 12, 1));
      QCOMPARE(f.DateFrom, FT(2026, 12, 1));
      QCOMPARE(f.DateTo, FT(2026, 12, 5));  // the whole To day is listed
      QCOMPARE(Box(d, "fromDate")->text(), pickedFrom);
      QCOMPARE(Box(d, "toDate")->text(), pickedTo);
      QTest::mouseClick(Box(d, "fromDate"), Qt::LeftButton);
      Click(d, "nameEnabled");  // any other check box hides the calendar
      QVERIFY(calendar->isHidden());
    }
  }

  void dateRowsAndTheirCounts() {
    FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
    const auto& f = d.DialogFilter();
    Click(d, "dateEnabled");
    const QStringList boxes{"fromDate", "toDate", "months", "monthsSpinner", "days", "daysSpinner"};
    const std::tuple<int, int32_t> rows[] = {{1, FT(2026, 3, 1)}, {2, FT(2026, 3, 14)}, {0, FT(2026, 3, 5)}};
    for (const auto& [row, from] : rows) {
      Click(d, kDateRows[row]);
      QCOMPARE(f.DateFrom, from);
      // Files changed today stay listed: the range ends where tomorrow starts.
      QCOMPARE(f.DateTo, FT(2026, 3, 16));
      for (int i = 0; i < boxes.size(); ++i)
        QVERIFY2(Find(d, boxes[i])->isEnabled() == (i / 2 == row), qPrintable(boxes[i]));
    }

    Click(d, "dateMonths");
    Type(Box(d, "months"), "3");
    QCOMPARE(f.DateFrom, FT(2025, 12, 1));

    Click(d, "dateDays");
    Type(Box(d, "days"), "5");
    QCOMPARE(Find<QScrollBar>(d, "daysSpinner")->value(), 5);
    QCOMPARE(f.DateFrom, FT(2026, 3, 10));
    Step(d, "daysSpinner", kDown);  // the box follows the spinner
    QCOMPARE(Box(d, "days")->text(), QString("6"));
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
      Click(d, "sizeEnabled");
      Box(d, "sizeKb")->setText(size);
      Box(d, "toleranceKb")->setText(tolerance);
      Click(d, kSizeModes[mode]);
      QCOMPARE(d.DialogFilter().SizeMin, min);
      QCOMPARE(d.DialogFilter().SizeMax, max);
    }
  }

  void sizeSpinnersStepTheBoxes() {
    FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
    const auto& f = d.DialogFilter();
    Click(d, "sizeEnabled");
    auto* size = Box(d, "sizeKb");
    auto* tolerance = Box(d, "toleranceKb");
    Step(d, "sizeSpinner", kDown);
    QCOMPARE(size->text(), QString("101"));
    QCOMPARE(f.SizeMin, 101 * 1024);
    Step(d, "sizeSpinner", kUp);  // the spinner went back to rest: it steps again
    Step(d, "sizeSpinner", kUp);
    QCOMPARE(size->text(), QString("99"));
    Type(size, "1");
    Step(d, "sizeSpinner", kUp);
    QCOMPARE(size->text(), QString("1"));  // never stepped to 0

    Type(tolerance, "");
    Step(d, "toleranceSpinner", kDown);
    Step(d, "toleranceSpinner", kUp);
    QCOMPARE(tolerance->text(), QString("1"));
    QCOMPARE(f.SizeMin, 0);
    Type(tolerance, "0");  // 0 can be typed
    QCOMPARE(f.SizeMin, 1024);
  }

  void typeListInBothModesAndNameText() {
    FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
    const auto& f = d.DialogFilter();
    auto* list = Find<QListWidget>(d, "types");
    list->item(1)->setSelected(true);  // no option selected yet: nothing happens
    QVERIFY(!f.IsolateOn && f.IsolateList.empty());
    Click(d, "typeEnabled");
    QCOMPARE(f.IsolateList.size(), size_t{1});
    list->item(0)->setSelected(true);
    QCOMPARE(f.IsolateList, (std::vector<std::string>{"BMP", "PCX"}));
    Click(d, "excludeTypes");
    QVERIFY(f.ExcludeOn && !f.IsolateOn);
    QCOMPARE(f.ExcludeList, (std::vector<std::string>{"BMP", "PCX"}));
    QCOMPARE(f.IsolateList.size(), size_t{2});  // the mode not chosen keeps its list
    list->clearSelection();
    QVERIFY(f.ExcludeOn && f.ExcludeList.empty());

    Click(d, "nameEnabled");
    auto* name = Box(d, "nameContains");
    name->insert(QString::fromUtf8("caf\u00e9"));  // keyClicks takes ASCII only
    QTest::keyClicks(name, " and more than sixteen");
    QCOMPARE(f.NameText, std::string("caf\xe9 and more th"));
  }

  void unusableNumbersAreIgnored() {
    FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
    const auto& f = d.DialogFilter();
    Click(d, "dateEnabled");
    Click(d, "sizeEnabled");
    Click(d, "dateDays");
    const int32_t from = f.DateFrom;
    // setText: the handlers must also survive texts longer than a user can type.
    const std::pair<const char*, QString> bad[] = {
        {"days", "9e9"}, {"months", ".4"}, {"toleranceKb", "1e999"}, {"sizeKb", "3000000"}};
    for (const auto& [box, text] : bad) {
      Box(d, box)->setText(text);
      QVERIFY2(f.DateFrom == from && f.SizeMin == 102400 && f.SizeMax == 102400, box);
    }
    Step(d, "sizeSpinner", kDown);
    QCOMPARE(f.SizeMax, 102400);
    QCOMPARE(Find<QScrollBar>(d, "daysSpinner")->value() + Find<QScrollBar>(d, "monthsSpinner")->value(), 2);
  }

  void checkBoxesAndCalendarSitWhereTheyBelong() {
    FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    // Each check box on the start of its frame's caption, wherever the layout put the frame.
    const std::pair<const char*, const char*> captions[] = {{"dateEnabled", "dateFrame"},
                                                            {"nameEnabled", "nameFrame"},
                                                            {"sizeEnabled", "sizeFrame"},
                                                            {"typeEnabled", "typeFrame"}};
    for (const auto& [check, frame] : captions) {
      const QRect box = Find(d, check)->geometry(), area = Find(d, frame)->geometry();
      QVERIFY2(area.contains(box.center()) && box.center().y() < area.y() + box.height() &&
                   box.x() < area.x() + box.width(),
               check);
    }
    // The calendar opens below the date boxes, inside the dialog.
    Click(d, "dateEnabled");
    auto* to = Box(d, "toDate");
    QTest::mouseClick(to, Qt::LeftButton);
    const QRect calendar = Find(d, "calendar")->geometry();
    QVERIFY(d.rect().contains(calendar));
    QVERIFY(calendar.top() > to->mapTo(&d, QPoint(0, to->height() - 1)).y());
  }

  void keyboardWalksTheColumnsAndClosesWithReturnOrEscape() {
    for (const auto& [key, result] :
         {std::pair{Qt::Key_Return, QDialog::Accepted}, {Qt::Key_Escape, QDialog::Rejected}}) {
      FilterDialog d(kTypes, pff::DateStyle::Good, kToday);
      d.show();
      QVERIFY(QTest::qWaitForWindowActive(&d));
      // The frames start disabled: the keyboard begins at the first check box.
      QCOMPARE(QApplication::focusWidget()->objectName(), QString("dateEnabled"));
      for (const char* check : {"nameEnabled", "sizeEnabled", "typeEnabled", "dateEnabled"}) Click(d, check);
      // Down the left column, then the types, then the buttons; options and boxes
      // of rows not chosen are skipped.
      const QStringList order{"dateBetween",  "fromDate",    "toDate",       "nameEnabled", "nameContains",
                              "sizeEnabled",  "sizeAtLeast", "sizeKb",       "toleranceKb", "typeEnabled",
                              "isolateTypes", "types",       "cancelButton", "okButton",    "dateEnabled"};
      QStringList walked;
      for (int i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget()->objectName();
      }
      QCOMPARE(walked, order);
      // Return presses OK and Escape Cancel wherever the focus is, also in a box.
      QTest::keyClick(Box(d, "nameContains"), key);
      QCOMPARE(d.result(), result);
      QCOMPARE(d.DialogFilter().Active, key == Qt::Key_Return);
    }
  }

  void okReplacesTheWindowFilterAndCancelKeepsIt() {
    for (const bool ok : {true, false}) {
      ClearStore();
      WindowHarness h;
      h.Open({h.Archive("a.pff", {{"big.bin", 102400}, {"small.bin", 1}, {"pic.pcx", 102400}})});
      h.ChooseType("PCX");
      QPointer<FilterDialog> d = h.OpenAdvanced();
      QVERIFY(d && d->isVisible() && d->isModal());
      QCOMPARE(Find<QListWidget>(*d, "types")->count(), h.FilterList()->count() - 1);
      Click(*d, "sizeEnabled");
      Click(*d, ok ? "okButton" : "cancelButton");
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
