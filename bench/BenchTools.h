#pragma once

// What the benchmarks share: timing runs and printing their figures, memory figures, starting
// a step in a fresh process of its own (so that its peak memory is its own), and the large
// plans several of them measure on.

#include "harness/TestPlanKey.h"
#include "model/Document.h"
#include "storage/PlanFileWriter.h"
#include "tests/storage/PlanSamples.h"

#include <algorithm>
#include <time.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVector>

namespace BenchTools {

// Mebibytes from the kernel's figures for this process's own memory map. The peak that
// getrusage reports would also count the memory the parent had at the fork before this
// program started.
inline double memoryMebibytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

inline double peakMebibytes()
{
    return memoryMebibytes("VmHWM:");
}

inline double residentMebibytes()
{
    return memoryMebibytes("VmRSS:");
}

inline void print(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

// Runs this program again with the arguments, its output going to ours; waits for it.
inline int runChild(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

// CPU time of this thread: other programs running beside the benchmark hardly change it.
inline double threadMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Enough runs for a median that one slow run on the shared machine does not move.
constexpr int Runs = 7;

// The wall-clock times of count runs of work in milliseconds, fastest first; prepare runs
// before each run, untimed.
template<typename Work, typename Prepare>
QVector<double> sortedRunsMs(Work work, Prepare prepare, int count)
{
    QVector<double> figures;
    for (int i = 0; i < count; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        figures.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(figures.begin(), figures.end());
    return figures;
}

// The median of a few runs, in milliseconds; prepare runs before each run, untimed.
template<typename Work, typename Prepare>
double medianMs(Work work, Prepare prepare, int count = Runs)
{
    const QVector<double> figures = sortedRunsMs(work, prepare, count);
    return figures.at(figures.size() / 2);
}

template<typename Work>
double medianMs(Work work, int count = Runs)
{
    return medianMs(
        work, [] {}, count);
}

// Prints a time in milliseconds beside its target; a target of 0 is a figure printed for
// information. Each benchmark keeps its own column width and decimals, so that its figures
// read as they always have.
struct MsReport
{
    int width;
    int decimals;

    void operator()(const QString &what, double ms, double target = 0) const
    {
        const QString goal
            = target > 0 ? QStringLiteral(" (target %1 ms)").arg(target, 0, 'f', 0) : QString();
        print(QStringLiteral("%1: %2 ms%3").arg(what, -width).arg(ms, 0, 'f', decimals).arg(goal));
    }
};

// Cards in as many rows, all hidden but the first, as "Hide other rows" hides them: one "is
// not" term for every other row, every term to match; the view is stored too.
inline void fillHiddenRows(Document &plan, int cards)
{
    PlanSamples::addProperty(plan, QStringLiteral("Row"), PropertyType::Text);
    PlanSamples::addProperty(plan, QStringLiteral("Owner"), PropertyType::Text);
    QList<FilterTerm> terms;
    for (int i = 0; i < cards; ++i) {
        const QString row = QStringLiteral("row %1").arg(i, 5, 10, QLatin1Char('0'));
        plan.addTaskWithValues({{1, row}, {2, QStringLiteral("o%1").arg(i % 17)}}, QString(), {},
                               -1, false);
        if (i > 0)
            terms << FilterTerm(1, MatchType::IsNot, row);
    }
    plan.setYProperty(1, false);
    plan.setFilter(false, true, false, terms, false, false);
    Slice stored = plan.currentView();
    stored.name = QStringLiteral("One row");
    plan.storedViewsRef(TestPlanKey::key()) << stored;
}

// 10,000 cards (or as many as asked) of 30 properties as the Cards view measures them: X
// (property 1) a text of 50 values, Y (2) a number in 10 bins, the card colour by X and the card
// count as total; every other property holds a text of its card. visibility(p) says how property
// p shows on a card.
constexpr int CardsPlanCards = 10000;
constexpr int CardsPlanProperties = 30;

template<typename Visibility>
void fillCardsPlan(Document &plan, Visibility visibility, int cards = CardsPlanCards)
{
    plan.clear(false);
    for (int p = 1; p <= CardsPlanProperties; ++p) {
        plan.addProperty(QStringLiteral("P%1").arg(p), QString(),
                         p == 2 ? PropertyType::Numeric : PropertyType::Text, {}, visibility(p),
                         PropertyAppearance(), false);
    }
    plan.editablePropertyAppearance(2, TestPlanKey::key()).setBinSize(100);
    for (TaskIndex t = 0; t < cards; ++t) {
        QList<PropertyIndexAndValue> values;
        for (int p = 1; p <= CardsPlanProperties; ++p) {
            if (p == 1)
                values.append({p, QStringLiteral("Value %1").arg(t % 50)});
            else if (p == 2)
                values.append({p, QString::number((t * 37) % 1000)});
            else
                values.append({p, QStringLiteral("Card %1 text %2").arg(t).arg(p)});
        }
        plan.addTaskWithValues(values, QString(), {}, -1, false);
    }
    plan.setXProperty(1, false);
    plan.setYProperty(2, false);
    plan.setCardColorProperty(1, false);
    plan.setTotalProperty(plan.propertyCount(), false);
}

// A plan of random values from a fixed seed, so that every run measures the same plan:
// MixedPerKind text properties, as many numeric and as many date ones after them, all
// Automatic so that their types are detected. text(random, property, card) draws a text
// value; notes(card) gives a card's notes. Numbers have up to two decimals below 1,000;
// dates fall in 2020 to 2025.
constexpr int MixedPerKind = 10;

template<typename Text, typename Notes>
void fillMixedPlan(Document &plan, int cards, quint32 seed, Text text, Notes notes)
{
    plan.clear(false);
    for (int p = 1; p <= 3 * MixedPerKind; ++p)
        plan.addProperty(QStringLiteral("P%1").arg(p), QString(), PropertyType::Automatic, {},
                         PropertyVisibility::Text, PropertyAppearance(), false);
    QRandomGenerator random(seed);
    for (int card = 0; card < cards; ++card) {
        QList<PropertyIndexAndValue> values;
        for (int p = 1; p <= MixedPerKind; ++p)
            values.append({p, text(random, p, card)});
        for (int p = MixedPerKind + 1; p <= 2 * MixedPerKind; ++p)
            values.append({p, QString::number(random.bounded(100000) / 100.0)});
        for (int p = 2 * MixedPerKind + 1; p <= 3 * MixedPerKind; ++p) {
            const QDate date = QDate(2020, 1, 1).addDays(random.bounded(2000));
            values.append(
                {p, QStringLiteral("%1/%2/%3").arg(date.day()).arg(date.month()).arg(date.year())});
        }
        plan.addTaskWithValues(values, notes(card), {}, -1, false);
    }
}

// The storage tests' large plan, every value filled, with notes and a few images, laid out by
// a text property of 50 values (X) and a number in 10 bins (Y) and coloured by X, written to
// the path as a plan file.
inline bool writeLargePlan(const QString &path, int cards, int properties)
{
    Document plan;
    PlanSamples::fillLargePlan(plan, cards, properties);
    plan.editablePropertyAppearance(3, TestPlanKey::key()).setBinSize(100);
    plan.setXProperty(1, false);
    plan.setYProperty(3, false);
    plan.setCardColorProperty(1, false);
    QString error;
    return writePlanFile(plan, path, &error);
}

} // namespace BenchTools
