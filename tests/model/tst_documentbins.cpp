#include "harness/TestMain.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <climits>
#include <cmath>
#include <limits>

using namespace PlanFixture;

using NumericBins = QList<Document::NumericBin>;
using DateBins = QList<Document::DateBin>;

class TestDocumentBins : public QObject
{
    Q_OBJECT
private slots:
    void numericBins_data();
    void numericBins();
    void numericBinsEndOnExtremeInput_data();
    void numericBinsEndOnExtremeInput();
    void numericBinLookupAtBoundaries();
    void dateBins_data();
    void dateBins();
    void dateBinNames_data();
    void dateBinNames();
    void numberColourRamp_data();
    void numberColourRamp();
    void textColoursAreKeptWithPlan();
    void propertyBinsSurviveDamagedBinSizes();
};

void TestDocumentBins::numericBins_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<NumericBins>("expected");

    using B = Document::NumericBin;
    QTest::newRow("single value at zero") << 10 << 0.0 << 0.0 << NumericBins {B(0, 10)};
    QTest::newRow("positive start is the minimum")
        << 10 << 7.0 << 30.0 << NumericBins {B(7, 17), B(17, 27), B(27, 37)};
    QTest::newRow("negative start on a multiple")
        << 10 << -5.0 << 4.0 << NumericBins {B(-10, 0), B(0, 10)};
    QTest::newRow("negative start exactly on a multiple")
        << 10 << -10.0 << -1.0 << NumericBins {B(-10, 0)};
    QTest::newRow("maximum on a boundary gets its own bin")
        << 10 << 0.0 << 20.0 << NumericBins {B(0, 10), B(10, 20), B(20, 30)};
    QTest::newRow("fractional minimum truncated") << 5 << 2.7 << 6.0 << NumericBins {B(2, 7)};
}

void TestDocumentBins::numericBins()
{
    QFETCH(int, size);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(NumericBins, expected);
    QCOMPARE(Document::numericBins(size, minimum, maximum), expected);
}

void TestDocumentBins::numericBinsEndOnExtremeInput_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("firstLower");

    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("capped at 500") << 1 << 0.0 << 10000.0 << 0.0;
    QTest::newRow("maximum infinite") << 10 << 0.0 << inf << 0.0;
    QTest::newRow("minimum far below zero") << 10 << -1e300 << 0.0 << -1e300;
    QTest::newRow("minimum beyond 32-bit") << 10 << 3e9 << 3e9 + 25 << 3e9;
    QTest::newRow("minimum at 2^31") << 1 << 2147483648.0 << 2147483650.0 << 2147483648.0;
    QTest::newRow("bin size vanishes in the magnitude") << 10 << 1e300 << 2e300 << 1e300;
    QTest::newRow("bin size zero") << 0 << 0.0 << 100.0 << 0.0;
    QTest::newRow("bin size negative") << -7 << -3.0 << 3.0 << -3.0;
    QTest::newRow("minimum not a number") << 10 << nan << 5.0 << 0.0;
    QTest::newRow("maximum not a number") << 10 << 5.0 << nan << 5.0;
    QTest::newRow("minimum infinite") << 10 << -inf << 5.0 << 0.0;
}

// Each of these used to hang, overflow or crawl: every one must come back at once with
// contiguous bins, no more than 500, the last one holding the maximum.
void TestDocumentBins::numericBinsEndOnExtremeInput()
{
    QFETCH(int, size);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, firstLower);

    const NumericBins bins = Document::numericBins(size, minimum, maximum);
    QVERIFY(!bins.isEmpty());
    QVERIFY(bins.size() <= 500);
    if (firstLower == 0.0)
        QCOMPARE(bins.first().first, firstLower);
    else
        QVERIFY(qFuzzyCompare(bins.first().first, firstLower));
    for (int i = 0; i < bins.size(); ++i) {
        QVERIFY2(bins.at(i).first < bins.at(i).second, qPrintable(QString::number(i)));
        if (i > 0)
            QCOMPARE(bins.at(i).first, bins.at(i - 1).second);
    }
    if (std::isfinite(maximum) && maximum >= bins.first().first)
        QCOMPARE(Document::numericBinIndex(bins, maximum), bins.size() - 1);
}

void TestDocumentBins::numericBinLookupAtBoundaries()
{
    const NumericBins bins = Document::numericBins(1, 0, 10000);
    QCOMPARE(bins.size(), 500);
    QCOMPARE(bins.at(498), Document::NumericBin(498, 499));
    QCOMPARE(bins.last(), Document::NumericBin(499, 10001));
    QCOMPARE(Document::numericBinIndex(bins, 0.0), 0);
    QCOMPARE(Document::numericBinIndex(bins, 1.0), 1);
    QCOMPARE(Document::numericBinIndex(bins, 10000.0), 499);
    QCOMPARE(Document::numericBinIndex(bins, 10001.0), -1);
    QCOMPARE(Document::numericBinIndex(bins, -0.5), -1);
}

void TestDocumentBins::dateBins_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QDate>("minimum");
    QTest::addColumn<QDate>("maximum");
    QTest::addColumn<bool>("noDateBin");
    QTest::addColumn<int>("count");
    QTest::addColumn<QDate>("firstDay");
    QTest::addColumn<QDate>("lastBinStart");
    QTest::addColumn<QDate>("lastBinEnd");

    const QDate start(2025, 1, 1);
    QTest::newRow("499 days fill 499 bins") << 0 << start << start.addDays(498) << false << 499
                                            << start << start.addDays(498) << start.addDays(498);
    QTest::newRow("600 days end in a rest bin")
        << 0 << start << start.addDays(599) << false << 500 << start << start.addDays(499)
        << start.addDays(599);
    QTest::newRow("weeks start on Monday")
        << 1 << QDate(2025, 3, 5) << QDate(2025, 3, 20) << false << 3 << QDate(2025, 3, 3)
        << QDate(2025, 3, 17) << QDate(2025, 3, 23);
    QTest::newRow("months start on the first")
        << 2 << QDate(2024, 12, 15) << QDate(2025, 2, 1) << false << 3 << QDate(2024, 12, 1)
        << QDate(2025, 2, 1) << QDate(2025, 2, 28);
    QTest::newRow("years start in January")
        << 3 << QDate(2023, 6, 6) << QDate(2024, 1, 1) << false << 2 << QDate(2023, 1, 1)
        << QDate(2024, 1, 1) << QDate(2024, 12, 31);
    QTest::newRow("centuries of days stay capped")
        << 0 << QDate(1600, 1, 1) << QDate(3000, 12, 31) << true << 500 << QDate(1600, 1, 1)
        << QDate() << QDate();
    QTest::newRow("invalid minimum gives only the no-date bin")
        << 0 << QDate() << start << true << 1 << QDate() << QDate() << QDate();
    QTest::newRow("unknown unit gives only the no-date bin")
        << 7 << start << start << true << 1 << QDate() << QDate() << QDate();
}

void TestDocumentBins::dateBins()
{
    QFETCH(int, unit);
    QFETCH(QDate, minimum);
    QFETCH(QDate, maximum);
    QFETCH(bool, noDateBin);
    QFETCH(int, count);
    QFETCH(QDate, firstDay);
    QFETCH(QDate, lastBinStart);
    QFETCH(QDate, lastBinEnd);

    const DateBins bins = Document::dateBins(unit, minimum, maximum, noDateBin);
    QCOMPARE(bins.size(), count);
    QCOMPARE(bins.first().first, firstDay);
    QCOMPARE(bins.last().first, lastBinStart);
    QCOMPARE(bins.last().second, lastBinEnd);
    for (int i = 1; i < bins.size(); ++i) {
        if (bins.at(i).first.isValid())
            QCOMPARE(bins.at(i).first, bins.at(i - 1).second.addDays(1));
    }
}

void TestDocumentBins::dateBinNames_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QString>("expected");

    QTest::newRow("day") << QDate(2025, 3, 3) << QDate(2025, 3, 3) << "Mon 3 Mar 2025";
    QTest::newRow("week in a month")
        << QDate(2025, 3, 3) << QDate(2025, 3, 9) << QString::fromUtf8("3 … 9 Mar 2025");
    QTest::newRow("week across months")
        << QDate(2025, 4, 28) << QDate(2025, 5, 4) << QString::fromUtf8("28 Apr … 4 May 2025");
    QTest::newRow("week across New Year") << QDate(2024, 12, 30) << QDate(2025, 1, 5)
                                          << QString::fromUtf8("30 Dec 2024 … 5 Jan 2025");
    QTest::newRow("month") << QDate(2024, 2, 1) << QDate(2024, 2, 29) << "Feb 2024";
    QTest::newRow("year") << QDate(2025, 1, 1) << QDate(2025, 12, 31) << "2025";
    QTest::newRow("no date") << QDate() << QDate() << "";
}

void TestDocumentBins::dateBinNames()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(QString, expected);
    QCOMPARE(Document::dateBinName(Document::DateBin(first, last)), expected);
}

void TestDocumentBins::numberColourRamp_data()
{
    QTest::addColumn<QStringList>("cards");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QColor>("expected");

    const QStringList zeroToTen {"0", "10"};
    QTest::newRow("middle") << zeroToTen << "5" << QColor::fromHsv(135, 212, 255);
    QTest::newRow("minimum") << zeroToTen << "0" << QColor(255, 0, 0);
    QTest::newRow("maximum") << zeroToTen << "10" << QColor(170, 85, 255);
    QTest::newRow("empty counts as zero") << zeroToTen << "" << QColor(255, 0, 0);
    QTest::newRow("beyond the range is clamped") << zeroToTen << "99" << QColor(170, 85, 255);
    QTest::newRow("one number everywhere") << QStringList {"5", "5"} << "5" << QColor(170, 85, 255);
}

void TestDocumentBins::numberColourRamp()
{
    QFETCH(QStringList, cards);
    QFETCH(QString, value);
    QFETCH(QColor, expected);

    Document doc;
    const int p = addProperty(doc, QStringLiteral("Cost"), PropertyType::Numeric);
    addCards(doc, p, cards);
    QCOMPARE(doc.colorForValue(p, value).toRgb(), expected.toRgb());
}

void TestDocumentBins::textColoursAreKeptWithPlan()
{
    Document doc;
    const int p = addProperty(doc, QStringLiteral("Status"));
    addCards(doc, p, {"open", "done"});
    const Document before(doc);
    QCOMPARE(doc.valueColor(1, p), PropertyAppearance::defaultTextColor(0));
    QCOMPARE(doc.valueColor(0, p), PropertyAppearance::defaultTextColor(1));
    QCOMPARE(doc.valueColor(1, p), PropertyAppearance::defaultTextColor(0));
    QCOMPARE(doc.propertyAppearanceRef(p).textColors().size(), 2);
    // The snapshot taken before must not have been touched by the first lookups.
    QVERIFY(before.propertyAppearanceRef(p).textColors().isEmpty());
}

// A plan file can carry any bin size; the bins must still come back at once and hold every
// card.
void TestDocumentBins::propertyBinsSurviveDamagedBinSizes()
{
    for (const int size : {0, -5, INT_MIN}) {
        Document doc;
        PropertyAppearance appearance;
        appearance.setBinSize(size);
        appearance.setDateBinSize(size);
        doc.addProperty(QStringLiteral("Cost"), QString(), PropertyType::Numeric, {},
                        PropertyVisibility::Text, appearance, false);
        doc.addProperty(QStringLiteral("Due"), QString(), PropertyType::Date, {},
                        PropertyVisibility::Text, appearance, false);
        addCards(doc, 2, {"-3", "2000"});
        addCards(doc, 3, {"1/2/2020", "9/2/2020"});
        const NumericBins numeric = doc.numericBinsOfProperty(2);
        QVERIFY(numeric.size() <= 500);
        QVERIFY(Document::numericBinIndex(numeric, -3) >= 0);
        QVERIFY(Document::numericBinIndex(numeric, 2000) >= 0);
        const DateBins dates = doc.dateBinsOfProperty(3);
        QVERIFY(Document::dateBinIndex(dates, QDate(2020, 2, 9)) >= 0);
    }
}

TAVROLO_TEST_MAIN(TestDocumentBins)
#include "tst_documentbins.moc"
