#include "common/core/NumberDateText.h"
#include "harness/PlainTestMain.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <QRandomGenerator>

using namespace PlanFixture;

// Type detection walks the value map once for every Automatic property, sharing what it learnt
// about date texts between them: each property must still get the type its own values give.
class TestTypeScan : public QObject
{
    Q_OBJECT
private slots:
    void typesOfEveryPropertyMatchOneByOne();
};

namespace {

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
        stringToNumber(text, ValueFormats(), false, &ok);
        numbers += ok ? 1 : 0;
        stringToDate(text, ValueFormats(), &ok);
        dates += ok ? 1 : 0;
    }
    if (nonEmpty > 0 && dates == nonEmpty)
        return ActualType::Date;
    if (nonEmpty > 0 && numbers == nonEmpty)
        return ActualType::Numeric;
    return ActualType::Text;
}

} // namespace

// Properties drawing on shared pools, so that the same date texts recur across properties
// whose other values differ; the walk detecting all of them must agree with each alone.
void TestTypeScan::typesOfEveryPropertyMatchOneByOne()
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

TAVROLO_GUI_TEST_MAIN(TestTypeScan)
#include "tst_typescan.moc"
