// Stored options, their menu ticks and the recent-archives list.

#include <QAction>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include "support/ui_test_env.h"
#include "ui/recent_list.h"
#include "ui/settings_store.h"

namespace {

void Store(const QString& group, const QString& key, const QString& value) {
  QSettings store("Tav_Vellumcraft", "Tav_Vellumcraft");
  store.setValue(group + "/" + key, value);
}

QString Stored(const QString& group, const QString& key) {
  QSettings store("Tav_Vellumcraft", "Tav_Vellumcraft");
  return store.value(group + "/" + key, "<absent>").toString();
}

RecentSlots Slots(const QString& a, const QString& b, const QString& c, const QString& d) {
  return {a, b, c, d};
}

}  // namespace

Q_DECLARE_METATYPE(RecentSlots)

class SettingsRecentTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearStore(); }

  void parseBool_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");
    QTest::newRow("True") << "True" << false << true;
    QTest::newRow("False") << "False" << true << false;
    QTest::newRow("zero") << "0" << true << false;
    QTest::newRow("one") << "1" << false << true;
    QTest::newRow("minus one") << "-1" << false << true;
    QTest::newRow("unreadable, default true") << "Yes please" << true << true;
    QTest::newRow("unreadable, default false") << "Yes please" << false << false;
    QTest::newRow("empty") << "" << true << true;
  }
  void parseBool() {
    QFETCH(QString, text);
    QFETCH(bool, def);
    QFETCH(bool, expected);
    QCOMPARE(SettingsStore::ParseBool(text, def), expected);
  }

  void addToRecent_data() {
    QTest::addColumn<RecentSlots>("before");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<RecentSlots>("after");
    const QString nu = kNotUsed;
    QTest::newRow("first into empty")
        << Slots(nu, nu, nu, nu) << "/a.pff" << true << Slots("/a.pff", nu, nu, nu);
    QTest::newRow("new shifts, slot 4 drops")
        << Slots("/d", "/c", "/b", "/a") << "/e.pff" << true << Slots("/e.pff", "/d", "/c", "/b");
    QTest::newRow("match in 3 swaps with 1")
        << Slots("/aa", "/bb", "/cc", "/dd") << "/cc" << true << Slots("/cc", "/bb", "/aa", "/dd");
    QTest::newRow("match ignores case, keeps new case")
        << Slots("/q", "/r", "A:/X.PFF", "/s") << "a:/x.pff" << true << Slots("a:/x.pff", "/r", "/q", "/s");
    QTest::newRow("highest matching slot wins")
        << Slots("/aa", "/xx", "/bb", "/xx") << "/xx" << true << Slots("/xx", "/xx", "/bb", "/aa");
    QTest::newRow("already first") << Slots("/cc", "/bb", "/aa", "/dd") << "/CC" << false
                                   << Slots("/cc", "/bb", "/aa", "/dd");
    QTest::newRow("too short") << Slots(nu, nu, nu, nu) << "ab" << false << Slots(nu, nu, nu, nu);
  }
  void addToRecent() {
    QFETCH(RecentSlots, before);
    QFETCH(QString, path);
    QFETCH(bool, changed);
    QFETCH(RecentSlots, after);
    RecentSlots slotsNow = before;
    QCOMPARE(AddToRecent(slotsNow, path), changed);
    QCOMPARE(slotsNow, after);
  }

  void recentCaption() {
    QCOMPARE(RecentCaption(1, "/tmp/abcdefg.pff"), QString("&1 /tmp/abcdefg.pff"));  // 16 characters: whole
    QCOMPARE(RecentCaption(2, "/tmp/abcdefgh.pff"), QString("&2 abcdefgh.pff"));     // 17: file name
    QCOMPARE(RecentCaption(4, "/games/long/folder/maps.pff"), QString("&4 maps.pff"));
  }

  void startWithEmptyStore() {
    WindowHarness h;
    QVERIFY(h.Action("mnuGoodFormat")->isChecked());
    QVERIFY(!h.Action("mnuBadFormat")->isChecked());
    QVERIFY(!h.Action("mnuOverwrite")->isChecked());
    QVERIFY(h.Action("mnuReUseDeadSpace")->isChecked());
    QVERIFY(!h.Action("mnuShowDeadSpace")->isChecked());
    QCOMPARE(h.window().Options().TimeDate, std::string("Good"));
    QVERIFY(!h.window().Options().AlwaysOverwrite);
    QVERIFY(h.window().Options().ReUseDeadSpaces);
    QVERIFY(!h.window().ShowDeadSpace());
    for (int n = 1; n <= 4; ++n) QVERIFY(!h.Action("mnuLast" + QString::number(n))->isVisible());
    QVERIFY(!h.Action("mnuSepLast")->isVisible());
  }

  void startWithStoredOptions() {
    Store("Settings", "TimeDate", "Bad");
    Store("Settings", "AlwaysOverwrite", "True");
    Store("Settings", "ReUseDeadSpaces", "False");
    Store("Settings", "ShowDeadSpace", "-1");
    Store("Paths", "Last1", "/x/one.pff");
    Store("Paths", "Last3", "/a/rather/long/path/three.pff");
    WindowHarness h;
    QVERIFY(!h.Action("mnuGoodFormat")->isChecked());
    QVERIFY(h.Action("mnuBadFormat")->isChecked());
    QVERIFY(h.Action("mnuOverwrite")->isChecked());
    QVERIFY(!h.Action("mnuReUseDeadSpace")->isChecked());
    QVERIFY(h.Action("mnuShowDeadSpace")->isChecked());
    QVERIFY(h.window().Options().AlwaysOverwrite);
    QVERIFY(!h.window().Options().ReUseDeadSpaces);
    QVERIFY(h.window().ShowDeadSpace());

    QAction* first = h.Action("mnuLast1");
    QVERIFY(first->isVisible());
    QCOMPARE(first->text(), QString("&1 /x/one.pff"));
    QCOMPARE(first->data().toString(), QString("/x/one.pff"));
    QVERIFY(!h.Action("mnuLast2")->isVisible());
    QCOMPARE(h.Action("mnuLast3")->text(), QString("&3 three.pff"));
    QVERIFY(!h.Action("mnuLast4")->isVisible());
    QVERIFY(h.Action("mnuSepLast")->isVisible());
  }

  void unknownDateStyleKeepsBothTicks() {
    Store("Settings", "TimeDate", "good");
    WindowHarness h;
    QVERIFY(h.Action("mnuGoodFormat")->isChecked());
    QVERIFY(h.Action("mnuBadFormat")->isChecked());
    h.Open({h.Archive("a.pff", {{"x.pcx", 10, 86400}})});
    QCOMPARE(h.Cell(0, 3).trimmed(), QString());
  }

  void dateStyleSwitchRewritesColumn() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"x.pcx", 10, 0}})});
    const QString good = h.Cell(0, 3);
    h.Action("mnuBadFormat")->trigger();
    QVERIFY(h.Action("mnuBadFormat")->isChecked());
    QVERIFY(!h.Action("mnuGoodFormat")->isChecked());
    QCOMPARE(Stored("Settings", "TimeDate"), QString("Bad"));
    QVERIFY(h.Cell(0, 3).contains("M "));
    // Choosing the style in force keeps it ticked.
    h.Action("mnuBadFormat")->trigger();
    QVERIFY(h.Action("mnuBadFormat")->isChecked());
    h.Action("mnuGoodFormat")->trigger();
    QCOMPARE(h.Cell(0, 3), good);
    QCOMPARE(Stored("Settings", "TimeDate"), QString("Good"));
  }

  void booleanOptionsStoreTrueFalse() {
    WindowHarness h;
    h.Action("mnuOverwrite")->trigger();
    QVERIFY(h.window().Options().AlwaysOverwrite);
    QCOMPARE(Stored("Settings", "AlwaysOverwrite"), QString("True"));
    h.Action("mnuReUseDeadSpace")->trigger();
    QVERIFY(!h.window().Options().ReUseDeadSpaces);
    QCOMPARE(Stored("Settings", "ReUseDeadSpaces"), QString("False"));
    h.Action("mnuOverwrite")->trigger();
    QCOMPARE(Stored("Settings", "AlwaysOverwrite"), QString("False"));
  }

  void showDeadSpaceToggleRelists() {
    WindowHarness h;
    h.Open({h.Archive("a.pff", {{"live.txt", 1}, {"<DEAD SPACE>", 2, 0, 1}, {"flagged.txt", 3, 0, 1}})});
    // Dead space is known by its name; the flag alone hides nothing.
    QCOMPARE(h.window().RowCount(), 2);
    h.Action("mnuShowDeadSpace")->trigger();
    QVERIFY(h.window().ShowDeadSpace());
    QCOMPARE(Stored("Settings", "ShowDeadSpace"), QString("True"));
    QCOMPARE(h.window().RowCount(), 3);
    QCOMPARE(h.Cell(1, 2), QString(" <DEAD SPACE> File "));
    h.Action("mnuShowDeadSpace")->trigger();
    QCOMPARE(h.window().RowCount(), 2);
  }

  void openRecordsRecentSlots() {
    WindowHarness h;
    QStringList paths;
    for (const char* name : {"A.pff", "B.pff", "C.pff", "D.pff", "E.pff"}) {
      paths << h.Archive(name, {});
      h.Open({paths.last()});
    }
    QCOMPARE(Stored("Paths", "Last1"), paths[4]);
    QCOMPARE(Stored("Paths", "Last2"), paths[3]);
    QCOMPARE(Stored("Paths", "Last3"), paths[2]);
    QCOMPARE(Stored("Paths", "Last4"), paths[1]);
    QCOMPARE(h.Action("mnuLast1")->data().toString(), paths[4]);
    QVERIFY(h.Action("mnuSepLast")->isVisible());
    QCOMPARE(Stored("Paths", "Last"), QFileInfo(paths[0]).path() + "/");
  }

  void recentItemOpensUnlessOpen() {
    WindowHarness h;
    const QString path = h.Archive("recent.pff", {{"a.txt", 1}});
    Store("Paths", "Last1", path);
    WindowHarness fresh;
    fresh.window().mnuLast_Click(1);
    QCOMPARE(fresh.window().Table().Count(), 1);
    QCOMPARE(fresh.window().RowCount(), 1);
    fresh.window().mnuLast_Click(1);
    QCOMPARE(fresh.window().Table().Count(), 1);
    // The list is not reordered by this command.
    QCOMPARE(Stored("Paths", "Last1"), path);
    QCOMPARE(Stored("Paths", "Last2"), QString("<absent>"));
  }

  void missingRecentArchiveReportsAndStays() {
    Store("Paths", "Last1", "/no/such/folder/gone.pff");
    WindowHarness h;
    h.window().mnuLast_Click(1);
    QCOMPARE(h.dialogs.Messages().size(), 1);
    QVERIFY(h.dialogs.Messages().first().startsWith("Error in UpdatePff\r\n"));
    QVERIFY(!h.window().Table().IsLoaded);
    QVERIFY(h.NodeKeys().isEmpty());
    QVERIFY(h.Action("mnuLast1")->isVisible());
  }
};

VELLUM_UI_TEST_MAIN(SettingsRecentTest)
#include "settings_recent_test.moc"
