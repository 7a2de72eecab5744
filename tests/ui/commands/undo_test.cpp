// "Undo" and "Redo" through the window: which archive they act on, their
// captions, and a step that no longer fits the file. Keys and the steps
// outlasting the window are the real-input test's.

#include <QStandardPaths>
#include <QTest>

#include "support/ui_test_env.h"

class UndoTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() { ClearStore(); }

  void stepsFollowTheChosenOrLastChangedArchive() {
    WindowHarness h;
    const QString a = h.Archive("a.pff", {{"a1.txt", 3}, {"a2.txt", 4}});
    const QString b = h.Archive("b.pff", {{"b1.txt", 5}, {"b2.txt", 6}});
    h.Open({a, b});
    QAction* undo = h.Action("undoChange");
    QAction* redo = h.Action("redoChange");
    auto items = [&] {
      return QStringList{undo->text(), undo->isEnabled() ? "on" : "off", redo->text(),
                         redo->isEnabled() ? "on" : "off"};
    };
    const QByteArray before = ReadFile(b);
    h.Show(0);
    QCOMPARE(items(), (QStringList{"Undo", "off", "Redo", "off"}));

    // In "View All" the archive just changed is the one meant; the tree's choice wins over it.
    h.Select(2, 3);  // b's two entries, listed after a's
    h.dialogs.yesNoAnswers.push_back(true);
    h.Run("deleteEntries");
    QCOMPARE(h.Column(0).size(), 2);
    QCOMPARE(items(), (QStringList{"Undo Delete 2 Entries", "on", "Redo", "off"}));
    h.Show(1);
    QCOMPARE(items(), (QStringList{"Undo", "off", "Redo", "off"}));
    h.Show(2);
    QCOMPARE(items(), (QStringList{"Undo Delete 2 Entries", "on", "Redo", "off"}));

    h.Show(0);
    h.Run("undoChange");
    QCOMPARE(ReadFile(b), before);
    QCOMPARE(h.Status().Result(), QString("Undid: delete of 2 entries"));
    QCOMPARE(h.Column(0).size(), 4);  // the record was read again: b's entries listed live
    QCOMPARE(items(), (QStringList{"Undo", "off", "Redo Delete 2 Entries", "on"}));
    QVERIFY(h.dialogs.Messages().isEmpty());

    // Closing a moves b to the first place: the items follow b's file, not its old index.
    h.window().CloseArchive(1);
    QCOMPARE(items(), (QStringList{"Undo", "off", "Redo Delete 2 Entries", "on"}));

    // Another program renamed an entry since. The first redo finds the record stale, reads it
    // again and says so; the second finds the step no longer fits. Neither writes.
    QByteArray changed = ReadFile(b);
    changed.replace("b2.txt", "b9.txt");
    WriteFile(b, changed);
    h.Run("redoChange");
    QCOMPARE(ReadFile(b), changed);
    QVERIFY(h.Column(0).contains(" b9.txt "));
    QCOMPARE(h.dialogs.Messages().size(), 1);
    h.Run("redoChange");
    QCOMPARE(ReadFile(b), changed);
    QCOMPARE(h.dialogs.Messages().size(), 2);
    QCOMPARE(h.dialogs.Messages().at(1), b + " was changed since; nothing was redone.");
    QCOMPARE(h.Status().Result(), h.dialogs.Messages().at(1));
  }
};

VELLUM_UI_TEST_MAIN(UndoTest)
#include "undo_test.moc"
