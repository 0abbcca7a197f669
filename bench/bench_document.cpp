#include "harness/TestMain.h"
#include "model/Document.h"

// Undo keeps a copy of the whole plan before every edit and compares it with the newest copy;
// both must stay cheap for a plan of 10,000 cards.
class BenchDocument : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void copyLargePlan();
    void compareCopiesOfLargePlan();
    void firstEditAfterCopy();
    void addCardToLargePlan();

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
        edited.task(5).setNotes(QStringLiteral("changed"));
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

TAVROLO_TEST_MAIN(BenchDocument)
#include "bench_document.moc"
