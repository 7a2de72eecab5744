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

#include "editing/add_file.h"
#include "editing/placement.h"
#include "editing/read_entry.h"
#include "support/ui_test_env.h"
#include "ui/commands/job.h"

namespace {

using Files = QList<QPair<QString, QByteArray>>;
const Files kFour{{"a", "1"}, {"b", "22"}, {"c", "333"}, {"d", "4444"}};
const QString kViewAll =
    "You can not add files in \"View All\" mode!\r\nPlease select a file from the Tree View List first!";

// Files done as the job last reported them (0: it reported nothing).
int LastReported(const QSignalSpy& spy) { return spy.isEmpty() ? 0 : spy.last().at(0).toInt(); }

}  // namespace

class EditingTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() { ClearStore(); }

  void addFromTheDialog() {
    WindowHarness h;
    const QString path = h.OpenWithData("a.pff", {});
    const QString folder = h.File("src/sub.dir");
    QDir().mkpath(folder);
    h.dialogs.openAnswers.push_back({h.Source("README", "no extension"), folder, h.Source("b.txt", "bee")});
    h.Run("addFiles");
    QCOMPARE(h.dialogs.shown.at(0).text, QString("Select Files (*.*)"));
    QCOMPARE(h.dialogs.shown.at(0).extra, h.StartFolder());  // no "LastAdd" yet
    QCOMPARE(h.dialogs.Messages(), QStringList{"Unable to Add " + folder + ", Please Select Only Files!"});
    QCOMPARE(NamesOnDisk(path), (QStringList{"README", "b.txt"}));
    QCOMPARE(h.Listed(), 2);
    QCOMPARE(h.Status().Result(), QString("Added 2 files, 1 skipped"));
    // The next dialog starts in the folder of the last choice; cancelling changes nothing.
    h.dialogs.shown.clear();
    h.Run("addFiles");
    QCOMPARE(h.dialogs.shown.at(0).extra, h.File("src") + "/");
    QCOMPARE(h.dialogs.Kinds(), QStringList{"open"});

    // "View All" refuses both ways of adding.
    h.Show(0);
    h.dialogs.shown.clear();
    h.Run("addFiles");
    emit h.Grid()->filesDropped({h.File("src/b.txt")});
    h.Settle();
    QCOMPARE(h.dialogs.Messages(), (QStringList{kViewAll, kViewAll}));
    QCOMPARE(h.dialogs.shown.at(1).title, QString("Warning!"));
    QCOMPARE(NamesOnDisk(path).size(), 2);
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
      WindowHarness h;
      const QString path = h.OpenWithData("a.pff", {{"README.TXT", "0123456789"}, {"z.bin", "zz"}});
      if (overwrite) h.Action("alwaysOverwrite")->trigger();
      if (!reuse) h.Action("reuseDeadSpace")->trigger();
      h.dialogs.yesNoAnswers.push_back(answer);
      h.dialogs.openAnswers.push_back({h.Source("readme.txt", "abcdefghij")});
      h.Run("addFiles");
      QCOMPARE(h.dialogs.Kinds(), asked ? QStringList({"open", "yesno"}) : QStringList({"open"}));
      if (asked)
        QVERIFY(h.dialogs.shown[1].text.startsWith("Are you sure you want to replace: README.TXT, Size"));
      QCOMPARE(NamesOnDisk(path), names);
      QCOMPARE(h.Status().Result(), status);
    }
  }

  void oneAnswerForTheRemainingFiles() {
    // The first replace question answered for the files still to come: asked once, as one change.
    for (const bool replace : {true, false}) {
      WindowHarness h;
      const QString path = h.OpenWithData("a.pff", {{"a.txt", "1"}, {"b.txt", "2"}, {"c.txt", "3"}});
      h.dialogs.openAnswers.push_back(
          {h.Source("A.TXT", "A"), h.Source("new", "n"), h.Source("b.txt", "B"), h.Source("c.txt", "C")});
      h.dialogs.yesNoAnswers.push_back(replace);
      h.dialogs.forRemainingAnswers.push_back(true);
      h.Run("addFiles");
      QCOMPARE(h.dialogs.Kinds(), (QStringList{"open", "yesno"}));
      QCOMPARE(h.dialogs.shown.at(1).extra, QString("3"));  // the files after the first
      // Same sizes: each replacement takes the slot it frees.
      QCOMPARE(h.Column(0), replace ? QStringList({" A.TXT ", " b.txt ", " c.txt ", " new "})
                                    : QStringList({" a.txt ", " b.txt ", " c.txt ", " new "}));
      const pff::PffEntry b = ReadBack(path).Entry(2);
      QCOMPARE(ReadFile(path).mid(b.DataOffset, b.DataSize), QByteArray(replace ? "B" : "2"));
      QCOMPARE(h.Status().Result(),
               QString(replace ? "Added 4 files, 3 replaced" : "Added 1 file, 3 skipped"));
    }
  }

  void dropOnTheGridAddsEachFile() {
    WindowHarness h;
    const QString path = h.OpenWithData("a.pff", {{"b.txt", "old"}});
    QSignalSpy progress(h.window().findChild<JobRunner*>(), &JobRunner::progressed);
    const QString folder = h.File("src");
    h.dialogs.yesNoAnswers.push_back(false);  // keep the old b.txt; the next file still goes in
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(folder), QUrl("https://example.com/x"),
                  QUrl::fromLocalFile(h.Source("b.txt", "new")), QUrl::fromLocalFile(h.Source("c", "sea"))});
    QWidget* rows = h.Grid()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(rows, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(rows, &drop);
    h.Settle();
    QCOMPARE(h.dialogs.Kinds(), (QStringList{"message", "yesno"}));
    QCOMPARE(h.dialogs.shown.at(0).text, "Unable to Add " + folder + ", Please Select Only Files!");
    QCOMPARE(NamesOnDisk(path), (QStringList{"b.txt", "c"}));
    QCOMPARE(LastReported(progress), 3);  // the web address is no file
    QCOMPARE(h.Progress()->value(), 0);
    QCOMPARE(h.Listed(), 2);
  }

  void extractWritesTheSelectedRows() {
    // current row, other end, entries written ("": the folder dialog cancelled)
    const std::tuple<int, int, QString> cases[] = {{2, 0, "abc"}, {1, 3, "bcd"}, {3, 3, "d"}, {0, 3, ""}};
    for (const auto& [current, end, written] : cases) {
      WindowHarness h;
      h.OpenWithData("a.pff", kFour);
      // A folder with a "." in its name is used as it is, not taken for a file.
      const QString folder = h.File("out.dir");
      QDir().mkpath(folder);
      WriteFile(folder + "/d", "ten bytes!");
      h.Select(current, end);
      h.dialogs.folderAnswers.push_back(written.isEmpty() ? QString() : folder);
      QSignalSpy progress(h.window().findChild<JobRunner*>(), &JobRunner::progressed);
      h.Run("extractEntries");
      QCOMPARE(h.dialogs.Kinds(), QStringList{"folder"});
      QCOMPARE(h.dialogs.shown.at(0).title, QString("Please Select A Folder"));
      for (const auto& [name, bytes] : kFour)
        QCOMPARE(ReadFile(folder + "/" + name),
                 written.contains(name) ? bytes : QByteArray(name == "d" ? "ten bytes!" : "<missing>"));
      QCOMPARE(LastReported(progress), written.size());
      QCOMPARE(h.Progress()->value(), 0);
      QCOMPARE(h.Status().Result().section(' ', 0, 1),
               written.isEmpty() ? QString() : QString("Extracted %1").arg(written.size()));
    }
  }

  void openingExtractsIntoTheSessionFolderAndSaysWhenNothingOpened() {
    QString session;
    {
      WindowHarness h;
      h.OpenWithData("a.pff", kFour);
      h.Select(1, 1);
      emit h.Grid()->enterPressed();
      h.Settle();
      QCOMPARE(h.dialogs.Kinds(), QStringList{"desktop"});
      const QString first = h.dialogs.shown.at(0).text;
      QCOMPARE(ReadFile(first), QByteArray("22"));
      session = QFileInfo(first).dir().absolutePath().section('/', 0, -2);
      QVERIFY(
          session.startsWith(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/session-"));
      // A second opening leaves the copy a program may still show alone; the desktop finds no program.
      h.dialogs.openFailures.push_back("no program on this desktop opens it");
      emit h.Grid()->doubleClicked(h.Grid()->currentIndex());
      h.Settle();
      QCOMPARE(h.dialogs.Kinds(), (QStringList{"desktop", "desktop", "message"}));
      const QString second = h.dialogs.shown.at(1).text;
      QVERIFY(second != first);
      QCOMPARE(ReadFile(second), QByteArray("22"));
      QCOMPARE(h.dialogs.Messages(), QStringList{"Error in FG1_DblClick\r\nNo program opened " + second +
                                                 ": no program on this desktop opens it."});
    }
    QVERIFY(!session.isEmpty());
    QVERIFY(!QFileInfo::exists(session));  // gone with the window
  }

  void aSavedCopyGoesBackUnlessTheArchiveChangedSince() {
    WindowHarness h;
    const QString path = h.OpenWithData("a.pff", kFour);
    h.Select(1, 1);
    emit h.Grid()->enterPressed();
    h.Settle();
    const QString copy = h.dialogs.shown.at(0).text;
    auto save = [&](const QByteArray& bytes) {
      QFile file(copy);
      QVERIFY(file.open(QIODevice::Append));
      file.write(bytes);
    };
    auto onDisk = [&] {
      const pff::PffArchive archive = ReadBack(path);
      const int b = pff::FindEntryByName(archive.Entries, pff::MakeEntryName("b"));
      const std::vector<uint8_t> bytes = pff::ReadEntryBytes(path.toStdString(), archive.Entry(b), 0, 100);
      return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
    };
    h.dialogs.yesNoAnswers.push_back(true);
    save("x");
    QTRY_COMPARE(onDisk(), QByteArray("22x"));
    QCOMPARE(h.dialogs.shown.at(1).text, "b was changed. Put it back into " + path + "?");
    h.Settle();
    QCOMPARE(h.Action("undoChange")->text(), QString("Undo Put Back 1 Entry"));
    // Another program replaces the entry; the copy saved again must not undo that.
    pff::PffArchive other = ReadBack(path);
    pff::SilentFrontend silent;
    QVERIFY(pff::Wrote(pff::AddFile(h.Source("b", "theirs").toStdString(), other, {true, false}, silent)));
    h.dialogs.yesNoAnswers.push_back(true);
    save("y");
    QTRY_VERIFY(h.dialogs.Messages().size() == 1);
    QVERIFY2(h.dialogs.Messages().at(0).contains("nothing was written"),
             qPrintable(h.dialogs.Messages().at(0)));
    h.Settle();
    QCOMPARE(onDisk(), QByteArray("theirs"));
  }

  void commandsWithoutAnEntryDoNothing() {
    WindowHarness h;
    auto runAll = [&] {
      for (const char* action : {"deleteEntries", "renameEntry", "extractEntries"})
        h.Action(action)->trigger();
      emit h.Grid()->enterPressed();
      h.Settle();
    };
    runAll();  // nothing open
    h.OpenWithData("empty.pff", {});
    runAll();  // no row listed
    QVERIFY(h.dialogs.shown.empty());
  }

  void deleteAsksThenMarksTheRowsDead() {
    // current row, other end, answer, names after ("-" dead)
    const std::tuple<int, int, bool, QString> cases[] = {{4, 2, true, "ab---f"}, {4, 2, false, "abcdef"}};
    for (const auto& [current, end, answer, names] : cases) {
      WindowHarness h;
      const QString path = h.OpenWithData(
          "a.pff", {{"a", "1"}, {"b", "22"}, {"c", "333"}, {"d", "4"}, {"e", "5"}, {"f", "6"}});
      h.Select(current, end);
      QSignalSpy progress(h.window().findChild<JobRunner*>(), &JobRunner::progressed);
      h.dialogs.yesNoAnswers.push_back(answer);
      h.Run("deleteEntries");
      const int n = std::abs(current - end) + 1;
      QCOMPARE(h.dialogs.shown.at(0).text, QString("Are You Sure You Want To Delete %1 Files?").arg(n));
      QStringList expected;
      for (const QChar c : names) expected << (c == '-' ? QString("<DEAD SPACE>") : QString(c));
      QCOMPARE(NamesOnDisk(path), expected);
      QCOMPARE(LastReported(progress), answer ? n : 0);
      QCOMPARE(h.Progress()->value(), 0);
      QCOMPARE(h.Listed(), 6 - (answer ? n : 0));  // dead space is hidden while not shown
      if (answer) QCOMPARE(h.Status().Result(), QString("Deleted 3 entries"));
    }

    // In "View All" the rows of each archive go in one rewrite of that archive.
    WindowHarness h;
    const QString first = h.OpenWithData("a.pff", {{"a1", "1"}, {"a2", "2"}});
    const QString path = h.OpenWithData("b.pff", {{"b1", "1"}, {"b2", "2"}});
    h.Show(0);
    h.Select(1, 2);  // a2 and b1
    h.dialogs.yesNoAnswers.push_back(true);
    h.Run("deleteEntries");
    QCOMPARE(NamesOnDisk(first), (QStringList{"a1", "<DEAD SPACE>"}));
    QCOMPARE(NamesOnDisk(path), (QStringList{"<DEAD SPACE>", "b2"}));
    QCOMPARE(h.Listed(), 2);
  }

  void renameChecksTheAnswer() {
    // the answer (none: cancelled), the message, the name after, the answer to the stored-name
    // question; the name checks are in the editing tests
    const QString omega = QString::fromUtf8("ete_\u03a9.bin");
    const std::tuple<std::optional<QString>, QString, QString, bool> cases[] = {
        {std::nullopt, "", "a.txt", false},
        {"", "", "a.txt", false},
        {"seventeen_chars.a",
         "Error, File Name \"seventeen_chars.a\" Is Too Long!\r\nIt MUST be less or equal to 16 Chracters!",
         "a.txt", false},
        {QString::fromUtf8("caf\u00e9.txt"), "", QString::fromUtf8("caf\u00e9.txt"), false},
        {omega, "", "a.txt", false},
        {omega, "", "ete__.bin", true}};
    for (const auto& [answer, message, name, storeAnyway] : cases) {
      WindowHarness h;
      const QString path = h.OpenWithData("a.pff", {{"a.txt", "A"}, {"b.dat", "B"}});
      h.Select(0, 0);
      h.dialogs.inputAnswers.push_back(answer);
      h.dialogs.yesNoAnswers.push_back(storeAnyway);
      h.Action("renameEntry")->trigger();
      const auto& input = h.dialogs.shown.at(0);
      QCOMPARE(input.title, QString("Rename a.txt"));
      QCOMPARE(input.text, QString("Please Enter The New File Name!"));
      QCOMPARE(input.extra, QString("a.txt"));
      QCOMPARE(h.dialogs.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
      // Only a name outside Latin-1 asks, naming what will be stored.
      QCOMPARE(h.dialogs.Kinds().contains("yesno"), answer == omega);
      if (answer == omega)
        QCOMPARE(h.dialogs.shown.at(1).text,
                 "\"" + omega +
                     "\" will be stored as \"ete__.bin\" (names keep 16 Latin-1 characters). "
                     "Rename to \"ete__.bin\"?");
      QCOMPARE(NamesOnDisk(path).at(0), name);
      QCOMPARE(h.Cell(0, 0), " " + name + " ");
      if (name != "a.txt") QCOMPARE(h.Status().Result(), "Renamed a.txt to " + name);
    }
  }
};

VELLUM_UI_TEST_MAIN(EditingTest)
#include "editing_test.moc"
