#include "common/core/NumberDateText.h"
#include "harness/PlainTestMain.h"
#include "harness/SystemLocale.h"

#include <QLocale>

namespace {

const QString startLocale = startUnderSystemLocale("de_DE.UTF-8");

} // namespace

// Numbers written as values under a system locale that writes them as 1.234,5: what is
// written must read back as the same number.
class TestNumberTextLocale : public QObject
{
    Q_OBJECT

private slots:
    void exactNumbersReadBackInTheSystemFormat_data();
    void exactNumbersReadBackInTheSystemFormat();
};

void TestNumberTextLocale::exactNumbersReadBackInTheSystemFormat_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("a million and more, no group separators") << 1234567.0 << "1234567";
    QTest::newRow("decimal comma") << -1234567.25 << "-1234567,25";
    QTest::newRow("a tenth") << 0.1 << "0,1";
    QTest::newRow("exponent") << 1e22 << "1e+22";
}

void TestNumberTextLocale::exactNumbersReadBackInTheSystemFormat()
{
    QFETCH(double, number);
    QFETCH(QString, text);
    QCOMPARE(startLocale, QStringLiteral("de_DE"));
    ValueFormats system;
    system.numberFormat = 0;
    QCOMPARE(exactNumberToString(number, system), text);
    bool ok = false;
    QCOMPARE(stringToNumber(text, system, false, &ok), number);
    QVERIFY(ok);
}

TAVROLO_CORE_TEST_MAIN(TestNumberTextLocale)
#include "tst_numbertextlocale.moc"
