#include "common/Accessors.h"
#include "common/RelativeDates.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

class TestRelativeDates : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsRelativeDates_data();
    void readsRelativeDates();
    void normalizesToTheUsersFormat_data();
    void normalizesToTheUsersFormat();
};

void TestRelativeDates::init()
{
    settings()->setDateFormat(0);
    settings()->setNumberFormat(1);
}

void TestRelativeDates::readsRelativeDates_data()
{
    const QDate today = QDate::currentDate();
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("today in any case") << "  ToDay " << today;
    QTest::newRow("tomorrow") << "TOMORROW" << today.addDays(1);
    QTest::newRow("fraction truncated") << "+2.7" << today.addDays(2);
    QTest::newRow("negative fraction truncated") << "-1.9" << today.addDays(-1);
    QTest::newRow("lone plus") << "+" << QDate();
    QTest::newRow("plus word") << "+abc" << QDate();
    QTest::newRow("tomorrow and more") << "tomorrowx" << QDate();
    QTest::newRow("explicit date") << "14/3/2021" << QDate(2021, 3, 14);
    QTest::newRow("huge exponent") << "+1e300" << QDate();
    QTest::newRow("minus huge exponent") << "-1e300" << QDate();
    QTest::newRow("beyond year 3000") << "+500000" << QDate();
    QTest::newRow("before year 1600") << "-500000" << QDate();
    QTest::newRow("infinity") << "+inf" << QDate();
    // A weekday name means the next such day, today included.
    const QLocale locale = QLocale::system();
    for (int ahead = 0; ahead < 7; ++ahead) {
        const QDate date = today.addDays(ahead);
        const QString name = locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
        QTest::addRow("%s", qPrintable(name)) << name << date;
        const QString shortName = locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
        QTest::addRow("%s", qPrintable(shortName.toUpper())) << shortName.toUpper() << date;
    }
}

void TestRelativeDates::readsRelativeDates()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(parseRelativeDate(text), date);
}

void TestRelativeDates::normalizesToTheUsersFormat_data()
{
    const QDate tomorrow = QDate::currentDate().addDays(1);
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("tomorrow year first")
        << 2 << "tomorrow" << tomorrow.toString(QStringLiteral("yyyy/M/d"));
    QTest::newRow("short year widened") << 0 << "14-03-21" << QStringLiteral("14/3/2021");
    QTest::newRow("no date kept as typed") << 0 << "  soon " << QStringLiteral("  soon ");
    QTest::newRow("overflow kept as typed") << 0 << "+1e300" << QStringLiteral("+1e300");
}

void TestRelativeDates::normalizesToTheUsersFormat()
{
    QFETCH(int, format);
    QFETCH(QString, text);
    QFETCH(QString, normalized);
    settings()->setDateFormat(format);
    QCOMPARE(normalizeDateText(text), normalized);
}

TAVROLO_TEST_MAIN(TestRelativeDates)
#include "tst_relativedates.moc"
