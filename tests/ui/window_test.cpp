// The main window: start-up from the store, the options, the recent list,
// opening, creating and closing archives, the command-line start, the menus,
// and the entry grid with its sorting, selection and quick type list.

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <iterator>

#include "support/ui_test_env.h"
#include "ui/command_line.h"
#include "ui/recent_list.h"
#include "ui/settings_store.h"

namespace {

void Store(const QString& key, const QString& value) {
  QSettings("Tav_Vellumcraft", "Tav_Vellumcraft").setValue(key, value);
}

QString Stored(const QString& key) {
  return QSettings("Tav_Vellumcraft", "Tav_Vellumcraft").value(key, "<absent>").toString();
}

// Ticks of the two date styles and the three options, "1" for ticked.
QString Ticks(const WindowHarness& h) {
  QString ticks;
  for (const char* item :
       {"mnuGoodFormat", "mnuBadFormat", "mnuOverwrite", "mnuReUseDeadSpace", "mnuShowDeadSpace"})
    ticks += h.Action(item)->isChecked() ? '1' : '0';
  return ticks;
}

QStringList StoredRecent() {
  QStringList paths;
  for (int n = 1; n <= 4; ++n) paths << Stored("Paths/Last" + QString::number(n));
  return paths;
}

// Captions of a menu's items joined by "|", "-" for a separator.
QString Captions(const QWidget* menu) {
  QStringList captions;
  for (QAction* a : menu->actions()) captions << (a->isSeparator() ? "-" : a->text());
  return captions.join('|');
}

QStringList CloseItems(const WindowHarness& h) { return h.Captions("mnuActualClose", 37); }

QString CurrentKey(const WindowHarness& h) {
  return h.Tree()->currentItem()->data(0, Qt::UserRole).toString();
}

void OpenThree(WindowHarness& h) {
  h.Open({h.Archive("a.pff", {{"x.txt", 1}}), h.Archive("b.pff", {{"y.txt", 1}}),
          h.Archive("c.pff", {{"z.txt", 1}})});
}

// Sizes 900 and 10000 sort differently as numbers and as texts.
const std::vector<TestEntry> kMixed{
    {"b.pcx", 10000, 300}, {"A.txt", 900, 100}, {"c.PCX", 5000, 200}, {"README", 0, 400}};

void ChooseType(WindowHarness& h, const QString& type) {
  h.window().filterList()->setCurrentIndex(h.window().filterList()->findText(type));
  h.window().FilterList_Click();
}

// The nine cells of a grid row joined by "|".
QString Row(const WindowHarness& h, int row) {
  QStringList cells;
  for (int c = 0; c < 9; ++c) cells << h.Cell(row, c);
  return cells.join('|');
}

QStringList Types(WindowHarness& h) {
  QStringList items;
  for (int i = 0; i < h.window().filterList()->count(); ++i) items << h.window().filterList()->itemText(i);
  return items;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearStore(); }

  void startUpReadsTheStore() {
    // stored "group/key=value" texts, the ticks expected, the recent captions expected
    const std::tuple<QStringList, QString, QStringList> cases[] = {
        {QStringList(), "10010", {}},
        {{"Settings/TimeDate=Bad", "Settings/AlwaysOverwrite=True", "Settings/ReUseDeadSpaces=False",
          "Settings/ShowDeadSpace=-1", "Paths/Last1=/x/one.pff", "Paths/Last3=/a/long/path/three.pff"},
         "01101",
         {"&1 /x/one.pff", "", "&3 three.pff"}},
        {QStringList{"Settings/TimeDate=good"}, "11010", {}}};  // an unknown style leaves both ticks
    for (const auto& [stored, ticked, recent] : cases) {
      ClearStore();
      for (const QString& s : stored) Store(s.section('=', 0, 0), s.section('=', 1));
      WindowHarness h;
      QCOMPARE(Ticks(h), ticked);
      QCOMPARE(h.window().Options().AlwaysOverwrite, ticked[2] == '1');
      QCOMPARE(h.window().Options().ReUseDeadSpaces, ticked[3] == '1');
      QCOMPARE(h.window().ShowDeadSpace(), ticked[4] == '1');
      QCOMPARE(h.Captions("mnuLast", 4), recent);
      QCOMPARE(h.Action("mnuSepLast")->isVisible(), !recent.isEmpty());
    }
    QVERIFY(!SettingsStore::ParseBool("0", true) && !SettingsStore::ParseBool("junk", false));
  }

  void optionsTakeEffectAndAreStored() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"live.txt", 1}, {"<DEAD SPACE>", 2, 0, 1}, {"flagged.txt", 3, 0, 1}})});
    // Dead space is known by its name; the flag alone hides nothing.
    QCOMPARE(h.Column(0), (QStringList{" live.txt ", " flagged.txt "}));
    h.Action("mnuShowDeadSpace")->trigger();
    QCOMPARE(h.Column(2), (QStringList{" TXT File ", " <DEAD SPACE> File ", " TXT File "}));
    QCOMPARE(Stored("Settings/ShowDeadSpace"), QString("True"));
    h.Action("mnuShowDeadSpace")->trigger();
    QCOMPARE(h.window().RowCount(), 2);
    QCOMPARE(Stored("Settings/ShowDeadSpace"), QString("False"));

    QCOMPARE(h.Cell(0, 3), QString(" 31/12/69 19:00:00 "));
    h.Action("mnuBadFormat")->trigger();
    h.Action("mnuBadFormat")->trigger();  // choosing the style in force keeps it ticked
    QCOMPARE(Ticks(h), QString("01010"));
    QCOMPARE(h.Cell(0, 3), QString(" 12/31/69 07:00:00 PM "));
    QCOMPARE(Stored("Settings/TimeDate"), QString("Bad"));
    h.Action("mnuGoodFormat")->trigger();
    QCOMPARE(h.Cell(0, 3), QString(" 31/12/69 19:00:00 "));
    QCOMPARE(Stored("Settings/TimeDate"), QString("Good"));

    h.Action("mnuOverwrite")->trigger();
    h.Action("mnuReUseDeadSpace")->trigger();
    QCOMPARE(Ticks(h), QString("10100"));
    QVERIFY(h.window().Options().AlwaysOverwrite && !h.window().Options().ReUseDeadSpaces);
    QCOMPARE(Stored("Settings/AlwaysOverwrite"), QString("True"));
    QCOMPARE(Stored("Settings/ReUseDeadSpaces"), QString("False"));
  }

  void openOneThenSeveral() {
    WindowHarness h;
    h.window().mnuOpen_Click();  // cancelled
    QVERIFY(!h.window().Table().IsLoaded);
    QCOMPARE(Stored("Paths/Last"), QString("<absent>"));

    const QString a = h.Archive("a.pff", {{"x.pcx", 100}, {"y.txt", 200}});
    h.Open({a});
    QCOMPARE(h.dialogs.shown.back().text, QString("NovaLogic Resource Files (*.pff)"));
    QCOMPARE(h.dialogs.shown.back().extra, h.window().ProgramFolder());
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
    QCOMPARE(h.Tree()->topLevelItem(0)->child(0)->text(0), QString("a.pff"));
    QCOMPARE(CloseItems(h), QStringList{"a.pff"});
    QCOMPARE(h.window().RowCount(), 2);
    // The same file again only relists; the next dialog starts in the folder just used.
    h.Open({a});
    QCOMPARE(h.window().Table().Count(), 1);
    QCOMPARE(h.dialogs.shown.back().extra, QFileInfo(a).path() + "/");
    QCOMPARE(StoredRecent(), (QStringList{a, "<absent>", "<absent>", "<absent>"}));

    // Those open are skipped; an archive without entries gets its node and close item too.
    const QString b = h.Archive("b.pff", {}), c = h.Archive("c.pff", {{"z.txt", 1}});
    h.Open({b, a, c});
    QCOMPARE(h.NodeKeys(), (QStringList{"B", "C", "D"}));
    QCOMPARE(CloseItems(h), (QStringList{"a.pff", "b.pff", "c.pff"}));
    QCOMPARE(StoredRecent(), (QStringList{c, b, a, "<absent>"}));
    QCOMPARE(h.window().RowCount(), 3);

    // A missing file is reported and leaves the table; it is remembered all the same.
    h.Open({h.File("missing.pff")});
    QCOMPARE(h.dialogs.Messages().size(), 1);
    QVERIFY(h.dialogs.Messages().first().startsWith("Error in UpdatePff\r\n"));
    QCOMPARE(h.window().Table().Count(), 3);
    QCOMPARE(Stored("Paths/Last1"), h.File("missing.pff"));
  }

  void recentListShiftsAndSwaps() {
    // A match ignores case and keeps the new text; the highest matching slot swaps with slot 1.
    RecentSlots recent{"/aa", "A:/X.PFF", "/bb", "a:/x.pff"};
    QVERIFY(AddToRecent(recent, "a:/X.pff") && recent == RecentSlots({"a:/X.pff", "A:/X.PFF", "/bb", "/aa"}));
    RecentSlots first{"/cc", "/bb", "/aa", "/dd"};
    QVERIFY(!AddToRecent(first, "/CC") && !AddToRecent(first, "ab"));  // already first; too short
    QCOMPARE(RecentCaption(1, "/tmp/abcdefg.pff"), QString("&1 /tmp/abcdefg.pff"));  // 16 characters
    QCOMPARE(RecentCaption(2, "/tmp/abcdefgh.pff"), QString("&2 abcdefgh.pff"));     // 17: the name

    WindowHarness h;
    QStringList p;
    for (const char* name : {"A.pff", "B.pff", "C.pff", "D.pff", "E.pff"}) {
      p << h.Archive(name, {{"x.txt", 1}});
      h.Open({p.last()});
    }
    QCOMPARE(StoredRecent(), (QStringList{p[4], p[3], p[2], p[1]}));
    QCOMPARE(h.Captions("mnuLast", 4).size(), 4);

    for (int n = 1; n <= 4; ++n) Store("Paths/Last" + QString::number(n), p[n - 1]);
    WindowHarness fresh;
    fresh.Open({p[2]});
    QCOMPARE(StoredRecent(), (QStringList{p[2], p[1], p[0], p[3]}));
    // A recent item opens its archive unless it is open, and leaves the list as it is.
    fresh.window().mnuLast_Click(1);
    fresh.Action("mnuLast2")->trigger();
    QCOMPARE(fresh.window().Table().Count(), 2);
    QCOMPARE(fresh.Column(4), (QStringList{" C.pff ", " B.pff "}));
    QCOMPARE(StoredRecent(), (QStringList{p[2], p[1], p[0], p[3]}));
  }

  void newArchivesOfBothFlavours() {
    // header size, "PFF3", 0 entries, record size, directory offset
    const std::pair<const char*, QByteArray> flavours[] = {
        {"mnuNewV1", "3e000000" + QByteArray("50464633") + "00000000" + "20000000" + "14000000"},
        {"mnuNewV2", "14000000" + QByteArray("50464633") + "00000000" + "24000000" + "3e000000"}};
    for (const auto& [item, header] : flavours) {
      ClearStore();
      WindowHarness h;
      h.dialogs.saveAnswers.push_back(h.File("first.pff"));
      h.Action(item)->trigger();
      QCOMPARE(h.dialogs.shown.back().extra, h.window().ProgramFolder());
      QCOMPARE(h.NodeKeys(), QStringList{"B"});

      h.Open({h.Archive("two.pff", {{"y.txt", 1}})});
      const QString path = h.File("sub/new.pff");
      QVERIFY(QDir().mkpath(h.File("sub")));
      WriteFile(path, QByteArray(500, 'x'));  // a larger file there is replaced whole
      h.dialogs.saveAnswers.push_back(path);
      h.Action(item)->trigger();
      const QByteArray bytes = ReadFile(path);
      QCOMPARE(bytes.size(), 73);
      QCOMPARE(bytes.left(20).toHex(), header);
      QVERIFY(bytes.endsWith("KING"));
      QCOMPARE(h.NodeKeys(), (QStringList{"B", "C", "D"}));
      QVERIFY(h.Tree()->topLevelItem(0)->isExpanded());
      QCOMPARE(CloseItems(h), (QStringList{"first.pff", "two.pff", "new.pff"}));
      QCOMPARE(Stored("Paths/Last1"), h.File("two.pff"));  // new archives are not recent ones

      h.dialogs.saveAnswers.push_back(QString());  // cancelled, in the folder the last one ended
      h.Action(item)->trigger();
      QCOMPARE(h.dialogs.shown.back().extra, h.File("sub") + "/");
      QCOMPARE(h.window().Table().Count(), 3);
    }
  }

  void closeOneLastAndAll() {
    WindowHarness h;
    OpenThree(h);
    h.Action("mnuActualClose2")->trigger();
    QCOMPARE(h.NodeKeys(), (QStringList{"B", "C"}));
    QCOMPARE(CloseItems(h), (QStringList{"a.pff", "c.pff"}));
    QCOMPARE(h.Column(4), (QStringList{" a.pff ", " c.pff "}));
    QCOMPARE(h.Column(7), (QStringList{"1", "2"}));
    h.window().mnuActualClose_Click(2);  // the last
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
    QCOMPARE(CloseItems(h), QStringList{"a.pff"});
    h.window().mnuActualClose_Click(1);  // the only one: as Close All
    QVERIFY(!h.window().Table().IsLoaded);
    QVERIFY(h.NodeKeys().isEmpty() && CloseItems(h).isEmpty());
    QCOMPARE(h.Tree()->topLevelItemCount(), 1);
    QCOMPARE(h.Grid()->model()->rowCount(), 1);  // one empty row under the header
    QCOMPARE(h.window().RowCount(), 0);
    // Close All with nothing open says nothing; reopening starts at key B.
    h.Action("mnuActualClose0")->trigger();
    QVERIFY(h.dialogs.Messages().isEmpty());
    h.Open({h.File("b.pff")});
    QCOMPARE(h.NodeKeys(), QStringList{"B"});

    QStringList paths;
    for (int i = 1; i <= 40; ++i) paths << h.Archive(QString("f%1.pff").arg(i), {});
    h.Open(paths);
    QCOMPARE(h.NodeKeys().size(), 41);
    QCOMPARE(h.NodeKeys()[38], QString(QChar('A' + 39)));
    QCOMPARE(CloseItems(h).last(), QString("f36.pff"));  // item 37; none for the 38th archive and on
    h.window().mnuActualClose_Click(2);
    QCOMPARE(h.NodeKeys().size(), 40);
    QCOMPARE(CloseItems(h).last(), QString("f37.pff"));
  }

  void shownArchiveFollowsItsArchive() {
    // archive shown, archive closed (0: all), shown after, tree node after
    const std::tuple<int, int, int, QString> cases[] = {
        {3, 1, 2, "C"}, {1, 2, 1, "B"}, {2, 2, -1, "All"}, {2, 0, -1, "All"}};
    for (const auto& [shown, closed, after, key] : cases) {
      WindowHarness h;
      OpenThree(h);
      h.Show(shown);
      const QString name = h.Cell(0, 4);
      h.window().mnuActualClose_Click(closed);
      QCOMPARE(h.window().SelectedArchive(), after);
      QCOMPARE(CurrentKey(h), key);
      if (after > 0) QCOMPARE(h.Column(4), QStringList{name});
    }
    // A new archive over an open one closes that first.
    WindowHarness h;
    OpenThree(h);
    h.Show(3);
    h.dialogs.saveAnswers.push_back(h.File("a.pff"));
    h.window().mnuNewV1_Click();
    QCOMPARE(h.window().Table().Count(), 3);
    QCOMPARE(h.window().SelectedArchive(), 2);
    QCOMPARE(CurrentKey(h), QString("C"));
    QCOMPARE(h.Column(4), QStringList{" c.pff "});
  }

  void commandLineStartOpensTheArchive() {
    const std::tuple<QStringList, QString> cases[] = {
        {{"vellumcraft", "/x/my", "maps.pff"}, "/x/my maps.pff"},
        {{"vellumcraft", "\"/x/my maps.pff\""}, "/x/my maps.pff"},
        {{"vellumcraft", "\"/x/a.pff"}, "\"/x/a.pff"}};  // a quote at one end only stays
    for (const auto& [arguments, path] : cases) QCOMPARE(CommandLinePath(arguments), path);

    WindowHarness h;
    OpenCommandLineArchive(h.window(), {"vellumcraft"});
    QVERIFY(!h.window().Table().IsLoaded);
    const QString path = h.Archive("start up.pff", {{"a.txt", 1}, {"b.txt", 2}});
    OpenCommandLineArchive(h.window(), {"vellumcraft", "\"" + path + "\""});
    QVERIFY(h.dialogs.Messages().isEmpty());
    QCOMPARE(h.window().RowCount(), 2);
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
    QVERIFY(h.Tree()->topLevelItem(0)->isExpanded());
    QCOMPARE(Stored("Paths/Last1"), QString("<absent>"));
  }

  void menusShortcutsAndMailLink() {
    WindowHarness h;
    QCOMPARE(Captions(h.window().menuBar()), QString("&File|&Options|&Actions"));
    const std::pair<const char*, QString> menus[] = {
        {"mnuFile", "&New|&Open File|&Close File|-|About|-|||||-|E&xit"},
        {"mnuNew", "DF1/DF2 Format|DF3 (DF:LW) Format"},
        {"mnuClose", "Close All" + QString(37, '|')},
        {"mnuOptions", "Time/Date Format|Show DeadSpaces|Re-Use DeadSpace|Always Overwrite|Show Preview"},
        {"mnuTimeDateFormat", "Day/Month/Year Use 24 Hours|Month/Day/Year Use PM/AM"},
        {"mnuPopUp1", "Add|Extract|Rename|Delete|-|Check Archive|Compact Archive"}};
    for (const auto& [name, captions] : menus)
      QCOMPARE(Captions(h.window().findChild<QMenu*>(name)), captions);
    const std::pair<const char*, const char*> shortcuts[] = {
        {"mnuNewV1", "Ctrl+N"},        {"mnuNewV2", "Ctrl+L"},    {"mnuOpen", "Ctrl+O"},
        {"mnuActualClose0", "Ctrl+C"}, {"mnuAddFiles", "Ctrl+A"}, {"mnuExtract", "Ctrl+E"},
        {"mnuRename", "Ctrl+R"},       {"mnuDelete", "Del"}};
    for (const auto& [name, keys] : shortcuts) QCOMPARE(h.Action(name)->shortcut(), QKeySequence(keys));

    QTest::mouseClick(h.window().findChild<QLineEdit*>("Text1"), Qt::LeftButton);
    QTest::mouseClick(h.window().findChild<QLabel*>("Label2"), Qt::LeftButton);
    QCOMPARE(h.dialogs.shown.size(), size_t(2));
    QVERIFY(h.dialogs.shown[0].text.startsWith("mailto:") &&
            h.dialogs.shown[1].text == h.dialogs.shown[0].text);
  }

  void modelStaysConsistent() {
    WindowHarness h;
    QAbstractItemModel* model = h.Grid()->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model->rowCount(), 1);  // nothing open: one empty row under the header
    QCOMPARE(model->columnCount(), 9);
    QCOMPARE(h.Cell(0, 0), QString());
    QCOMPARE(h.window().RowCount(), 0);
    h.Open({h.Archive("a.pff", kMixed), h.Archive("b.pff", {{"z.bin", 1}})});
    h.window().SetSelection(1, 2);
    h.window().FG1_HeaderClick(1);
    h.Show(2);
    // A filter that hides everything leaves the header alone, still readable.
    h.window().CurrentFilter().Active = h.window().CurrentFilter().NameOn = true;
    h.window().CurrentFilter().NameText = "nothing like it";
    h.window().RefreshList();
    QCOMPARE(model->rowCount(), 0);
    QVERIFY(h.Grid()->columnWidth(0) > 0);
    h.window().mnuActualClose_Click(0);
  }

  void viewAllAndTreeClicks() {
    WindowHarness h;
    h.Open({h.Archive("one.pff", {{"a.pcx", 2048}, {"b.txt", 10}}),
            h.Archive("two.pff", {{"WWWWWWWWWWWW.wav", 1536}})});
    QCOMPARE(Row(h, 0), QString(" a.pcx | 2 KB | PCX File | 31/12/69 19:00:00 | one.pff |2048|0|1|1"));
    QCOMPARE(Row(h, 1), QString(" b.txt | 0 KB | TXT File | 31/12/69 19:00:00 | one.pff |10|0|1|2"));
    QCOMPARE(Row(h, 2),
             QString(" WWWWWWWWWWWW.wav | 2 KB | WAV File | 31/12/69 19:00:00 | two.pff |1536|0|2|1"));
    for (int c = 5; c < 9; ++c) QVERIFY(h.Grid()->isColumnHidden(c));
    const int wide = h.Grid()->columnWidth(0);
    QVERIFY(wide >= h.Grid()->fontMetrics().horizontalAdvance(" WWWWWWWWWWWW.wav "));

    h.Show(1);
    QCOMPARE(h.window().SelectedArchive(), 1);
    QCOMPARE(h.Column(4), (QStringList{" one.pff ", " one.pff "}));
    QVERIFY(h.Grid()->columnWidth(0) < wide);  // the widths follow the texts shown
    h.Show(0);
    QCOMPARE(h.window().SelectedArchive(), -1);
    QCOMPARE(h.window().RowCount(), 3);
    emit h.Tree()->itemClicked(h.Tree()->topLevelItem(0)->child(1), 0);  // as a mouse click delivers it
    QCOMPARE(h.window().SelectedArchive(), 2);
    QCOMPARE(h.Column(0), QStringList{" WWWWWWWWWWWW.wav "});
  }

  void headerClicksSortBothWays() {
    // column, names after the first click (the second reverses them, except where keys are equal)
    const std::tuple<int, QStringList, QStringList> cases[] = {
        {0, {" A.txt ", " b.pcx ", " c.PCX ", " README "}, {}},  // text, ignoring case
        {1, {" README ", " A.txt ", " c.PCX ", " b.pcx "}, {}},  // numbers: 900 before 10000
        {2, {" b.pcx ", " c.PCX ", " README ", " A.txt "}, {" A.txt ", " README ", " b.pcx ", " c.PCX "}},
        {3, {" A.txt ", " c.PCX ", " b.pcx ", " README "}, {}}};
    for (const auto& [column, ascending, descending] : cases) {
      WindowHarness h;
      h.Open({h.Archive("a.pff", kMixed)});
      h.window().FG1_HeaderClick(column);
      QCOMPARE(h.Column(0), ascending);
      QVERIFY(h.window().SortAscending(column));
      h.window().FG1_HeaderClick(column);
      QStringList down = descending;
      if (down.isEmpty()) std::reverse_copy(ascending.begin(), ascending.end(), std::back_inserter(down));
      QCOMPARE(h.Column(0), down);
      h.window().FG1_HeaderClick(column);
      QCOMPARE(h.Column(0), ascending);
      // Rows moved whole: the index columns still name each row's entry.
      for (int r = 0; r < 4; ++r)
        QCOMPARE(h.Cell(r, 0), QString(" %1 ").arg(kMixed[h.Cell(r, 8).toInt() - 1].name.c_str()));
    }

    // Each column keeps its direction; a rebuild neither resets nor sorts again.
    WindowHarness h;
    h.Open({h.Archive("one.pff", {{"a.txt", 1}}), h.Archive("two.pff", {{"b.txt", 1}})});
    h.window().FG1_HeaderClick(4);
    h.window().FG1_HeaderClick(4);
    QCOMPARE(h.Column(4), (QStringList{" two.pff ", " one.pff "}));
    h.window().FG1_HeaderClick(0);
    QVERIFY(!h.window().SortAscending(4) && h.window().SortAscending(0));
    h.window().RefreshList();
    QCOMPARE(h.Column(4), (QStringList{" one.pff ", " two.pff "}));
    h.window().FG1_HeaderClick(4);
    QCOMPARE(h.Column(4), (QStringList{" one.pff ", " two.pff "}));
  }

  void mouseAndKeysOnTheGrid() {
    WindowHarness h;
    h.window().resize(900, 600);
    h.window().show();
    h.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h.window()));
    QMenu* actions = h.window().findChild<QMenu*>("mnuPopUp1");
    QWidget* rows = h.Grid()->viewport();
    QTest::mousePress(rows, Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(!actions->isVisible());  // nothing open: no pop-up
    h.Open({h.Archive("a.pff", kMixed)});

    QHeaderView* header = h.Grid()->horizontalHeader();
    const QPoint size(header->sectionViewportPosition(1) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, size);
    QTest::mouseClick(header->viewport(), Qt::RightButton, {}, size);  // does not sort
    QCOMPARE(h.Column(5), (QStringList{"0", "900", "5000", "10000"}));

    // The selection's anchor is the end that stays put while shift extends the block.
    auto rowPoint = [&](int r) { return h.Grid()->visualRect(h.Grid()->model()->index(r, 0)).center(); };
    QTest::mouseClick(rows, Qt::LeftButton, {}, rowPoint(0));
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ShiftModifier, rowPoint(2));
    QCOMPARE(h.window().CurrentRow(), 2);
    QCOMPARE(h.window().SelectionEndRow(), 0);
    QTest::keyClick(h.Grid(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(h.window().CurrentRow(), 3);
    QCOMPARE(h.window().SelectionEndRow(), 0);
    QCOMPARE(h.Grid()->selectionModel()->selectedRows().size(), 4);
    QTest::keyClick(h.Grid(), Qt::Key_Up);
    QCOMPARE(h.window().SelectionEndRow(), 2);
    h.window().SetSelection(3, 1);
    QCOMPARE(h.window().CurrentRow(), 3);
    QCOMPARE(h.window().SelectionEndRow(), 1);
    QTest::mousePress(rows, Qt::RightButton, {}, rowPoint(0));
    QVERIFY(actions->isVisible());
    QCOMPARE(h.window().CurrentRow(), 3);  // the pop-up leaves the selection as it is
    actions->hide();

    // Ctrl+A and Ctrl+C are the window's "Add" and "Close All", not the grid's own.
    QSignalSpy add(h.Action("mnuAddFiles"), &QAction::triggered);
    QSignalSpy closeAll(h.Action("mnuActualClose0"), &QAction::triggered);
    h.Grid()->setFocus();
    QTest::keyClick(h.Grid(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(add.count(), 1);
    QCOMPARE(h.Grid()->selectionModel()->selectedRows().size(), 3);
    h.Tree()->setFocus();
    QTest::keyClick(h.Tree(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(add.count(), 2);
    h.Grid()->setFocus();
    QTest::keyClick(h.Grid(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(closeAll.count(), 1);
    QVERIFY(!h.window().Table().IsLoaded);
  }

  void quickTypeList() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"a.pcx", 1}, {"B.PCX", 2}, {"README", 3}, {"<DEAD SPACE>", 4, 0, 1}}),
            h.Archive("b.pff", {{"z.wav", 1}})});
    QCOMPARE(Types(h), (QStringList{" Show All", "<DEAD SPACE>", "PCX", "README", "WAV"}));
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
    h.Show(2);
    h.Open({h.Archive("c.pff", {{"q.bmp", 1}})});
    QCOMPARE(Types(h), (QStringList{" Show All", "WAV"}));
  }
};

VELLUM_UI_TEST_MAIN(WindowTest)
#include "window_test.moc"
