#include "harness/PlainTestMain.h"
#include "harness/TestPlanKey.h"
#include "model/Document.h"

#include <algorithm>
#include <malloc.h>

#include <QElapsedTimer>
#include <QTextStream>

namespace {

const int largeCards = 10000;
const int largeProperties = 30;

// Bytes the allocator has handed out and not had back.
qint64 allocatedBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks) + qint64(info.hblkhd);
}

double mebibytes(qint64 bytes)
{
    return bytes / (1024.0 * 1024.0);
}

double milliseconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void print(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

double median(QVector<double> figures)
{
    std::sort(figures.begin(), figures.end());
    return figures.at(figures.size() / 2);
}

// The text of one value in the large plan: statuses, amounts, dates and names in turn, each
// its own string as a file read would make it.
QString largeValue(TaskIndex task, int property)
{
    switch (property % 4) {
    case 1:
        return QStringLiteral("Status %1").arg(task % 7);
    case 2:
        return QString::number((task * 37 + property) % 5000);
    case 3:
        return QStringLiteral("%1/%2/2025").arg(task % 12 + 1).arg(task % 28 + 1);
    default:
        return QStringLiteral("Card %1 %2").arg(task).arg(property);
    }
}

// Properties 1 to 30 of the given declared type, 10,000 cards without their values.
void addLargeShape(Document &plan, int type)
{
    plan.clear(false);
    for (int p = 1; p <= largeProperties; ++p)
        plan.addProperty(QStringLiteral("P%1").arg(p), QString(), type, {}, 1, PropertyAppearance(),
                         false);
    for (int t = 0; t < largeCards; ++t)
        plan.addTask(false);
}

// Every value of the large plan, card by card.
QVector<QString> largeValues()
{
    QVector<QString> texts;
    texts.reserve(largeCards * largeProperties);
    for (TaskIndex t = 0; t < largeCards; ++t) {
        for (int p = 1; p <= largeProperties; ++p)
            texts.append(largeValue(t, p));
    }
    return texts;
}

// Sets the values one by one, as the file reader and the CSV import do.
void setLargeValues(Document &plan, const QVector<QString> &texts)
{
    int i = 0;
    for (TaskIndex t = 0; t < largeCards; ++t) {
        for (int p = 1; p <= largeProperties; ++p) {
            QString text = texts.at(i++);
            plan.setValue(t, p, text, false);
        }
    }
}

} // namespace

// Undo keeps a copy of the whole plan before every edit and compares it with the newest copy;
// both must stay cheap for a plan of 10,000 cards. The large-plan cases print their figures.
class BenchDocument : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void copyLargePlan();
    void compareCopiesOfLargePlan();
    void firstEditAfterCopy();
    void addCardToLargePlan();
    void setValuesIntoFreshPlan_data();
    void setValuesIntoFreshPlan();
    void snapshotThenFirstValueEdit();
    void compareSnapshotsSharingValues();

private:
    Document m_plan;
};

void BenchDocument::initTestCase()
{
    for (int p = 0; p < 10; ++p)
        m_plan.addProperty(QStringLiteral("P%1").arg(p), QStringLiteral("value %1").arg(p), 0, {},
                           1, PropertyAppearance(), false);
    for (int t = 0; t < 10000; ++t)
        m_plan.addTask(false);
}

void BenchDocument::copyLargePlan()
{
    QBENCHMARK
    {
        Document copy(m_plan);
        Q_UNUSED(copy)
    }
}

void BenchDocument::compareCopiesOfLargePlan()
{
    const Document copy(m_plan);
    QBENCHMARK
    {
        QVERIFY(copy == m_plan);
    }
}

void BenchDocument::firstEditAfterCopy()
{
    QBENCHMARK
    {
        Document snapshot(m_plan);
        Document edited(m_plan);
        edited.editableTask(5, TestPlanKey::key()).setNotes(QStringLiteral("changed"));
        QVERIFY(edited != snapshot);
    }
}

void BenchDocument::addCardToLargePlan()
{
    Document plan(m_plan);
    QBENCHMARK
    {
        plan.addTask(false);
    }
}

void BenchDocument::setValuesIntoFreshPlan_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("text properties") << int(PropertyType::Text);
    QTest::newRow("automatic properties") << int(PropertyType::Automatic);
}

void BenchDocument::setValuesIntoFreshPlan()
{
    QFETCH(int, type);
    const qint64 start = allocatedBytes();
    Document plan;
    addLargeShape(plan, type);
    QVector<QString> texts = largeValues();
    QElapsedTimer timer;
    timer.start();
    setLargeValues(plan, texts);
    const double elapsed = milliseconds(timer);
    // The plan now holds the only references to the texts.
    texts = QVector<QString>();
    const int count = largeCards * largeProperties;
    print(QStringLiteral("setValue of %1 values into a fresh plan (%2): %3 ms; the plan holds "
                         "%4 bytes per value")
              .arg(count)
              .arg(QString::fromLatin1(QTest::currentDataTag()))
              .arg(elapsed, 0, 'f', 1)
              .arg((allocatedBytes() - start) / count));
    QCOMPARE(plan.value(largeCards - 1, largeProperties),
             largeValue(largeCards - 1, largeProperties));
}

// What the undo list costs a drag: a snapshot of the plan, then one value edit of the live plan.
void BenchDocument::snapshotThenFirstValueEdit()
{
    Document plan;
    addLargeShape(plan, PropertyType::Automatic);
    setLargeValues(plan, largeValues());
    // The panes have asked for every type long before the user drags a card.
    for (int p = 1; p <= largeProperties; ++p)
        plan.actualPropertyType(p);

    const int rounds = 15;
    QList<Document *> snapshots;
    QVector<double> times;
    QVector<double> sizes;
    const qint64 before = allocatedBytes();
    for (int round = 0; round < rounds; ++round) {
        const TaskIndex task = round * 613 % largeCards;
        const int property = round % largeProperties + 1;
        QString text = QStringLiteral("Moved %1").arg(round);
        const qint64 roundStart = allocatedBytes();
        QElapsedTimer timer;
        timer.start();
        snapshots.append(new Document(plan));
        plan.setValue(task, property, text, true);
        times.append(milliseconds(timer));
        sizes.append(mebibytes(allocatedBytes() - roundStart));
        QCOMPARE(plan.value(task, property), text);
    }
    const double total = mebibytes(allocatedBytes() - before);
    print(QStringLiteral("snapshot + first setValue: median %1 ms, worst %2 ms (target <= 1 ms)")
              .arg(median(times), 0, 'f', 3)
              .arg(*std::max_element(times.begin(), times.end()), 0, 'f', 3));
    print(QStringLiteral("  memory per round: median %1 MiB, worst %2 MiB (target <= 1 MiB)")
              .arg(median(sizes), 0, 'f', 3)
              .arg(*std::max_element(sizes.begin(), sizes.end()), 0, 'f', 3));
    print(QStringLiteral("  %1 rounds: %2 MiB in all (target <= 20 MiB)")
              .arg(rounds)
              .arg(total, 0, 'f', 2));
    QVERIFY(*snapshots.first() != plan);
    qDeleteAll(snapshots);
}

// The undo list compares each new snapshot with the newest one it holds.
void BenchDocument::compareSnapshotsSharingValues()
{
    Document plan;
    addLargeShape(plan, PropertyType::Automatic);
    setLargeValues(plan, largeValues());
    const Document first(plan);
    const Document second(plan);
    const int repeats = 100;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repeats; ++i)
        QVERIFY(first == second);
    print(QStringLiteral("equality of two snapshots sharing their data: %1 ms (target <= 0.1 ms)")
              .arg(milliseconds(timer) / repeats, 0, 'f', 4));

    QString text = QStringLiteral("Moved");
    plan.setValue(largeCards - 17, 5, text, false);
    timer.restart();
    for (int i = 0; i < repeats; ++i)
        QVERIFY(first != plan);
    print(QStringLiteral("  a snapshot against the plan after one value edit: %1 ms")
              .arg(milliseconds(timer) / repeats, 0, 'f', 4));
}

TAVROLO_GUI_TEST_MAIN(BenchDocument)
#include "bench_document.moc"
