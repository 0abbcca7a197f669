// Reads hostile plan files and pictures, each in a fresh process of this program, and prints
// the time, the peak memory and what was read, beside the bound of 100 MB + 50 x the file's
// size. Every plan shape is read at several sizes, so a cost growing faster than the file
// shows in the figures. Ordinary pictures and sets of them are read beside the hostile ones,
// since a bound that refuses them is a fault too.
//
//   bench_hostile_files [WORD]        builds and reads every probe (whose name holds WORD);
//                                     TAVROLO_PROBE_READER names another build of this
//                                     program to read them, for figures before a change
//   bench_hostile_files corpus DIR    writes the small probes as fuzzing seeds
//   bench_hostile_files plan FILE     (used by the above) reads one plan file
//   bench_hostile_files picture FILE  (used by the above) loads one picture as a card image
//   bench_hostile_files csv FILE      (used by the above) imports one CSV file into a new plan
#include "BenchTools.h"
#include "model/Document.h"
#include "storage/CsvImport.h"
#include "storage/PlanFileReader.h"
#include "tests/storage/HostilePlans.h"

#include <functional>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

double peakMegabytes()
{
    return BenchTools::peakMebibytes();
}

using BenchTools::print;

// The file a probe is written to in the folder: its kind and name, spaces made underscores.
QString probePath(const QString &folder, const QString &kind, const char *name)
{
    return folder
        + QStringLiteral("/%1-%2")
              .arg(kind, QLatin1String(name))
              .replace(QLatin1Char(' '), QLatin1Char('_'));
}

void save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

// A drawing as a drawing program exports it: a few shapes in flat colours and a label, on white.
QByteArray drawing(int number)
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 3));
    painter.setBrush(QColor::fromHsv(number * 37 % 360, 120, 230));
    painter.drawRoundedRect(100 + number % 50, 100, 400, 250, 30, 30);
    painter.drawEllipse(QPoint(600, 400), 80 + number % 20, 60);
    QFont font;
    font.setPixelSize(48);
    painter.setFont(font);
    painter.drawText(QRect(0, 420, 800, 100), Qt::AlignCenter,
                     QStringLiteral("Drawing %1").arg(number + 1));
    painter.end();
    return HostilePlans::encodedPicture(image, "PNG");
}

// A product shot: a shaded object and its shadow on white, as a shop's photos are.
QByteArray productShot(int number)
{
    QImage image(1000, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(QPointF(450, 450), 300);
    shade.setColorAt(0, QColor::fromHsv(number * 29 % 360, 160, 250));
    shade.setColorAt(1, QColor::fromHsv(number * 29 % 360, 200, 150));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawEllipse(QPoint(500, 480), 280, 330 - number % 40);
    painter.setBrush(QColor(230, 230, 230));
    painter.drawEllipse(QPoint(500, 850), 260, 30);
    painter.end();
    return HostilePlans::encodedPicture(image, "JPG", 40);
}

// One line: milliseconds, peak MB and what came of it, for the parent to print.
int readPlan(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    Document plan;
    QString error;
    bool later = false;
    const bool ok = readPlanFile(plan, path, &error, &later);
    int decoded = 0;
    for (int i = 0; i < plan.imageCount(); ++i)
        decoded += plan.image(i).isNull() ? 0 : 1;
    const QString outcome = ok
        ? QStringLiteral("read %1 cards, %2 properties, %3 views, %4 images (%5 decoded)")
              .arg(plan.taskCount())
              .arg(plan.propertyCount() - 1)
              .arg(plan.storedViews().size())
              .arg(plan.imageCount())
              .arg(decoded)
        : error.section(QLatin1Char('\n'), 0, 0);
    print(QStringLiteral("%1 %2 %3")
              .arg(timer.elapsed())
              .arg(peakMegabytes(), 0, 'f', 0)
              .arg(outcome));
    return 0;
}

int readPicture(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    const Image image(path);
    const QString outcome = image.isNull() ? QStringLiteral("no picture")
                                           : QStringLiteral("picture %1 x %2")
                                                 .arg(image.pixmap().width())
                                                 .arg(image.pixmap().height());
    print(QStringLiteral("%1 %2 %3")
              .arg(timer.elapsed())
              .arg(peakMegabytes(), 0, 'f', 0)
              .arg(outcome));
    return 0;
}

int importCsv(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    Document plan;
    QString error;
    const bool ok = importCsvFile(plan, path, true, &error);
    int pictures = 0;
    for (int card = 0; card < plan.taskCount(); ++card)
        pictures += plan.task(card).imageIndex() >= 0 ? 1 : 0;
    const QString outcome = ok
        ? QStringLiteral("read %1 cards, %2 with a picture").arg(plan.taskCount()).arg(pictures)
        : error;
    print(QStringLiteral("%1 %2 %3")
              .arg(timer.elapsed())
              .arg(peakMegabytes(), 0, 'f', 0)
              .arg(outcome));
    return 0;
}

// The bytes with a hole of the given size at the offset: the file states them all, and holds
// only the bytes around the hole.
void saveWithHole(const QString &path, const QByteArray &bytes, int at, qint64 hole)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(bytes.left(at));
    file.seek(at + hole);
    file.write(bytes.mid(at));
    // A hole at the end is left by stating the size alone.
    file.resize(bytes.size() + hole);
}

// Runs one probe in a child limited to 4 GB and 120 s, so that a probe that still explodes
// does not take the machine with it.
void measure(const QString &mode, const QString &label, const QString &path)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setProgram(QStringLiteral("/bin/sh"));
    const QString reader
        = qEnvironmentVariable("TAVROLO_PROBE_READER", QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("-c"),
                        QStringLiteral("ulimit -v 4194304; exec \"$0\" \"$1\" \"$2\""), reader,
                        mode, path});
    child.start();
    QString result;
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished(-1);
        result = QStringLiteral("- - stopped after 120 s");
    } else {
        result = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        if (result.isEmpty())
            result = QStringLiteral("- - crashed or ran out of memory (exit %1)")
                         .arg(child.exitCode());
    }
    const qint64 size = QFileInfo(path).size();
    const double bound = 100 + 50.0 * size / (1024 * 1024);
    const QStringList parts = result.split(QLatin1Char(' '));
    print(QStringLiteral("%1 %2 KB  %3 ms  %4 MB (bound %5 MB)  %6")
              .arg(label, -34)
              .arg(size / 1024, 7)
              .arg(parts.value(0), 6)
              .arg(parts.value(1), 5)
              .arg(bound, 0, 'f', 0)
              .arg(parts.mid(2).join(QLatin1Char(' '))));
}

// The count that makes the shape about the given number of bytes.
int countForSize(const HostilePlans::Shape &shape, qint64 bytes)
{
    int low = 1;
    int high = 2;
    while (shape.build(high).size() < bytes && high < (1 << 26))
        high *= 2;
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        (shape.build(middle).size() < bytes ? low : high) = middle;
    }
    return high;
}

int runAll(const QString &folder, const QString &only)
{
    print(QStringLiteral("%1 %2     %3     %4")
              .arg(QStringLiteral("probe"), -34)
              .arg(QStringLiteral("size"), 10)
              .arg(QStringLiteral("time"), 6)
              .arg(QStringLiteral("peak")));
    for (const HostilePlans::Shape &shape : HostilePlans::shapes()) {
        if (!QLatin1String(shape.name).contains(only))
            continue;
        for (const qint64 kilobytes : {64, 256, 1024}) {
            const int n = countForSize(shape, kilobytes * 1024);
            const QString label = QStringLiteral("%1 n=%2").arg(QLatin1String(shape.name)).arg(n);
            const QString path = folder
                + QStringLiteral("/%1-%2.tv").arg(QLatin1String(shape.name)).arg(kilobytes);
            save(path, shape.build(n));
            measure(QStringLiteral("plan"), label, path);
        }
    }
    const QString entities = folder + QStringLiteral("/entities.tv");
    save(entities, HostilePlans::expandingEntities(24));
    if (QStringLiteral("expanding_entities").contains(only))
        measure(QStringLiteral("plan"), QStringLiteral("expanding_entities levels=24"), entities);
    // A plan's picture that is an SVG drawing a PNG of 256 million pixels held inside it.
    if (QStringLiteral("svg_picture").contains(only)) {
        const QString svg = folder + QStringLiteral("/svg-picture.tv");
        save(svg,
             HostilePlans::plan(
                 "<images><image format=\"SVG\" value=\""
                 + HostilePlans::svgShowingData(HostilePlans::blackPng(16000, 16000, 8, 0)).toHex()
                 + "\"/></images>"));
        measure(QStringLiteral("plan"), QStringLiteral("svg_picture png 16000 x 16000"), svg);
    }
    // Plans of one picture that costs what its size does not show: a progressive JPEG with its
    // last scan repeated (the decoder runs every scan over every block) and a GIF of one pixel
    // on a large logical screen (the decoder allocates the whole screen). Each is built only
    // when it is read.
    const struct
    {
        const char *name;
        std::function<QByteArray()> picture;
    } planPictures[] = {
        {"jpeg_scans 4000 x 4000, 10000 scans",
         [] { return HostilePlans::progressiveJpeg(4000, 10000); }},
        {"jpeg_scans 4000 x 4000, 100000 scans",
         [] { return HostilePlans::progressiveJpeg(4000, 100000); }},
        {"jpeg_scans 4000 x 4000, 10000 scans behind an empty APP0",
         [] {
             QByteArray jpeg = HostilePlans::progressiveJpeg(4000, 10000);
             jpeg.insert(2, QByteArray("\xff\xe0\x00\x00", 4));
             return jpeg;
         }},
        {"gif_screen 16384 x 4096, 1 x 1 frame",
         [] { return HostilePlans::gifWithScreen(16384, 4096); }},
    };
    for (const auto &probe : planPictures) {
        if (!QLatin1String(probe.name).contains(only))
            continue;
        const QString path = probePath(folder, QStringLiteral("plan"), probe.name) + ".tv";
        save(path,
             HostilePlans::plan("<images>" + HostilePlans::imageElement(probe.picture())
                                + "</images>"));
        measure(QStringLiteral("plan"), QLatin1String(probe.name), path);
    }
    const struct
    {
        const char *name;
        QByteArray bytes;
    } pictures[] = {
        {"png 16384 x 16384 1-bit", HostilePlans::blackPng(16384, 16384)},
        {"png 9000 x 9000 1-bit", HostilePlans::blackPng(9000, 9000)},
        {"png 8192 x 8192 1-bit (largest)", HostilePlans::blackPng(8192, 8192)},
        {"png 6000 x 4000 8-bit RGB", HostilePlans::blackPng(6000, 4000, 8, 2)},
        {"png 4096 x 4096 16-bit RGBA", HostilePlans::blackPng(4096, 4096, 16, 6)},
        {"png 3000 x 3000 16-bit RGBA", HostilePlans::blackPng(3000, 3000, 16, 6)},
        {"jpeg 6000 x 4000 photo", HostilePlans::jpegPhoto(6000, 4000)},
        // The sides of phone photos of 108 and 200 megapixels, in a few hundred bytes.
        {"jpeg 12000 x 9000 baseline", HostilePlans::baselineJpeg(12000, 9000)},
        {"jpeg 16320 x 12240 baseline", HostilePlans::baselineJpeg(16320, 12240)},
        {"jpeg 16384 x 16384 baseline", HostilePlans::baselineJpeg(16384, 16384)},
        // Each text inflates to just under what the PNG decoder inflates of one chunk.
        {"png 1 x 1 with 990 compressed texts of 8 MB",
         HostilePlans::pngWithCompressedTexts(990, 7999000)},
        // Formats the system reads that carry a picture of their own.
        {"svgz inflating to 1 GiB",
         HostilePlans::svgzInflatingTo(HostilePlans::svgShowingData(HostilePlans::blackPng(8, 8)),
                                       1024)},
        {"svg holding a jpeg 4000 x 4000 of 10000 scans",
         HostilePlans::svgShowingJpeg(HostilePlans::progressiveJpeg(4000, 10000))},
        {"ico holding a png 30000 x 30000 1-bit",
         HostilePlans::icoHolding(HostilePlans::blackPng(30000, 30000))},
    };
    for (const auto &picture : pictures) {
        if (!QLatin1String(picture.name).contains(only))
            continue;
        const QString path = probePath(folder, QStringLiteral("picture"), picture.name);
        save(path, picture.bytes);
        measure(QStringLiteral("picture"), QLatin1String(picture.name), path);
    }
    // Pictures whose files state far more bytes than they hold: a hole reads as zeros, which a
    // JPEG's decoder passes over between its segments, and which cost next to nothing on disk.
    const qint64 mebibyte = 1024 * 1024;
    const struct
    {
        const char *name;
        std::function<QByteArray()> picture;
        const char *marker; // the segment the hole comes before
        qint64 hole;
    } sparsePictures[] = {
        {"jpeg 4096 x 4096, 10000 scans, behind a hole of 300 MiB",
         [] { return HostilePlans::progressiveJpeg(4096, 10000); }, "\xff\xda", 300 * mebibyte},
        {"jpeg 4096 x 4096, 10000 scans, behind a hole of 250 MiB",
         [] { return HostilePlans::progressiveJpeg(4096, 10000); }, "\xff\xda", 250 * mebibyte},
        {"progressive cmyk jpeg 8192 x 8192, behind a hole of 300 MiB",
         [] { return HostilePlans::progressiveCmykJpeg(8192, 8192); }, "\xff\xc2", 300 * mebibyte},
    };
    for (const auto &picture : sparsePictures) {
        if (!QLatin1String(picture.name).contains(only))
            continue;
        const QString path = probePath(folder, QStringLiteral("picture"), picture.name);
        const QByteArray bytes = picture.picture();
        saveWithHole(path, bytes, bytes.indexOf(picture.marker), picture.hole);
        measure(QStringLiteral("picture"), QLatin1String(picture.name), path);
    }
    // Phone photos as a camera writes them, built only when they are read.
    const struct
    {
        const char *name;
        int width;
        int height;
    } photos[] = {
        {"jpeg 12000 x 9000 photo", 12000, 9000},
        {"jpeg 16320 x 12240 photo", 16320, 12240},
    };
    for (const auto &photo : photos) {
        if (!QLatin1String(photo.name).contains(only))
            continue;
        const QString path = probePath(folder, QStringLiteral("picture"), photo.name);
        save(path, HostilePlans::jpegPhoto(photo.width, photo.height));
        measure(QStringLiteral("picture"), QLatin1String(photo.name), path);
        QFile::remove(path);
    }
    // CSV files naming ordinary sets of pictures, which all come in, one file under many hard
    // links, read once, and many files of a few hundred bytes that each declare the work of a
    // large picture, which run out of budget.
    const struct
    {
        const char *name;
        int files;
        std::function<QByteArray(int)> picture;
        const char *suffix;
        int links; // names for the first file
    } pictureCsvs[] = {
        {"csv of 100 drawings 800 x 600 png", 100, drawing, "png", 0},
        {"csv of 100 product shots 1000 x 1000 jpeg", 100, productShot, "jpg", 0},
        {"csv of 200 hard links to a png 4096 x 4096", 1,
         [](int) { return HostilePlans::blackPng(4096, 4096, 8, 2); }, "png", 200},
        {"csv of 200 jpegs of 600 bytes declaring 16384 x 16384", 200,
         [](int) { return HostilePlans::baselineJpeg(16384, 16384); }, "jpg", 0},
    };
    for (const auto &csv : pictureCsvs) {
        if (!QLatin1String(csv.name).contains(only))
            continue;
        const QString base = probePath(folder, QStringLiteral("csv"), csv.name);
        QStringList files;
        for (int i = 0; i < csv.files; ++i) {
            files << base + QStringLiteral("-%1.%2").arg(i).arg(QLatin1String(csv.suffix));
            save(files.last(), csv.picture(i));
        }
        QStringList named = files;
        for (int i = 0; i < csv.links; ++i) {
            named << base + QStringLiteral("-link-%1.%2").arg(i).arg(QLatin1String(csv.suffix));
            if (::link(QFile::encodeName(files.first()).constData(),
                       QFile::encodeName(named.last()).constData())
                != 0)
                print(QStringLiteral("%1: no hard link made").arg(named.last()));
        }
        if (csv.links > 0)
            named.removeFirst();
        QByteArray rows = "Name,Images\n";
        for (const QString &file : qAsConst(named))
            rows += "x," + QFile::encodeName(file) + '\n';
        save(base + ".csv", rows);
        measure(QStringLiteral("csv"), QLatin1String(csv.name), base + ".csv");
        for (const QString &file : qAsConst(named))
            QFile::remove(file);
        QFile::remove(files.first());
    }
    // CSV files naming pictures of a few bytes in files of many gigabytes, nearly all a hole:
    // only the bytes that are there pay for the pictures after them.
    const struct
    {
        const char *name;
        int files;
        qint64 size;
    } sparseCsvs[] = {
        {"csv of 30 bmps 10 x 10 in 10 GB holes", 30, 10240 * mebibyte},
        {"csv of 30 bmps 10 x 10 in 280 MiB holes", 30, 280 * mebibyte},
    };
    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    const QByteArray bmp = HostilePlans::encodedPicture(small, "BMP");
    for (const auto &csv : sparseCsvs) {
        if (!QLatin1String(csv.name).contains(only))
            continue;
        const QString base = probePath(folder, QStringLiteral("csv"), csv.name);
        QByteArray rows = "Name,Images\n";
        for (int i = 0; i < csv.files; ++i) {
            const QString picture = base + QStringLiteral("-%1.bmp").arg(i);
            saveWithHole(picture, bmp, bmp.size(), csv.size - bmp.size());
            rows += "x," + QFile::encodeName(picture) + '\n';
        }
        save(base + ".csv", rows);
        measure(QStringLiteral("csv"), QLatin1String(csv.name), base + ".csv");
        for (int i = 0; i < csv.files; ++i)
            QFile::remove(base + QStringLiteral("-%1.bmp").arg(i));
    }
    return 0;
}

// Seeds for the plan-file fuzzer: each shape at about 2 KB, so that the fuzzer runs hundreds of
// inputs a second; the sizes that cost are read here and in the storage tests.
int writeCorpus(const QString &folder)
{
    QDir().mkpath(folder);
    for (const HostilePlans::Shape &shape : HostilePlans::shapes()) {
        // A picture of millions of pixels takes a tenth of a second to decode: the seed holds
        // small ones.
        const bool pictures = QLatin1String(shape.name).contains(QLatin1String("picture"));
        const QByteArray bytes = pictures
            ? HostilePlans::plan(HostilePlans::container(
                "images", HostilePlans::imageElement(HostilePlans::blackPng(64, 64)), 2))
            : shape.build(countForSize(shape, 2 * 1024) - 1);
        save(folder + QStringLiteral("/hostile_%1.tv").arg(QLatin1String(shape.name)), bytes);
    }
    save(folder + QStringLiteral("/hostile_expanding_entities.tv"),
         HostilePlans::expandingEntities(24));
    // Just past the bound of scans, and a screen past the budget, in a few kilobytes.
    save(folder + QStringLiteral("/hostile_jpeg_scans.tv"),
         HostilePlans::plan("<images>"
                            + HostilePlans::imageElement(HostilePlans::progressiveJpeg(16, 101))
                            + "</images>"));
    // The same scans behind an empty APP0, which skips nothing in the decoder's marker reader.
    QByteArray shortSegment = HostilePlans::progressiveJpeg(16, 101);
    shortSegment.insert(2, QByteArray("\xff\xe0\x00\x00", 4));
    save(folder + QStringLiteral("/hostile_jpeg_short_segment.tv"),
         HostilePlans::plan("<images>" + HostilePlans::imageElement(shortSegment) + "</images>"));
    save(folder + QStringLiteral("/hostile_gif_screen.tv"),
         HostilePlans::plan("<images>"
                            + HostilePlans::imageElement(HostilePlans::gifWithScreen(16384, 4096))
                            + "</images>"));
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
    const QString mode = arguments.value(1);
    if (arguments.size() == 3 && mode == QLatin1String("plan"))
        return readPlan(arguments.at(2));
    if (arguments.size() == 3 && mode == QLatin1String("picture"))
        return readPicture(arguments.at(2));
    if (arguments.size() == 3 && mode == QLatin1String("csv"))
        return importCsv(arguments.at(2));
    if (arguments.size() == 3 && mode == QLatin1String("corpus"))
        return writeCorpus(arguments.at(2));
    return runAll(home.path(), arguments.value(1));
}
