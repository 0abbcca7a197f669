#include "harness/TestMain.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <QRandomGenerator>

using namespace PlanFixture;

class TestDocumentTypes : public QObject
{
    Q_OBJECT
private slots:
    void typeComesFromValues_data();
    void typeComesFromValues();
    void wordAmongNumbersIsReportedAsTypeChange();
    void typeStaysRightThroughLongEditSequences();
    void numericRange_data();
    void numericRange();
    void rangeFollowsSetValue();
    void dateRangeSkipsNonDates();
    void relativeDateIsStoredAsDate();
    void relativeTextStaysOnTextProperty();
    void valueTurningTypeResetsChartRoles_data();
    void valueTurningTypeResetsChartRoles();
    void valueOfMissingCardIsNotStored();
    void damagedRoleIndexesCountAsNone_data();
    void damagedRoleIndexesCountAsNone();
};

void TestDocumentTypes::typeComesFromValues_data()
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
    QTest::newRow("a word among dates")
        << 0 << QStringList {"14/3/2021", "later"} << none << int(ActualType::Text);
    QTest::newRow("predefined word keeps it text")
        << 0 << QStringList {"1", "2"} << QStringList {"high"} << int(ActualType::Text);
    QTest::newRow("predefined numbers only")
        << 0 << QStringList {"", ""} << QStringList {"1", "2"} << int(ActualType::Numeric);
    QTest::newRow("declared text holding numbers")
        << 1 << QStringList {"1", "2"} << none << int(ActualType::Text);
    QTest::newRow("declared numeric holding words")
        << 2 << QStringList {"a", "b"} << none << int(ActualType::Numeric);
    QTest::newRow("declared date holding words")
        << 3 << QStringList {"a", "b"} << none << int(ActualType::Date);
    QTest::newRow("unknown declared type acts automatic")
        << 9 << QStringList {"1", "2"} << none << int(ActualType::Numeric);
    QTest::newRow("negative declared type acts automatic")
        << -4 << QStringList {"x"} << none << int(ActualType::Text);
}

void TestDocumentTypes::typeComesFromValues()
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

void TestDocumentTypes::wordAmongNumbersIsReportedAsTypeChange()
{
    Document doc;
    const int p = addProperty(doc, QStringLiteral("Cost"));
    addCards(doc, p, {"3", "4.5", ""});
    QCOMPARE(doc.actualPropertyType(p), int(ActualType::Numeric));

    ChangeRecorder recorder(doc);
    QObject source;
    QString word = QStringLiteral("soon");
    doc.setValue(2, p, word, true, &source);

    QCOMPARE(recorder.undoTexts, QStringList {"Update Value"});
    QCOMPARE(eventText(recorder.events), QStringLiteral("6:2:%1 4:-1:%1").arg(p));
    QCOMPARE(recorder.sources, QList<QObject *> {&source});
    QCOMPARE(doc.actualPropertyType(p), int(ActualType::Text));
    QCOMPARE(doc.value(2, p), QStringLiteral("soon"));
}

// Values set one by one, with the type asked for in between and cards added, undone and
// deleted meanwhile: the answer must always be what a fresh look at the values gives.
void TestDocumentTypes::typeStaysRightThroughLongEditSequences()
{
    const QStringList pool {"", "5", "-2.5", "x", "14/3/2021", " ", "1/2/2020", "7"};
    Document doc;
    const int p = addProperty(doc, QStringLiteral("P"));
    const int q = addProperty(doc, QStringLiteral("Q"), PropertyType::Automatic, {"3"});
    QRandomGenerator random(4711);
    QList<Document *> snapshots;
    for (int step = 0; step < 3000; ++step) {
        const int action = random.bounded(100);
        if (action < 5 || doc.taskCount() == 0) {
            doc.addTask(false);
        } else if (action < 7) {
            snapshots.append(new Document(doc));
        } else if (action < 9 && !snapshots.isEmpty()) {
            doc = *snapshots.takeLast();
        } else if (action < 11) {
            doc.deleteTasks({random.bounded(doc.taskCount())}, false);
        } else {
            const int property = random.bounded(2) ? p : q;
            QString text = pool.at(random.bounded(pool.size()));
            doc.setValue(random.bounded(doc.taskCount()), property, text, false, nullptr);
        }
        const Document fresh(doc);
        QCOMPARE(doc.actualPropertyType(p), fresh.actualPropertyType(p));
        QCOMPARE(doc.actualPropertyType(q), fresh.actualPropertyType(q));
    }
    qDeleteAll(snapshots);
}

void TestDocumentTypes::numericRange_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    QTest::newRow("empty value counts as zero") << QStringList {"5", "12", ""} << 0.0 << 12.0;
    QTest::newRow("no cards") << QStringList() << 0.0 << 0.0;
    QTest::newRow("all negative") << QStringList {"-5", "-3"} << -5.0 << -3.0;
    QTest::newRow("beyond single precision") << QStringList {"1e39", "2e39"} << 1e39 << 2e39;
    QTest::newRow("far below single precision")
        << QStringList {"-1e300", "-2e300"} << -2e300 << -1e300;
    QTest::newRow("word counts as zero") << QStringList {"7", "n/a"} << 0.0 << 7.0;
}

void TestDocumentTypes::numericRange()
{
    QFETCH(QStringList, values);
    QFETCH(double, minimum);
    QFETCH(double, maximum);

    Document doc;
    const int p = addProperty(doc, QStringLiteral("Cost"), PropertyType::Numeric);
    addCards(doc, p, values);
    QCOMPARE(doc.numericRange(p), qMakePair(minimum, maximum));
}

void TestDocumentTypes::rangeFollowsSetValue()
{
    Document doc;
    const int p = addProperty(doc, QStringLiteral("Cost"), PropertyType::Numeric);
    addCards(doc, p, {"1", "2"});
    QCOMPARE(doc.numericRange(p), qMakePair(1.0, 2.0));
    QString text = QStringLiteral("40");
    doc.setValue(0, p, text, true, nullptr);
    QCOMPARE(doc.numericRange(p), qMakePair(2.0, 40.0));
    doc.deleteTasks({0}, false);
    QCOMPARE(doc.numericRange(p), qMakePair(2.0, 2.0));
}

void TestDocumentTypes::dateRangeSkipsNonDates()
{
    Document doc;
    const int p = addProperty(doc, QStringLiteral("Due"), PropertyType::Date);
    addCards(doc, p, {"not a date", "", "14/3/2021", "2/1/2020"});
    QCOMPARE(doc.dateRange(p), qMakePair(QDate(2020, 1, 2), QDate(2021, 3, 14)));

    Document none;
    const int q = addProperty(none, QStringLiteral("Due"), PropertyType::Date);
    addCards(none, q, {"soon", ""});
    QVERIFY(!none.dateRange(q).first.isValid());
    QVERIFY(!none.dateRange(q).second.isValid());
}

void TestDocumentTypes::relativeDateIsStoredAsDate()
{
    Document doc;
    const int p = addProperty(doc, QStringLiteral("Due"), PropertyType::Date);
    doc.addTask(false);
    QString text = QStringLiteral("tomorrow");
    doc.setValue(0, p, text, true, nullptr);
    const QDate tomorrow = QDate::currentDate().addDays(1);
    const QString expected
        = QStringLiteral("%1/%2/%3").arg(tomorrow.day()).arg(tomorrow.month()).arg(tomorrow.year());
    QCOMPARE(text, expected);
    QCOMPARE(doc.value(0, p), expected);
}

void TestDocumentTypes::relativeTextStaysOnTextProperty()
{
    Document doc;
    const int p = addProperty(doc, QStringLiteral("Plan"));
    addCards(doc, p, {"call Bob", "write"});
    QString text = QStringLiteral("tomorrow");
    doc.setValue(1, p, text, false, nullptr);
    QCOMPARE(doc.value(1, p), QStringLiteral("tomorrow"));
}

void TestDocumentTypes::valueTurningTypeResetsChartRoles_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("newValue");
    QTest::addColumn<bool>("showKept");
    QTest::addColumn<bool>("byKept");

    // The summed property must stay numeric, the bars' property must stay text.
    QTest::newRow("numbers turn text") << QStringList {"1", "2"} << "word" << false << true;
    QTest::newRow("text turns numeric") << QStringList {"1", "a"} << "2" << true << false;
}

void TestDocumentTypes::valueTurningTypeResetsChartRoles()
{
    QFETCH(QStringList, values);
    QFETCH(QString, newValue);
    QFETCH(bool, showKept);
    QFETCH(bool, byKept);

    for (const bool undoable : {false, true}) {
        Document doc;
        const int p = addProperty(doc, QStringLiteral("P"));
        addCards(doc, p, values);
        doc.actualPropertyType(p);
        Document chart(doc);
        chart.m_chartsSettings.showProperty = p;
        chart.m_chartsSettings.byProperty = p;
        chart.m_chartsSettings.perProperty = p;
        QString text = newValue;
        chart.setValue(1, p, text, undoable, nullptr);
        QCOMPARE(chart.m_chartsSettings.showProperty, showKept ? p : 0);
        QCOMPARE(chart.m_chartsSettings.byProperty, byKept ? p : 0);
        QCOMPARE(chart.m_chartsSettings.perProperty, byKept ? p : 0);
    }
}

void TestDocumentTypes::valueOfMissingCardIsNotStored()
{
    Document doc;
    const int p = addProperty(doc, QStringLiteral("P"));
    addCards(doc, p, {"a"});
    const Document before(doc);
    QString text = QStringLiteral("b");
    doc.setValue(5, p, text, false, nullptr);
    doc.setValue(0, 42, text, false, nullptr);
    doc.setValue(-1, -1, text, false, nullptr);
    QVERIFY(doc == before);
}

void TestDocumentTypes::damagedRoleIndexesCountAsNone_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("role");
    QTest::addColumn<int>("cardsRole");

    // The plan has properties 0 to 2, so 3 stands for "<cards>".
    QTest::newRow("valid property") << 2 << 2 << 2;
    QTest::newRow("none") << 0 << 0 << 0;
    QTest::newRow("the card count") << 3 << 0 << 3;
    QTest::newRow("past the card count") << 4 << 0 << 0;
    QTest::newRow("far past") << 1000000 << 0 << 0;
    QTest::newRow("negative") << -1 << 0 << 0;
}

// Indexes read from a damaged plan file are kept as the file holds them, but whoever reads a
// role through the document sees none instead of a property that does not exist.
void TestDocumentTypes::damagedRoleIndexesCountAsNone()
{
    QFETCH(int, stored);
    QFETCH(int, role);
    QFETCH(int, cardsRole);

    Document doc;
    addProperty(doc, QStringLiteral("P"));
    QCOMPARE(doc.propertyCount(), 3);
    Slice &view = doc.m_currentView;
    view.xProperty = view.yProperty = view.cellOrderingProperty = stored;
    view.cardColorProperty = view.highlightColorProperty = view.totalProperty = stored;
    ChartsSettings &chart = doc.m_chartsSettings;
    chart.showProperty = chart.byProperty = chart.perProperty = stored;

    QCOMPARE(QList<int>({doc.xProperty(), doc.yProperty(), doc.cellOrderingProperty(),
                         doc.cardColorProperty(), doc.highlightColorProperty(),
                         doc.chartByProperty(), doc.chartPerProperty()}),
             QList<int>({role, role, role, role, role, role, role}));
    QCOMPARE(doc.totalProperty(), cardsRole);
    QCOMPARE(doc.chartShowProperty(), cardsRole);
    QCOMPARE(doc.valueColor(0, doc.cardColorProperty()).isValid(), true);
}

TAVROLO_TEST_MAIN(TestDocumentTypes)
#include "tst_documenttypes.moc"
