#include "harness/PlainTestMain.h"
#include "model/Document.h"

// Dragging a whole column of cards, find and replace and the in-cell ordering run over every
// card of the plan; they must stay quick for 10,000 cards.
class BenchReplace : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void moveEveryCardToNewValue();
    void moveEveryCardToExistingValue();
    void previewReplaceOverEveryValue();
    void sortCardsByNumber();
    void sortCardsByText();

private:
    Document m_plan;
    QList<TaskIndex> m_tasks;
};

void BenchReplace::init()
{
    m_plan.clear(true);
    m_plan.addProperty(QStringLiteral("Status"), QString(), PropertyType::Automatic, {}, 1,
                       PropertyAppearance(), false);
    m_plan.addProperty(QStringLiteral("Cost"), QString(), PropertyType::Numeric, {}, 1,
                       PropertyAppearance(), false);
    for (int t = 0; t < 10000; ++t) {
        const TaskIndex task = m_plan.addTask(false);
        QString title = QStringLiteral("Card number %1").arg(t);
        QString status = QStringLiteral("state %1").arg(t % 20);
        QString cost = QString::number((t * 7919) % 10007);
        m_plan.setValue(task, 1, title, false);
        m_plan.setValue(task, 2, status, false);
        m_plan.setValue(task, 3, cost, false);
    }
    m_tasks = m_plan.taskIndexes();
}

void BenchReplace::moveEveryCardToNewValue()
{
    QList<Document::ValueChange> changes;
    for (TaskIndex task : qAsConst(m_tasks))
        changes << Document::ValueChange(ValueKey(task, 2), QStringLiteral("done"));
    QBENCHMARK_ONCE
    {
        m_plan.setValues(changes, true);
    }
}

// The value is in use already, so no colour is carried: the case where listing a property's
// values per change used to make the edit quadratic.
void BenchReplace::moveEveryCardToExistingValue()
{
    QList<Document::ValueChange> changes;
    for (TaskIndex task : qAsConst(m_tasks))
        changes << Document::ValueChange(ValueKey(task, 2), QStringLiteral("state 3"));
    QBENCHMARK_ONCE
    {
        m_plan.setValues(changes, true);
    }
}

void BenchReplace::previewReplaceOverEveryValue()
{
    QBENCHMARK
    {
        m_plan.replaceText(QStringLiteral("number 99"), QStringLiteral("x"), Qt::CaseInsensitive,
                           true, 0, false, false, true, false, false);
    }
}

void BenchReplace::sortCardsByNumber()
{
    QBENCHMARK
    {
        m_plan.sortTasks(m_tasks, 3);
    }
}

void BenchReplace::sortCardsByText()
{
    QBENCHMARK
    {
        m_plan.sortTasks(m_tasks, 2);
    }
}

TAVROLO_GUI_TEST_MAIN(BenchReplace)
#include "bench_replace.moc"
