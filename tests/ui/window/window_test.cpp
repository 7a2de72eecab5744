// The main window: start-up from the store, the options, the recent list,
// opening, creating and closing archives, the command-line start and the menus.

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTest>
#include <algorithm>

#include "support/ui_test_env.h"
#include "ui/window/command_line.h"
#include "ui/window/recent_list.h"

namespace {

// Captions of a menu's items joined by "|", "-" for a separator.
QString Captions(const QWidget* menu) {
  QStringList captions;
  for (QAction* a : menu->actions()) captions << (a->isSeparator() ? "-" : a->text());
  return captions.join('|');
}

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
       {"dayMonthYear", "monthDayYear", "alwaysOverwrite", "reuseDeadSpace", "showDeadSpace"})
    ticks += h.Action(item)->isChecked() ? '1' : '0';
  return ticks;
}

QStringList StoredRecent() {
  QStringList paths;
  for (int n = 1; n <= 4; ++n) paths << Stored("Paths/Last" + QString::number(n));
  return paths;
}

QStringList CloseItems(const WindowHarness& h) { return h.Captions("closeItem", 37); }

void OpenThree(WindowHarness& h) {
  h.Open({h.Archive("a.pff", {{"x.txt", 1}}), h.Archive("b.pff", {{"y.txt", 1}}),
          h.Archive("c.pff", {{"z.txt", 1}})});
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
         {"&1 /x/one.pff", "", "&3 three.pff"}}};
    for (const auto& [stored, ticked, recent] : cases) {
      ClearStore();
      for (const QString& s : stored) Store(s.section('=', 0, 0), s.section('=', 1));
      WindowHarness h;
      QCOMPARE(Ticks(h), ticked);
      QCOMPARE(h.Captions("recentItem", 4), recent);
      QCOMPARE(h.Action("recentSeparator")->isVisible(), !recent.isEmpty());
    }
  }

  void optionsTakeEffectAndAreStored() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"live.txt", 1}, {"<DEAD SPACE>", 2, 0, 1}, {"flagged.txt", 3, 0, 1}})});
    // Dead space is known by its name; the flag alone hides nothing.
    QCOMPARE(h.Column(0), (QStringList{" live.txt ", " flagged.txt "}));
    h.Action("showDeadSpace")->trigger();
    QCOMPARE(h.Column(2), (QStringList{" TXT File ", " <DEAD SPACE> File ", " TXT File "}));
    QCOMPARE(Stored("Settings/ShowDeadSpace"), QString("True"));
    h.Action("showDeadSpace")->trigger();
    QCOMPARE(h.Listed(), 2);
    QCOMPARE(Stored("Settings/ShowDeadSpace"), QString("False"));

    QCOMPARE(h.Cell(0, 3), QString(" 31/12/69 19:00:00 "));
    h.Action("monthDayYear")->trigger();
    h.Action("monthDayYear")->trigger();  // choosing the style in force keeps it ticked
    QCOMPARE(Ticks(h), QString("01010"));
    QCOMPARE(h.Cell(0, 3), QString(" 12/31/69 07:00:00 PM "));
    QCOMPARE(Stored("Settings/TimeDate"), QString("Bad"));
    h.Action("dayMonthYear")->trigger();
    QCOMPARE(Stored("Settings/TimeDate"), QString("Good"));

    h.Action("alwaysOverwrite")->trigger();
    h.Action("reuseDeadSpace")->trigger();
    QCOMPARE(Ticks(h), QString("10100"));
    QCOMPARE(Stored("Settings/AlwaysOverwrite"), QString("True"));
    QCOMPARE(Stored("Settings/ReUseDeadSpaces"), QString("False"));
  }

  void openOneThenSeveral() {
    {
      // Before any folder was used, the dialogs start in the home folder, never the program's.
      ScriptedDialogs dialogs;
      MainWindow window(dialogs);
      window.OpenFromDialog();
      QCOMPARE(dialogs.shown.at(0).extra, QDir::homePath());
    }
    WindowHarness h;
    h.window().OpenFromDialog();  // cancelled
    QVERIFY(h.NodeKeys().isEmpty());
    QCOMPARE(Stored("Paths/Last"), QString("<absent>"));

    const QString a = h.Archive("a.pff", {{"x.pcx", 100}, {"y.txt", 200}});
    h.Open({a});
    QCOMPARE(h.dialogs.shown.back().text, QString("NovaLogic Resource Files (*.pff)"));
    QCOMPARE(h.dialogs.shown.back().extra, h.StartFolder());
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
    QCOMPARE(h.Tree()->topLevelItem(0)->child(0)->text(0), QString("a.pff"));
    QCOMPARE(CloseItems(h), QStringList{"a.pff"});
    QCOMPARE(h.Listed(), 2);
    // The same file again only relists; the next dialog starts in the folder just used.
    h.Open({a});
    QCOMPARE(h.NodeKeys().size(), 1);
    QCOMPARE(h.dialogs.shown.back().extra, QFileInfo(a).path() + "/");
    QCOMPARE(StoredRecent(), (QStringList{a, "<absent>", "<absent>", "<absent>"}));

    // Those open are skipped; an archive without entries gets its node and close item too.
    const QString b = h.Archive("b.pff", {}), c = h.Archive("c.pff", {{"z.txt", 1}});
    h.Open({b, a, c});
    QCOMPARE(h.NodeKeys(), (QStringList{"B", "C", "D"}));
    QCOMPARE(CloseItems(h), (QStringList{"a.pff", "b.pff", "c.pff"}));
    QCOMPARE(StoredRecent(), (QStringList{c, b, a, "<absent>"}));
    QCOMPARE(h.Listed(), 3);

    // A missing file is reported by its path and leaves the table and the recent archives as they were.
    h.Open({h.File("missing.pff")});
    QCOMPARE(h.dialogs.Messages(),
             QStringList{"Error in UpdatePff\r\n" + h.File("missing.pff") + ": No such file or directory"});
    QCOMPARE(h.NodeKeys().size(), 3);
    QCOMPARE(StoredRecent(), (QStringList{c, b, a, "<absent>"}));
  }

  void recentListShiftsAndSwaps() {
    // A match ignores case and keeps the new text; the highest matching slot swaps with slot 1.
    RecentSlots recent{"/aa", "A:/X.PFF", "/bb", "a:/x.pff"};
    QVERIFY(AddToRecent(recent, "a:/X.pff") && recent == RecentSlots({"a:/X.pff", "A:/X.PFF", "/bb", "/aa"}));
    RecentSlots first{"/cc", "/bb", "/aa", "/dd"};
    QVERIFY(!AddToRecent(first, "/CC") &&
            !AddToRecent(first, "ab"));  // already first; too short; a new one shifts
    QVERIFY(AddToRecent(first, "/ee") && first == RecentSlots({"/ee", "/cc", "/bb", "/aa"}));
    QCOMPARE(RecentCaption(1, "/tmp/abcdefg.pff"), QString("&1 /tmp/abcdefg.pff"));  // 16 characters
    QCOMPARE(RecentCaption(2, "/tmp/abcdefgh.pff"), QString("&2 abcdefgh.pff"));     // 17: the name

    QTemporaryDir dir;
    QStringList p;
    for (const char* name : {"A.pff", "B.pff", "C.pff", "D.pff"}) {
      WriteTestArchive(p.emplace_back(dir.filePath(name)), {{"x.txt", 1}});
      Store("Paths/Last" + QString::number(p.size()), p.last());
    }
    WindowHarness fresh;
    fresh.Open({p[2]});
    QCOMPARE(StoredRecent(), (QStringList{p[2], p[1], p[0], p[3]}));
    // A recent item opens its archive unless it is open, and leaves the list as it is.
    fresh.window().OpenRecent(1);
    fresh.Settle();
    fresh.Run("recentItem2");
    QCOMPARE(fresh.NodeKeys().size(), 2);
    QCOMPARE(fresh.Column(4), (QStringList{" C.pff ", " B.pff "}));
    QCOMPARE(StoredRecent(), (QStringList{p[2], p[1], p[0], p[3]}));
  }

  void newArchivesOfBothFlavours() {
    WindowHarness h;
    // The byte layouts are checked in the engine's tests; here each item makes its own flavour.
    for (const auto& [item, headerSize] : {std::pair{"newOldFlavour", 62}, std::pair{"newNewFlavour", 20}}) {
      h.dialogs.saveAnswers.push_back(h.File(QString(item) + ".pff"));
      h.Action(item)->trigger();
      QCOMPARE(int(ReadFile(h.File(QString(item) + ".pff")).at(0)), headerSize);
    }
    QCOMPARE(h.dialogs.shown.front().extra, h.StartFolder());
    QCOMPARE(h.NodeKeys(), (QStringList{"B", "C"}));

    h.Open({h.Archive("two.pff", {{"y.txt", 1}})});
    const QString path = h.File("sub/new.pff");
    QVERIFY(QDir().mkpath(h.File("sub")));
    WriteFile(path, QByteArray(500, 'x'));  // a larger file there is replaced whole
    h.dialogs.saveAnswers.push_back(path);
    h.Action("newNewFlavour")->trigger();
    QCOMPARE(ReadFile(path).size(), 73);
    QCOMPARE(h.NodeKeys(), (QStringList{"B", "C", "D", "E"}));
    QVERIFY(h.Tree()->topLevelItem(0)->isExpanded());
    QCOMPARE(CloseItems(h), (QStringList{"newOldFlavour.pff", "newNewFlavour.pff", "two.pff", "new.pff"}));
    QCOMPARE(Stored("Paths/Last1"), h.File("two.pff"));  // new archives are not recent ones

    h.dialogs.saveAnswers.push_back(QString());  // cancelled, in the folder the last one ended
    h.Action("newOldFlavour")->trigger();
    QCOMPARE(h.dialogs.shown.back().extra, h.File("sub") + "/");
    QCOMPARE(h.NodeKeys().size(), 4);
  }

  void closeOneArchive() {
    // archive shown, archive closed (0: all), tree node after, close items after
    const std::tuple<int, int, QString, QStringList> cases[] = {{3, 1, "C", {"b.pff", "c.pff"}},
                                                                {1, 2, "B", {"a.pff", "c.pff"}},
                                                                {2, 2, "All", {"a.pff", "c.pff"}},
                                                                {2, 3, "C", {"a.pff", "b.pff"}},
                                                                {2, 0, "All", {}}};
    for (const auto& [shown, closed, key, items] : cases) {
      WindowHarness h;
      OpenThree(h);
      h.Show(shown);
      const QString name = h.Cell(0, 4);
      h.window().CloseArchive(closed);
      QCOMPARE(h.ShownKey(), key);
      QCOMPARE(CloseItems(h), items);
      QCOMPARE(h.NodeKeys().size(), items.size());
      // The shown archive follows its archive to its new index.
      if (key != "All")
        QCOMPARE(h.Column(4) + h.Column(7), (QStringList{name, QString::number(key[0].unicode() - 'A')}));
    }
    // A new archive over an open one closes that first.
    WindowHarness h;
    OpenThree(h);
    h.Show(3);
    h.dialogs.saveAnswers.push_back(h.File("a.pff"));
    h.window().NewArchive(pff::Flavour::Old);
    QCOMPARE(h.NodeKeys().size(), 3);
    QCOMPARE(h.ShownKey(), QString("C"));
    QCOMPARE(h.Column(4), QStringList{" c.pff "});
    // Its types leave the quick list with it.
    h.Show(0);
    h.Open({h.Archive("p.pff", {{"x.pcx", 1}})});
    QCOMPARE(h.FilterList()->count(), 3);
    h.dialogs.saveAnswers.push_back(h.File("p.pff"));
    h.window().NewArchive(pff::Flavour::Old);
    QCOMPARE(h.FilterList()->count(), 2);
  }

  void closeTheOnlyAndMany() {
    WindowHarness h;
    h.Open({h.Archive("b.pff", {{"y.txt", 1}})});
    h.window().CloseArchive(1);  // the only one: as Close All
    QVERIFY(h.NodeKeys().isEmpty() && CloseItems(h).isEmpty());
    QCOMPARE(h.Tree()->topLevelItemCount(), 1);
    QCOMPARE(h.Grid()->model()->rowCount(), 1);  // one empty row under the header
    QCOMPARE(h.Listed(), 0);
    // Close All with nothing open says nothing; reopening starts at key B.
    h.Action("closeItem0")->trigger();
    QVERIFY(h.dialogs.Messages().isEmpty());
    h.Open({h.File("b.pff")});
    QCOMPARE(h.NodeKeys(), QStringList{"B"});

    QStringList paths;
    for (int i = 1; i <= 40; ++i) paths << h.Archive(QString("f%1.pff").arg(i), {});
    h.Open(paths);
    QCOMPARE(h.NodeKeys().size(), 41);
    QCOMPARE(h.NodeKeys()[38], QString(QChar('A' + 39)));
    QCOMPARE(CloseItems(h).last(), QString("f36.pff"));  // item 37; none for the 38th archive and on
    h.window().CloseArchive(2);
    QCOMPARE(h.NodeKeys().size(), 40);
    QCOMPARE(CloseItems(h).last(), QString("f37.pff"));
  }

  void commandLineStartOpensTheArchive() {
    const std::tuple<QStringList, QString> cases[] = {
        {{"vellumcraft", "/x/my", "maps.pff"}, "/x/my maps.pff"},
        {{"vellumcraft", "\"/x/my maps.pff\""}, "/x/my maps.pff"},
        {{"vellumcraft", "\"/x/a.pff"}, "\"/x/a.pff"},  // a quote at one end only stays
        {{"vellumcraft"}, ""}};
    for (const auto& [arguments, path] : cases) QCOMPARE(CommandLinePath(arguments), path);

    WindowHarness h;
    const QString path = h.Archive("start up.pff", {{"a.txt", 1}, {"b.txt", 2}});
    OpenCommandLineArchive(h.window(), {"vellumcraft", "\"" + path + "\""});
    h.Settle();
    QVERIFY(h.dialogs.Messages().isEmpty());
    QCOMPARE(h.Listed(), 2);
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
    QVERIFY(h.Tree()->topLevelItem(0)->isExpanded());
    QCOMPARE(Stored("Paths/Last1"), QString("<absent>"));

    // A launcher's several files: each file opens once; other words are ignored.
    const QString second = h.Archive("second.pff", {{"c.txt", 3}});
    OpenCommandLineArchive(h.window(), {"vellumcraft", path, second, second, h.File("missing.pff")});
    h.Settle();
    QCOMPARE(h.NodeKeys(), (QStringList{"B", "C"}));
    QCOMPARE(CommandLinePaths({"vellumcraft", "no", "such"}), QStringList{"no such"});
  }

  void menusShortcutsAndMailLink() {
    WindowHarness h;
    QCOMPARE(Captions(h.window().menuBar()), QString("&File|&Options|&Actions"));
    const std::pair<const char*, QString> menus[] = {
        {"fileMenu", "&New|&Open File|&Close File|-|About|-|||||-|E&xit"},
        {"newMenu", "DF1/DF2 Format|DF3 (DF:LW) Format"},
        {"optionsMenu", "Time/Date Format|Show DeadSpaces|Re-Use DeadSpace|Always Overwrite|Show Preview"},
        {"dateStyleMenu", "Day/Month/Year Use 24 Hours|Month/Day/Year Use PM/AM"},
        {"actionsMenu", "Add|Extract|Rename|Delete|-|Check Archive|Compact Archive|-|Undo|Redo"}};
    for (const auto& [name, captions] : menus)
      QCOMPARE(Captions(h.window().findChild<QMenu*>(name)), captions);
    const std::pair<const char*, const char*> shortcuts[] = {
        {"newOldFlavour", "Ctrl+N"}, {"newNewFlavour", "Ctrl+L"}, {"openArchives", "Ctrl+O"},
        {"closeItem0", "Ctrl+C"},    {"addFiles", "Ctrl+A"},      {"extractEntries", "Ctrl+E"},
        {"renameEntry", "Ctrl+R"},   {"deleteEntries", "Del"},    {"showPreview", "F3"},
        {"undoChange", "Ctrl+Z"},    {"redoChange", "Ctrl+Y"}};
    for (const auto& [name, keys] : shortcuts) QCOMPARE(h.Action(name)->shortcut(), QKeySequence(keys));

    QTest::mouseClick(h.window().findChild<QLineEdit*>("mailLink"), Qt::LeftButton);
    QTest::mouseClick(h.window().findChild<QLabel*>("authorLabel"), Qt::LeftButton);
    QCOMPARE(h.dialogs.Kinds(), (QStringList{"desktop", "desktop"}));
    QVERIFY(h.dialogs.shown[0].text.startsWith("mailto:") &&
            h.dialogs.shown[1].text == h.dialogs.shown[0].text);
  }
};

VELLUM_UI_TEST_MAIN(WindowTest)
#include "window_test.moc"
