// Times writing, reading and importing a plan of 10,000 cards and 30 properties with a few
// images, and reports the peak memory of reading. Reading and importing each run in a fresh
// process of this program, so their peak is not the one of building the plan.
//
//   bench_storage            runs everything and prints the figures
//   bench_storage read FILE  (used by the above) reads one plan file
//   bench_storage import FILE
#include "app/Application.h"
#include "common/Accessors.h"
#include "model/Document.h"
#include "storage/CsvExport.h"
#include "storage/CsvImport.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"
#include "tests/storage/PlanSamples.h"

#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

const int cardCount = 10000;
const int propertyCount = 30;

double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void print(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

int readOnce(const QString &path)
{
    const double before = peakMegabytes();
    QElapsedTimer timer;
    timer.start();
    QString error;
    bool later = false;
    if (!readPlanFile(*doc(), path, &error, &later)) {
        print(error);
        return 1;
    }
    print(QStringLiteral("read   %1 ms, peak memory %2 MB (%3 MB before reading), %4 cards")
              .arg(timer.elapsed())
              .arg(peakMegabytes(), 0, 'f', 1)
              .arg(before, 0, 'f', 1)
              .arg(doc()->taskCount()));
    return 0;
}

int importOnce(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!importCsvFile(*doc(), path, true, &error)) {
        print(error);
        return 1;
    }
    print(QStringLiteral("import %1 ms, peak memory %2 MB, %3 cards")
              .arg(timer.elapsed())
              .arg(peakMegabytes(), 0, 'f', 1)
              .arg(doc()->taskCount()));
    return 0;
}

int runChild(const QString &mode, const QString &path)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {mode, path});
    child.waitForFinished(-1);
    return child.exitCode();
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
    *doc() = plan;
    const QString csvPath = folder + QStringLiteral("/large.csv");
    bool unicode = false;
    timer.restart();
    if (!exportCsvFile(*doc(), csvPath, doc()->taskIndexes(), &unicode, &error)) {
        print(error);
        return 1;
    }
    print(QStringLiteral("export %1 ms").arg(timer.elapsed()));
    return runChild(QStringLiteral("read"), planPath) + runChild(QStringLiteral("import"), csvPath);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir(home.path()).mkpath(QStringLiteral("app"));
    Application::setAppDirOverride(home.path() + QStringLiteral("/app"));
    Application application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("read"))
        return readOnce(arguments.at(2));
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("import"))
        return importOnce(arguments.at(2));
    return runAll(home.path());
}
