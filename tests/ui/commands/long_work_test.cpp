// Long work that stays answerable and can be cancelled, the status bar's
// counts, entries dragged out as files, checking and compacting an archive,
// and archives changed by another program.

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

#include "editing/add_file.h"
#include "engine/file_time.h"
#include "support/ui_test_env.h"
#include "ui/window/archive_watcher.h"

namespace {

const QList<QPair<QString, QByteArray>> kFive{
    {"a.txt", "1"}, {"b.txt", "22"}, {"c.pcx", "333"}, {"d.pcx", "4444"}, {"e.pcx", "55555"}};

}  // namespace

class LongWorkTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearStore(); }

  void escapeStopsTheJob() {
    // A question or an error of the running job is the moment to press Escape: extraction keeps
    // what it wrote before; an add is one change and leaves the archive exactly as before.
    for (const bool extract : {true, false}) {
      WindowHarness h;
      const QString path = h.OpenWithData("a.pff", kFive);
      const QByteArray before = ReadFile(path);
      h.window().show();
      h.Select(0, 4);
      const QString folder = h.File("out");
      QDir().mkpath(folder + "/c.pcx");  // the third entry cannot be written: an error
      QStringList sources;               // the second file is in the archive: the replace question
      for (const char* name : {"p", "b.txt", "r", "s"}) sources << h.Source(name, "x");
      if (extract)
        h.dialogs.folderAnswers.push_back(folder);
      else
        h.dialogs.openAnswers.push_back(sources);
      h.dialogs.yesNoAnswers.push_back(true);
      bool checkedWhileBusy = false;
      h.dialogs.onShown = [&](const ScriptedDialogs::Shown& shown) {
        if (shown.kind != "message" && shown.kind != "yesno") return;
        h.dialogs.onShown = nullptr;
        // While it runs: no second command, browsing stays, Cancel is offered, PB1 counts.
        QVERIFY(!h.Action("deleteEntries")->isEnabled() && h.Tree()->isEnabled());
        QVERIFY(h.window().findChild<QPushButton*>("cancelWorkButton")->isVisibleTo(&h.window()));
        const size_t dialogs = h.dialogs.shown.size();
        emit h.Grid()->enterPressed();
        QCOMPARE(h.dialogs.shown.size(), dialogs);
        QTest::keyClick(h.Grid(), Qt::Key_Escape);
        checkedWhileBusy = true;
      };
      h.Run(extract ? "extractEntries" : "addFiles");
      QVERIFY(checkedWhileBusy);
      if (extract) {
        QCOMPARE(ReadFile(folder + "/a.txt"), QByteArray("1"));
        QCOMPARE(ReadFile(folder + "/b.txt"), QByteArray("22"));
        QVERIFY(!QFileInfo::exists(folder + "/d.pcx"));
        QCOMPARE(h.Status().Result(), "Cancelled after 3 of 5: Extracted 2 files (3 bytes) to " +
                                          QDir::toNativeSeparators(folder));
      } else {
        QCOMPARE(ReadFile(path), before);
        QVERIFY(!QFileInfo::exists(path + "-journal"));
        QCOMPARE(h.Listed(), 5);
        // Escape came while the second file waited for its answer: its copy stops, so one file was done.
        QCOMPARE(h.Status().Result(), QString("Cancelled after 1 of 4: nothing was added"));
      }
      QVERIFY(h.Action("deleteEntries")->isEnabled());
      QCOMPARE(h.Progress()->value(), 0);
    }
  }

  void dragOutCarriesTheEntriesAsFiles() {
    WindowHarness h;
    const QString path = h.OpenWithData("a.pff", kFive);
    h.OpenWithData("b.pff", {{"E.PCX", "other"}});
    h.Show(0);
    h.Select(4, 5);  // e.pcx of a.pff and E.PCX of b.pff: one name to a file system that ignores case
    std::unique_ptr<QMimeData> mime(h.Grid()->DragOutData());
    QVERIFY(mime);
    const QList<QUrl> urls = mime->urls();
    QCOMPARE(urls.size(), 2);
    QCOMPARE(QFileInfo(urls[0].toLocalFile()).fileName(), QString("e.pcx"));
    QCOMPARE(ReadFile(urls[0].toLocalFile()), QByteArray("55555"));
    QCOMPARE(ReadFile(urls[1].toLocalFile()), QByteArray("other"));
    QVERIFY(QFileInfo(urls[0].toLocalFile()).dir() != QFileInfo(urls[1].toLocalFile()).dir());
    const pff::WallClock stored = pff::WallClockFromFileTime(ReadBack(path).Entry(5).FileTime);
    const QDateTime modified = QFileInfo(urls[0].toLocalFile()).lastModified();
    QCOMPARE(modified.time().hour() * 60 + modified.time().minute(), stored.Hour * 60 + stored.Minute);
    QVERIFY(
        urls[0].toLocalFile().startsWith(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)));
  }

  void checkAndCompact() {
    WindowHarness h;
    const QString path = h.OpenWithData("a.pff", {{"keep.txt", "k"}, {"big.bin", QByteArray(4096, 'b')}});
    h.Show(0);
    QVERIFY(!h.Action("checkArchive")->isEnabled() && !h.Action("compactArchive")->isEnabled());
    h.Show(1);
    h.Select(1, 1);
    h.dialogs.yesNoAnswers.push_back(true);
    h.Run("deleteEntries");
    h.Run("checkArchive");
    QCOMPARE(h.dialogs.shown.back().kind, QString("text"));
    QCOMPARE(h.dialogs.shown.back().title, QString("Check Archive"));
    QVERIFY(h.dialogs.shown.back().text.startsWith(path + ": 0 errors, "));
    const qint64 before = QFileInfo(path).size();
    h.Run("compactArchive");  // the default script answers No
    QCOMPARE(QFileInfo(path).size(), before);
    h.dialogs.yesNoAnswers.push_back(true);
    h.Action("showDeadSpace")->trigger();
    h.Run("compactArchive");
    QCOMPARE(h.dialogs.shown.back().text,
             QString("Compact a.pff? 4.0 KB of dead space will be reclaimed. This cannot be undone."));
    QCOMPARE(QFileInfo(path).size(), before - 4096 - 32);
    QCOMPARE(h.Column(0), QStringList{" keep.txt "});
  }

  void archiveIsReadAgainOnlyOnceTheChangeSettled() {
    // Another program's change, seen half-way (a cut file) and then whole: only the whole is read.
    ArchiveWatcher::SetRestDelay(3000);
    WindowHarness h;
    ArchiveWatcher::SetRestDelay(300);
    const QString path = h.OpenWithData("a.pff", kFive);
    const QByteArray before = ReadFile(path);
    pff::ArchiveTable other;
    pff::SilentFrontend quiet;
    QVERIFY(pff::OpenFile(other, path.toStdString(), quiet));
    pff::AddFile(h.Source("z.wav", "zz").toStdString(), other.Archive(1), pff::EngineOptions(), quiet);
    const QByteArray after = ReadFile(path);
    WriteFile(path, before.left(30));
    QTest::qWait(300);  // the watcher reports the cut file
    WriteFile(path, after);
    QTRY_COMPARE_WITH_TIMEOUT(h.Listed(), 6, 10000);
    QCOMPARE(h.dialogs.Messages(), QStringList());
  }

  void archiveChangedOnDiskIsReadAgain() {
    WindowHarness h;
    const QString path = h.OpenWithData("a.pff", kFive);
    QCOMPARE(h.Status().Counts(), QString("5 of 5 entries listed"));
    h.Select(1, 3);
    QCOMPARE(h.Status().Selection(), QString("3 selected (9 bytes)"));
    // The window's own change is no change from outside.
    h.dialogs.yesNoAnswers.push_back(true);
    h.Run("deleteEntries");
    QCOMPARE(h.Status().Counts(), QString("2 of 5 entries listed"));  // the dead are hidden
    QTest::qWait(600);
    QCOMPARE(h.Status().Result(), QString("Deleted 3 entries"));

    // Another program adds an entry behind the window's back.
    pff::ArchiveTable other;
    pff::SilentFrontend quiet;
    QVERIFY(pff::OpenFile(other, path.toStdString(), quiet));
    pff::AddFile(h.Source("z.wav", "zz").toStdString(), other.Archive(1), pff::EngineOptions(), quiet);
    QTRY_COMPARE(h.Listed(), 3);
    QCOMPARE(h.Column(0), (QStringList{" a.txt ", " z.wav ", " e.pcx "}));  // in the first dead slot
    QCOMPARE(h.Cell(h.CurrentRow(), 0), QString(" e.pcx "));                // the view keeps its entry
    QVERIFY(h.Status().Result().startsWith("Read again"));

    // A change to another open archive leaves the highlighted block as it was, current row and all.
    const QString second = h.Archive("o.pff", {{"o.txt", 1}});
    h.Open({second});
    h.Select(2, 1);
    QVERIFY(pff::OpenFile(other, second.toStdString(), quiet));
    pff::AddFile(h.Source("y.txt", "y").toStdString(), other.Archive(2), pff::EngineOptions(), quiet);
    QTRY_COMPARE(h.Status().Result(), QString("Read again after a change on disk: o.pff"));
    QCOMPARE(h.Walked(), (QList<int>{2, 1}));
  }
};

VELLUM_UI_TEST_MAIN(LongWorkTest)
#include "long_work_test.moc"
