// Adding (dialog and drop), extracting, opening by double-click, deleting and
// renaming through the window, with scripted dialogs and archives in a
// temporary folder; the files on disk are read back with the engine.

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>
#include <numeric>

#include "support/ui_test_env.h"

namespace {

using Files = QList<QPair<QString, QByteArray>>;
const Files kFour{{"a", "1"}, {"b", "22"}, {"c", "333"}, {"d", "4444"}};
const QString kViewAll =
    "You can not add files in \"View All\" mode!\r\nPlease select a file from the Tree View List first!";

// A window with archives holding real data, the last one opened shown.
struct Editing {
  WindowHarness h;
  QString path;  // of the last archive opened

  void OpenArchive(const QString& name, const Files& files) { path = h.OpenWithData(name, files); }
  void Run(const char* action) { h.Action(action)->trigger(); }
  QStringList Kinds() const { return h.dialogs.Kinds(); }
};

// Values PB1 took from its first step up to its return to 0.
QList<int> Steps(const QSignalSpy& spy) {
  QList<int> steps;
  for (const auto& args : spy) {
    const int v = args.at(0).toInt();
    if (v > 0) steps << v;
    if (v == 0 && !steps.isEmpty()) break;
  }
  return steps;
}

QList<int> OneTo(int n) {
  QList<int> values(n);
  std::iota(values.begin(), values.end(), 1);
  return values;
}

}  // namespace

class EditingTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() { ClearStore(); }

  void addFromTheDialog() {
    Editing t;
    t.OpenArchive("a.pff", {});
    const QString folder = t.h.File("src/sub.dir");
    QDir().mkpath(folder);
    t.h.dialogs.openAnswers.push_back(
        {t.h.Source("README", "no extension"), folder, t.h.Source("b.txt", "bee")});
    t.Run("mnuAddFiles");
    QCOMPARE(t.h.dialogs.shown.at(0).text, QString("Select Files (*.*)"));
    QCOMPARE(t.h.dialogs.shown.at(0).extra, t.h.ProgramFolder());  // no "LastAdd" yet
    QCOMPARE(t.h.dialogs.Messages(), QStringList{"Unable to Add " + folder + ", Please Select Only Files!"});
    QCOMPARE(NamesOnDisk(t.path), (QStringList{"README", "b.txt"}));
    QCOMPARE(t.h.Listed(), 2);
    QCOMPARE(t.h.Status().Result(), QString("Added 2 files, 1 skipped"));
    // The next dialog starts in the folder of the last choice; cancelling changes nothing.
    t.h.dialogs.shown.clear();
    t.Run("mnuAddFiles");
    QCOMPARE(t.h.dialogs.shown.at(0).extra, t.h.File("src") + "/");
    QCOMPARE(t.Kinds(), QStringList{"open"});

    // "View All" refuses both ways of adding.
    t.h.Show(0);
    t.h.dialogs.shown.clear();
    t.Run("mnuAddFiles");
    emit t.h.Grid()->filesDropped({t.h.File("src/b.txt")});
    QCOMPARE(t.h.dialogs.Messages(), (QStringList{kViewAll, kViewAll}));
    QCOMPARE(t.h.dialogs.shown.at(1).title, QString("Warning!"));
    QCOMPARE(NamesOnDisk(t.path).size(), 2);
  }

  void replaceFollowsTheOptionsAndTheAnswer() {
    // Always Overwrite, Re-Use DeadSpace, the answer, asked, names after, status
    const std::tuple<bool, bool, bool, bool, QStringList, QString> cases[] = {
        {false, true, false, true, {"README.TXT", "z.bin"}, "Added 0 files, 1 skipped"},
        {false, true, true, true, {"readme.txt", "z.bin"}, "Added 1 file, 1 replaced"},  // the slot is
                                                                                         // re-used
        {false, false, true, true, {"<DEAD SPACE>", "z.bin", "readme.txt"}, "Added 1 file, 1 replaced"},
        {true, true, false, false, {"readme.txt", "z.bin"}, "Added 1 file, 1 replaced"}};
    for (const auto& [overwrite, reuse, answer, asked, names, status] : cases) {
      ClearStore();  // the options are stored
      Editing t;
      t.OpenArchive("a.pff", {{"README.TXT", "0123456789"}, {"z.bin", "zz"}});
      if (overwrite) t.Run("mnuOverwrite");
      if (!reuse) t.Run("mnuReUseDeadSpace");
      t.h.dialogs.yesNoAnswers.push_back(answer);
      t.h.dialogs.openAnswers.push_back({t.h.Source("readme.txt", "abcdefghij")});
      t.Run("mnuAddFiles");
      QCOMPARE(t.Kinds(), asked ? QStringList({"open", "yesno"}) : QStringList({"open"}));
      if (asked)
        QVERIFY(t.h.dialogs.shown[1].text.startsWith("Are you sure you want to replace: README.TXT, Size"));
      QCOMPARE(NamesOnDisk(t.path), names);
      QCOMPARE(t.h.Status().Result(), status);
    }
  }

  void dropOnTheGridAddsEachFile() {
    Editing t;
    t.OpenArchive("a.pff", {{"b.txt", "old"}});
    QSignalSpy pb1(t.h.Progress(), &QProgressBar::valueChanged);
    const QString folder = t.h.File("src");
    t.h.dialogs.yesNoAnswers.push_back(false);  // keep the old b.txt; the next file still goes in
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(folder), QUrl("https://example.com/x"),
                  QUrl::fromLocalFile(t.h.Source("b.txt", "new")),
                  QUrl::fromLocalFile(t.h.Source("c", "sea"))});
    QWidget* rows = t.h.Grid()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(rows, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(rows, &drop);
    QCOMPARE(t.Kinds(), (QStringList{"message", "yesno"}));
    QCOMPARE(t.h.dialogs.shown.at(0).text, "Unable to Add " + folder + ", Please Select Only Files!");
    QCOMPARE(NamesOnDisk(t.path), (QStringList{"b.txt", "c"}));
    QCOMPARE(Steps(pb1), OneTo(3));  // the web address is no file
    QCOMPARE(t.h.Progress()->value(), 0);
    QCOMPARE(t.h.Listed(), 2);
  }

  void extractWritesTheSelectedRows() {
    // current row, other end, entries written
    const std::tuple<int, int, QString> cases[] = {{2, 0, "abc"}, {1, 3, "bcd"}, {3, 3, "d"}};
    for (const auto& [current, end, written] : cases) {
      Editing t;
      t.OpenArchive("a.pff", kFour);
      // A folder with a "." in its name is used as it is, not taken for a file.
      const QString folder = t.h.File("out.dir");
      QDir().mkpath(folder);
      WriteFile(folder + "/d", "ten bytes!");
      t.h.Select(current, end);
      t.h.dialogs.folderAnswers.push_back(folder);
      QSignalSpy pb1(t.h.Progress(), &QProgressBar::valueChanged);
      t.Run("mnuExtract");
      QCOMPARE(t.Kinds(), QStringList{"folder"});
      for (const auto& [name, bytes] : kFour)
        QCOMPARE(ReadFile(folder + "/" + name),
                 written.contains(name) ? bytes : QByteArray(name == "d" ? "ten bytes!" : "<missing>"));
      QCOMPARE(Steps(pb1), OneTo(written.size()));
      QCOMPARE(t.h.Progress()->value(), 0);
      QVERIFY(t.h.Status().Result().startsWith(QString("Extracted %1 ").arg(FileCount(written.size()))));
    }

    Editing t;  // cancelled: PB1 is not touched
    t.OpenArchive("a.pff", kFour);
    t.h.Select(0, 3);
    t.h.Progress()->setRange(0, 7);
    QSignalSpy value(t.h.Progress(), &QProgressBar::valueChanged);
    t.Run("mnuExtract");
    QCOMPARE(t.Kinds(), QStringList{"folder"});
    QCOMPARE(value.count(), 0);
    QCOMPARE(t.h.Progress()->maximum(), 7);
  }

  void doubleClickOpensACopy() {
    Editing t;
    t.OpenArchive("a.pff", kFour);
    t.h.Select(1, 1);
    emit t.h.Grid()->enterPressed();
    const QString temp = QDir(t.h.ProgramFolder()).filePath("Temp");
    QCOMPARE(ReadFile(temp + "/b"), QByteArray("22"));
    QVERIFY(QFile::exists(temp + "/Tav_Oskin.Tav"));
    QCOMPARE(t.Kinds(), QStringList{"desktop"});
    QCOMPARE(t.h.dialogs.shown.at(0).text, temp + "/b");
    WriteFile(temp + "/b", "a longer stale copy");  // a second open replaces the copy
    emit t.h.Grid()->doubleClicked(t.h.Grid()->currentIndex());
    QCOMPARE(ReadFile(temp + "/b"), QByteArray("22"));

    // A program folder below a plain file can hold no "Temp" folder, even for root.
    WriteFile(t.h.File("plain-file"), "x");
    t.h.window().SetProgramFolder(t.h.File("plain-file/bin"));
    t.h.Select(2, 2);
    emit t.h.Grid()->enterPressed();
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/Temp/c";
    QCOMPARE(ReadFile(cache), QByteArray("333"));
    QCOMPARE(t.h.dialogs.shown.back().text, cache);
  }

  void commandsWithoutAnEntryDoNothing() {
    Editing t;
    auto runAll = [&] {
      for (const char* action : {"mnuDelete", "mnuRename", "mnuExtract"}) t.Run(action);
      emit t.h.Grid()->enterPressed();
    };
    runAll();  // nothing open
    t.OpenArchive("empty.pff", {});
    runAll();  // no row listed
    QVERIFY(t.h.dialogs.shown.empty());
    QVERIFY(!QDir(QDir(t.h.ProgramFolder()).filePath("Temp")).exists());
  }

  void deleteAsksThenMarksTheRowsDead() {
    // current row, other end, answer, names after ("-" dead)
    const std::tuple<int, int, bool, QString> cases[] = {{4, 2, true, "ab---f"}, {4, 2, false, "abcdef"}};
    for (const auto& [current, end, answer, names] : cases) {
      Editing t;
      t.OpenArchive("a.pff", {{"a", "1"}, {"b", "22"}, {"c", "333"}, {"d", "4"}, {"e", "5"}, {"f", "6"}});
      t.h.Select(current, end);
      QSignalSpy pb1(t.h.Progress(), &QProgressBar::valueChanged);
      t.h.dialogs.yesNoAnswers.push_back(answer);
      t.Run("mnuDelete");
      const int n = std::abs(current - end) + 1;
      QCOMPARE(t.h.dialogs.shown.at(0).text, QString("Are You Sure You Want To Delete %1 Files?").arg(n));
      QStringList expected;
      for (const QChar c : names) expected << (c == '-' ? QString("<DEAD SPACE>") : QString(c));
      QCOMPARE(NamesOnDisk(t.path), expected);
      QCOMPARE(Steps(pb1), OneTo(answer ? n : 0));
      QCOMPARE(t.h.Progress()->value(), 0);
      QCOMPARE(t.h.Listed(), 6 - (answer ? n : 0));  // dead space is hidden while not shown
      if (answer) QCOMPARE(t.h.Status().Result(), QString("Deleted 3 entries"));
    }

    // In "View All" the rows of each archive go in one rewrite of that archive.
    Editing t;
    t.OpenArchive("a.pff", {{"a1", "1"}, {"a2", "2"}});
    const QString first = t.path;
    t.OpenArchive("b.pff", {{"b1", "1"}, {"b2", "2"}});
    t.h.Show(0);
    t.h.Select(1, 2);  // a2 and b1
    t.h.dialogs.yesNoAnswers.push_back(true);
    t.Run("mnuDelete");
    QCOMPARE(NamesOnDisk(first), (QStringList{"a1", "<DEAD SPACE>"}));
    QCOMPARE(NamesOnDisk(t.path), (QStringList{"<DEAD SPACE>", "b2"}));
    QCOMPARE(t.h.Listed(), 2);
  }

  void renameChecksTheAnswer() {
    // the answer (none: cancelled), the message, the name after; the name checks are in the editing tests
    const std::tuple<std::optional<QString>, QString, QString> cases[] = {
        {std::nullopt, "", "a.txt"},
        {"", "", "a.txt"},
        {"seventeen_chars.a",
         "Error, File Name \"seventeen_chars.a\" Is Too Long!\r\nIt MUST be less or equal to 16 Chracters!",
         "a.txt"},
        {QString::fromUtf8("caf\u00e9.txt"), "", QString::fromUtf8("caf\u00e9.txt")}};
    for (const auto& [answer, message, name] : cases) {
      Editing t;
      t.OpenArchive("a.pff", {{"a.txt", "A"}, {"b.dat", "B"}});
      t.h.Select(0, 0);
      t.h.dialogs.inputAnswers.push_back(answer);
      t.Run("mnuRename");
      const auto& input = t.h.dialogs.shown.at(0);
      QCOMPARE(input.title, QString("Rename a.txt"));
      QCOMPARE(input.extra, QString("a.txt"));
      QCOMPARE(t.h.dialogs.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
      QCOMPARE(NamesOnDisk(t.path).at(0), name);
      QCOMPARE(t.h.Cell(0, 0), " " + name + " ");
      if (name != "a.txt") QCOMPARE(t.h.Status().Result(), "Renamed a.txt to " + name);
    }
  }
};

VELLUM_UI_TEST_MAIN(EditingTest)
#include "editing_test.moc"
