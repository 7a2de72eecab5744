// The window's shell: controls, layout, the menu tree, About and the mail link.

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include "support/ui_test_env.h"

namespace {

QStringList Captions(const QMenu* menu) {
  QStringList captions;
  for (QAction* action : menu->actions()) captions << (action->isSeparator() ? "-" : action->text());
  return captions;
}

}  // namespace

class WindowShellTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearStore(); }

  void controlsAndLayout() {
    WindowHarness h;
    MainWindow& w = h.window();
    QCOMPARE(w.objectName(), QString("frmMain"));
    QCOMPARE(w.windowTitle(), QString("Tav Oskin's Vellumcraft"));
    QCOMPARE(w.findChild<QGroupBox*>("fraSort")->title(), QString("Filter"));
    QCOMPARE(w.findChild<QPushButton*>("cmdAdvanced")->text(), QString("Advanced Filter"));
    QCOMPARE(w.findChild<QGroupBox*>("fraAbout")->title(), QString("About:"));
    QCOMPARE(w.findChild<QLabel*>("Label1")->text(), QString("Vellumcraft v0.7"));
    QVERIFY(w.findChild<QComboBox*>("FilterList"));
    QCOMPARE(h.Tree()->topLevelItemCount(), 1);
    QCOMPARE(h.Tree()->topLevelItem(0)->text(0), QString("View All"));
    QCOMPARE(h.Tree()->topLevelItem(0)->data(0, Qt::UserRole).toString(), QString("All"));
    QCOMPARE(w.SelectedArchive(), -1);

    w.resize(1000, 700);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect tree = h.Tree()->geometry();
    const QRect grid = h.Grid()->geometry();
    const QRect frame = w.filterFrame()->geometry();
    const QRect bar = w.progressBar()->geometry();
    QVERIFY(grid.left() >= tree.right());
    QVERIFY(frame.top() >= tree.bottom());
    QCOMPARE(grid.right(), w.centralWidget()->width() - 1);
    QVERIFY(bar.top() > grid.bottom() && bar.top() > frame.bottom());
    QCOMPARE(bar.width(), w.centralWidget()->width());
    // The grid takes the room a larger window gives.
    w.resize(1200, 800);
    QTest::qWait(0);
    QCoreApplication::processEvents();
    QVERIFY(h.Grid()->width() > grid.width());
    QCOMPARE(h.Tree()->width(), tree.width());
  }

  void menuTree() {
    WindowHarness h;
    const QList<QAction*> bar = h.window().menuBar()->actions();
    QCOMPARE(bar.size(), 3);
    QCOMPARE(bar[0]->text(), QString("&File"));
    QCOMPARE(bar[1]->text(), QString("&Options"));
    QCOMPARE(bar[2]->text(), QString("&Actions"));

    const QStringList file = Captions(h.window().findChild<QMenu*>("mnuFile"));
    QCOMPARE(file, (QStringList{"&New", "&Open File", "&Close File", "-", "About", "-", "", "", "", "", "-",
                                "E&xit"}));
    QCOMPARE(Captions(h.window().findChild<QMenu*>("mnuNew")),
             (QStringList{"DF1/DF2 Format", "DF3 (DF:LW) Format"}));
    const QMenu* close = h.window().findChild<QMenu*>("mnuClose");
    QCOMPARE(close->actions().size(), 38);
    QCOMPARE(close->actions()[0]->text(), QString("Close All"));
    QCOMPARE(Captions(h.window().findChild<QMenu*>("mnuOptions")),
             (QStringList{"Time/Date Format", "Show DeadSpaces", "Re-Use DeadSpace", "Always Overwrite"}));
    QCOMPARE(Captions(h.window().findChild<QMenu*>("mnuTimeDateFormat")),
             (QStringList{"Day/Month/Year Use 24 Hours", "Month/Day/Year Use PM/AM"}));
    QCOMPARE(Captions(h.window().findChild<QMenu*>("mnuPopUp1")),
             (QStringList{"Add", "Extract", "Rename", "Delete"}));

    const QList<std::pair<QString, QString>> shortcuts{
        {"mnuNewV1", "Ctrl+N"},        {"mnuNewV2", "Ctrl+L"},    {"mnuOpen", "Ctrl+O"},
        {"mnuActualClose0", "Ctrl+C"}, {"mnuAddFiles", "Ctrl+A"}, {"mnuExtract", "Ctrl+E"},
        {"mnuRename", "Ctrl+R"},       {"mnuDelete", "Del"}};
    for (const auto& [name, keys] : shortcuts) {
      QAction* action = h.Action(name);
      QVERIFY2(action, qPrintable(name));
      QCOMPARE(action->shortcut(), QKeySequence(keys));
      QCOMPARE(action->shortcutContext(), Qt::WindowShortcut);
    }
    for (const char* name :
         {"mnuGoodFormat", "mnuBadFormat", "mnuShowDeadSpace", "mnuReUseDeadSpace", "mnuOverwrite"})
      QVERIFY(h.Action(name)->isCheckable());
    for (int i = 1; i <= 37; ++i) QVERIFY(!h.Action("mnuActualClose" + QString::number(i))->isVisible());
    QVERIFY(!h.Action("mnuActualClose38"));
  }

  void aboutAndMailLink() {
    WindowHarness h;
    h.Action("mnuAbout")->trigger();
    QCOMPARE(h.dialogs.Messages().size(), 1);
    const QStringList lines = h.dialogs.Messages().first().split("\r\n");
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.first(), QString("Vellumcraft V0.7"));
    QCOMPARE(h.dialogs.shown.back().title, QString());

    QTest::mouseClick(h.window().findChild<QLineEdit*>("Text1"), Qt::LeftButton);
    QTest::mouseClick(h.window().findChild<QLabel*>("Label2"), Qt::LeftButton);
    QCOMPARE(h.dialogs.shown.size(), size_t(3));
    QCOMPARE(h.dialogs.shown[1].kind, QString("desktop"));
    QVERIFY(h.dialogs.shown[1].text.startsWith("mailto:"));
    QCOMPARE(h.dialogs.shown[2].text, h.dialogs.shown[1].text);
  }

  void engineErrorsShowAsMessages() {
    WindowHarness h;
    h.window().ReportError("AddFile", "No space left on device");
    QCOMPARE(h.dialogs.Messages(), QStringList{"Error in AddFile\r\nNo space left on device"});
    h.dialogs.yesNoAnswers.push_back(true);
    QVERIFY(h.window().AskYesNo("Replace", "Replace it?"));
    QCOMPARE(h.dialogs.shown.back().kind, QString("yesno"));
    QCOMPARE(h.dialogs.shown.back().title, QString("Replace"));
  }
};

VELLUM_UI_TEST_MAIN(WindowShellTest)
#include "window_shell_test.moc"
