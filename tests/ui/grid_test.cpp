// The entry grid: listing, hidden index columns, sorting, selection, the
// pop-up menu, dropped files, window shortcuts and the quick type list.

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include "support/ui_test_env.h"
#include "ui/grid_view.h"

namespace {

// Sizes 900 and 10000 sort differently as numbers and as texts.
std::vector<TestEntry> Mixed() {
  return {{"b.pcx", 10000, 300}, {"A.txt", 900, 100}, {"c.PCX", 5000, 200}, {"README", 0, 400}};
}

void ChooseType(WindowHarness& h, const QString& type) {
  QComboBox* list = h.window().filterList();
  list->setCurrentIndex(list->findText(type));
  h.window().FilterList_Click();
}

}  // namespace

class GridTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearStore(); }

  void nothingOpenShowsHeaderAndOneEmptyRow() {
    WindowHarness h;
    QTableView* grid = h.Grid();
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(grid->model()->columnCount(), 9);
    QCOMPARE(h.window().RowCount(), 0);
    QCOMPARE(h.window().CurrentRow(), -1);
    const QStringList headers{"Name ", "Size ", "Type ", "Modified ", "From"};
    for (int c = 0; c < 5; ++c) {
      QCOMPARE(grid->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
      QCOMPARE(h.Cell(0, c), QString());
      QVERIFY(grid->columnWidth(c) > grid->fontMetrics().horizontalAdvance(headers[c]));
    }
    for (int c = 5; c < 9; ++c) QVERIFY(grid->isColumnHidden(c));
    QCOMPARE(grid->model()->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
             Qt::AlignRight);
  }

  void modelStaysConsistent() {
    WindowHarness h;
    QAbstractItemModelTester tester(h.Grid()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    h.Open({h.Archive("a.pff", Mixed()), h.Archive("b.pff", {{"z.bin", 1}})});
    h.window().SetSelection(1, 2);
    h.window().FG1_HeaderClick(0);
    h.window().FG1_HeaderClick(1);
    h.window().TV1_NodeClick(h.Tree()->topLevelItem(0)->child(1));
    h.window().mnuActualClose_Click(0);
  }

  void viewAllListsArchivesInOrderWithIndexColumns() {
    WindowHarness h;
    h.Open({h.Archive("one.pff", {{"a.pcx", 2048, 0}, {"b.txt", 10, 0}}),
            h.Archive("two.pff", {{"c.wav", 1536}})});
    QCOMPARE(h.window().RowCount(), 3);
    QCOMPARE(h.Column(0), (QStringList{" a.pcx ", " b.txt ", " c.wav "}));
    QCOMPARE(h.Column(1), (QStringList{" 2 KB ", " 0 KB ", " 2 KB "}));
    QCOMPARE(h.Column(2), (QStringList{" PCX File ", " TXT File ", " WAV File "}));
    QCOMPARE(h.Column(3)[0], QString(" 31/12/69 19:00:00 "));
    QCOMPARE(h.Column(4), (QStringList{" one.pff ", " one.pff ", " two.pff "}));
    QCOMPARE(h.Column(5), (QStringList{"2048", "10", "1536"}));
    QCOMPARE(h.Column(7), (QStringList{"1", "1", "2"}));
    QCOMPARE(h.Column(8), (QStringList{"1", "2", "1"}));
    for (int c = 5; c < 9; ++c) QVERIFY(h.Grid()->isColumnHidden(c));
    QVERIFY(h.Tree()->hasFocus() || !h.window().isVisible());
  }

  void columnWidthsFollowWidestShownText() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"x.txt", 1}})});
    const int narrow = h.Grid()->columnWidth(0);
    h.Open({h.Archive("b.pff", {{"WWWWWWWWWWWW.txt", 1}})});
    const int wide = h.Grid()->columnWidth(0);
    QVERIFY(wide > narrow);
    QVERIFY(wide >= h.Grid()->fontMetrics().horizontalAdvance(" WWWWWWWWWWWW.txt "));
    // Listing only the first archive again narrows the column.
    h.window().TV1_NodeClick(h.Tree()->topLevelItem(0)->child(0));
    QCOMPARE(h.Grid()->columnWidth(0), narrow);
  }

  void treeClickSwitchesGrid() {
    WindowHarness h;
    h.Open({h.Archive("one.pff", {{"a.pcx", 1}}), h.Archive("two.pff", {{"b.txt", 1}, {"c.txt", 1}})});
    QTreeWidgetItem* root = h.Tree()->topLevelItem(0);
    h.window().TV1_NodeClick(root->child(1));
    QCOMPARE(h.window().SelectedArchive(), 2);
    QCOMPARE(h.Column(4), (QStringList{" two.pff ", " two.pff "}));
    h.window().TV1_NodeClick(root);
    QCOMPARE(h.window().SelectedArchive(), -1);
    QCOMPARE(h.window().RowCount(), 3);

    // Through the tree's own signal, as a mouse click delivers it.
    emit h.Tree()->itemClicked(root->child(0), 0);
    QCOMPARE(h.Column(4), QStringList{" one.pff "});
  }

  void headerClickSorts_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("ascending");   // names after the first click
    QTest::addColumn<QStringList>("descending");  // after the second; equal keys keep their order
    const QStringList byName{" A.txt ", " b.pcx ", " c.PCX ", " README "};
    const QStringList bySize{" README ", " A.txt ", " c.PCX ", " b.pcx "};
    const QStringList byTime{" A.txt ", " c.PCX ", " b.pcx ", " README "};
    auto reversed = [](QStringList l) {
      std::reverse(l.begin(), l.end());
      return l;
    };
    QTest::newRow("name, ignoring case") << 0 << byName << reversed(byName);
    QTest::newRow("size, as numbers") << 1 << bySize << reversed(bySize);
    QTest::newRow("type") << 2 << QStringList{" b.pcx ", " c.PCX ", " README ", " A.txt "}
                          << QStringList{" A.txt ", " README ", " b.pcx ", " c.PCX "};
    QTest::newRow("time, as numbers") << 3 << byTime << reversed(byTime);
  }
  void headerClickSorts() {
    QFETCH(int, column);
    QFETCH(QStringList, ascending);
    QFETCH(QStringList, descending);
    WindowHarness h;
    h.Open({h.Archive("a.pff", Mixed())});
    h.window().FG1_HeaderClick(column);
    QVERIFY(h.window().SortAscending(column));
    QCOMPARE(h.Column(0), ascending);
    h.window().FG1_HeaderClick(column);
    QCOMPARE(h.Column(0), descending);
    h.window().FG1_HeaderClick(column);
    QCOMPARE(h.Column(0), ascending);
    // Rows moved whole: the index columns still name each row's entry.
    const QStringList names{" b.pcx ", " A.txt ", " c.PCX ", " README "};
    for (int r = 0; r < 4; ++r) QCOMPARE(names[h.Cell(r, 8).toInt() - 1], h.Cell(r, 0));
  }

  void eachColumnKeepsItsDirection() {
    WindowHarness h;
    h.Open({h.Archive("one.pff", {{"a.txt", 1}}), h.Archive("two.pff", {{"b.txt", 1}})});
    h.window().FG1_HeaderClick(4);
    h.window().FG1_HeaderClick(4);
    QCOMPARE(h.Column(4), (QStringList{" two.pff ", " one.pff "}));
    h.window().FG1_HeaderClick(0);
    QVERIFY(!h.window().SortAscending(4));
    QVERIFY(h.window().SortAscending(0));
    // A rebuild neither resets the directions nor sorts again.
    h.window().RefreshList();
    QCOMPARE(h.Column(4), (QStringList{" one.pff ", " two.pff "}));
    h.window().FG1_HeaderClick(4);
    QCOMPARE(h.Column(4), (QStringList{" one.pff ", " two.pff "}));
  }

  void headerMouseClicks() {
    WindowHarness h;
    h.window().resize(900, 600);
    h.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window()));
    h.Open({h.Archive("a.pff", Mixed())});
    QHeaderView* header = h.Grid()->horizontalHeader();
    const int y = header->height() / 2;
    const QPoint sizeSection(header->sectionViewportPosition(1) + header->sectionSize(1) / 2, y);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeSection);
    QCOMPARE(h.Column(5), (QStringList{"0", "900", "5000", "10000"}));
    // Right button, and a click right of the last visible column, do nothing.
    QTest::mouseClick(header->viewport(), Qt::RightButton, {}, sizeSection);
    int right = 0;
    for (int c = 0; c < 5; ++c) right += header->sectionSize(c);
    QVERIFY(right + 5 < header->viewport()->width());
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(right + 5, y));
    QCOMPARE(h.Column(5), (QStringList{"0", "900", "5000", "10000"}));
    QVERIFY(h.window().SortAscending(1));
  }

  void selectionCurrentAndEnd() {
    WindowHarness h;
    h.window().resize(900, 600);
    h.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window()));
    h.Open({h.Archive("a.pff", Mixed())});
    h.window().SetSelection(3, 1);
    QCOMPARE(h.window().CurrentRow(), 3);
    QCOMPARE(h.window().SelectionEndRow(), 1);
    QCOMPARE(h.Grid()->selectionModel()->selectedRows().size(), 3);

    QWidget* rows = h.Grid()->viewport();
    auto rowPoint = [&](int r) { return h.Grid()->visualRect(h.Grid()->model()->index(r, 0)).center(); };
    QTest::mouseClick(rows, Qt::LeftButton, {}, rowPoint(0));
    QCOMPARE(h.window().CurrentRow(), 0);
    QCOMPARE(h.window().SelectionEndRow(), 0);
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ShiftModifier, rowPoint(2));
    QCOMPARE(h.window().CurrentRow(), 2);
    QCOMPARE(h.window().SelectionEndRow(), 0);
    QTest::keyClick(h.Grid(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(h.window().CurrentRow(), 3);
    QCOMPARE(h.window().SelectionEndRow(), 0);
    QCOMPARE(h.Grid()->selectionModel()->selectedRows().size(), 4);
    QTest::keyClick(h.Grid(), Qt::Key_Up);
    QCOMPARE(h.window().SelectionEndRow(), 2);
    QCOMPARE(h.window().RowAt(2)->Entry, h.Cell(2, 8).toInt());
    QVERIFY(!h.window().RowAt(4));

    // A rebuild drops the selection.
    h.window().RefreshList();
    QCOMPARE(h.window().SelectionEndRow(), -1);
  }

  void rightPressShowsActionsOnlyWhenLoaded() {
    WindowHarness h;
    h.window().resize(900, 600);
    h.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.window()));
    QMenu* actions = h.window().findChild<QMenu*>("mnuPopUp1");
    QTest::mousePress(h.Grid()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(!actions->isVisible());
    h.Open({h.Archive("a.pff", Mixed())});
    h.window().SetSelection(1, 1);
    QTest::mousePress(h.Grid()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(actions->isVisible());
    QCOMPARE(h.window().CurrentRow(), 1);
    actions->hide();
  }

  void windowShortcutsReachActions() {
    WindowHarness h;
    h.window().show();
    h.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h.window()));
    h.Open({h.Archive("a.pff", Mixed())});
    QSignalSpy add(h.Action("mnuAddFiles"), &QAction::triggered);
    QSignalSpy closeAll(h.Action("mnuActualClose0"), &QAction::triggered);
    h.Grid()->setFocus();
    QTest::keyClick(h.Grid(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(add.count(), 1);
    QCOMPARE(h.Grid()->selectionModel()->selectedRows().size(), 0);
    h.Tree()->setFocus();
    QTest::keyClick(h.Tree(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(add.count(), 2);
    h.Grid()->setFocus();
    QTest::keyClick(h.Grid(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(closeAll.count(), 1);
    QVERIFY(!h.window().Table().IsLoaded);
  }

  void droppedFilesAreSignalled() {
    WindowHarness h;
    auto* grid = qobject_cast<GridView*>(h.Grid());
    QSignalSpy dropped(grid, &GridView::filesDropped);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/tmp/one.txt"), QUrl("https://example.com/x"),
                  QUrl::fromLocalFile("/tmp/two.txt")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(grid->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(grid->viewport(), &drop);
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(dropped.first().first().toStringList(), (QStringList{"/tmp/one.txt", "/tmp/two.txt"}));

    QMimeData text;
    text.setText("no files");
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(grid->viewport(), &refused);
    QVERIFY(!refused.isAccepted());
  }

  void quickTypeList() {
    WindowHarness h;
    QCOMPARE(h.window().filterFrame()->title(), QString("Filter"));
    h.window().Options();
    h.Open({h.Archive("a.pff", {{"a.pcx", 1}, {"B.PCX", 2}, {"README", 3}, {"<DEAD SPACE>", 4, 0, 1}}),
            h.Archive("b.pff", {{"z.wav", 1}})});
    QComboBox* list = h.window().filterList();
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    QCOMPARE(items, (QStringList{" Show All", "<DEAD SPACE>", "PCX", "README", "WAV"}));

    ChooseType(h, "PCX");
    QCOMPARE(h.window().filterFrame()->title(), QString("Filter - Only PCX"));
    QCOMPARE(h.Column(0), (QStringList{" a.pcx ", " B.PCX "}));
    // An isolated type keeps criteria set elsewhere in force.
    h.window().CurrentFilter().SizeOn = true;
    h.window().CurrentFilter().SizeMin = 2;
    ChooseType(h, "PCX");
    QCOMPARE(h.Column(0), QStringList{" B.PCX "});
    ChooseType(h, " Show All");
    QCOMPARE(h.window().filterFrame()->title(), QString("Filter - Show All"));
    QVERIFY(!h.window().CurrentFilter().SizeOn);
    QCOMPARE(h.window().RowCount(), 4);

    // The list follows the archive shown in the tree at the next open.
    h.window().TV1_NodeClick(h.Tree()->topLevelItem(0)->child(1));
    h.Open({h.Archive("c.pff", {{"q.bmp", 1}})});
    items.clear();
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    QCOMPARE(items, (QStringList{" Show All", "WAV"}));
  }

  void filterHidingEverythingLeavesHeaderOnly() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"a.pcx", 1}})});
    h.window().CurrentFilter().Active = true;
    h.window().CurrentFilter().NameOn = true;
    h.window().CurrentFilter().NameText = "nothing like it";
    h.window().RefreshList();
    QCOMPARE(h.Grid()->model()->rowCount(), 0);
    QVERIFY(h.Grid()->columnWidth(0) > 0);
  }
};

VELLUM_UI_TEST_MAIN(GridTest)
#include "grid_test.moc"
