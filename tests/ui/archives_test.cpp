// Opening, creating and closing archives through the window, and the
// command-line start.

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include "support/ui_test_env.h"
#include "ui/command_line.h"

namespace {

QString Stored(const QString& key) {
  QSettings store("Tav_Vellumcraft", "Tav_Vellumcraft");
  return store.value("Paths/" + key, "<absent>").toString();
}

int32_t Int32At(const QByteArray& bytes, int offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[offset + i]);
  return static_cast<int32_t>(v);
}

QString CurrentKey(WindowHarness& h) {
  QTreeWidgetItem* item = h.Tree()->currentItem();
  return item ? item->data(0, Qt::UserRole).toString() : QString();
}

}  // namespace

class ArchivesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearStore(); }

  void openOneAddsNodeCloseItemAndRows() {
    WindowHarness h;
    const QString path = h.Archive("maps.pff", {{"a.pcx", 100}, {"b.txt", 200}});
    h.Open({path});
    QCOMPARE(h.dialogs.shown.front().text, QString("NovaLogic Resource Files (*.pff)"));
    QCOMPARE(h.dialogs.shown.front().extra, h.window().ProgramFolder());
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
    QCOMPARE(h.Tree()->topLevelItem(0)->child(0)->text(0), QString("maps.pff"));
    QCOMPARE(h.CloseCaptions(), QStringList{"maps.pff"});
    QCOMPARE(h.window().RowCount(), 2);
    QCOMPARE(Stored("Last1"), path);
    QCOMPARE(h.window().filterList()->count(), 3);

    // The same file again (one file chosen) only relists; the recent list stays.
    h.Open({path});
    QCOMPARE(h.window().Table().Count(), 1);
    QCOMPARE(Stored("Last2"), QString("<absent>"));
    // The next Open dialog starts in the folder just used.
    QCOMPARE(h.dialogs.shown.back().extra, QFileInfo(path).path() + "/");
  }

  void openSeveralSkipsThoseOpen() {
    WindowHarness h;
    const QString a = h.Archive("a.pff", {{"x.txt", 1}});
    const QString b = h.Archive("b.pff", {});
    const QString c = h.Archive("c.pff", {{"y.txt", 1}});
    h.Open({b});
    h.Open({a, b, c});
    QCOMPARE(h.window().Table().Count(), 3);
    QCOMPARE(QString::fromStdString(h.window().Table().Archive(2).Path), a);
    QCOMPARE(QString::fromStdString(h.window().Table().Archive(3).Path), c);
    QCOMPARE(h.NodeKeys(), (QStringList{"B", "C", "D"}));
    // An archive with no entries still gets its node and close item.
    QCOMPARE(h.CloseCaptions(), (QStringList{"b.pff", "a.pff", "c.pff"}));
    QCOMPARE(Stored("Last1"), c);
    QCOMPARE(Stored("Last2"), a);
    QCOMPARE(Stored("Last3"), b);
    QCOMPARE(h.window().RowCount(), 2);
  }

  void openMissingReportsAndLeavesTable() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"x.txt", 1}})});
    h.Open({h.File("missing.pff")});
    QCOMPARE(h.dialogs.Messages().size(), 1);
    QVERIFY(h.dialogs.Messages().first().startsWith("Error in UpdatePff\r\n"));
    QCOMPARE(h.window().Table().Count(), 1);
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
    QCOMPARE(h.CloseCaptions(), QStringList{"a.pff"});
    // The attempt is remembered all the same.
    QCOMPARE(Stored("Last1"), h.File("missing.pff"));
  }

  void cancelledOpenChangesNothing() {
    WindowHarness h;
    h.window().mnuOpen_Click();
    QCOMPARE(Stored("Last"), QString("<absent>"));
    QVERIFY(!h.window().Table().IsLoaded);
  }

  void newArchiveOfEachFlavour_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("headerSize");
    QTest::addColumn<int>("entrySize");
    QTest::addColumn<int>("dirOffset");
    QTest::newRow("DF1/DF2") << "mnuNewV1" << 62 << 32 << 20;
    QTest::newRow("DF3") << "mnuNewV2" << 20 << 36 << 62;
  }
  void newArchiveOfEachFlavour() {
    QFETCH(QString, item);
    QFETCH(int, headerSize);
    QFETCH(int, entrySize);
    QFETCH(int, dirOffset);
    WindowHarness h;
    h.Open({h.Archive("one.pff", {{"x.txt", 1}}), h.Archive("two.pff", {{"y.txt", 1}})});
    const QString path = h.File("sub/new.pff");
    QVERIFY(QDir().mkpath(h.File("sub")));
    QFile old(path);  // a larger file already there is replaced whole
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(500, 'x'));
    old.close();

    h.dialogs.saveAnswers.push_back(path);
    h.Action(item)->trigger();
    const auto& save = h.dialogs.shown.back();
    QCOMPARE(save.text, QString("Old NovaLogic Resource File (*.pff);;New NovaLogic Resource File (*.pff)"));
    QCOMPARE(save.extra, h.window().ProgramFolder());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 73);
    QCOMPARE(Int32At(bytes, 0), headerSize);
    QCOMPARE(bytes.mid(4, 4), QByteArray("PFF3"));
    QCOMPARE(Int32At(bytes, 8), 0);
    QCOMPARE(Int32At(bytes, 12), entrySize);
    QCOMPARE(Int32At(bytes, 16), dirOffset);
    QVERIFY(bytes.endsWith("KING"));

    QCOMPARE(h.NodeKeys(), (QStringList{"B", "C", "D"}));
    QVERIFY(h.Tree()->topLevelItem(0)->isExpanded());
    QCOMPARE(h.CloseCaptions(), (QStringList{"one.pff", "two.pff", "new.pff"}));
    QCOMPARE(Stored("LastNew"), h.File("sub") + "/");
    QCOMPARE(Stored("Last1"), h.File("two.pff"));  // not added to the recent list

    // The next New dialog starts where the last one ended.
    h.dialogs.saveAnswers.push_back(QString());
    h.Action(item)->trigger();
    QCOMPARE(h.dialogs.shown.back().extra, h.File("sub") + "/");
    QCOMPARE(h.window().Table().Count(), 3);
  }

  void firstNewArchiveGetsKeyB() {
    WindowHarness h;
    h.dialogs.saveAnswers.push_back(h.File("first.pff"));
    h.window().mnuNewV2_Click();
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
    QVERIFY(h.window().Table().IsLoaded);
  }

  void newOverShownOpenArchiveKeepsShownArchive() {
    WindowHarness h;
    const QString a = h.Archive("a.pff", {{"x.txt", 1}});
    const QString b = h.Archive("b.pff", {{"y.txt", 1}});
    const QString c = h.Archive("c.pff", {{"z.txt", 1}});
    h.Open({a, b, c});
    h.window().TV1_NodeClick(h.Tree()->topLevelItem(0)->child(2));  // c
    h.dialogs.saveAnswers.push_back(a);
    h.window().mnuNewV1_Click();
    // a was replaced on disk: its old slot went, c moved to 2, the new a is 3.
    QCOMPARE(h.window().Table().Count(), 3);
    QCOMPARE(h.window().SelectedArchive(), 2);
    QCOMPARE(CurrentKey(h), QString("C"));
    QCOMPARE(h.Column(4), QStringList{" c.pff "});
  }

  void closeOneLastAndAll() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"x.txt", 1}}), h.Archive("b.pff", {{"y.txt", 1}}),
            h.Archive("c.pff", {{"z.txt", 1}})});
    h.Action("mnuActualClose2")->trigger();
    QCOMPARE(h.NodeKeys(), (QStringList{"B", "C"}));
    QCOMPARE(h.CloseCaptions(), (QStringList{"a.pff", "c.pff"}));
    QVERIFY(!h.Action("mnuActualClose3")->isVisible());
    QCOMPARE(h.Column(4), (QStringList{" a.pff ", " c.pff "}));
    QCOMPARE(h.Column(7), (QStringList{"1", "2"}));

    h.window().mnuActualClose_Click(2);  // the last
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
    QCOMPARE(h.CloseCaptions(), QStringList{"a.pff"});

    h.window().mnuActualClose_Click(1);  // the only one: as Close All
    QVERIFY(!h.window().Table().IsLoaded);
    QVERIFY(h.NodeKeys().isEmpty());
    QCOMPARE(h.Tree()->topLevelItemCount(), 1);
    QCOMPARE(h.CloseCaptions(), QStringList());
    QCOMPARE(h.Grid()->model()->rowCount(), 1);
    QCOMPARE(h.window().RowCount(), 0);

    // Close All with nothing open says nothing; reopening starts at key B.
    h.Action("mnuActualClose0")->trigger();
    QVERIFY(h.dialogs.Messages().isEmpty());
    h.Open({h.File("b.pff")});
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
  }

  void closeFollowsShownArchive_data() {
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("closed");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("key");
    QTest::newRow("shown after closed moves down") << 3 << 1 << 2 << "C";
    QTest::newRow("shown before closed stays") << 1 << 2 << 1 << "B";
    QTest::newRow("shown closed: View All") << 2 << 2 << -1 << "All";
    QTest::newRow("close all: View All") << 2 << 0 << -1 << "All";
  }
  void closeFollowsShownArchive() {
    QFETCH(int, shown);
    QFETCH(int, closed);
    QFETCH(int, after);
    QFETCH(QString, key);
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"x.txt", 1}}), h.Archive("b.pff", {{"y.txt", 1}}),
            h.Archive("c.pff", {{"z.txt", 1}})});
    h.window().TV1_NodeClick(h.Tree()->topLevelItem(0)->child(shown - 1));
    const QString shownName = h.Cell(0, 4);
    h.window().mnuActualClose_Click(closed);
    QCOMPARE(h.window().SelectedArchive(), after);
    QCOMPARE(CurrentKey(h), key);
    if (after > 0) QCOMPARE(h.Column(4), QStringList{shownName});
  }

  void thirtyEighthArchiveHasNoCloseItem() {
    WindowHarness h;
    QStringList paths;
    for (int i = 1; i <= 40; ++i) paths << h.Archive(QString("f%1.pff").arg(i), {});
    h.Open(paths);
    QCOMPARE(h.window().Table().Count(), 40);
    QCOMPARE(h.NodeKeys().size(), 40);
    QCOMPARE(h.NodeKeys()[37], QString(QChar(65 + 38)));
    QCOMPARE(h.CloseCaptions().size(), 37);
    QCOMPARE(h.CloseCaptions().last(), QString("f37.pff"));
    h.window().mnuActualClose_Click(2);
    QCOMPARE(h.NodeKeys().size(), 39);
    QCOMPARE(h.CloseCaptions().size(), 37);
    QCOMPARE(h.CloseCaptions().last(), QString("f38.pff"));
  }

  void commandLinePath_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("path");
    QTest::newRow("none") << QStringList{"vellumcraft"} << QString();
    QTest::newRow("one") << QStringList{"vellumcraft", "/x/a.pff"} << "/x/a.pff";
    QTest::newRow("words joined") << QStringList{"vellumcraft", "/x/my", "maps.pff"} << "/x/my maps.pff";
    QTest::newRow("quoted") << QStringList{"vellumcraft", "\"/x/my maps.pff\""} << "/x/my maps.pff";
    QTest::newRow("quote at one end only") << QStringList{"vellumcraft", "\"/x/a.pff"} << "\"/x/a.pff";
    QTest::newRow("lone quote") << QStringList{"vellumcraft", "\""} << "\"";
  }
  void commandLinePath() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, path);
    QCOMPARE(CommandLinePath(arguments), path);
  }

  void commandLineStartOpensArchive() {
    WindowHarness h;
    const QString path = h.Archive("start up.pff", {{"a.txt", 1}, {"b.txt", 2}});
    OpenCommandLineArchive(h.window(), {"vellumcraft", "\"" + path + "\""});
    QVERIFY(h.dialogs.Messages().isEmpty());
    QCOMPARE(h.window().Table().Count(), 1);
    QCOMPARE(h.window().RowCount(), 2);
    QCOMPARE(h.NodeKeys(), QStringList{"B"});
    QVERIFY(h.Tree()->topLevelItem(0)->isExpanded());
    QCOMPARE(Stored("Last1"), QString("<absent>"));

    WindowHarness none;
    OpenCommandLineArchive(none.window(), {"vellumcraft"});
    QVERIFY(!none.window().Table().IsLoaded);
    QVERIFY(none.dialogs.Messages().isEmpty());
  }
};

VELLUM_UI_TEST_MAIN(ArchivesTest)
#include "archives_test.moc"
