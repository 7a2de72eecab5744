// What the user sees is what the commands act on: every way of selecting
// rows, the tree under the keyboard, where the view stands after a change
// and the column widths.

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "support/ui_test_env.h"

namespace {

// A shown, active window with archive a.pff of entries n0..n(count-1) shown in the tree.
struct Shown {
  WindowHarness h;
  explicit Shown(int count) {
    std::vector<TestEntry> entries;
    for (int i = 0; i < count; ++i) entries.push_back({"n" + std::to_string(i), i});
    h.Open({h.Archive("a.pff", entries)});
    h.Show(1);
    h.ShowActive();
  }
  QWidget* Rows() const { return h.Grid()->viewport(); }
  QPoint At(int row) const { return h.Grid()->visualRect(h.Grid()->model()->index(row, 0)).center(); }
  void Click(int row, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(Rows(), Qt::LeftButton, mods, At(row));
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(h.Grid(), key, mods); }
  QList<int> Highlighted() const {
    QList<int> rows;
    for (const QModelIndex& index : h.Grid()->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
  }
};

}  // namespace

class SelectionTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearStore(); }

  void commandsWalkExactlyTheHighlightedRows() {
    using Steps = std::function<void(Shown&)>;
    // how the user selects, the rows then walked (from the current row on)
    const std::pair<Steps, QList<int>> cases[] = {
        {[](Shown& s) { s.Click(3); }, {3}},
        {[](Shown& s) { s.Click(3), s.Click(5, Qt::ShiftModifier); }, {5, 4, 3}},
        {[](Shown& s) { s.Click(5), s.Click(3, Qt::ShiftModifier); }, {3, 4, 5}},
        {[](Shown& s) { s.Click(3), s.Click(5, Qt::ControlModifier), s.Click(6, Qt::ControlModifier); }, {}},
        {[](Shown& s) {
           s.Click(3), s.Key(Qt::Key_Down, Qt::ControlModifier), s.Key(Qt::Key_Down, Qt::ControlModifier);
         },
         {}},
        {[](Shown& s) {
           s.Key(Qt::Key_Home, Qt::ControlModifier),
               s.Key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
         },
         {7, 6, 5, 4, 3, 2, 1, 0}},
        {[](Shown& s) {
           s.Click(2), s.Key(Qt::Key_Down, Qt::ShiftModifier), s.Key(Qt::Key_Down, Qt::ShiftModifier);
         },
         {4, 3, 2}},
        {[](Shown& s) { s.Click(4), s.Key(Qt::Key_Home, Qt::ShiftModifier); }, {0, 1, 2, 3, 4}},
        {[](Shown& s) { s.Click(1), s.Key(Qt::Key_PageDown, Qt::ShiftModifier); }, {}},
        {[](Shown& s) { s.Click(6), s.Key(Qt::Key_PageUp); }, {}},
        {[](Shown& s) {
           QTest::mousePress(s.Rows(), Qt::LeftButton, {}, s.At(1));
           QTest::mouseMove(s.Rows(), s.At(4));
           QTest::mouseRelease(s.Rows(), Qt::LeftButton, {}, s.At(4));
         },
         {4, 3, 2, 1}}};
    for (const auto& [select, expected] : cases) {
      Shown s(8);
      select(s);
      const QList<int> walked = s.h.Walked();
      if (!expected.isEmpty()) QCOMPARE(walked, expected);
      // Whatever the way, the walked rows are the highlighted ones, the current row first.
      QList<int> sorted = walked;
      std::sort(sorted.begin(), sorted.end());
      QCOMPARE(sorted, s.Highlighted());
      QVERIFY(!walked.isEmpty());
      QCOMPARE(walked.first(), s.h.CurrentRow());

      // Delete takes exactly those rows off the listing.
      QStringList names;
      for (int r : walked) names << s.h.Cell(r, 0);
      s.h.dialogs.yesNoAnswers.push_back(true);
      s.Key(Qt::Key_Delete);
      s.h.Settle();
      QCOMPARE(s.h.Listed(), 8 - walked.size());
      for (const QString& name : names) QVERIFY(!s.h.Column(0).contains(name));
    }
  }

  void treeFollowsTheKeyboard() {
    WindowHarness h;
    const QString a = h.Archive("a.pff", {{"x.txt", 1}}),
                  b = h.Archive("b.pff", {{"y.txt", 1}, {"z.txt", 1}});
    h.Open({a, b});
    h.window().show();
    h.Tree()->setFocus();
    h.Tree()->setCurrentItem(h.Tree()->topLevelItem(0));
    QTest::keyClick(h.Tree(), Qt::Key_Down);
    QCOMPARE(h.ShownKey(), QString("B"));
    QCOMPARE(h.Column(0), QStringList{" x.txt "});
    QTest::keyClick(h.Tree(), Qt::Key_Down);
    QCOMPARE(h.ShownKey(), QString("C"));
    QCOMPARE(h.Listed(), 2);
    // Add follows the node the keys chose.
    h.dialogs.openAnswers.push_back({h.Source("new.txt", "n")});
    h.Run("addFiles");
    QCOMPARE(NamesOnDisk(b).size(), 3);
    QCOMPARE(NamesOnDisk(a).size(), 1);
    QTest::keyClick(h.Tree(), Qt::Key_Home);
    QCOMPARE(h.ShownKey(), QString("All"));

    // Clicking the node already chosen lists it again.
    QSignalSpy relisted(h.Grid()->model(), &QAbstractItemModel::modelReset);
    QTreeWidgetItem* root = h.Tree()->topLevelItem(0);
    QTest::mouseClick(h.Tree()->viewport(), Qt::LeftButton, {}, h.Tree()->visualItemRect(root).center());
    QCOMPARE(relisted.count(), 1);
    QTest::mouseClick(h.Tree()->viewport(), Qt::LeftButton, {},
                      h.Tree()->visualItemRect(root->child(0)).center());
    QCOMPARE(relisted.count(), 2);
    QCOMPARE(h.ShownKey(), QString("B"));
  }

  void viewStartsAtTheTopForANewListing() {
    Shown s(300);
    s.h.Open({s.h.Archive("b.pff", {{"only.pcx", 1}, {"other.txt", 1}})});
    QScrollBar* bar = s.h.Grid()->verticalScrollBar();
    auto scrolledDown = [&] {
      s.h.Show(1);
      bar->setValue(200);
      QCOMPARE(bar->value(), 200);
    };
    const std::function<void()> changes[] = {
        [&] { s.h.Show(2); }, [&] { s.h.Show(1); }, [&] { s.h.Action("showDeadSpace")->trigger(); },
        [&] { s.h.window().SortByColumn(1); }, [&] { s.h.ChooseType(" Show All"); }};
    for (const auto& change : changes) {
      scrolledDown();
      change();
      QCOMPARE(bar->value(), 0);
      QCOMPARE(s.h.CurrentRow(), 0);
    }

    // A delete keeps the rows around it where they stood (dead space hidden
    // again), and so does a rename.
    s.h.Action("showDeadSpace")->trigger();
    scrolledDown();
    s.h.Select(212, 210);
    s.h.dialogs.yesNoAnswers.push_back(true);
    s.h.Run("deleteEntries");
    QCOMPARE(bar->value(), 200);
    QCOMPARE(s.h.CurrentRow(), 210);
    QCOMPARE(s.h.Cell(210, 0), QString(" n213 "));
    s.h.dialogs.inputAnswers.push_back(QString("renamed"));
    s.h.Action("renameEntry")->trigger();
    QCOMPARE(bar->value(), 200);
    QCOMPARE(s.h.CurrentRow(), 210);
    QCOMPARE(s.h.Cell(210, 0), QString(" renamed "));
  }

  void columnsFitEveryShownText() {
    WindowHarness h;
    // By characters the i-name is longest, by pixels the W-name is widest.
    h.Open({h.Archive(
        "a.pff",
        {{"iiiiiiiiiiii.txt", 1}, {"WWWWWWWW.WAV", 123456789, 1 << 30}, {"<DEAD SPACE>", 2048, 0, 1}})});
    h.Action("showDeadSpace")->trigger();
    for (const char* style : {"dayMonthYear", "monthDayYear"}) {
      h.Action(style)->trigger();
      const QFontMetrics metrics = h.Grid()->fontMetrics();
      for (int c = 0; c < 5; ++c) {
        int widest = 0;
        for (const QString& text : h.Column(c)) widest = std::max(widest, metrics.horizontalAdvance(text));
        QVERIFY2(h.Grid()->columnWidth(c) >= widest, qPrintable(QString("column %1").arg(c)));
        QVERIFY(h.Grid()->columnWidth(c) <= widest + 24);
      }
    }
  }
};

VELLUM_UI_TEST_MAIN(SelectionTest)
#include "selection_test.moc"
