// Long work that stays answerable and can be cancelled, the status bar's
// texts, entries dragged out as files, checking and compacting an archive,
// archives changed by another program, and the window's icon.

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include "editing/add_file.h"
#include "engine/archive_check.h"
#include "engine/file_time.h"
#include "support/ui_test_env.h"
#include "ui/status_texts.h"
#include "ui/work_progress.h"

namespace {

const QList<QPair<QString, QByteArray>> kFive{
    {"a.txt", "1"}, {"b.txt", "22"}, {"c.pcx", "333"}, {"d.pcx", "4444"}, {"e.pcx", "55555"}};

bool CheckingBuilt() {
  const pff::CheckReport report = pff::CheckArchive("/nonexistent");
  return report.Findings.size() != 1 || report.Findings[0].Text != "Checking is not built yet.";
}

}  // namespace

class LongWorkTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    ClearStore();
    WorkProgress::SetYieldInterval(0);  // events run between every two entries
  }

  void escapeStopsExtractionKeepingWhatWasWritten() {
    WindowHarness h;
    h.OpenWithData("a.pff", kFive);
    h.window().show();
    h.window().SetSelection(0, 4);
    const QString folder = h.File("out");
    QDir().mkpath(folder);
    h.dialogs.folderAnswers.push_back(folder);
    QProgressBar* pb1 = h.window().progressBar();
    bool checkedWhileBusy = false;
    connect(pb1, &QProgressBar::valueChanged, this, [&](int value) {
      if (value == 1) {
        // While it runs: no second command, the tree is off, Cancel is offered, PB1 counts.
        QVERIFY(h.window().Busy());
        QVERIFY(!h.Action("mnuDelete")->isEnabled() && !h.Tree()->isEnabled());
        h.window().mnuDelete_Click();
        QCOMPARE(h.dialogs.shown.size(), size_t(1));
        QVERIFY(h.window().findChild<QPushButton*>("cmdCancel")->isVisibleTo(&h.window()));
        checkedWhileBusy = true;
      }
      if (value == 2) QTest::keyClick(h.Grid(), Qt::Key_Escape);
    });
    h.window().mnuExtract_Click();
    QVERIFY(checkedWhileBusy);
    QCOMPARE(ReadFile(folder + "/a.txt"), QByteArray("1"));
    QCOMPARE(ReadFile(folder + "/b.txt"), QByteArray("22"));
    QVERIFY(!QFileInfo::exists(folder + "/c.pcx"));
    QCOMPARE(h.window().status().Result(),
             "Cancelled after 2 of 5: Extracted 2 files (3 bytes) to " + QDir::toNativeSeparators(folder));
    QVERIFY(!h.window().Busy() && h.Action("mnuDelete")->isEnabled() && h.Tree()->isEnabled());
    QCOMPARE(pb1->value(), 0);
  }

  void statusBarSaysWhatIsThereAndWhatHappened() {
    WindowHarness h;
    h.OpenWithData("a.pff", kFive);
    StatusPanel& status = h.window().status();
    QCOMPARE(status.Counts(), QString("5 of 5 entries listed"));
    h.window().SetSelection(1, 3);
    QCOMPARE(status.Selection(), QString("3 selected (9 bytes)"));

    h.dialogs.yesNoAnswers.push_back(true);
    h.window().mnuDelete_Click();
    QCOMPARE(status.Result(), QString("Deleted 3 entries"));
    QCOMPARE(status.Counts(), QString("2 of 5 entries listed"));  // the dead are hidden

    // "e.pcx" is still there: replaced (with the question answered Yes), the other one new.
    h.dialogs.yesNoAnswers.push_back(true);
    h.dialogs.openAnswers.push_back({h.Source("e.pcx", "new"), h.Source("f.wav", "ff")});
    h.window().mnuAddFiles_Click();
    QCOMPARE(status.Result(), QString("Added 2 files, 1 replaced"));

    const QString folder = h.File("out");
    QDir().mkpath(folder);
    h.dialogs.folderAnswers.push_back(folder);
    h.window().SetSelection(0, h.window().RowCount() - 1);
    h.window().mnuExtract_Click();
    QCOMPARE(status.Result(), "Extracted 3 files (6 bytes) to " + QDir::toNativeSeparators(folder));

    h.window().FG1_HeaderClick(1);
    h.window().FG1_HeaderClick(1);
    QCOMPARE(h.Grid()->horizontalHeader()->sortIndicatorSection(), 1);
    QCOMPARE(h.Grid()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(Grouped(32701), QString("32,701"));
    QCOMPARE(HumanSize(52638515), QString("50.2 MB"));
  }

  void dragOutCarriesTheEntriesAsFiles() {
    WindowHarness h;
    h.OpenWithData("a.pff", kFive);
    h.OpenWithData("b.pff", {{"a.txt", "other"}});
    h.Show(0);
    h.window().SetSelection(4, 5);  // e.pcx of a.pff and a.txt of b.pff
    std::unique_ptr<QMimeData> mime(h.window().DragMimeData());
    QVERIFY(mime);
    const QList<QUrl> urls = mime->urls();
    QCOMPARE(urls.size(), 2);
    QCOMPARE(QFileInfo(urls[0].toLocalFile()).fileName(), QString("e.pcx"));
    QCOMPARE(ReadFile(urls[0].toLocalFile()), QByteArray("55555"));
    QCOMPARE(ReadFile(urls[1].toLocalFile()), QByteArray("other"));
    const pff::WallClock stored = pff::WallClockFromFileTime(h.window().Table().Archive(1).Entry(5).FileTime);
    const QDateTime modified = QFileInfo(urls[0].toLocalFile()).lastModified();
    QCOMPARE(modified.time().hour() * 60 + modified.time().minute(), stored.Hour * 60 + stored.Minute);
    QVERIFY(!urls[0].toLocalFile().startsWith(h.File("")));  // in the window's own temporary folder
  }

  void checkAndCompactItems() {
    WindowHarness h;
    h.OpenWithData("a.pff", kFive);
    h.Show(0);
    QVERIFY(!h.Action("mnuCheck")->isEnabled() && !h.Action("mnuCompact")->isEnabled());
    h.Show(1);
    QVERIFY(h.Action("mnuCheck")->isEnabled() && h.Action("mnuCompact")->isEnabled());
    h.Action("mnuCheck")->trigger();
    QCOMPARE(h.dialogs.shown.back().kind, QString("text"));
    QCOMPARE(h.dialogs.shown.back().title, QString("Check Archive"));
    const QString path = QString::fromStdString(h.window().Table().Archive(1).Path);
    QVERIFY(h.dialogs.shown.back().text.startsWith(path + ": "));
    h.Action("mnuCompact")->trigger();  // the default script answers No
    QVERIFY(h.dialogs.shown.back().text.startsWith("Compact a.pff? "));
    QVERIFY(h.dialogs.shown.back().text.endsWith(" KB of dead space will be reclaimed"));
  }

  void checkAndCompactResults() {
    if (!CheckingBuilt()) QSKIP("engine routine not built yet");
    WindowHarness h;
    h.OpenWithData("a.pff", {{"keep.txt", "k"}, {"big.bin", QByteArray(4096, 'b')}});
    h.window().SetSelection(1, 1);
    h.dialogs.yesNoAnswers.push_back(true);
    h.window().mnuDelete_Click();
    h.Action("mnuCheck")->trigger();
    const QString path = QString::fromStdString(h.window().Table().Archive(1).Path);
    QVERIFY(h.dialogs.shown.back().text.startsWith(path + ": 0 errors, "));
    QVERIFY(h.dialogs.shown.back().text.contains("2 entries (2 intact)"));
    const qint64 before = QFileInfo(path).size();
    h.dialogs.yesNoAnswers.push_back(true);
    h.Action("mnuShowDeadSpace")->trigger();
    h.Action("mnuCompact")->trigger();
    QCOMPARE(h.dialogs.shown.back().text, QString("Compact a.pff? 4 KB of dead space will be reclaimed"));
    QCOMPARE(QFileInfo(path).size(), before - 4096 - 32);
    QCOMPARE(h.Column(0), QStringList{" keep.txt "});
  }

  void archiveChangedOnDiskIsReadAgain() {
    WindowHarness h;
    h.OpenWithData("a.pff", kFive);
    h.window().SetSelection(2, 2);
    // The window's own change is no change from outside.
    h.dialogs.yesNoAnswers.push_back(true);
    h.window().mnuDelete_Click();
    QTest::qWait(600);
    QCOMPARE(h.window().status().Result(), QString("Deleted 1 entry"));

    // Another program adds an entry behind the window's back.
    pff::ArchiveTable other;
    pff::SilentPort quiet;
    QVERIFY(pff::OpenFile(other, h.window().Table().Archive(1).Path, quiet));
    pff::AddFile(h.Source("z.wav", "zz").toStdString(), other.Archive(1), pff::EngineOptions(), quiet);
    QTRY_COMPARE(h.window().RowCount(), 5);
    QCOMPARE(h.Cell(4, 0), QString(" z.wav "));
    QCOMPARE(h.window().CurrentRow(), 2);  // the view stays where it was
    QVERIFY(h.window().status().Result().startsWith("Read again"));
  }

  void windowHasItsIcon() {
    WindowHarness h;
    QVERIFY(!h.window().windowIcon().pixmap(32, 32).isNull());
  }
};

VELLUM_UI_TEST_MAIN(LongWorkTest)
#include "long_work_test.moc"
