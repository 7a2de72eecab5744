// Adding (menu and drop), deleting and renaming through the window, with
// scripted dialogs and archives in a temporary folder.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "editing/add_file.h"
#include "engine/name_helpers.h"
#include "support/ui_test_env.h"

namespace {

const QString kViewAll =
    "You can not add files in \"View All\" mode!\r\nPlease select a file from the Tree View List first!";

// A window with one archive open and chosen in the tree.
struct Editing {
  WindowHarness h;
  MainWindow& w = h.window();

  QString Source(const QString& name, const QByteArray& bytes) {
    QDir().mkpath(h.File("src"));
    const QString path = h.File("src/" + name);
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return path;
  }
  // Opens a new archive holding files (name, bytes) and selects it.
  void OpenArchive(const QString& name, const QList<QPair<QString, QByteArray>>& files) {
    h.Open({h.Archive(name, {})});
    const int index = w.Table().Count();
    pff::SilentPort quiet;
    for (const auto& [file, bytes] : files)
      pff::AddFile(Source(file, bytes).toStdString(), w.Table().Archive(index), w.Options(), quiet);
    w.TV1_NodeClick(h.Tree()->topLevelItem(0)->child(index - 1));
    h.dialogs.shown.clear();
  }
  pff::PffArchive& Archive(int index = 1) { return w.Table().Archive(index); }
  // Entry names in directory order, as memory holds them and as the file on disk holds them.
  QStringList Names(int index = 1) {
    QStringList names;
    for (const auto& e : Archive(index).Entries)
      names << QString::fromLatin1(pff::StripNulls(pff::NameBytes(e.Name)).c_str());
    return names;
  }
  QStringList NamesOnDisk(int index = 1) {
    pff::ArchiveTable table;
    pff::SilentPort quiet;
    pff::OpenFile(table, Archive(index).Path, quiet);
    QStringList names;
    for (const auto& e : table.Archive(1).Entries)
      names << QString::fromLatin1(pff::StripNulls(pff::NameBytes(e.Name)).c_str());
    return names;
  }
  QStringList Kinds() const {
    QStringList kinds;
    for (const auto& s : h.dialogs.shown) kinds << s.kind;
    return kinds;
  }
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

}  // namespace

class EditingTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearStore(); }
  void addingIsRefusedInViewAll();
  void addFromDialogSkipsFoldersAndRemembersTheFolder();
  void replaceFollowsTheOptionsAndTheAnswer_data();
  void replaceFollowsTheOptionsAndTheAnswer();
  void dropAddsEachFileAndCountsOnPB1();
  void deleteAsksThenMarksTheRowsDead_data();
  void deleteAsksThenMarksTheRowsDead();
  void deleteAcrossArchivesInViewAll();
  void renameChecksTheAnswer_data();
  void renameChecksTheAnswer();
  void renameMakesDeadSpaceLive();
  void commandsDoNothingWithNothingOpen();
};

void EditingTest::addingIsRefusedInViewAll() {
  Editing t;
  t.OpenArchive("a.pff", {});
  t.w.TV1_NodeClick(t.h.Tree()->topLevelItem(0));  // "View All"
  const QString file = t.Source("x.txt", "x");
  t.w.mnuAddFiles_Click();
  t.w.FG1_FilesDropped({file});
  QCOMPARE(t.Kinds(), QStringList({"message", "message"}));
  for (const auto& shown : t.h.dialogs.shown) {
    QCOMPARE(shown.title, QString("Warning!"));
    QCOMPARE(shown.text, kViewAll);
  }
  QCOMPARE(t.Archive().Header.EntryCount, 0);
}

void EditingTest::addFromDialogSkipsFoldersAndRemembersTheFolder() {
  Editing t;
  t.OpenArchive("a.pff", {});
  const QString plain = t.Source("README", "no extension");
  const QString text = t.Source("b.txt", "bee");
  const QString folder = t.h.File("src/sub.dir");
  QDir().mkpath(folder);

  t.h.dialogs.openAnswers.push_back({plain, folder, text});
  t.w.mnuAddFiles_Click();
  const auto& open = t.h.dialogs.shown.at(0);
  QCOMPARE(open.kind, QString("open"));
  QCOMPARE(open.text, QString("Select Files (*.*)"));
  QCOMPARE(open.extra, t.w.ProgramFolder());  // no "LastAdd" yet
  QCOMPARE(t.h.dialogs.Messages(), QStringList({"Unable to Add " + folder + ", Please Select Only Files!"}));
  QCOMPARE(t.h.dialogs.shown.at(1).title, QString());
  QCOMPARE(t.Names(), QStringList({"README", "b.txt"}));
  QCOMPARE(t.NamesOnDisk(), QStringList({"README", "b.txt"}));
  QCOMPARE(t.w.RowCount(), 2);

  // The next dialog starts in the folder of the last choice; cancelling changes nothing.
  t.h.dialogs.shown.clear();
  t.w.mnuAddFiles_Click();
  QCOMPARE(t.h.dialogs.shown.at(0).extra, t.h.File("src") + "/");
  QCOMPARE(t.Kinds(), QStringList({"open"}));
  QCOMPARE(t.Archive().Header.EntryCount, 2);
}

void EditingTest::replaceFollowsTheOptionsAndTheAnswer_data() {
  QTest::addColumn<bool>("alwaysOverwrite");
  QTest::addColumn<bool>("reuse");
  QTest::addColumn<bool>("answer");
  QTest::addColumn<bool>("asked");
  QTest::addColumn<QStringList>("names");
  QTest::newRow("No keeps all") << false << true << false << true << QStringList{"README.TXT", "z.bin"};
  QTest::newRow("Yes, same size re-uses the slot")
      << false << true << true << true << QStringList{"readme.txt", "z.bin"};
  QTest::newRow("Yes, no re-use appends")
      << false << false << true << true << QStringList{"<DEAD SPACE>", "z.bin", "readme.txt"};
  QTest::newRow("Always Overwrite asks nothing")
      << true << true << false << false << QStringList{"readme.txt", "z.bin"};
}

void EditingTest::replaceFollowsTheOptionsAndTheAnswer() {
  QFETCH(bool, alwaysOverwrite);
  QFETCH(bool, reuse);
  QFETCH(bool, answer);
  QFETCH(bool, asked);
  QFETCH(QStringList, names);
  Editing t;
  t.OpenArchive("a.pff", {{"README.TXT", "0123456789"}, {"z.bin", "zz"}});
  t.w.Options().AlwaysOverwrite = alwaysOverwrite;
  t.w.Options().ReUseDeadSpaces = reuse;
  t.h.dialogs.yesNoAnswers.push_back(answer);
  t.h.dialogs.openAnswers.push_back({t.Source("readme.txt", "abcdefghij")});
  t.w.mnuAddFiles_Click();

  QCOMPARE(t.Kinds(), asked ? QStringList({"open", "yesno"}) : QStringList({"open"}));
  if (asked) {
    QCOMPARE(t.h.dialogs.shown.at(1).title, QString("Warning!"));
    QVERIFY(t.h.dialogs.shown.at(1).text.startsWith("Are you sure you want to replace: README.TXT, Size: "));
  }
  QCOMPARE(t.Names(), names);
  QCOMPARE(t.NamesOnDisk(), names);
}

void EditingTest::dropAddsEachFileAndCountsOnPB1() {
  Editing t;
  t.OpenArchive("a.pff", {{"b.txt", "old"}});
  QSignalSpy pb1(t.w.progressBar(), &QProgressBar::valueChanged);
  t.w.FG1_FilesDropped({});
  QVERIFY(t.h.dialogs.shown.empty());
  QCOMPARE(pb1.count(), 0);

  const QString folder = t.h.File("src");
  t.h.dialogs.yesNoAnswers.push_back(false);  // keep the old b.txt; the next file still goes in
  t.w.FG1_FilesDropped({folder, t.Source("b.txt", "new"), t.Source("c", "sea")});
  QCOMPARE(t.Kinds(), QStringList({"message", "yesno"}));
  QCOMPARE(t.h.dialogs.shown.at(0).text, "Unable to Add " + folder + ", Please Select Only Files!");
  QCOMPARE(t.Names(), QStringList({"b.txt", "c"}));
  QCOMPARE(Steps(pb1), QList<int>({1, 2, 3}));
  QCOMPARE(t.w.progressBar()->value(), 0);
  QCOMPARE(t.w.RowCount(), 2);
}

void EditingTest::deleteAsksThenMarksTheRowsDead_data() {
  QTest::addColumn<int>("current");
  QTest::addColumn<int>("end");
  QTest::addColumn<bool>("answer");
  QTest::addColumn<QStringList>("names");
  const QStringList all{"a", "b", "c", "d", "e", "f"};
  QTest::newRow("rows 5 up to 3, Yes") << 4 << 2 << true << QStringList{"a", "b", "-", "-", "-", "f"};
  QTest::newRow("rows 2 down to 4, Yes") << 1 << 3 << true << QStringList{"a", "-", "-", "-", "e", "f"};
  QTest::newRow("one row, Yes") << 0 << 0 << true << QStringList{"-", "b", "c", "d", "e", "f"};
  QTest::newRow("No") << 4 << 2 << false << all;
}

void EditingTest::deleteAsksThenMarksTheRowsDead() {
  QFETCH(int, current);
  QFETCH(int, end);
  QFETCH(bool, answer);
  QFETCH(QStringList, names);
  Editing t;
  t.OpenArchive("a.pff", {{"a", "1"}, {"b", "22"}, {"c", "333"}, {"d", "4"}, {"e", "5"}, {"f", "6"}});
  t.w.SetSelection(current, end);
  QSignalSpy pb1(t.w.progressBar(), &QProgressBar::valueChanged);
  t.h.dialogs.yesNoAnswers.push_back(answer);
  t.w.mnuDelete_Click();

  const int n = std::abs(current - end) + 1;
  QCOMPARE(t.Kinds(), QStringList({"yesno"}));
  QCOMPARE(t.h.dialogs.shown.at(0).title, QString());
  QCOMPARE(t.h.dialogs.shown.at(0).text, QString("Are You Sure You Want To Delete %1 Files?").arg(n));
  QStringList expected;
  for (const QString& name : names) expected << (name == "-" ? QString("<DEAD SPACE>") : name);
  QCOMPARE(t.Names(), expected);
  QCOMPARE(t.NamesOnDisk(), expected);
  QList<int> counted;
  for (int i = 1; answer && i <= n; ++i) counted << i;
  QCOMPARE(Steps(pb1), counted);
  QCOMPARE(t.w.progressBar()->value(), 0);
  // Dead space is hidden while it is not shown.
  QCOMPARE(t.w.RowCount(), 6 - (answer ? n : 0));
  // The dead keep their regions.
  QCOMPARE(t.Archive().Entries[2].DataSize, 3);
}

void EditingTest::deleteAcrossArchivesInViewAll() {
  Editing t;
  t.OpenArchive("a.pff", {{"a1", "1"}, {"a2", "2"}});
  t.OpenArchive("b.pff", {{"b1", "1"}, {"b2", "2"}});
  t.w.TV1_NodeClick(t.h.Tree()->topLevelItem(0));
  QCOMPARE(t.w.RowCount(), 4);
  t.w.SetSelection(1, 2);  // a2 and b1
  t.h.dialogs.yesNoAnswers.push_back(true);
  t.w.mnuDelete_Click();
  QCOMPARE(t.NamesOnDisk(1), QStringList({"a1", "<DEAD SPACE>"}));
  QCOMPARE(t.NamesOnDisk(2), QStringList({"<DEAD SPACE>", "b2"}));
  QCOMPARE(t.w.RowCount(), 2);
}

void EditingTest::renameChecksTheAnswer_data() {
  QTest::addColumn<bool>("cancel");
  QTest::addColumn<QString>("answer");
  QTest::addColumn<QString>("message");
  QTest::addColumn<QString>("name");
  QTest::newRow("cancelled") << true << ""
                             << ""
                             << "a.txt";
  QTest::newRow("empty") << false << ""
                         << ""
                         << "a.txt";
  QTest::newRow("16 characters") << false << "sixteen_chars.ab"
                                 << ""
                                 << "sixteen_chars.ab";
  QTest::newRow("17 characters") << false << "seventeen_chars.a"
                                 << "Error, File Name \"seventeen_chars.a\" Is Too Long!\r\n"
                                    "It MUST be less or equal to 16 Chracters!"
                                 << "a.txt";
  QTest::newRow("itself in capitals") << false << "A.TXT"
                                      << "Error, File Name \"A.TXT\" Is Used!"
                                      << "a.txt";
  QTest::newRow("another entry") << false << "B.dat"
                                 << "Error, File Name \"B.dat\" Is Used!"
                                 << "a.txt";
  QTest::newRow("Latin-1") << false << QString::fromUtf8("caf\u00e9.txt") << ""
                           << QString::fromUtf8("caf\u00e9.txt");
}

void EditingTest::renameChecksTheAnswer() {
  QFETCH(bool, cancel);
  QFETCH(QString, answer);
  QFETCH(QString, message);
  QFETCH(QString, name);
  Editing t;
  t.OpenArchive("a.pff", {{"a.txt", "A"}, {"b.dat", "B"}});
  t.w.SetSelection(0, 0);
  t.h.dialogs.inputAnswers.push_back(cancel ? std::nullopt : std::optional<QString>(answer));
  t.w.mnuRename_Click();

  const auto& input = t.h.dialogs.shown.at(0);
  QCOMPARE(input.kind, QString("input"));
  QCOMPARE(input.title, QString("Rename a.txt"));
  QCOMPARE(input.text, QString("Please Enter The New File Name!"));
  QCOMPARE(input.extra, QString("a.txt"));
  QCOMPARE(t.h.dialogs.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
  if (!message.isEmpty()) QCOMPARE(t.h.dialogs.shown.back().title, QString());
  QCOMPARE(t.NamesOnDisk().at(0), name);
  QCOMPARE(t.h.Cell(0, 0), " " + name + " ");
}

void EditingTest::renameMakesDeadSpaceLive() {
  Editing t;
  t.OpenArchive("a.pff", {{"a.txt", "AAAA"}, {"b.dat", "B"}});
  t.w.SetSelection(0, 0);
  t.h.dialogs.yesNoAnswers.push_back(true);
  t.w.mnuDelete_Click();
  t.h.Action("mnuShowDeadSpace")->trigger();
  QCOMPARE(t.h.Cell(0, 0), QString(" <DEAD SPACE> "));

  t.w.SetSelection(0, 0);
  t.h.dialogs.inputAnswers.push_back(QString("back.txt"));
  t.w.mnuRename_Click();
  const pff::PffEntry& entry = t.Archive().Entries[0];
  QCOMPARE(entry.DeadFlag, 0);
  QCOMPARE(entry.DataSize, 4);
  QCOMPARE(t.NamesOnDisk(), QStringList({"back.txt", "b.dat"}));
}

void EditingTest::commandsDoNothingWithNothingOpen() {
  Editing t;
  t.w.mnuDelete_Click();
  t.w.mnuRename_Click();
  t.w.mnuExtract_Click();
  t.w.FG1_DblClick();
  QVERIFY(t.h.dialogs.shown.empty());
}

VELLUM_UI_TEST_MAIN(EditingTest)
#include "editing_test.moc"
