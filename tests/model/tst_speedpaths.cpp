#include "common/NumberDateText.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <QRandomGenerator>

using namespace PlanFixture;

// The quick paths used on large plans (one walk over the value map for all properties, the
// case-insensitive search without a lower-case copy) must answer exactly as the plain ones.
class TestSpeedPaths : public QObject
{
    Q_OBJECT
private slots:
    void listsOfEveryPropertyMatchOneByOne();
    void typesOfEveryPropertyMatchOneByOne();
    void containsTermIgnoresCase_data();
    void containsTermIgnoresCase();
};

namespace {

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

void TestSpeedPaths::listsOfEveryPropertyMatchOneByOne()
{
    QRandomGenerator random(4711);
    Document doc;
    fillRandomPlan(doc, random);
    for (int mode = 0; mode < 24; ++mode) {
        const int sortMode = mode % 3;
        const bool keepEmpty = mode & 4;
        const bool predefined = mode & 8;
        const bool withDefault = mode & 16;
        const QList<QStringList> lists
            = doc.valuesOfEveryProperty(sortMode, keepEmpty, predefined, withDefault);
        QCOMPARE(lists.size(), doc.propertyCount());
        for (int p = 0; p < doc.propertyCount(); ++p)
            QCOMPARE(lists.at(p),
                     doc.values(p, sortMode, keepEmpty, true, predefined, withDefault, false));
    }
    for (int task = 0; task < doc.taskCount(); ++task) {
        QStringList row;
        for (int p = 1; p < doc.propertyCount(); ++p)
            row.append(doc.value(task, p));
        QCOMPARE(doc.taskValues(task), row);
    }
}

// The type a property's values give, text by text.
int plainType(const QStringList &texts)
{
    int nonEmpty = 0;
    int numbers = 0;
    int dates = 0;
    for (const QString &text : texts) {
        if (text.trimmed().isEmpty())
            continue;
        bool ok = false;
        ++nonEmpty;
        stringToNumber(text, false, &ok);
        numbers += ok ? 1 : 0;
        stringToDate(text, &ok);
        dates += ok ? 1 : 0;
    }
    if (nonEmpty > 0 && dates == nonEmpty)
        return ActualType::Date;
    if (nonEmpty > 0 && numbers == nonEmpty)
        return ActualType::Numeric;
    return ActualType::Text;
}

// Properties drawing on shared pools, so that the same date texts recur across properties
// whose other values differ; the walk detecting all of them must agree with each alone.
void TestSpeedPaths::typesOfEveryPropertyMatchOneByOne()
{
    const QList<QStringList> pools {{"1/2/2020", "14/3/2021", ""},
                                    {"1/2/2020", "5", " "},
                                    {"14/3/2021", "1/2/2020", "soon"},
                                    {"5", "-2.5", ""},
                                    {"", " "},
                                    {"14/3/2021", "x", "7"}};
    QRandomGenerator random(1234);
    for (int round = 0; round < 20; ++round) {
        Document doc;
        doc.clear(false);
        QList<QStringList> columns;
        for (int p = 0; p < 8; ++p) {
            const QStringList predefined = p == 7 ? QStringList {"1/2/2020"} : QStringList();
            addProperty(doc, QStringLiteral("P%1").arg(p), PropertyType::Automatic, predefined);
            columns.append(predefined);
        }
        for (int card = 0; card < 30; ++card) {
            QList<PropertyIndexAndValue> values;
            for (int p = 1; p <= 8; ++p) {
                const QStringList &pool = pools.at((p + round) % pools.size());
                const QString text = pool.at(random.bounded(pool.size()));
                values.append({p, text});
                columns[p - 1].append(text);
            }
            doc.addTaskWithValues(values, QString(), {}, -1, false);
        }
        const Document fresh(doc);
        const int first = 1 + random.bounded(8);
        QCOMPARE(fresh.actualPropertyType(first), plainType(columns.at(first - 1)));
        for (int p = 1; p <= 8; ++p)
            QCOMPARE(fresh.actualPropertyType(p), plainType(columns.at(p - 1)));
    }
}

void TestSpeedPaths::containsTermIgnoresCase_data()
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

void TestSpeedPaths::containsTermIgnoresCase()
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

TAVROLO_TEST_MAIN(TestSpeedPaths)
#include "tst_speedpaths.moc"
