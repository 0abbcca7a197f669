// Times writing, reading and importing a plan of 10,000 cards and 30 properties with a few
// images, and reports the peak memory of reading. Reading and importing each run in a fresh
// process of this program, so their peak is not the one of building the plan.
//
//   bench_storage            runs everything and prints the figures
//   bench_storage read FILE  (used by the above) reads one plan file
//   bench_storage import FILE
#include "BenchTools.h"
#include "model/Document.h"
#include "storage/CsvExport.h"
#include "storage/CsvImport.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"
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
    print(QStringLiteral("read   %1 ms, peak memory %2 MiB (%3 MiB before reading), %4 cards")
              .arg(timer.elapsed())
              .arg(peakMebibytes(), 0, 'f', 1)
              .arg(before, 0, 'f', 1)
              .arg(plan.taskCount()));
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
    return BenchTools::runChild({QStringLiteral("read"), planPath})
        + BenchTools::runChild({QStringLiteral("import"), csvPath});
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
    QTemporaryDir folder;
    return runAll(folder.path());
}
