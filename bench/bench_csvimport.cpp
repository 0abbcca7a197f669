// Times the CSV import and measures its peak memory: a 10,000 x 30 export of this program and
// hostile shapes of about 21 KB, 42 KB and 2 MB (how the cost grows with the size). Each import
// runs in a fresh process of this program, so its peak is its own; the figure printed is the
// peak growth during the import, next to the allowance of 100 MB + 50 x the file size.
//
//   bench_csvimport                      writes every file to a scratch folder and imports each
//   bench_csvimport write FOLDER         writes the files only (for profiling)
//   bench_csvimport corpus FOLDER        writes the hostile shapes at 400 bytes as fuzzing seeds
//   bench_csvimport import FILE [CARDS]  imports one file, into a plan of CARDS cards when given
#include "BenchTools.h"
#include "model/Document.h"
#include "storage/CsvExport.h"
#include "storage/CsvImport.h"
#include "tests/storage/PlanSamples.h"

#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

double peakMegabytes()
{
    return BenchTools::peakMebibytes();
}

double currentMegabytes()
{
    return BenchTools::residentMebibytes();
}

using BenchTools::print;

QByteArray names(int count, const char *prefix = "c")
{
    QByteArray header;
    for (int i = 0; i < count; ++i)
        header += (i ? "," : "") + QByteArray(prefix) + QByteArray::number(i);
    return header + '\n';
}

// The hostile shapes, each about `size` bytes.
QList<QPair<QString, QByteArray>> hostileFiles(int size)
{
    QList<QPair<QString, QByteArray>> files;
    const int half = size / 2;
    // A wide header and rows of one short cell: every row still makes a value per column.
    QByteArray shortRows = names(half / 6);
    shortRows += QByteArray("x\n").repeated(half / 2);
    files << qMakePair(QStringLiteral("wide-header-short-rows"), shortRows);
    // What a spreadsheet writes for a wide sheet with few filled cells (narrower in a seed, to
    // leave room for rows).
    const int columns = qMin(500, size / 40);
    QByteArray padded = names(columns);
    while (padded.size() < size)
        padded += "x" + QByteArray(columns - 1, ',') + '\n';
    files << qMakePair(QStringLiteral("wide-padded-rows"), padded);
    files << qMakePair(QStringLiteral("header-only"), names(size / 6));
    // Names that differ only after the 30-character cut, with blanks before the cut.
    QByteArray cut;
    for (int i = 0; cut.size() < size; ++i)
        cut += (i ? "," : "") + QByteArray("Name") + QByteArray(26, ' ') + QByteArray::number(i);
    files << qMakePair(QStringLiteral("names-equal-after-cut"), cut + "\nx\n");
    files << qMakePair(QStringLiteral("one-long-row"),
                       "Name\n" + QByteArray("x,").repeated(size / 2) + '\n');
    files << qMakePair(QStringLiteral("quote-storm"),
                       "Name,Other\n" + QByteArray("a\"b\",c\"\"d\n").repeated(size / 10));
    files << qMakePair(QStringLiteral("unclosed-quote"),
                       "Name,Other\n\"" + QByteArray("x,y\n").repeated(size / 4));
    files << qMakePair(QStringLiteral("links-in-one-cell"),
                       "Name,Links\nx,\"" + QByteArray("a,").repeated(size / 2) + "\"\n");
    files << qMakePair(QStringLiteral("one-column-rows"),
                       "Name\n" + QByteArray("x\n").repeated(size / 2));
    files << qMakePair(QStringLiteral("blank-lines"),
                       QByteArray("\n \n").repeated(size / 6) + "Name\nx\n");
    files << qMakePair(QStringLiteral("select-headers"),
                       QByteArray("<select>,").repeated(size / 9) + "\nx\n");
    return files;
}

// A 10,000 x 30 plan as this program exports it.
QByteArray largeExport(const QString &folder)
{
    Document plan;
    PlanSamples::fillLargePlan(plan, 10000, 30);
    const QString path = folder + QStringLiteral("/large-export.csv");
    bool unicode = false;
    QString error;
    exportCsvFile(plan, path, plan.taskIndexes(), &unicode, &error);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QStringList writeFiles(const QString &folder)
{
    QList<QPair<QString, QByteArray>> files;
    files << qMakePair(QStringLiteral("large-export"), largeExport(folder));
    for (const int size : {21000, 42000, 2000000}) {
        for (const auto &file : hostileFiles(size))
            files << qMakePair(QStringLiteral("%1-%2k").arg(file.first).arg(size / 1000),
                               file.second);
    }
    QStringList paths;
    for (const auto &file : qAsConst(files)) {
        const QString path = folder + QLatin1Char('/') + file.first + QStringLiteral(".csv");
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(file.second);
        paths << path;
    }
    return paths;
}

int importOnce(const QString &path, int cards)
{
    rlimit memory {};
    memory.rlim_cur = memory.rlim_max = rlim_t(3) << 30;
    setrlimit(RLIMIT_AS, &memory);
    Document document;
    document.clear(false);
    if (cards > 0)
        PlanSamples::fillLargePlan(document, cards, 10);
    const double before = currentMegabytes();
    QElapsedTimer timer;
    timer.start();
    QString error;
    const bool read = importCsvFile(document, path, cards == 0, &error);
    const qint64 elapsed = timer.elapsed();
    const double size = QFileInfo(path).size();
    print(QStringLiteral("%1%2: %3 KB, %4 ms, +%5 MB (allowed %6 MB), %7 cards, %8 properties%9")
              .arg(QFileInfo(path).completeBaseName())
              .arg(cards > 0 ? QStringLiteral(" into %1 cards").arg(cards) : QString())
              .arg(size / 1024, 0, 'f', 1)
              .arg(elapsed)
              .arg(peakMegabytes() - before, 0, 'f', 1)
              .arg(100 + 50 * size / 1e6, 0, 'f', 0)
              .arg(document.taskCount())
              .arg(document.propertyCount() - 1)
              .arg(read ? QString() : QStringLiteral(", refused: ") + error));
    return 0;
}

// A probe that runs out of its 3 GB or two minutes is reported, not waited for.
int runChild(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    const bool finished = child.waitForFinished(120000);
    if (!finished)
        child.kill();
    if (!finished || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        print(QStringLiteral("%1: %2").arg(QFileInfo(arguments.at(1)).completeBaseName(),
                                           finished ? QStringLiteral("crashed (out of memory?)")
                                                    : QStringLiteral("stopped after 120 s")));
        child.waitForFinished(-1);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTemporaryDir home;
    const QStringList arguments = application.arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("write")) {
        QDir().mkpath(arguments.at(2));
        writeFiles(arguments.at(2));
        return 0;
    }
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("corpus")) {
        // Small, so that the fuzzer runs hundreds of inputs a second; the sizes that cost are
        // read here and in the storage tests.
        QDir().mkpath(arguments.at(2));
        for (const auto &file : hostileFiles(400)) {
            QFile out(arguments.at(2) + QStringLiteral("/hostile-%1.csv").arg(file.first));
            if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
                out.write(file.second);
        }
        return 0;
    }
    if (arguments.size() >= 3 && arguments.at(1) == QLatin1String("import"))
        return importOnce(arguments.at(2), arguments.value(3).toInt());
    int failed = 0;
    const QStringList paths = writeFiles(home.path());
    for (const QString &path : paths)
        failed += runChild({QStringLiteral("import"), path});
    // A wide header imported into a plan that already holds many cards.
    failed += runChild({QStringLiteral("import"), paths.at(3), QStringLiteral("10000")});
    return failed;
}
