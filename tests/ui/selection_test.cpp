// What the user sees is what the commands act on: every way of selecting
// rows, the tree under the keyboard, where the view stands after a change,
// the keys on top of the menu shortcuts, column widths and the filter caption.

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "engine/name_helpers.h"
#include "support/ui_test_env.h"
#include "ui/filter_dialog.h"
#include "ui/status_texts.h"

namespace {

// A shown, active window with archive a.pff of entries n0..n(count-1) shown in the tree.
struct Shown {
  WindowHarness h;
  MainWindow& w = h.window();
  explicit Shown(int count, const QString& name = "a.pff") {
    std::vector<TestEntry> entries;
    for (int i = 0; i < count; ++i) entries.push_back({"n" + std::to_string(i), i});
    h.Open({h.Archive(name, entries)});
    h.Show(1);
    w.resize(900, 600);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    h.Grid()->setFocus();
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
  QList<int> Walked() const {
    QList<int> rows;
    for (int r : w.SelectedRows()) rows << r;
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
      const QList<int> walked = s.Walked();
      if (!expected.isEmpty()) QCOMPARE(walked, expected);
      // Whatever the way, the walked rows are the highlighted ones, the current row first.
      QList<int> sorted = walked;
      std::sort(sorted.begin(), sorted.end());
      QCOMPARE(sorted, s.Highlighted());
      QVERIFY(!walked.isEmpty());
      QCOMPARE(walked.first(), s.w.CurrentRow());

      QStringList names;
      for (int r : walked) names << s.h.Cell(r, 0).trimmed();
      s.h.dialogs.yesNoAnswers.push_back(true);
      s.Key(Qt::Key_Delete);
      QCOMPARE(s.h.dialogs.shown.back().text,
               QString("Are You Sure You Want To Delete %1 Files?").arg(walked.size()));
      int dead = 0;
      for (const pff::PffEntry& e : s.w.Table().Archive(1).Entries) {
        const QString name = QString::fromLatin1(pff::StripNulls(pff::NameBytes(e.Name)).c_str());
        dead += e.DeadFlag;
        QCOMPARE(e.DeadFlag == 1, name == "<DEAD SPACE>");
      }
      QCOMPARE(dead, names.size());
      for (const QString& name : names) QVERIFY(!s.h.Column(0).contains(" " + name + " "));
    }
  }

  void treeFollowsTheKeyboard() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"x.txt", 1}}), h.Archive("b.pff", {{"y.txt", 1}, {"z.txt", 1}})});
    h.window().show();
    h.Tree()->setFocus();
    h.Tree()->setCurrentItem(h.Tree()->topLevelItem(0));
    QTest::keyClick(h.Tree(), Qt::Key_Down);
    QCOMPARE(h.window().SelectedArchive(), 1);
    QCOMPARE(h.Column(0), QStringList{" x.txt "});
    QVERIFY(h.Action("mnuCheck")->isEnabled());
    QTest::keyClick(h.Tree(), Qt::Key_Down);
    QCOMPARE(h.window().SelectedArchive(), 2);
    QCOMPARE(h.window().RowCount(), 2);
    // Add follows the node the keys chose.
    h.dialogs.openAnswers.push_back({h.Source("new.txt", "n")});
    h.Action("mnuAddFiles")->trigger();
    QCOMPARE(h.window().Table().Archive(2).Entries.size(), size_t(3));
    QCOMPARE(h.window().Table().Archive(1).Entries.size(), size_t(1));
    QTest::keyClick(h.Tree(), Qt::Key_Home);
    QCOMPARE(h.window().SelectedArchive(), -1);
    QVERIFY(!h.Action("mnuCheck")->isEnabled());

    // Clicking the node already chosen lists it again.
    QSignalSpy relisted(h.Grid()->model(), &QAbstractItemModel::modelReset);
    QTreeWidgetItem* root = h.Tree()->topLevelItem(0);
    QTest::mouseClick(h.Tree()->viewport(), Qt::LeftButton, {}, h.Tree()->visualItemRect(root).center());
    QCOMPARE(relisted.count(), 1);
    QTest::mouseClick(h.Tree()->viewport(), Qt::LeftButton, {},
                      h.Tree()->visualItemRect(root->child(0)).center());
    QCOMPARE(relisted.count(), 2);
    QCOMPARE(h.window().SelectedArchive(), 1);
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
        [&] { s.h.Show(2); }, [&] { s.h.Show(1); }, [&] { s.h.Action("mnuShowDeadSpace")->trigger(); },
        [&] { s.w.FG1_HeaderClick(1); },
        [&] {
          s.w.filterList()->setCurrentIndex(s.w.filterList()->findText(" Show All"));
          s.w.FilterList_Click();
        }};
    for (const auto& change : changes) {
      scrolledDown();
      change();
      QCOMPARE(bar->value(), 0);
      QCOMPARE(s.w.CurrentRow(), 0);
    }

    // A delete keeps the rows around it where they stood (dead space hidden again).
    s.h.Action("mnuShowDeadSpace")->trigger();
    scrolledDown();
    s.w.SetSelection(212, 210);
    s.h.dialogs.yesNoAnswers.push_back(true);
    s.w.mnuDelete_Click();
    QCOMPARE(bar->value(), 200);
    QCOMPARE(s.w.CurrentRow(), 210);
    QCOMPARE(s.h.Cell(210, 0), QString(" n213 "));
  }

  void keysOnTheGrid() {
    Shown s(3);
    s.Click(1);
    s.Key(Qt::Key_Return);  // opens like a double click
    QCOMPARE(s.h.dialogs.shown.back().kind, QString("desktop"));
    QVERIFY(s.h.dialogs.shown.back().text.endsWith("/n1"));
    s.h.Grid()->setFocus();
    s.Key(Qt::Key_F2);
    QCOMPARE(s.h.dialogs.shown.back().title, QString("Rename n1"));
    s.h.Grid()->setFocus();
    s.Key(Qt::Key_Delete);  // asks; the default script answers No
    QCOMPARE(s.h.dialogs.shown.back().text, QString("Are You Sure You Want To Delete 1 Files?"));
    QMenu* actions = s.w.findChild<QMenu*>("mnuPopUp1");
    s.h.Grid()->setFocus();
    s.Key(Qt::Key_Menu);
    QVERIFY(actions->isVisible());
    actions->hide();
    QCOMPARE(s.h.Action("mnuRename")->shortcut(), QKeySequence("Ctrl+R"));
  }

  void columnsFitEveryShownText() {
    WindowHarness h;
    // By characters the i-name is longest, by pixels the W-name is widest.
    h.Open({h.Archive(
        "a.pff",
        {{"iiiiiiiiiiii.txt", 1}, {"WWWWWWWW.WAV", 123456789, 1 << 30}, {"<DEAD SPACE>", 2048, 0, 1}})});
    h.Action("mnuShowDeadSpace")->trigger();
    for (const char* style : {"mnuGoodFormat", "mnuBadFormat"}) {
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

  void filterControlsTellTheTruth() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"a.pcx", 1}, {"b.txt", 1}, {"<DEAD SPACE>", 1, 0, 1}})});
    QComboBox* list = h.window().filterList();
    QGroupBox* frame = h.window().filterFrame();
    auto choose = [&](const QString& type) {
      list->setCurrentIndex(list->findText(type));
      h.window().FilterList_Click();
    };
    choose("PCX");
    QCOMPARE(frame->title(), QString("Filter - Only PCX"));
    QCOMPARE(h.window().status().Filter(), QString("Filter: Only PCX"));

    // OK in the advanced dialog replaces the quick type: list and caption follow.
    h.window().cmdAdvanced_Click();
    auto* dialog = h.window().findChild<FilterDialog*>();
    QVERIFY(dialog);
    dialog->findChild<QPushButton*>("cmdOK")->click();
    QCOMPARE(list->currentText(), QString(" Show All"));
    QCOMPARE(frame->title(), QString("Filter - Advanced"));
    QCOMPARE(h.window().status().Filter(), QString("Filter: advanced"));
    QCOMPARE(h.window().RowCount(), 2);

    // A long caption is shortened to fit its frame; the whole text stays at hand.
    choose("<DEAD SPACE>");
    const int room = frame->parentWidget()->maximumWidth();
    QVERIFY(frame->fontMetrics().horizontalAdvance(frame->title()) < room);
    QCOMPARE(frame->toolTip(), QString("Filter - Only <DEAD SPACE>"));

    // The status bar's button clears it; Close All leaves no filter and no types behind.
    h.window().findChild<QAbstractButton*>("statusClearFilter")->click();
    QVERIFY(!h.window().CurrentFilter().Active);
    QCOMPARE(h.window().status().Filter(), QString());
    choose("TXT");
    h.Action("mnuActualClose0")->trigger();
    QCOMPARE(list->count(), 1);
    QCOMPARE(frame->title(), QString("Filter - Show All"));
    QVERIFY(!h.window().CurrentFilter().Active);
  }
};

VELLUM_UI_TEST_MAIN(SelectionTest)
#include "selection_test.moc"
