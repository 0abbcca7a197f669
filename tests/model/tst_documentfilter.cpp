#include "harness/TestMain.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

using namespace PlanFixture;

namespace {

// A data column of terms, under a name of the test's own.
struct Terms
{
    Terms(std::initializer_list<FilterTerm> terms = {}) : list(terms) { }
    QList<FilterTerm> list;
};

enum Properties { Name = 1, Cost = 2, Due = 3, Free = 4 };

// Four cards over a text, a numeric and a date property, plus an automatic one that is left
// empty everywhere.
void fillPlan(Document &doc)
{
    doc.clear(false);
    addProperty(doc, QStringLiteral("Name"), PropertyType::Text);
    addProperty(doc, QStringLiteral("Cost"), PropertyType::Numeric);
    addProperty(doc, QStringLiteral("Due"), PropertyType::Date);
    addProperty(doc, QStringLiteral("Free"));
    const QList<QStringList> cards {{"Alpha", "10", "1/3/2025"},
                                    {"beta", "10.0", ""},
                                    {"Gamma", "", "not a date"},
                                    {"b", "25", "15/3/2025"}};
    for (const QStringList &card : cards) {
        doc.addTaskWithValues({{Name, card.at(0)}, {Cost, card.at(1)}, {Due, card.at(2)}},
                              QString(), {}, -1, false);
    }
    doc.setTaskNotes(0, QStringLiteral("  Call BOB  "), false);
}

QString passing(const Document &doc)
{
    QString marks;
    for (int task = 0; task < doc.taskCount(); ++task)
        marks.append(doc.taskPassesFilter(task) ? QLatin1Char('1') : QLatin1Char('0'));
    return marks;
}

} // namespace

Q_DECLARE_METATYPE(Terms)

class TestDocumentFilter : public QObject
{
    Q_OBJECT
private slots:
    void cardsPassingFilter_data();
    void cardsPassingFilter();
    void valueAgainstTermsOfItsProperty_data();
    void valueAgainstTermsOfItsProperty();
    void valueLists_data();
    void valueLists();
    void valueListOfFilteredCards();
};

void TestDocumentFilter::cardsPassingFilter_data()
{
    QTest::addColumn<Terms>("terms");
    QTest::addColumn<bool>("matchAny");
    QTest::addColumn<bool>("showMatching");
    QTest::addColumn<QString>("expected");

    using T = FilterTerm;
    QTest::newRow("no terms") << Terms() << true << true << "1111";
    QTest::newRow("no terms in hide mode") << Terms() << false << false << "1111";
    QTest::newRow("contains nothing on any property")
        << Terms {T(0, MatchType::Contains, "")} << true << true << "1111";
    QTest::newRow("numeric is 10 matches 10.0")
        << Terms {T(Cost, MatchType::Is, " 10 ")} << true << true << "1100";
    QTest::newRow("numeric greater than is strict")
        << Terms {T(Cost, MatchType::GreaterThan, "10")} << true << true << "0001";
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
    QTest::newRow("date term that is no date")
        << Terms {T(Due, MatchType::Is, "someday")} << true << true << "0000";
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
    QTest::newRow("notes is matches trimmed notes")
        << Terms {T(0, MatchType::Is, "call bob")} << true << true << "1000";
    const Terms two {T(Name, MatchType::Contains, "zzz"), T(Cost, MatchType::Is, "25")};
    QTest::newRow("any of two") << two << true << true << "0001";
    QTest::newRow("all of two") << two << false << true << "0000";
    QTest::newRow("any of two hidden") << two << true << false << "1110";
    QTest::newRow("all of two hidden") << two << false << false << "1111";
    QTest::newRow("unknown match type") << Terms {T(Name, 17, "a")} << true << true << "0000";
    QTest::newRow("term on a property the plan lacks")
        << Terms {T(9, MatchType::DoesNotContain, "x")} << true << true << "0000";
    QTest::newRow("term on a missing property hidden")
        << Terms {T(9, MatchType::Contains, "")} << true << false << "1111";
    QTest::newRow("term on a negative property")
        << Terms {T(-3, MatchType::Contains, "")} << true << true << "0000";
}

void TestDocumentFilter::cardsPassingFilter()
{
    QFETCH(Terms, terms);
    QFETCH(bool, matchAny);
    QFETCH(bool, showMatching);
    QFETCH(QString, expected);

    Document doc;
    fillPlan(doc);
    doc.m_currentView.filterTerms = terms.list;
    doc.m_currentView.filterMatchAny = matchAny;
    doc.m_currentView.filterShowsMatching = showMatching;
    QCOMPARE(passing(doc), expected);
}

void TestDocumentFilter::valueAgainstTermsOfItsProperty_data()
{
    QTest::addColumn<Terms>("terms");
    QTest::addColumn<int>("property");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("expected");

    using T = FilterTerm;
    QTest::newRow("no term names the property")
        << Terms {T(Cost, MatchType::Is, "3")} << int(Name) << "zzz" << true;
    QTest::newRow("term on the property")
        << Terms {T(Cost, MatchType::Is, "3")} << int(Cost) << "3.0" << true;
    QTest::newRow("term on the property fails")
        << Terms {T(Cost, MatchType::Is, "3")} << int(Cost) << "4" << false;
    QTest::newRow("any property term counts")
        << Terms {T(0, MatchType::Contains, "lph")} << int(Name) << "Alpha" << true;
}

void TestDocumentFilter::valueAgainstTermsOfItsProperty()
{
    QFETCH(Terms, terms);
    QFETCH(int, property);
    QFETCH(QString, value);
    QFETCH(bool, expected);

    Document doc;
    fillPlan(doc);
    doc.m_currentView.filterTerms = terms.list;
    QCOMPARE(doc.valueMatchesFilterTerms(property, value), expected);
}

void TestDocumentFilter::valueLists_data()
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
    QTest::newRow("as collected, each once") << QStringList {"b", "a", "b", "", "a"} << none << ""
                                             << none << 0 << true << QStringList {"b", "a", ""};
    QTest::newRow("sorted by code units") << QStringList {"b", "B", "a"} << none << "" << none << 1
                                          << false << QStringList {"B", "a", "b"};
    QTest::newRow("empty default dropped")
        << QStringList {"x", ""} << none << "" << none << 0 << false << QStringList {"x"};
    QTest::newRow("predefined first, repeats kept")
        << QStringList {"z", "p"} << QStringList {"p", "p"} << "d" << none << 0 << true
        << QStringList {"p", "p", "z", "d"};
    QTest::newRow("value order moves repeated predefined together")
        << QStringList {"z"} << QStringList {"p", "p", "q"} << "" << QStringList {"z", "p"} << 2
        << true << QStringList {"z", "p", "p", "q", ""};
}

void TestDocumentFilter::valueLists()
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
    QCOMPARE(doc.values(p, sortMode, keepEmpty, true, true, true, false), expected);
}

void TestDocumentFilter::valueListOfFilteredCards()
{
    Document doc;
    fillPlan(doc);
    doc.m_currentView.filterTerms = {FilterTerm(Cost, MatchType::Is, "10")};
    QCOMPARE(doc.values(Name, 0, true, true, false, false, true), QStringList({"Alpha", "beta"}));
}

TAVROLO_TEST_MAIN(TestDocumentFilter)
#include "tst_documentfilter.moc"
