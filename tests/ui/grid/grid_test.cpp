// The entry grid: its model over "View All", sorting by the header, mouse and keys on the rows, the quick
// type list and the filter caption.

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include "support/ui_test_env.h"
#include "ui/filter/filter_dialog.h"

namespace {

// Sizes 900 and 10000 sort differently as numbers and as texts.
const std::vector<TestEntry> kMixed{
    {"b.pcx", 10000, 300}, {"A.txt", 900, 100}, {"c.PCX", 5000, 200}, {"README", 0, 400}};

// Sets a control of the advanced filter dialog and clicks OK.
void Advanced(WindowHarness& h, const char* check, const char* box, const QString& text) {
  FilterDialog* dialog = h.OpenAdvanced();
  dialog->findChild<QAbstractButton*>(check)->click();
  dialog->findChild<QLineEdit*>(box)->setText(text);
  dialog->findChild<QAbstractButton*>("okButton")->click();
}

// The nine cells of a grid row joined by "|".
QString Row(const WindowHarness& h, int row) {
  QStringList cells;
  for (int c = 0; c < 9; ++c) cells << h.Cell(row, c);
  return cells.join('|');
}

QStringList Types(WindowHarness& h) {
  QStringList items;
  for (int i = 0; i < h.FilterList()->count(); ++i) items << h.FilterList()->itemText(i);
  return items;
}

}  // namespace

class GridTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearStore(); }

  void modelStaysConsistentThroughSortsAndRebuilds() {
    WindowHarness h;
    QAbstractItemModel* model = h.Grid()->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    h.Open({h.Archive("two.pff", kMixed), h.Archive("one.pff", {{"d.txt", 1}})});
    // Rows move whole; the orders themselves are tried in the listing tests.
    h.Select(1, 2);
    h.window().SortByColumn(1);
    h.window().SortByColumn(1);
    QCOMPARE(h.Column(0), (QStringList{" b.pcx ", " c.PCX ", " A.txt ", " d.txt ", " README "}));
    QCOMPARE(Row(h, 3), QString(" d.txt | 0 KB | TXT File | 31/12/69 19:00:00 | one.pff |1|0|2|1"));
    // A rebuild neither resets the direction (ascending after a third click) nor sorts again.
    h.window().SortByColumn(1);
    h.window().RefreshList();
    QCOMPARE(h.Cell(4, 0), QString(" d.txt "));
    h.window().SortByColumn(1);
    QCOMPARE(h.Cell(4, 0), QString(" README "));
    h.Show(2);
    // A filter that hides everything leaves the header alone, still readable.
    Advanced(h, "nameEnabled", "nameContains", "nothing like it");
    QCOMPARE(model->rowCount(), 0);
    QVERIFY(h.Grid()->columnWidth(0) > 0);
    h.window().CloseArchive(0);
  }

  void mouseAndKeysOnTheGrid() {
    WindowHarness h;
    h.ShowActive();
    QMenu* actions = h.window().findChild<QMenu*>("actionsMenu");
    QWidget* rows = h.Grid()->viewport();
    QTest::mousePress(rows, Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(!actions->isVisible());  // nothing open: no pop-up
    h.Open({h.Archive("a.pff", kMixed)});

    QHeaderView* header = h.Grid()->horizontalHeader();
    const QPoint size(header->sectionViewportPosition(1) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, size);
    QTest::mouseClick(header->viewport(), Qt::RightButton, {}, size);  // does not sort
    QCOMPARE(h.Column(5), (QStringList{"0", "900", "5000", "10000"}));

    // The ways of selecting are tried in selection_test; here the pop-up leaves the block alone.
    auto rowPoint = [&](int r) { return h.Grid()->visualRect(h.Grid()->model()->index(r, 0)).center(); };
    h.Select(3, 1);
    QTest::mousePress(rows, Qt::RightButton, {}, rowPoint(0));
    QVERIFY(actions->isVisible());
    QCOMPARE(h.CurrentRow(), 3);  // the pop-up leaves the selection as it is
    actions->hide();
    h.ShowActive();  // the keys below go to the window, not to the closed pop-up

    // Return opens like a double click, F2 renames, Delete asks (the script answers No), Menu pops up.
    h.Select(1, 1);
    const std::tuple<Qt::Key, QString, QString> keys[] = {{Qt::Key_Return, "desktop", "/A.txt"},
                                                          {Qt::Key_F2, "input", "Rename A.txt"},
                                                          {Qt::Key_Delete, "yesno", "Delete 1 Files?"}};
    for (const auto& [key, kind, words] : keys) {
      h.Grid()->setFocus();
      QTest::keyClick(h.Grid(), key);
      h.Settle();
      const auto& shown = h.dialogs.shown.back();
      QCOMPARE(shown.kind, kind);
      QVERIFY((shown.title + shown.text).contains(words));
    }
    h.Grid()->setFocus();
    QTest::keyClick(h.Grid(), Qt::Key_Menu);
    QVERIFY(actions->isVisible());
    actions->hide();

    // Ctrl+A and Ctrl+C are the window's "Add" and "Close All", not the grid's own.
    QSignalSpy add(h.Action("addFiles"), &QAction::triggered);
    QSignalSpy closeAll(h.Action("closeItem0"), &QAction::triggered);
    h.Grid()->setFocus();
    QTest::keyClick(h.Grid(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(add.count(), 1);
    QCOMPARE(h.Grid()->selectionModel()->selectedRows().size(), 1);
    h.Tree()->setFocus();
    QTest::keyClick(h.Tree(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(add.count(), 2);
    h.Grid()->setFocus();
    QTest::keyClick(h.Grid(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(closeAll.count(), 1);
    QVERIFY(h.NodeKeys().isEmpty());
  }

  void quickTypeListAndTheFilterCaption() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"a.pcx", 1}, {"B.PCX", 2048}, {"README", 3}, {"<DEAD SPACE>", 4, 0, 1}}),
            h.Archive("b.pff", {{"z.wav", 1}})});
    QGroupBox* frame = h.FilterFrame();
    QCOMPARE(Types(h), (QStringList{" Show All", "<DEAD SPACE>", "PCX", "README", "WAV"}));
    h.ChooseType("PCX");
    QCOMPARE(frame->title() + "|" + h.Status().Filter(), QString("Filter - Only PCX|Filter: Only PCX"));
    QCOMPARE(h.Column(0), (QStringList{" a.pcx ", " B.PCX "}));
    // An isolated type keeps criteria set elsewhere in force (size: about 2 KB).
    Advanced(h, "sizeEnabled", "sizeKb", "2");
    h.ChooseType("PCX");
    QCOMPARE(h.Column(0), QStringList{" B.PCX "});
    h.ChooseType(" Show All");
    QCOMPARE(frame->title(), QString("Filter - Show All"));
    QCOMPARE(h.Listed(), 4);

    // A long caption is shortened to fit its frame; the whole text stays at hand.
    h.ChooseType("<DEAD SPACE>");
    QVERIFY(frame->fontMetrics().horizontalAdvance(frame->title()) < frame->parentWidget()->maximumWidth());
    QCOMPARE(frame->toolTip(), QString("Filter - Only <DEAD SPACE>"));
    h.window().findChild<QAbstractButton*>("statusClearFilter")->click();  // the status bar's button
    QCOMPARE(h.Status().Filter(), QString());
    QCOMPARE(h.Listed(), 4);

    // The list follows the archive shown in the tree at the next open.
    h.Show(2);
    h.Open({h.Archive("c.pff", {{"q.bmp", 1}})});
    QCOMPARE(Types(h), (QStringList{" Show All", "WAV"}));
    // Close All leaves no filter and no types behind.
    h.ChooseType("WAV");
    h.Action("closeItem0")->trigger();
    QCOMPARE(Types(h), QStringList{" Show All"});
    QCOMPARE(frame->title(), QString("Filter - Show All"));
    h.Open({h.File("a.pff")});
    QCOMPARE(h.Listed(), 3);
  }
};

VELLUM_UI_TEST_MAIN(GridTest)
#include "grid_test.moc"
