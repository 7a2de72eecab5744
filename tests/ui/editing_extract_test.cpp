// Extracting selections, opening an entry by double-click, and the advanced
// filter dialog opened from the window.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

#include "editing/add_file.h"
#include "support/ui_test_env.h"
#include "ui/filter_dialog.h"

namespace {

// A window with one archive of four entries ("a" to "d", 1 to 4 bytes) open and chosen.
struct Extracting {
  WindowHarness h;
  MainWindow& w = h.window();

  Extracting() { Open("a.pff", {{"a", "1"}, {"b", "22"}, {"c", "333"}, {"d", "4444"}}); }

  void Open(const QString& name, const QList<QPair<QString, QByteArray>>& files) {
    h.Open({h.Archive(name, {})});
    const int index = w.Table().Count();
    QDir().mkpath(h.File("src"));
    pff::SilentPort quiet;
    for (const auto& [file, bytes] : files) {
      const QString path = h.File("src/" + file);
      Write(path, bytes);
      pff::AddFile(path.toStdString(), w.Table().Archive(index), w.Options(), quiet);
    }
    w.TV1_NodeClick(h.Tree()->topLevelItem(0)->child(index - 1));
    w.RefreshFilterList();
    h.dialogs.shown.clear();
  }
  static void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
  }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
};

QList<int> Steps(const QSignalSpy& spy) {
  QList<int> steps;
  for (const auto& args : spy) {
    const int v = args.at(0).toInt();
    if (v > 0) steps << v;
    if (v == 0 && !steps.isEmpty()) break;
  }
  return steps;
}

}  // namespace

class EditingExtractTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() { ClearStore(); }
  void extractWritesTheSelectedRows_data();
  void extractWritesTheSelectedRows();
  void extractCancelledLeavesPB1Alone();
  void doubleClickOpensACopyInTemp();
  void doubleClickFallsBackToTheCacheFolder();
  void doubleClickOnNoEntryDoesNothing();
  void advancedFilterOkReplacesTheFilter();
  void advancedFilterCancelKeepsTheFilter();
};

void EditingExtractTest::extractWritesTheSelectedRows_data() {
  QTest::addColumn<int>("current");
  QTest::addColumn<int>("end");
  QTest::addColumn<QString>("written");
  QTest::newRow("rows 3 up to 1") << 2 << 0 << "abc";
  QTest::newRow("rows 2 down to 4") << 1 << 3 << "bcd";
  QTest::newRow("one row") << 3 << 3 << "d";
}

void EditingExtractTest::extractWritesTheSelectedRows() {
  QFETCH(int, current);
  QFETCH(int, end);
  QFETCH(QString, written);
  Extracting t;
  // A folder with a "." in its name is used as it is, not taken for a file.
  const QString folder = t.h.File("out.dir");
  QDir().mkpath(folder);
  t.Write(folder + "/d", "ten bytes!");
  t.w.SetSelection(current, end);
  t.h.dialogs.folderAnswers.push_back(folder);
  QSignalSpy pb1(t.w.progressBar(), &QProgressBar::valueChanged);
  t.w.mnuExtract_Click();

  QCOMPARE(t.h.dialogs.shown.at(0).kind, QString("folder"));
  QCOMPARE(t.h.dialogs.shown.at(0).title, QString("Please Select A Folder"));
  QVERIFY(t.h.dialogs.Messages().isEmpty());
  const QList<QPair<QString, QByteArray>> entries{{"a", "1"}, {"b", "22"}, {"c", "333"}, {"d", "4444"}};
  for (const auto& [name, bytes] : entries) {
    const QByteArray expected =
        written.contains(name) ? bytes : QByteArray(name == "d" ? "ten bytes!" : "<missing>");
    QCOMPARE(t.Read(folder + "/" + name), expected);
  }
  QList<int> counted;
  for (int i = 1; i <= written.size(); ++i) counted << i;
  QCOMPARE(Steps(pb1), counted);
  QCOMPARE(t.w.progressBar()->value(), 0);
}

void EditingExtractTest::extractCancelledLeavesPB1Alone() {
  Extracting t;
  t.w.SetSelection(0, 3);
  QProgressBar* pb1 = t.w.progressBar();
  pb1->setRange(0, 7);
  QSignalSpy value(pb1, &QProgressBar::valueChanged);
  t.w.mnuExtract_Click();  // no folder answer: cancelled
  QCOMPARE(t.h.dialogs.shown.size(), size_t(1));
  QCOMPARE(value.count(), 0);
  QCOMPARE(pb1->maximum(), 7);
}

void EditingExtractTest::doubleClickOpensACopyInTemp() {
  Extracting t;
  t.w.SetSelection(1, 1);
  t.w.FG1_DblClick();
  const QString temp = QDir(t.w.ProgramFolder()).filePath("Temp");
  QCOMPARE(t.Read(temp + "/b"), QByteArray("22"));
  QVERIFY(QFile::exists(temp + "/Tav_Oskin.Tav"));
  QCOMPARE(t.h.dialogs.shown.size(), size_t(1));
  QCOMPARE(t.h.dialogs.shown.at(0).kind, QString("desktop"));
  QCOMPARE(t.h.dialogs.shown.at(0).text, temp + "/b");

  // A second open replaces the copy.
  t.Write(temp + "/b", "a longer stale copy");
  t.w.FG1_DblClick();
  QCOMPARE(t.Read(temp + "/b"), QByteArray("22"));
}

void EditingExtractTest::doubleClickFallsBackToTheCacheFolder() {
  Extracting t;
  // A program folder below a plain file can hold no "Temp" folder, even for root.
  const QString blocked = t.h.File("plain-file");
  t.Write(blocked, "x");
  t.w.SetProgramFolder(blocked + "/bin");
  t.w.SetSelection(2, 2);
  t.w.FG1_DblClick();
  const QString temp = QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).filePath("Temp");
  QCOMPARE(t.Read(temp + "/c"), QByteArray("333"));
  QCOMPARE(t.h.dialogs.shown.at(0).kind, QString("desktop"));
  QCOMPARE(t.h.dialogs.shown.at(0).text, temp + "/c");
}

void EditingExtractTest::doubleClickOnNoEntryDoesNothing() {
  Extracting t;
  t.Open("empty.pff", {});
  QCOMPARE(t.w.RowCount(), 0);
  t.w.FG1_DblClick();
  t.w.mnuExtract_Click();
  QVERIFY(t.h.dialogs.shown.empty());
  QVERIFY(!QDir(QDir(t.w.ProgramFolder()).filePath("Temp")).exists());
}

void EditingExtractTest::advancedFilterOkReplacesTheFilter() {
  Extracting t;
  t.Open("big.pff",
         {{"big.bin", QByteArray(102400, 'x')}, {"small.bin", "s"}, {"pic.pcx", QByteArray(102400, 'p')}});
  // A quick type filter chosen before is dropped by the dialog's record.
  t.w.filterList()->setCurrentIndex(t.w.filterList()->findText("PCX"));
  t.w.FilterList_Click();
  QCOMPARE(t.w.RowCount(), 1);

  t.w.cmdAdvanced_Click();
  QPointer<FilterDialog> dialog = t.w.findChild<FilterDialog*>("frmFilter");
  QVERIFY(dialog);
  QVERIFY(dialog->isVisible());
  QVERIFY(dialog->isModal());
  auto* list = dialog->findChild<QListWidget*>("List1");
  QCOMPARE(list->count(), t.w.filterList()->count() - 1);
  QCOMPARE(list->item(0)->text(), t.w.filterList()->itemText(1));

  dialog->findChild<QCheckBox*>("chkSizeEnabled")->click();
  dialog->findChild<QPushButton*>("cmdOK")->click();
  QVERIFY(t.w.CurrentFilter().Active);
  QVERIFY(t.w.CurrentFilter().SizeOn);
  QVERIFY(!t.w.CurrentFilter().IsolateOn);
  QCOMPARE(t.w.RowCount(), 2);  // big.bin and pic.pcx, 102400 bytes each
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!dialog);
}

void EditingExtractTest::advancedFilterCancelKeepsTheFilter() {
  Extracting t;
  t.w.filterList()->setCurrentIndex(t.w.filterList()->findText("A"));
  t.w.FilterList_Click();
  t.w.cmdAdvanced_Click();
  auto* dialog = t.w.findChild<FilterDialog*>("frmFilter");
  dialog->findChild<QCheckBox*>("chkSizeEnabled")->click();
  dialog->findChild<QPushButton*>("cmdCancel")->click();
  QVERIFY(t.w.CurrentFilter().IsolateOn);
  QVERIFY(!t.w.CurrentFilter().SizeOn);
  QCOMPARE(t.w.RowCount(), 1);
}

VELLUM_UI_TEST_MAIN(EditingExtractTest)
#include "editing_extract_test.moc"
