#include "harness/PlainTestMain.h"
#include "harness/TestPlanKey.h"
#include "tests/model/PlanFixture.h"

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include <QRandomGenerator>
#include <QVector>

using namespace PlanFixture;

using NumericBins = QList<Document::NumericBin>;
using DateBins = QList<Document::DateBin>;

namespace {

// A data column of filter terms, under a name of the test's own.
struct Terms
{
    Terms(std::initializer_list<FilterTerm> terms = {}) : list(terms) { }
    QList<FilterTerm> list;
};

// Four cards over a text, a numeric and a date property; notes on the first.
void fillFilterPlan(Document &doc)
{
    fillPlan(doc,
             {{"Alpha", "", "10", "1/3/2025"},
              {"beta", "", "10.0", ""},
              {"Gamma", "", "", "not a date"},
              {"b", "", "25", "15/3/2025"}});
    doc.setTaskNotes(0, QStringLiteral("  Call BOB  "), false);
}

QString passing(const Document &doc)
{
    QString marks;
    for (int task = 0; task < doc.taskCount(); ++task)
        marks.append(doc.taskPassesFilter(task) ? QLatin1Char('1') : QLatin1Char('0'));
    return marks;
}

QString randomText(QRandomGenerator &random)
{
    static const QStringList words {"", "open", "Open", "done", " x ", "b", "a", "10", "2"};
    return words.at(random.bounded(words.size()));
}

// Random cards over properties with predefined values, defaults and value orders; cards
// and a property are deleted so that the value map has seen churn.
void fillRandomPlan(Document &doc, QRandomGenerator &random)
{
    doc.clear(false);
    for (int p = 0; p < 5; ++p) {
        const QStringList predefined = p % 2 ? QStringList {"z", "a", "z"} : QStringList();
        addProperty(doc, QStringLiteral("P%1").arg(p), PropertyType::Text, predefined,
                    p == 2 ? QStringLiteral("dflt") : QString());
        doc.setValueOrder(doc.propertyCount() - 1, {"done", "z", "missing", "open"}, false);
    }
    for (int card = 0; card < 60; ++card) {
        QList<PropertyIndexAndValue> values;
        for (int p = 1; p < doc.propertyCount(); ++p) {
            if (random.bounded(4) != 0)
                values.append({p, randomText(random)});
        }
        doc.addTaskWithValues(values, QString(), {}, -1, false);
    }
    doc.deleteTasks({3, 17, 40, 41}, false);
    doc.deleteProperty(2, false);
}

} // namespace

Q_DECLARE_METATYPE(Terms)
Q_DECLARE_METATYPE(ValueListOptions)

class TestDocumentValues : public QObject
{
    Q_OBJECT
private slots:
    void typeComesFromValues_data();
    void typeComesFromValues();
    void typeStaysRightThroughLongEditSequences();
    void numericRange_data();
    void numericRange();
    void rangesFollowEdits();
    void valueOfMissingCardIsNotStored();
    void damagedRoleIndexesCountAsNone();
    void numericBins_data();
    void numericBins();
    void numericBinsEndOnExtremeInput_data();
    void numericBinsEndOnExtremeInput();
    void propertyBinsSurviveDamagedBinSizes();
    void dateBins_data();
    void dateBins();
    void numericBinNames_data();
    void numericBinNames();
    void dateBinNames_data();
    void dateBinNames();
    void numberColoursFollowTheRamp_data();
    void numberColoursFollowTheRamp();
    void textColoursAreKeptWithPlan();
    void cardsPassingFilter_data();
    void cardsPassingFilter();
    void filterGroupsMatchTermByTerm_data();
    void filterGroupsMatchTermByTerm();
    void valueLists_data();
    void valueLists();
    void valueListOptionsPickValues_data();
    void valueListOptionsPickValues();
    void listsOfEveryPropertyMatchOneByOne();
    void cardsAppendedAtOnceMatchOneByOne_data();
    void cardsAppendedAtOnceMatchOneByOne();
    void containsTermIgnoresCase_data();
    void containsTermIgnoresCase();
};

void TestDocumentValues::typeComesFromValues_data()
{
    QTest::addColumn<int>("declared");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("predefined");
    QTest::addColumn<int>("expected");

    const QStringList none;
    QTest::newRow("only empty values")
        << 0 << QStringList {"", "  ", ""} << none << int(ActualType::Text);
    QTest::newRow("numbers and an empty card")
        << 0 << QStringList {"3", "4.5", ""} << none << int(ActualType::Numeric);
    QTest::newRow("a word among numbers")
        << 0 << QStringList {"3", "4.5", "soon"} << none << int(ActualType::Text);
    QTest::newRow("only dates") << 0 << QStringList {"14/3/2021", "1/1/2020", ""} << none
                                << int(ActualType::Date);
    QTest::newRow("predefined word keeps it text")
        << 0 << QStringList {"1", "2"} << QStringList {"high"} << int(ActualType::Text);
    QTest::newRow("predefined numbers only")
        << 0 << QStringList {"", ""} << QStringList {"1", "2"} << int(ActualType::Numeric);
    QTest::newRow("declared text holding numbers")
        << 1 << QStringList {"1", "2"} << none << int(ActualType::Text);
    QTest::newRow("declared numeric holding words")
        << 2 << QStringList {"a", "b"} << none << int(ActualType::Numeric);
    QTest::newRow("unknown declared type acts automatic")
        << 9 << QStringList {"1", "2"} << none << int(ActualType::Numeric);
    QTest::newRow("negative declared type acts automatic")
        << -4 << QStringList {"x"} << none << int(ActualType::Text);
}

void TestDocumentValues::typeComesFromValues()
{
    QFETCH(int, declared);
    QFETCH(QStringList, values);
    QFETCH(QStringList, predefined);
    QFETCH(int, expected);

    Document doc;
    const int p = addProperty(doc, QStringLiteral("P"), declared, predefined);
    addCards(doc, p, values);
    QCOMPARE(doc.actualPropertyType(p), expected);
    // A fresh copy has no caches: it must reach the same answer from the values alone.
    QCOMPARE(Document(doc).actualPropertyType(p), expected);
}

// Values set one by one, with the type asked for in between and cards added, undone and
// deleted meanwhile: the answer must always be what a fresh look at the values gives.
void TestDocumentValues::typeStaysRightThroughLongEditSequences()
{
    const QStringList pool {"", "5", "-2.5", "x", "14/3/2021", " ", "1/2/2020", "7"};
    Document doc;
    const int p = addProperty(doc, QStringLiteral("P"));
    const int q = addProperty(doc, QStringLiteral("Q"), PropertyType::Automatic, {"3"});
    QRandomGenerator random(4711);
    std::vector<Document> snapshots;
    for (int step = 0; step < 3000; ++step) {
        const int action = random.bounded(100);
        if (action < 5 || doc.taskCount() == 0) {
            doc.addTask(false);
        } else if (action < 7) {
            snapshots.emplace_back(doc);
        } else if (action < 9 && !snapshots.empty()) {
            doc = snapshots.back();
            snapshots.pop_back();
        } else if (action < 11) {
            doc.deleteTasks({random.bounded(doc.taskCount())}, false);
        } else {
            QString text = pool.at(random.bounded(pool.size()));
            doc.setValue(random.bounded(doc.taskCount()), random.bounded(2) ? p : q, text, false);
        }
        const Document fresh(doc);
        QCOMPARE(doc.actualPropertyType(p), fresh.actualPropertyType(p));
        QCOMPARE(doc.actualPropertyType(q), fresh.actualPropertyType(q));
    }
}

void TestDocumentValues::numericRange_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    QTest::newRow("empty value counts as zero") << QStringList {"5", "12", ""} << 0.0 << 12.0;
    QTest::newRow("beyond single precision") << QStringList {"1e39", "2e39"} << 1e39 << 2e39;
    QTest::newRow("far below single precision")
        << QStringList {"-1e300", "-2e300"} << -2e300 << -1e300;
    QTest::newRow("word counts as zero") << QStringList {"7", "n/a"} << 0.0 << 7.0;
}

void TestDocumentValues::numericRange()
{
    QFETCH(QStringList, values);
    QFETCH(double, minimum);
    QFETCH(double, maximum);

    Document doc;
    const int p = addProperty(doc, QStringLiteral("Cost"), PropertyType::Numeric);
    addCards(doc, p, values);
    QCOMPARE(doc.numericRange(p), qMakePair(minimum, maximum));
}

// Ranges are cached: every edit that touches the values must drop them.
void TestDocumentValues::rangesFollowEdits()
{
    Document doc;
    fillPlan(doc, {{"a", "", "1", "not a date"}, {"b", "", "2", "14/3/2021"}, {"c", "", "", ""}});
    QCOMPARE(doc.dateRange(Due), qMakePair(QDate(2021, 3, 14), QDate(2021, 3, 14)));
    QCOMPARE(doc.numericRange(Cost), qMakePair(0.0, 2.0));
    QString text = QStringLiteral("40");
    doc.setValue(2, Cost, text, true);
    QCOMPARE(doc.numericRange(Cost), qMakePair(1.0, 40.0));
    doc.deleteTasks({0}, false);
    QCOMPARE(doc.numericRange(Cost), qMakePair(2.0, 40.0));
    doc.editProperty(Status, QStringLiteral("Status"), QString(), PropertyType::Automatic,
                     {"2", "1"}, PropertyAppearance(), false);
    QCOMPARE(doc.predefinedValues(Status), (QStringList {"1", "2"}));
    QCOMPARE(doc.numericRange(Status), qMakePair(0.0, 2.0));
    doc.deleteTasks({0}, false);
    QVERIFY(!doc.dateRange(Due).first.isValid());
}

void TestDocumentValues::valueOfMissingCardIsNotStored()
{
    Document doc;
    fillPlan(doc, {{"a"}});
    const Document before(doc);
    QString text = QStringLiteral("b");
    doc.setValue(5, Name, text, false);
    doc.setValue(0, 42, text, false);
    doc.setValue(-1, -1, text, false);
    QVERIFY(doc == before);
}

// Indexes read from a damaged plan file are kept as the file holds them, but whoever reads a
// role through the document sees none instead of a property that does not exist.
void TestDocumentValues::damagedRoleIndexesCountAsNone()
{
    Document doc;
    addProperty(doc, QStringLiteral("P")); // properties 0 to 2, so 3 stands for "<cards>"
    for (const int stored : {3, 4, 1000000, -1}) {
        Slice &view = doc.m_currentView;
        view.xProperty = view.yProperty = view.cellOrderingProperty = stored;
        view.cardColorProperty = view.highlightColorProperty = view.totalProperty = stored;
        ChartsSettings &chart = doc.m_chartsSettings;
        chart.showProperty = chart.byProperty = chart.perProperty = stored;
        QCOMPARE((QVector<int> {doc.xProperty(), doc.yProperty(), doc.cellOrderingProperty(),
                                doc.cardColorProperty(), doc.highlightColorProperty(),
                                doc.chartByProperty(), doc.chartPerProperty()}),
                 QVector<int>(7, 0));
        QCOMPARE(doc.totalProperty(), stored == 3 ? 3 : 0);
        QCOMPARE(doc.chartShowProperty(), stored == 3 ? 3 : 0);
    }
}

void TestDocumentValues::numericBins_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<NumericBins>("expected");

    using B = Document::NumericBin;
    QTest::newRow("positive start is the minimum")
        << 10 << 7.0 << 30.0 << NumericBins {B(7, 17), B(17, 27), B(27, 37)};
    QTest::newRow("negative start on a multiple")
        << 10 << -5.0 << 4.0 << NumericBins {B(-10, 0), B(0, 10)};
    QTest::newRow("maximum on a boundary gets its own bin")
        << 10 << 0.0 << 20.0 << NumericBins {B(0, 10), B(10, 20), B(20, 30)};
    QTest::newRow("fractional minimum truncated") << 5 << 2.7 << 6.0 << NumericBins {B(2, 7)};
}

void TestDocumentValues::numericBins()
{
    QFETCH(int, size);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(NumericBins, expected);
    QCOMPARE(Document::numericBins(size, minimum, maximum), expected);
    // A value on a boundary belongs to the upper bin.
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(Document::numericBinIndex(expected, expected.at(i).first), i);
    QCOMPARE(Document::numericBinIndex(expected, expected.first().first - 0.5), -1);
}

void TestDocumentValues::numericBinsEndOnExtremeInput_data()
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
    QTest::newRow("minimum at 2^31") << 1 << 2147483648.0 << 2147483650.0 << 2147483648.0;
    QTest::newRow("bin size vanishes in the magnitude") << 10 << 1e300 << 2e300 << 1e300;
    QTest::newRow("bin size negative") << -7 << -3.0 << 3.0 << -3.0;
    QTest::newRow("minimum not a number") << 10 << nan << 5.0 << 0.0;
    QTest::newRow("maximum not a number") << 10 << 5.0 << nan << 5.0;
}

// Each of these used to hang, overflow or crawl: every one must come back at once with
// contiguous bins, no more than 500, the last one holding the maximum.
void TestDocumentValues::numericBinsEndOnExtremeInput()
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
    // Values just outside the bins find none.
    QCOMPARE(Document::numericBinIndex(bins, bins.last().second), -1);
}

// A plan file can carry any bin size; the bins must still come back at once and hold every
// card.
void TestDocumentValues::propertyBinsSurviveDamagedBinSizes()
{
    Document doc;
    fillPlan(doc, {{"a", "", "-3", "1/2/2020"}, {"b", "", "2000", "9/2/2020"}});
    for (const int size : {0, INT_MIN}) {
        doc.editablePropertyAppearance(Cost, TestPlanKey::key()).setBinSize(size);
        doc.editablePropertyAppearance(Due, TestPlanKey::key()).setDateBinSize(size);
        const NumericBins numeric = doc.numericBinsOfProperty(Cost);
        QVERIFY(numeric.size() <= 500);
        QVERIFY(Document::numericBinIndex(numeric, -3) >= 0);
        QVERIFY(Document::numericBinIndex(numeric, 2000) >= 0);
        QVERIFY(Document::dateBinIndex(doc.dateBinsOfProperty(Due), QDate(2020, 2, 9)) >= 0);
    }
}

void TestDocumentValues::dateBins_data()
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
    QTest::newRow("600 days end in a rest bin")
        << 0 << start << start.addDays(599) << false << 500 << start << start.addDays(499)
        << start.addDays(599);
    QTest::newRow("weeks start on Monday")
        << 1 << QDate(2025, 3, 5) << QDate(2025, 3, 20) << false << 3 << QDate(2025, 3, 3)
        << QDate(2025, 3, 17) << QDate(2025, 3, 23);
    QTest::newRow("months start on the first")
        << 2 << QDate(2024, 12, 15) << QDate(2025, 2, 1) << false << 3 << QDate(2024, 12, 1)
        << QDate(2025, 2, 1) << QDate(2025, 2, 28);
    QTest::newRow("invalid minimum gives only the no-date bin")
        << 0 << QDate() << start << true << 1 << QDate() << QDate() << QDate();
}

void TestDocumentValues::dateBins()
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

void TestDocumentValues::numericBinNames_data()
{
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole numbers") << 10.0 << 20.0 << QString::fromUtf8("≥10 <20");
    QTest::newRow("negative and fraction") << -2.5 << 0.5 << QString::fromUtf8("≥-2.5 <0.5");
    QTest::newRow("six digits at most")
        << 1000000.0 << 1000010.0 << QString::fromUtf8("≥1e+06 <1.00001e+06");
}

void TestDocumentValues::numericBinNames()
{
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(QString, expected);
    QCOMPARE(Document::numericBinNames({Document::NumericBin(lower, upper)}),
             QStringList {expected});
}

void TestDocumentValues::dateBinNames_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QString>("expected");
    const auto row
        = [](const char *name, const QDate &first, const QDate &last, const char *expected) {
              QTest::newRow(name) << first << last << QString::fromUtf8(expected);
          };
    row("cards without a date", QDate(), QDate(), "");
    row("one day", QDate(2025, 3, 3), QDate(2025, 3, 3), "Mon 3 Mar 2025");
    row("whole year", QDate(2024, 1, 1), QDate(2024, 12, 31), "2024");
    row("whole month", QDate(2025, 3, 1), QDate(2025, 3, 31), "Mar 2025");
    row("whole leap February", QDate(2024, 2, 1), QDate(2024, 2, 29), "Feb 2024");
    row("week across New Year", QDate(2024, 12, 30), QDate(2025, 1, 5), "30 Dec 2024 … 5 Jan 2025");
    row("week in one month", QDate(2025, 3, 3), QDate(2025, 3, 9), "3 … 9 Mar 2025");
    row("rest of a month", QDate(2025, 3, 1), QDate(2025, 3, 9), "1 … 9 Mar 2025");
    row("week across two months", QDate(2025, 4, 28), QDate(2025, 5, 4), "28 Apr … 4 May 2025");
}

// Column and row headers of date bins: each of the forms, chosen by what the bin spans.
void TestDocumentValues::dateBinNames()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(QString, expected);
    QCOMPARE(Document::dateBinNames({Document::DateBin(first, last)}), QStringList {expected});
}

void TestDocumentValues::numberColoursFollowTheRamp_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QColor>("expected");
    const QStringList zeroToTen {"0", "10", "4"};
    const QColor red = QColor::fromHsv(0, 255, 255);
    const QColor violet(170, 85, 255);
    QTest::newRow("halfway") << zeroToTen << "5" << QColor::fromHsv(135, 212, 255);
    QTest::newRow("minimum") << zeroToTen << "0" << red;
    QTest::newRow("maximum") << zeroToTen << "10" << violet;
    QTest::newRow("empty counts as zero") << zeroToTen << "" << red;
    QTest::newRow("beyond the maximum") << zeroToTen << "25" << violet;
    QTest::newRow("all numbers alike") << QStringList {"5", "5"} << "5" << violet;
}

void TestDocumentValues::numberColoursFollowTheRamp()
{
    QFETCH(QStringList, values);
    QFETCH(QString, value);
    QFETCH(QColor, expected);
    Document doc;
    doc.clear(false);
    const int cost = addProperty(doc, QStringLiteral("Cost"), PropertyType::Numeric);
    addCards(doc, cost, values);
    QCOMPARE(doc.colorForValue(cost, value).toRgb(), expected.toRgb());
}

void TestDocumentValues::textColoursAreKeptWithPlan()
{
    Document doc;
    fillPlan(doc, {{"a", "open"}, {"b", "done"}});
    const Document before(doc);
    QCOMPARE(doc.valueColor(1, Status), PropertyAppearance::defaultTextColor(0));
    QCOMPARE(doc.valueColor(0, Status), PropertyAppearance::defaultTextColor(1));
    QCOMPARE(doc.valueColor(1, Status), PropertyAppearance::defaultTextColor(0));
    QCOMPARE(doc.propertyAppearanceRef(Status).textColors().size(), 2);
    // The snapshot taken before must not have been touched by the first lookups.
    QVERIFY(before.propertyAppearanceRef(Status).textColors().isEmpty());
}

void TestDocumentValues::cardsPassingFilter_data()
{
    QTest::addColumn<Terms>("terms");
    QTest::addColumn<bool>("matchAny");
    QTest::addColumn<bool>("showMatching");
    QTest::addColumn<QString>("expected");

    using T = FilterTerm;
    QTest::newRow("no terms") << Terms() << true << true << "1111";
    QTest::newRow("numeric is 10 matches 10.0")
        << Terms {T(Cost, MatchType::Is, " 10 ")} << true << true << "1100";
    QTest::newRow("numeric empty counts as zero")
        << Terms {T(Cost, MatchType::LessThan, "1")} << true << true << "0010";
    QTest::newRow("numeric term that is no number")
        << Terms {T(Cost, MatchType::Is, "ten")} << true << true << "0000";
    QTest::newRow("date less than takes empty and non-dates")
        << Terms {T(Due, MatchType::LessThan, "10/3/2025")} << true << true << "1110";
    QTest::newRow("date is not takes non-dates")
        << Terms {T(Due, MatchType::IsNot, "1/3/2025")} << true << true << "0111";
    QTest::newRow("date greater than never takes non-dates")
        << Terms {T(Due, MatchType::GreaterThan, "1/1/2025")} << true << true << "1001";
    QTest::newRow("text greater than ignores case")
        << Terms {T(Name, MatchType::GreaterThan, "B")} << true << true << "0110";
    QTest::newRow("text is ignores case and blanks")
        << Terms {T(Name, MatchType::Is, " ALPHA")} << true << true << "1000";
    QTest::newRow("text does not contain")
        << Terms {T(Name, MatchType::DoesNotContain, "a")} << true << true << "0001";
    QTest::newRow("any property looks at notes")
        << Terms {T(0, MatchType::Contains, "bob")} << true << true << "1000";
    QTest::newRow("one property never looks at notes")
        << Terms {T(Name, MatchType::Contains, "bob")} << true << true << "0000";
    const Terms two {T(Name, MatchType::Contains, "zzz"), T(Cost, MatchType::Is, "25")};
    QTest::newRow("any of two") << two << true << true << "0001";
    QTest::newRow("all of two") << two << false << true << "0000";
    QTest::newRow("unknown match type") << Terms {T(Name, 17, "a")} << true << true << "0000";
    QTest::newRow("term on a property the plan lacks")
        << Terms {T(9, MatchType::DoesNotContain, "x")} << true << true << "0000";
    QTest::newRow("term on a missing property hidden")
        << Terms {T(9, MatchType::Contains, "")} << true << false << "1111";
    QTest::newRow("term on a negative property")
        << Terms {T(-3, MatchType::Contains, "")} << true << true << "0000";
}

void TestDocumentValues::cardsPassingFilter()
{
    QFETCH(Terms, terms);
    QFETCH(bool, matchAny);
    QFETCH(bool, showMatching);
    QFETCH(QString, expected);

    Document doc;
    fillFilterPlan(doc);
    doc.m_currentView.filterTerms = terms.list;
    doc.m_currentView.filterMatchAny = matchAny;
    doc.m_currentView.filterShowsMatching = showMatching;
    QCOMPARE(passing(doc), expected);
    // The prompt about hidden cards counts them.
    QCOMPARE(doc.filteredOutTaskCount(), int(expected.count(QLatin1Char('0'))));
    QCOMPARE(doc.allTasksFilteredOut(), !expected.contains(QLatin1Char('1')));
    // A plan without cards shows nothing, but hides nothing either.
    doc.deleteTasks(doc.taskIndexes(), false);
    QCOMPARE(doc.filteredOutTaskCount(), 0);
    QVERIFY(doc.allTasksFilteredOut());
}

void TestDocumentValues::filterGroupsMatchTermByTerm_data()
{
    QTest::addColumn<Terms>("terms");

    using T = FilterTerm;
    const int Is = MatchType::Is;
    const int IsNot = MatchType::IsNot;
    QTest::newRow("is, one text twice") << Terms {T(Name, Is, "alpha"), T(Name, Is, " ALPHA ")};
    QTest::newRow("is, two texts") << Terms {T(Name, Is, "alpha"), T(Name, Is, "beta")};
    QTest::newRow("is not, one text twice")
        << Terms {T(Name, IsNot, "alpha"), T(Name, IsNot, "Alpha")};
    QTest::newRow("is not, two texts") << Terms {T(Name, IsNot, "alpha"), T(Name, IsNot, "beta")};
    QTest::newRow("numbers equal in other texts")
        << Terms {T(Cost, Is, "10"), T(Cost, Is, "10.0"), T(Cost, IsNot, "25")};
    QTest::newRow("dates equal in other texts")
        << Terms {T(Due, Is, "1/3/2025"), T(Due, Is, "01/03/2025"), T(Due, IsNot, "2/3/2025")};
    QTest::newRow("groups of two properties, loose terms") << Terms {
        T(Name, Is, "alpha"),  T(Status, IsNot, "open"),           T(0, Is, "open"),
        T(Status, Is, "DONE"), T(Name, MatchType::Contains, "ph"), T(Name, IsNot, "gamma")};
    QTest::newRow("a group and a loose term on one property")
        << Terms {T(Name, Is, "alpha"), T(Name, MatchType::Contains, "et")};
    QTest::newRow("property the plan lacks") << Terms {T(9, Is, "a"), T(9, IsNot, "b")};
}

// Terms of one match type on one text property are tested together, by the set of their texts;
// the cards and values passing must be those that the terms one by one let pass.
void TestDocumentValues::filterGroupsMatchTermByTerm()
{
    QFETCH(Terms, terms);

    Document doc;
    fillPlan(doc,
             {{"Alpha", "open", "10", "1/3/2025"},
              {" alpha ", "Done", "10.0", ""},
              {"beta", "", "", "not a date"},
              {"ALPHA", "open ", "25", "2/3/2025"},
              {"Gamma", "done", "", "1/3/2025"}});
    doc.setTaskNotes(2, QStringLiteral("Open"), false);
    const auto one = [&](TaskIndex task, const FilterTerm &term) {
        if (term.propertyIndex != 0)
            return doc.taskMatchesFilterTerm(task, term.propertyIndex, term);
        for (int p = 1; p < doc.propertyCount(); ++p) {
            if (doc.taskMatchesFilterTerm(task, p, term))
                return true;
        }
        return doc.notesMatchFilterTerm(task, term);
    };
    for (const bool any : {true, false}) {
        for (const bool show : {true, false}) {
            doc.m_currentView.filterTerms = terms.list;
            doc.m_currentView.filterMatchAny = any;
            doc.m_currentView.filterShowsMatching = show;
            QString expected;
            for (int task = 0; task < doc.taskCount(); ++task) {
                bool match = !any;
                for (const FilterTerm &term : terms.list)
                    match = any ? match || one(task, term) : match && one(task, term);
                expected.append(match == show ? QLatin1Char('1') : QLatin1Char('0'));
            }
            QCOMPARE(passing(doc), expected);
            // One value against the terms on its property and on any property.
            for (int p = 1; p < doc.propertyCount(); ++p) {
                for (int task = 0; task < doc.taskCount(); ++task) {
                    const QString value = doc.value(task, p);
                    bool match = !any;
                    bool some = false;
                    for (const FilterTerm &term : terms.list) {
                        if (term.propertyIndex != 0 && term.propertyIndex != p)
                            continue;
                        some = true;
                        const bool matches = doc.valueMatchesFilterTerm(p, value, term);
                        match = any ? match || matches : match && matches;
                    }
                    QCOMPARE(doc.valueMatchesFilterTerms(p, value), !some || match == show);
                }
            }
        }
    }
}

void TestDocumentValues::valueLists_data()
{
    QTest::addColumn<QStringList>("cards");
    QTest::addColumn<QStringList>("predefined");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("sortMode");
    QTest::addColumn<bool>("keepEmpty");
    QTest::addColumn<QStringList>("expected");

    const QStringList none;
    QTest::newRow("value order first")
        << QStringList {"a", "b", "c", "d"} << none << "" << QStringList {"c", "x", "a"} << 2
        << false << QStringList {"c", "a", "b", "d"};
    QTest::newRow("predefined first, repeats kept")
        << QStringList {"z", "p"} << QStringList {"p", "p"} << "d" << none << 0 << true
        << QStringList {"p", "p", "z", "d"};
    QTest::newRow("value order moves repeated predefined together")
        << QStringList {"z"} << QStringList {"p", "p", "q"} << "" << QStringList {"z", "p"} << 2
        << true << QStringList {"z", "p", "p", "q", ""};
}

void TestDocumentValues::valueLists()
{
    QFETCH(QStringList, cards);
    QFETCH(QStringList, predefined);
    QFETCH(QString, defaultValue);
    QFETCH(QStringList, order);
    QFETCH(int, sortMode);
    QFETCH(bool, keepEmpty);
    QFETCH(QStringList, expected);

    Document doc;
    const int p = addProperty(doc, QStringLiteral("P"), PropertyType::Text, predefined);
    addCards(doc, p, cards);
    doc.setPropertyDefaultValue(p, defaultValue, false);
    doc.setValueOrder(p, order, false);
    ValueListOptions options;
    options.sortMode = sortMode;
    options.keepEmpty = keepEmpty;
    options.includeDefault = true;
    QCOMPARE(doc.values(p, options), expected);
}

void TestDocumentValues::valueListOptionsPickValues_data()
{
    QTest::addColumn<ValueListOptions>("options");
    QTest::addColumn<QStringList>("expected");

    const ValueListOptions all;
    QTest::newRow("in use and predefined, empty kept, value order first")
        << all << QStringList {"m", "a", "p", "z", ""};
    QTest::newRow("as collected, predefined first")
        << all.sortedBy(ValueSort::AsCollected) << QStringList {"a", "p", "z", "", "m"};
    QTest::newRow("sorted by text")
        << all.sortedBy(ValueSort::Sorted) << QStringList {"", "a", "m", "p", "z"};
    QTest::newRow("without empty") << all.withoutEmpty() << QStringList {"m", "a", "p", "z"};
    QTest::newRow("predefined only") << all.withoutUsed() << QStringList {"a", "p"};
    QTest::newRow("in use only") << all.withoutPredefined() << QStringList {"m", "z", "", "a"};
    QTest::newRow("with default") << all.withDefault() << QStringList {"m", "a", "p", "z", "", "d"};
    ValueListOptions filtered;
    filtered.onlyFiltered = true;
    QTest::newRow("cards passing the filter") << filtered << QStringList {"m", "a", "p", ""};
}

// Each option of the value lists changes what they hold in its own way; the Cards and Charts
// legends, the value combos and the property dialog rely on it.
void TestDocumentValues::valueListOptionsPickValues()
{
    QFETCH(ValueListOptions, options);
    QFETCH(QStringList, expected);

    Document doc;
    const int p = addProperty(doc, QStringLiteral("P"), PropertyType::Text, {"a", "p"},
                              QStringLiteral("d"));
    addCards(doc, p, {"z", "", "a", "m"});
    doc.setValueOrder(p, {"m"}, false);
    doc.m_currentView.filterTerms = {FilterTerm(p, MatchType::IsNot, QStringLiteral("z"))};
    doc.m_currentView.filterMatchAny = true;
    doc.m_currentView.filterShowsMatching = true;
    QCOMPARE(doc.values(p, options), expected);
    QCOMPARE(doc.valuesOfEveryProperty(options).value(p), expected);
}

// The quick paths used on large plans (one walk over the value map for all properties, the
// case-insensitive search without a lower-case copy) must answer exactly as the plain ones.
void TestDocumentValues::listsOfEveryPropertyMatchOneByOne()
{
    QRandomGenerator random(4711);
    Document doc;
    fillRandomPlan(doc, random);
    for (int mode = 0; mode < 24; ++mode) {
        ValueListOptions options;
        options.sortMode = mode % 3;
        options.keepEmpty = mode & 4;
        options.includePredefined = mode & 8;
        options.includeDefault = mode & 16;
        const QList<QStringList> lists = doc.valuesOfEveryProperty(options);
        QCOMPARE(lists.size(), doc.propertyCount());
        for (int p = 0; p < doc.propertyCount(); ++p)
            QCOMPARE(lists.at(p), doc.values(p, options));
    }
    for (int task = 0; task < doc.taskCount(); ++task) {
        QStringList row;
        for (int p = 1; p < doc.propertyCount(); ++p)
            row.append(doc.value(task, p));
        QCOMPARE(doc.taskValues(task), row);
    }
}

// The readers of plan and CSV files append their cards at once: the plan must end exactly as
// if each card had been added and its values set one by one, where a value's date form and
// the chart's roles follow the type the property has at that moment.
void TestDocumentValues::cardsAppendedAtOnceMatchOneByOne_data()
{
    QTest::addColumn<int>("declared");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QStringList>("predefined");
    QTest::addColumn<QStringList>("before"); // cards the plan holds already
    QTest::addColumn<QStringList>("values"); // a null text keeps the default
    QTest::addColumn<int>("chartRole"); // 0 none, 1 shown, 2 bars

    const QStringList none;
    const QString keep;
    QTest::newRow("relative dates among dates")
        << 0 << "" << none << none
        << QStringList {"5/3/2021", "today", "05/03/2021", "+2", "x", "tomorrow"} << 0;
    QTest::newRow("blank values first")
        << 0 << "" << none << none << QStringList {"", " ", "today", keep, "1/1/2020"} << 0;
    QTest::newRow("a default that is no date")
        << 0 << "n/a" << none << none << QStringList {"today", "1/1/2020", keep} << 0;
    QTest::newRow("a predefined word")
        << 0 << "" << QStringList {"soon"} << none << QStringList {"1/1/2020", "today"} << 0;
    QTest::newRow("the plan's own dates count")
        << 0 << "" << none << QStringList {"1/1/2020"} << QStringList {"today"} << 0;
    QTest::newRow("the plan's own words count")
        << 0 << "" << QStringList {"1/1/2020"} << QStringList {"word"} << QStringList {"today"}
        << 0;
    QTest::newRow("declared date")
        << 3 << "+1" << none << none << QStringList {"today", "x", "05/03/2021", keep} << 0;
    QTest::newRow("declared text") << 1 << "" << none << none << QStringList {"today", "+1"} << 0;
    QTest::newRow("bars of a property numeric for a moment")
        << 0 << "" << none << none << QStringList {"1", "2", "word"} << 2;
    QTest::newRow("bars of a property text all along")
        << 0 << "" << none << none << QStringList {"a", "1", keep} << 2;
    QTest::newRow("sum of numbers after a default word")
        << 0 << "x" << none << QStringList {"4"} << QStringList {"1", keep, "2"} << 1;
}

void TestDocumentValues::cardsAppendedAtOnceMatchOneByOne()
{
    QFETCH(int, declared);
    QFETCH(QString, defaultValue);
    QFETCH(QStringList, predefined);
    QFETCH(QStringList, before);
    QFETCH(QStringList, values);
    QFETCH(int, chartRole);

    Document oneByOne;
    oneByOne.clear(false);
    const int other = addProperty(oneByOne, QStringLiteral("Other"));
    const int p = addProperty(oneByOne, QStringLiteral("P"), declared, predefined, defaultValue);
    for (const QString &text : before) {
        const TaskIndex card = oneByOne.addTask(false);
        QString value = text;
        oneByOne.setValue(card, p, value, false);
    }
    if (chartRole == 1)
        oneByOne.setChartShowProperty(p, false);
    if (chartRole == 2)
        oneByOne.setChartByProperty(p, false);
    Document atOnce(oneByOne);

    QList<Task> cards;
    for (int i = 0; i < values.size(); ++i) {
        Task card;
        card.setNotes(QStringLiteral("card %1").arg(i));
        cards.append(card);
        const TaskIndex added = oneByOne.addTask(false);
        oneByOne.setTaskNotes(added, card.notes(), false);
        QString otherValue = QStringLiteral("o%1").arg(i);
        oneByOne.setValue(added, other, otherValue, false);
        if (!values.at(i).isNull()) {
            QString value = values.at(i);
            oneByOne.setValue(added, p, value, false);
        }
    }
    QVector<QVector<QString>> columns(atOnce.propertyCount());
    for (int i = 0; i < values.size(); ++i)
        columns[other].append(QStringLiteral("o%1").arg(i));
    columns[p] = values.toVector();
    atOnce.appendCards(cards, columns);

    QVERIFY(atOnce == oneByOne);
    for (TaskIndex card = 0; card < oneByOne.taskCount(); ++card)
        QCOMPARE(atOnce.value(card, p), oneByOne.value(card, p));
    QCOMPARE(atOnce.chartShowProperty(), oneByOne.chartShowProperty());
    QCOMPARE(atOnce.chartByProperty(), oneByOne.chartByProperty());
    QCOMPARE(atOnce.actualPropertyType(p), oneByOne.actualPropertyType(p));
}

void TestDocumentValues::containsTermIgnoresCase_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("term");
    const QStringList values {"",         "Alpha",  "ALPHA beta",   "  Spaced  ", "Äpfel",
                              "İstanbul", "Straße", "K\u212Aelvin", "abc",        "a"};
    const QStringList terms {"", "a", "alpha", "pha b", "äpfel", "i", "ss", "k", "ABC", "abcd"};
    for (const QString &value : values) {
        for (const QString &term : terms)
            QTest::addRow("'%s' in '%s'", qPrintable(term), qPrintable(value)) << value << term;
    }
}

void TestDocumentValues::containsTermIgnoresCase()
{
    QFETCH(QString, value);
    QFETCH(QString, term);

    Document doc;
    doc.clear(false);
    const int text = addProperty(doc, QStringLiteral("Text"), PropertyType::Text);
    const QString lowered = term.trimmed().toLower();
    for (const int matchType : {MatchType::Contains, MatchType::DoesNotContain}) {
        const bool expected
            = value.toLower().contains(lowered) == (matchType == MatchType::Contains);
        QCOMPARE(doc.valueMatchesFilterTerm(text, value, FilterTerm(text, matchType, term)),
                 expected);
    }
}

TAVROLO_GUI_TEST_MAIN(TestDocumentValues)
#include "tst_documentvalues.moc"
