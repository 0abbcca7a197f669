// Times writing, reading and importing a plan of 10,000 cards and 30 properties with a few
// images, and reports the peak memory of reading. Reading and importing each run in a fresh
// process of this program, so their peak is not the one of building the plan. Then reads two
// plans of long filters, with the filter's first pass over the cards: 10,000 cards laid out in
// 10,000 rows with "Hide other rows" (9,999 "is not" terms, in the current view and a stored
// view), and a crafted plan of 100,000 terms far smaller than any this program writes.
//
//   bench_storage               runs everything and prints the figures
//   bench_storage read FILE     (used by the above) reads one plan file
//   bench_storage import FILE
//   bench_storage filters DIR   writes the two plans of long filters into DIR
#include "BenchTools.h"
#include "model/Document.h"
#include "storage/CsvExport.h"
#include "storage/CsvImport.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"
#include "tests/storage/HostilePlans.h"
#include "tests/storage/PlanSamples.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

const int cardCount = 10000;
const int propertyCount = 30;

using BenchTools::peakMebibytes;
using BenchTools::print;

int readOnce(const QString &path)
{
    const double before = peakMebibytes();
    QElapsedTimer timer;
    timer.start();
    Document plan;
    QString error;
    bool later = false;
    if (!readPlanFile(plan, path, &error, &later)) {
        print(error);
        return 1;
    }
    const qint64 readMs = timer.restart();
    int passing = 0;
    for (TaskIndex card = 0; card < plan.taskCount(); ++card)
        passing += plan.taskPassesFilter(card) ? 1 : 0;
    const qint64 filterMs = timer.elapsed();
    print(QStringLiteral("read   %1 ms, peak memory %2 MiB (%3 MiB before reading), %4 cards")
              .arg(readMs)
              .arg(peakMebibytes(), 0, 'f', 1)
              .arg(before, 0, 'f', 1)
              .arg(plan.taskCount()));
    if (!plan.filterTerms().isEmpty() || !plan.storedViews().isEmpty()) {
        print(QStringLiteral("       filter of %1 terms (stored view %2) passes %3 cards in %4 ms")
                  .arg(plan.filterTerms().size())
                  .arg(plan.storedViews().value(0).filterTerms.size())
                  .arg(passing)
                  .arg(filterMs));
    }
    return 0;
}

// The plan of 10,000 hidden rows and the crafted plan of 100,000 terms, written into folder.
int writeFilterPlans(const QString &folder, QStringList *paths)
{
    Document plan;
    BenchTools::fillHiddenRows(plan, cardCount);
    const QString hidden = folder + QStringLiteral("/hidden-rows.tv");
    QString error;
    QElapsedTimer timer;
    timer.start();
    if (!writePlanFile(plan, hidden, &error)) {
        print(error);
        return 1;
    }
    print(QStringLiteral("write  %1 ms, %2 cards, filter of %3 terms, file %4 KB")
              .arg(timer.elapsed())
              .arg(plan.taskCount())
              .arg(plan.filterTerms().size())
              .arg(QFileInfo(hidden).size() / 1024));
    const QString crafted = folder + QStringLiteral("/crafted-terms.tv");
    QFile file(crafted);
    const QByteArray bytes = HostilePlans::manyFilterTerms(100000);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        print(QStringLiteral("Can't write %1").arg(crafted));
        return 1;
    }
    print(QStringLiteral("crafted plan of 2 x 100,000 terms, file %1 KB").arg(bytes.size() / 1024));
    *paths << hidden << crafted;
    return 0;
}

int importOnce(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    Document plan;
    QString error;
    if (!importCsvFile(plan, path, true, &error)) {
        print(error);
        return 1;
    }
    print(QStringLiteral("import %1 ms, peak memory %2 MiB, %3 cards")
              .arg(timer.elapsed())
              .arg(peakMebibytes(), 0, 'f', 1)
              .arg(plan.taskCount()));
    return 0;
}

int runAll(const QString &folder)
{
    Document plan;
    PlanSamples::fillLargePlan(plan, cardCount, propertyCount);
    const QString planPath = folder + QStringLiteral("/large.tv");
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!writePlanFile(plan, planPath, &error)) {
        print(error);
        return 1;
    }
    print(QStringLiteral("write  %1 ms, %2 cards x %3 properties, file %4 KB")
              .arg(timer.elapsed())
              .arg(cardCount)
              .arg(propertyCount)
              .arg(QFileInfo(planPath).size() / 1024));
    const QString csvPath = folder + QStringLiteral("/large.csv");
    bool unicode = false;
    timer.restart();
    if (!exportCsvFile(plan, csvPath, plan.taskIndexes(), &unicode, &error)) {
        print(error);
        return 1;
    }
    print(QStringLiteral("export %1 ms").arg(timer.elapsed()));
    int failed = BenchTools::runChild({QStringLiteral("read"), planPath})
        + BenchTools::runChild({QStringLiteral("import"), csvPath});
    QStringList filterPlans;
    failed += writeFilterPlans(folder, &filterPlans);
    for (const QString &path : qAsConst(filterPlans))
        failed += BenchTools::runChild({QStringLiteral("read"), path});
    return failed;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("read"))
        return readOnce(arguments.at(2));
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("import"))
        return importOnce(arguments.at(2));
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("filters")) {
        QStringList paths;
        return writeFilterPlans(arguments.at(2), &paths);
    }
    QTemporaryDir folder;
    return runAll(folder.path());
}
