// The window's replace question, word for word, in both date styles.

#include "ui/commands/replace_question.h"

#include <QTest>

class ReplaceQuestionTest : public QObject {
  Q_OBJECT

 private slots:
  void wordsBothSidesWithTheWindowsDateStyle() {
    const pff::ReplaceRequest request{{"README.TXT", 512, 1000000000}, {"r\u00e9ad.txt", 3000, 18000}, "x"};
    QCOMPARE(
        ReplaceQuestionText(request, pff::DateStyle::Bad),
        QString("Are you sure you want to replace: README.TXT, Size: 1 KB, Modified On: 09/08/01 08:46:40 PM"
                "\r\nWith This One: r\u00e9ad.txt, Size: 3 KB, Modified On: 01/01/70 12:00:00 AM"));
    QVERIFY(ReplaceQuestionText(request, pff::DateStyle::Good).endsWith("Modified On: 01/01/70 00:00:00"));
  }
};

QTEST_APPLESS_MAIN(ReplaceQuestionTest)
#include "replace_question_test.moc"
