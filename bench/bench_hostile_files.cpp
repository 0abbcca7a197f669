// Reads hostile plan files and pictures, each in a fresh process of this program, and prints
// the time, the peak memory and what was read, beside the bound of 400 MB + 50 x the file's
// size. Every plan shape is read at several sizes, so a cost growing faster than the file
// shows in the figures. Ordinary pictures and sets of them are read beside the hostile ones,
// since a bound that refuses them is a fault too.
//
//   bench_hostile_files [WORD]        builds and reads every probe (whose name holds WORD);
//                                     TAVROLO_PROBE_READER names another build of this
//                                     program to read them, for figures before a change
//   bench_hostile_files corpus DIR    writes the small probes as fuzzing seeds
//   bench_hostile_files write SHAPE KB FILE
//                                     writes a plan of the shape of about KB kilobytes, to read
//                                     with the modes below at sizes the full run leaves out
//   bench_hostile_files plan FILE     (used by the above) reads one plan file
//   bench_hostile_files resave FILE   (used by the above) reads one plan file, saves it beside
//                                     and reads what it saved
//   bench_hostile_files picture FILE  (used by the above) loads one picture as a card image
//   bench_hostile_files csv FILE      (used by the above) imports one CSV file into a new plan
//   bench_hostile_files drop FILE     (used by the above) loads the pictures FILE names, a line
//                                     each, together, as a drop of them does
#include "BenchTools.h"
#include "model/Document.h"
#include "storage/CsvImport.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"
#include "tests/storage/HostileGifs.h"
#include "tests/storage/HostilePlans.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
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

// A slide of a presentation exported at 8K: a title, bullet points and a chart in flat colours.
QByteArray slide(int number)
{
    QImage image(7680, 4320, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 245));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(0, 0, 7680, 600, QColor::fromHsv(number * 47 % 360, 150, 180));
    QFont font;
    font.setPixelSize(280);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(300, 0, 7000, 600), Qt::AlignVCenter,
                     QStringLiteral("Quarterly review, part %1").arg(number + 1));
    font.setPixelSize(150);
    painter.setFont(font);
    painter.setPen(QColor(40, 40, 40));
    for (int line = 0; line < 2; ++line)
        painter.drawText(
            QPoint(400, 1300 + line * 500),
            QStringLiteral("\u2022 Point %1, week %2").arg(line + 1).arg(number + line));
    for (int bar = 0; bar < 6; ++bar) {
        const int height = 600 + (number * 13 + bar * 37) % 5 * 400;
        painter.fillRect(4800 + bar * 450, 3900 - height, 300, height,
                         QColor::fromHsv(bar * 60, 160, 220));
    }
    painter.setPen(QPen(QColor(40, 40, 40), 12));
    painter.drawLine(4700, 3900, 7500, 3900);
    painter.end();
    return HostilePlans::encodedPicture(image, "PNG");
}

// Pages at 600 dots an inch, A4 and A3, and at 300, A4.
constexpr QSize a4Page(4960, 7016);
constexpr QSize a3Page(7016, 9921);
constexpr QSize a4PageAt300(2480, 3508);

// A page of text scanned in black and white, with the specks of a scanner.
QByteArray scannedText(int number, const QSize &side)
{
    QImage page(side, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(100);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString words = QStringLiteral("the plan holds cards and properties that each team keeps "
                                         "up to date week by week as work moves along ");
    for (int line = 0; line < 6; ++line)
        painter.drawText(QPoint(500, 600 + line * 120),
                         words.mid((line * 7 + number * 11) % 40).left(60));
    painter.end();
    QImage mono = page.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    quint32 seed = 12345u + quint32(number);
    for (int speck = 0; speck < 1000; ++speck) {
        seed = seed * 1103515245u + 12345u;
        mono.setPixel(int(seed % quint32(side.width())), int((seed >> 12) % quint32(side.height())),
                      1);
    }
    return HostilePlans::encodedPicture(mono, "PNG");
}

// A page of text scanned at 600 dots an inch.
QByteArray scan(int number)
{
    return scannedText(number, a4Page);
}

// The back of a page, or a page left blank, as a scanner writes it in black and white: white but
// for a few dozen specks of dust, each set of them the page's own.
QByteArray blankPage(int number, const QSize &side)
{
    QImage page(side, QImage::Format_Mono);
    // White first, as the system's conversion to black and white gives.
    page.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    page.fill(0);
    quint32 seed = 54321u + quint32(number);
    for (int speck = 0; speck < 24 + number % 37; ++speck) {
        seed = seed * 1103515245u + 12345u;
        page.setPixel(int(seed % quint32(side.width())), int((seed >> 12) % quint32(side.height())),
                      1);
    }
    return HostilePlans::encodedPicture(page, "PNG");
}

// A screenshot of an empty desktop at 8K: one colour and a taskbar along the bottom, in a
// palette, as a screenshot tool writes one of few colours.
QByteArray desktop(int number)
{
    QImage screen(7680, 4320, QImage::Format_Indexed8);
    screen.setColorTable({QColor::fromHsv(number * 53 % 360, 140, 150).rgb(), qRgb(30, 30, 35),
                          qRgb(240, 240, 240)});
    screen.fill(0);
    for (int y = 4320 - 96; y < 4320; ++y)
        std::memset(screen.scanLine(y), 1, 7680);
    // The clock, which makes each screenshot its own.
    screen.setPixel(7600 - number % 50, 4320 - 48, 2);
    return HostilePlans::encodedPicture(screen, "PNG");
}

// Pixel art: a sprite of 64 x 64 in a few flat colours on a sky and the ground, scaled up 16
// times without smoothing, as such pictures are shared.
QByteArray pixelArt(int number)
{
    QImage art(64, 64, QImage::Format_RGB32);
    art.fill(QColor::fromHsv(200 + number % 30, 90, 240));
    QPainter painter(&art);
    painter.fillRect(0, 48, 64, 16, QColor::fromHsv(100 + number % 20, 160, 150));
    painter.fillRect(20 + number % 8, 24, 16, 24, QColor::fromHsv(number * 41 % 360, 200, 220));
    painter.fillRect(24 + number % 8, 16, 8, 8, QColor(250, 210, 170));
    painter.fillRect(26 + number % 8, 18, 2, 2, Qt::black);
    painter.end();
    return HostilePlans::encodedPicture(
        art.scaled(1024, 1024, Qt::IgnoreAspectRatio, Qt::FastTransformation), "PNG");
}

// A photo of 12 megapixels saved progressive.
QByteArray progressivePhoto()
{
    return HostilePlans::progressiveEncoding(QImage::fromData(HostilePlans::jpegPhoto(4000, 3000)),
                                             90);
}

// A progressive JPEG of one grey, with its last scan repeated until it holds the given number of
// scans: each repeat a few dozen bytes that its decoder runs over every block of the picture.
QByteArray greyProgressiveJpeg(int side, int scans)
{
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(qRgb(128, 128, 128));
    const QByteArray bytes = HostilePlans::progressiveEncoding(image);
    // Coded data never holds 0xFF 0xDA, so the last of them opens the last scan, which runs up
    // to the end marker.
    const QByteArray startOfScan("\xff\xda");
    const int last = bytes.lastIndexOf(startOfScan);
    const QByteArray scan = bytes.mid(last, bytes.size() - 2 - last);
    return bytes.left(bytes.size() - 2) + scan.repeated(qMax(0, scans - bytes.count(startOfScan)))
        + "\xff\xd9";
}

// The JPEG with a comment holding the number, which makes each file of a set its own, after
// comments padding it to about the given bytes.
QByteArray numberedJpeg(const QByteArray &jpeg, int number, int bytes = 0)
{
    QByteArray padded = jpeg;
    // A comment takes at most 65533 bytes, and four more for its marker and length.
    while (padded.size() + 4 < bytes)
        padded = HostilePlans::jpegWithComment(padded, qMin(65533, bytes - padded.size() - 4));
    const QByteArray tag = QByteArray::number(number);
    QByteArray length(2, 0);
    qToBigEndian(quint16(tag.size() + 2), length.data());
    return padded.left(2) + "\xff\xfe" + length + tag + padded.mid(2);
}

// Numbered copies of the one JPEG, built when the first is asked for.
std::function<QByteArray(int)> numberedCopies(const std::function<QByteArray()> &build,
                                              int bytes = 0)
{
    const auto jpeg = std::make_shared<QByteArray>();
    return [jpeg, build, bytes](int number) {
        if (jpeg->isEmpty())
            *jpeg = build();
        return numberedJpeg(*jpeg, number, bytes);
    };
}

// A GIF of one pixel whose data go on for about a megabyte: the first pixel, then each code the
// next in the table, the pixels of the one before and one more, up to the longest the table
// holds, which then repeats, some 4,000 pixels in each code of 12 bits.
QByteArray longGif()
{
    QVector<int> codes = {4, 0};
    for (int code = 6; code < 4096; ++code)
        codes << code;
    const int tableFilled = codes.size();
    codes.resize(1024 * 1024 * 8 / 12);
    std::fill(codes.begin() + tableFilled, codes.end(), 4095);
    return HostileGifs::gif(
        QSize(1, 1), {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(200, 40, 40), qRgb(40, 40, 200)}, 0,
        QRect(0, 0, 1, 1), {}, HostileGifs::gifCodes(codes, 2));
}

// A GIF of one pixel after a comment of the given bytes, written a piece at a time, since it
// would take its size twice to be put together.
void saveGifBehindComment(const QString &path, qint64 bytes)
{
    const QByteArray gif = HostilePlans::gifWithScreen(1, 1);
    const int head = 13 + (3 << ((uchar(gif.at(10)) & 7) + 1));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(gif.left(head));
    file.write("\x21\xfe", 2);
    // A mebibyte of the comment's blocks of 255 bytes, each after its length.
    const QByteArray blocks = (char(255) + QByteArray(255, 'c')).repeated(4096);
    for (qint64 written = 0; written < bytes; written += blocks.size())
        file.write(blocks);
    file.write(QByteArray(1, '\0'));
    file.write(gif.mid(head));
}

// A flat swatch of colour, as a paint maker's page of colours shows.
QImage swatch(int number)
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(number * 7 % 360, 40 + number % 200, 230));
    return image;
}

// A marker icon with alpha, as an icon set holds one: a pin of one colour on nothing, each icon
// its own colour.
QByteArray markerIcon(int number)
{
    QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsvF(number / 365.0, 0.8, 0.85));
    painter.drawEllipse(QPoint(128, 96), 72, 72);
    painter.drawPolygon(QPolygon({QPoint(70, 140), QPoint(186, 140), QPoint(128, 248)}));
    painter.end();
    return HostilePlans::encodedPicture(image, "PNG");
}

// A square swatch of one colour, each its own, fitted to the library's whole 128 x 128.
QByteArray squareSwatch(int number)
{
    QImage image(512, 512, QImage::Format_RGB32);
    image.fill(QColor::fromHsvF(number / 365.0, 0.5, 0.9));
    return HostilePlans::encodedPicture(image, "PNG");
}

// The back of a page scanned in grey at 300 dots an inch: paper white, with the faint show of a
// line of the page's other side, where each page has it.
QByteArray backOfScan(int number)
{
    QImage page(a4PageAt300, QImage::Format_Grayscale8);
    page.fill(qRgb(250, 250, 250));
    QPainter painter(&page);
    painter.fillRect(100 + number % 20 * 110, 200 + number / 20 * 100, 220, 60,
                     QColor(228, 228, 228));
    painter.end();
    return HostilePlans::encodedPicture(page, "PNG");
}

// An 8K texture with alpha, as a game or a 3D program exports one: tiles of a few colours between
// mortar, and openings through it, some megabytes.
QByteArray texture()
{
    QImage image(8192, 8192, QImage::Format_ARGB32);
    for (int y = 0; y < 8192; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < 8192; ++x) {
            const bool mortar = x % 256 < 8 || y % 128 < 8;
            const int shade = (x / 256 * 37 + y / 128 * 53) % 64;
            const bool opening = (x / 1024 + y / 1024) % 5 == 0;
            line[x] = mortar ? qRgba(200, 200, 190, 255)
                             : qRgba(150 + shade, 70 + shade / 2, 50, opening ? 0 : 255);
        }
    }
    return HostilePlans::encodedPicture(image, "PNG");
}

// A full-frame camera's picture of 45 megapixels as a raw converter exports it, 16 bits a
// channel: a smooth sky over a darker ground.
QByteArray sixteenBitPhoto()
{
    QImage image(8256, 5504, QImage::Format_RGBX64);
    for (int y = 0; y < 5504; ++y) {
        auto *line = reinterpret_cast<QRgba64 *>(image.scanLine(y));
        for (int x = 0; x < 8256; ++x) {
            const int sky = y < 3000 ? 60000 - y * 8 : 20000 - (y - 3000) * 2;
            line[x] = QRgba64::fromRgba64(quint16(sky / 2 + x), quint16(sky - x / 2), quint16(sky),
                                          65535);
        }
    }
    return HostilePlans::encodedPicture(image, "PNG");
}

// A GIF of a logo of 200 x 200 at the centre of a screen of 2400 x 2400, as a banner is laid out.
QByteArray logoOnLargeScreen()
{
    return HostileGifs::gif(QSize(2400, 2400), {qRgb(230, 230, 230), qRgb(20, 90, 200)}, 0,
                            QRect(1100, 1100, 200, 200), {},
                            HostileGifs::gifData(QByteArray(200 * 200, 1), 2));
}

// A small PNG, then a hole the file states as its own: after its data and no end, which reads as
// endless chunks of no type, or inside its data chunk, which states the hole as part of it.
QByteArray pngBeforeHole(bool insideData, qint64 hole, int *holeAt)
{
    const QByteArray png = HostilePlans::blackPng(64, 64);
    QByteArray bytes = png.left(png.size() - 12);
    *holeAt = bytes.size();
    if (insideData) {
        const int dataAt = bytes.indexOf("IDAT") - 4;
        qToBigEndian(quint32(bytes.size() - 4 - dataAt - 8 + hole), bytes.data() + dataAt);
        *holeAt = bytes.size() - 4;
    }
    return bytes;
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

// Reads the plan, saves it beside, and reads what it saved: the pictures decoded each time, and
// those the saved file holds no bytes of.
int resavePlan(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    Document plan;
    QString error;
    bool later = false;
    const QString saved = path + QStringLiteral(".saved.tv");
    const auto decoded = [](const Document &read) {
        int pictures = 0;
        for (int i = 0; i < read.imageCount(); ++i)
            pictures += read.image(i).isNull() ? 0 : 1;
        return pictures;
    };
    QString outcome;
    if (!readPlanFile(plan, path, &error, &later)) {
        outcome = error.section(QLatin1Char('\n'), 0, 0);
    } else {
        const int first = decoded(plan);
        Document again;
        QElapsedTimer saving;
        saving.start();
        const bool written = writePlanFile(plan, saved, &error);
        const qint64 savedIn = saving.elapsed();
        if (!written || !readPlanFile(again, saved, &error, &later)) {
            outcome = error.section(QLatin1Char('\n'), 0, 0);
        } else {
            QFile file(saved);
            file.open(QIODevice::ReadOnly);
            const QString text = QString::fromLatin1(file.readAll());
            int empty = 0;
            QRegularExpressionMatchIterator images
                = QRegularExpression(QStringLiteral("<image [^>]*>")).globalMatch(text);
            while (images.hasNext()) {
                const QString image = images.next().captured();
                empty += image.contains(QLatin1String("value=\"\""))
                        || !image.contains(QLatin1String("value=\""))
                    ? 1
                    : 0;
            }
            outcome = QStringLiteral("%1 images: %2 decoded, saved in %3 ms and read again %4, %5 "
                                     "saved empty")
                          .arg(plan.imageCount())
                          .arg(first)
                          .arg(savedIn)
                          .arg(decoded(again))
                          .arg(empty);
        }
    }
    QFile::remove(saved);
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
    // The centre's colour shows where the middle of a picture landed.
    const QImage picture = image.toImage();
    const QString outcome = image.isNull()
        ? QStringLiteral("no picture")
        : QStringLiteral("picture %1 x %2, centre %3")
              .arg(picture.width())
              .arg(picture.height())
              .arg(QColor(picture.pixel(picture.width() / 2, picture.height() / 2))
                       .name(QColor::HexArgb));
    print(QStringLiteral("%1 %2 %3")
              .arg(timer.elapsed())
              .arg(peakMegabytes(), 0, 'f', 0)
              .arg(outcome));
    return 0;
}

int readDroppedPictures(const QString &path)
{
    QFile list(path);
    if (!list.open(QIODevice::ReadOnly))
        return 1;
    const QStringList paths
        = QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QElapsedTimer timer;
    timer.start();
    int pictures = 0;
    for (const Image &image : Image::fromNamedFiles(paths))
        pictures += image.isNull() ? 0 : 1;
    print(QStringLiteral("%1 %2 %3 of %4 pictures")
              .arg(timer.elapsed())
              .arg(peakMegabytes(), 0, 'f', 0)
              .arg(pictures)
              .arg(paths.size()));
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

// A row of a CSV file naming the picture, its path quoted, since the names of probes hold commas.
QByteArray csvRow(const QString &picture)
{
    return "x,\"" + QFile::encodeName(picture) + "\"\n";
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
    const double bound = 400 + 50.0 * size / (1024 * 1024);
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

int writeShape(const QString &name, qint64 kilobytes, const QString &path)
{
    for (const HostilePlans::Shape &shape : HostilePlans::shapes()) {
        if (QLatin1String(shape.name) == name) {
            const int n = countForSize(shape, kilobytes * 1024);
            save(path, shape.build(n));
            print(QStringLiteral("%1 n=%2").arg(name).arg(n));
            return 0;
        }
    }
    return 1;
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
    // Plans this program writes of a few hundred pictures, imported from a CSV file naming them
    // and saved: read, and read, saved and read again.
    const struct
    {
        const char *name;
        int files;
        std::function<QByteArray(int)> picture;
    } importedPlans[] = {
        {"plan of 365 colour swatches", 365, squareSwatch},
        {"plan of 365 marker icons with alpha", 365, markerIcon},
        {"plan of 600 blank backs of 300-dpi scans", 600, backOfScan},
    };
    for (const auto &imported : importedPlans) {
        if (!QLatin1String(imported.name).contains(only))
            continue;
        const QString base = probePath(folder, QStringLiteral("plan"), imported.name);
        QByteArray rows = "Name,Images\n";
        for (int i = 0; i < imported.files; ++i) {
            const QString file = base + QStringLiteral("-%1.png").arg(i);
            save(file, imported.picture(i));
            rows += csvRow(file);
        }
        save(base + ".csv", rows);
        Document plan;
        QString error;
        if (!importCsvFile(plan, base + ".csv", true, &error)
            || !writePlanFile(plan, base + ".tv", &error)) {
            print(QStringLiteral("%1: %2").arg(QLatin1String(imported.name), error));
            continue;
        }
        for (int i = 0; i < imported.files; ++i)
            QFile::remove(base + QStringLiteral("-%1.png").arg(i));
        measure(QStringLiteral("plan"), QLatin1String(imported.name), base + ".tv");
        measure(QStringLiteral("resave"), QLatin1String(imported.name) + QStringLiteral(", again"),
                base + ".tv");
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
        // Baseline, but the one scan holds one channel of several: the decoder keeps every
        // coefficient of every channel for the scans to come.
        {"jpeg 16384 x 16384 scanning one channel of four",
         HostilePlans::jpegScanningOneChannel(16384, 16384, 4)},
        {"jpeg 16384 x 16384 scanning one channel of three",
         HostilePlans::jpegScanningOneChannel(16384, 16384, 3)},
        {"jpeg 30000 x 4000 baseline", HostilePlans::baselineJpeg(30000, 4000)},
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
        {"jpeg 30000 x 4000 panorama", 30000, 4000},
        {"jpeg 16000 x 4000 panorama", 16000, 4000},
    };
    for (const auto &photo : photos) {
        if (!QLatin1String(photo.name).contains(only))
            continue;
        const QString path = probePath(folder, QStringLiteral("picture"), photo.name);
        save(path, HostilePlans::jpegPhoto(photo.width, photo.height));
        measure(QStringLiteral("picture"), QLatin1String(photo.name), path);
        QFile::remove(path);
    }
    // Pages as a scanner writes them, a slide and photos, and pictures a few bytes of which
    // cost their decoder much, built only when they are read.
    const struct
    {
        const char *name;
        std::function<QByteArray()> picture;
    } builtPictures[] = {
        {"png blank page 4960 x 7016 1-bit at 600 dpi", [] { return blankPage(0, a4Page); }},
        {"png text page 4960 x 7016 1-bit", [] { return scan(0); }},
        {"png 8K slide", [] { return slide(0); }},
        {"png A3 page 7016 x 9921 1-bit at 600 dpi", [] { return scannedText(0, a3Page); }},
        {"jpeg 4000 x 3000 baseline photo", [] { return HostilePlans::jpegPhoto(4000, 3000); }},
        {"jpeg 4000 x 3000 progressive photo", progressivePhoto},
        {"jpeg 2495 bytes arithmetic cmyk 5992 x 6000, 100 scans",
         [] { return HostilePlans::arithmeticJpeg(5992, 6000, 4, 100, true); }},
        {"jpeg arithmetic baseline panorama 65496 x 13112",
         [] { return HostilePlans::arithmeticJpeg(65496, 13112, 1, 1, false); }},
        {"gif 1 MB of long data, 1 x 1 picture", longGif},
        {"png 8K texture 8192 x 8192 with alpha", texture},
        {"png 45 MP photo 8256 x 5504 of 16 bits", sixteenBitPhoto},
        {"gif 2400 x 2400 screen, 200 x 200 logo at its centre", logoOnLargeScreen},
    };
    for (const auto &picture : builtPictures) {
        if (!QLatin1String(picture.name).contains(only))
            continue;
        const QString path = probePath(folder, QStringLiteral("picture"), picture.name);
        save(path, picture.picture());
        measure(QStringLiteral("picture"), QLatin1String(picture.name), path);
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
        // Files of a kilobyte or two that each declare a large picture their decoder fills in:
        // the screen of a GIF, a JPEG's blocks, a BMP's rows.
        {"csv of 300 jpegs of 1.8 KB declaring 16384 x 16384", 300,
         [](int) {
             return HostilePlans::jpegWithComment(HostilePlans::baselineJpeg(16384, 16384), 1200);
         },
         "jpg", 0},
        {"csv of 300 blank 1-bit pngs 4096 x 4096", 300,
         [](int) { return HostilePlans::blackPng(4096, 4096); }, "png", 0},
        {"csv of 300 gifs of 1.2 KB screen 4096 x 4096 frame 1 x 1", 300,
         [](int) {
             return HostilePlans::gifWithComment(HostilePlans::gifWithScreen(4096, 4096), 1150);
         },
         "gif", 0},
        {"csv of 300 rle bmps of 1.5 KB 4380 x 4380 ended at once", 300,
         [](int) { return HostilePlans::bmpInRunsEndedAtOnce(4380, 4380, 1400); }, "bmp", 0},
        // Dense ordinary pictures, which pay for themselves whatever comes before them.
        {"csv of 12 8K slides 7680 x 4320 png", 12, slide, "png", 0},
        {"csv of 8 scans at 600 dpi 4960 x 7016 1-bit png", 8, scan, "png", 0},
        {"csv of ten 8K slides then a 12 MP photo", 11,
         [](int i) { return i < 10 ? slide(i) : HostilePlans::jpegPhoto(4000, 3000); }, "img", 0},
        {"csv of 100 swatches 800 x 600 png", 100,
         [](int i) { return HostilePlans::encodedPicture(swatch(i), "PNG"); }, "png", 0},
        {"csv of 100 swatches 800 x 600 gif", 100,
         [](int i) { return HostileGifs::encodedGif(swatch(i)); }, "gif", 0},
        // What a photo's bytes pay beyond its own work buys nothing for the files after it.
        {"csv of a 12 MP photo then 300 jpegs of 1.8 KB declaring 16384 x 16384", 301,
         [](int i) {
             return i == 0
                 ? HostilePlans::jpegPhoto(4000, 3000)
                 : HostilePlans::jpegWithComment(HostilePlans::baselineJpeg(16384, 16384), 1200);
         },
         "jpg", 0},
        // A scanned document, its blank pages as the scanner keeps them, and sets of pictures
        // of few colours, which pack many pixels into each byte.
        {"csv of a 100-page document at 600 dpi, every 3rd page blank", 100,
         [](int i) { return i % 3 == 2 ? blankPage(i, a4Page) : scan(i); }, "png", 0},
        {"csv of 40 empty 8K desktops, 20 pixel-art pictures, 40 blank 300-dpi pages", 100,
         [](int i) {
             return i < 40 ? desktop(i) : i < 60 ? pixelArt(i) : blankPage(i, a4PageAt300);
         },
         "png", 0},
        // JPEGs whose scans go over millions of blocks in a few bytes each, every file its own.
        {"csv of 300 arithmetic jpegs 1016 x 1016 cmyk, 100 scans", 300,
         numberedCopies([] { return HostilePlans::arithmeticJpeg(1016, 1016, 4, 100, true); }),
         "jpg", 0},
        {"csv of 300 arithmetic jpegs padded to 71 KB", 300,
         numberedCopies([] { return HostilePlans::arithmeticJpeg(5992, 6000, 4, 100, true); },
                        71 * 1024),
         "jpg", 0},
        {"csv of 300 progressive jpegs 8192 x 8192 grey of 100 scans, 64 KB", 300,
         numberedCopies([] { return greyProgressiveJpeg(8192, 100); }, 64 * 1024), "jpg", 0},
        {"csv naming a 1 MB gif of long data", 1, [](int) { return longGif(); }, "gif", 0},
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
            rows += csvRow(file);
        save(base + ".csv", rows);
        measure(QStringLiteral("csv"), QLatin1String(csv.name), base + ".csv");
        for (const QString &file : qAsConst(named))
            QFile::remove(file);
        QFile::remove(files.first());
    }
    // Files dropped on a card together, or added to the library at once: the same share.
    const struct
    {
        const char *name;
        int files;
        std::function<QByteArray(int)> picture;
    } drops[] = {
        {"drop of 50 jpegs of 1.8 KB declaring 16384 x 16384", 50,
         [](int) {
             return HostilePlans::jpegWithComment(HostilePlans::baselineJpeg(16384, 16384), 1200);
         }},
        {"drop of 12 8K slides 7680 x 4320 png", 12, slide},
        {"drop of 33 blank 600-dpi pages", 33, [](int i) { return blankPage(i, a4Page); }},
        // Ten pages of text scanned on both sides, each followed by its near-blank back and a
        // near-blank sheet between documents.
        {"drop of 10 text pages and 20 near-blank backs", 30,
         [](int i) { return i % 3 == 0 ? scan(i / 3) : blankPage(i, a4Page); }},
        {"drop of the 2495-byte arithmetic jpeg", 1,
         [](int) { return HostilePlans::arithmeticJpeg(5992, 6000, 4, 100, true); }},
        {"drop of an A3 page at 600 dpi", 1, [](int) { return scannedText(0, a3Page); }},
        // Progressive photos whose scans each go over every block, the last of them naming a
        // channel the frame lacks, on which the decoder fails, and the same that do not fail.
        {"drop of 16 jpegs 4096 x 4096 of 99 scans, the last failing", 16, numberedCopies([] {
             return HostilePlans::jpegWithLastScanNaming(HostilePlans::progressiveJpeg(4096, 99),
                                                         9);
         })},
        {"drop of 16 jpegs 4096 x 4096 of 99 scans", 16,
         numberedCopies([] { return HostilePlans::progressiveJpeg(4096, 99); })},
    };
    for (const auto &drop : drops) {
        if (!QLatin1String(drop.name).contains(only))
            continue;
        const QString base = probePath(folder, QStringLiteral("drop"), drop.name);
        QByteArray names;
        for (int i = 0; i < drop.files; ++i) {
            const QString file = base + QStringLiteral("-%1").arg(i);
            save(file, drop.picture(i));
            names += QFile::encodeName(file) + '\n';
        }
        save(base + ".list", names);
        measure(QStringLiteral("drop"), QLatin1String(drop.name), base + ".list");
        for (int i = 0; i < drop.files; ++i)
            QFile::remove(base + QStringLiteral("-%1").arg(i));
    }
    // Small pictures in files that state hundreds of megabytes more, a hole the picture's walk or
    // decoder reads as zeros: after a PNG's data, with no end; inside its data chunk; after a
    // JPEG's first segment. Dropped together, and named by a CSV file.
    const struct
    {
        const char *name;
        const char *kind;
        int files;
        std::function<QByteArray(int *)> picture;
    } sparseSets[] = {
        {"drop of 30 pngs 64 x 64 before a 280 MiB hole, no end", "drop", 30,
         [](int *at) { return pngBeforeHole(false, 280 * mebibyte, at); }},
        {"drop of 30 pngs 64 x 64, a 280 MiB hole in their data", "drop", 30,
         [](int *at) { return pngBeforeHole(true, 280 * mebibyte, at); }},
        {"drop of 30 jpegs 64 x 64, a 280 MiB hole after APP0", "drop", 30,
         [](int *at) {
             const QByteArray jpeg = HostilePlans::jpegPhoto(64, 64);
             *at = 4 + qFromBigEndian<quint16>(jpeg.constData() + 4);
             return jpeg;
         }},
        {"csv of 300 pngs 64 x 64 before a 280 MiB hole, no end", "csv", 300,
         [](int *at) { return pngBeforeHole(false, 280 * mebibyte, at); }},
    };
    for (const auto &set : sparseSets) {
        if (!QLatin1String(set.name).contains(only))
            continue;
        const QString base = probePath(folder, QLatin1String(set.kind), set.name);
        QByteArray names;
        QByteArray rows = "Name,Images\n";
        for (int i = 0; i < set.files; ++i) {
            const QString file = base + QStringLiteral("-%1").arg(i);
            int at = 0;
            const QByteArray bytes = set.picture(&at);
            saveWithHole(file, bytes, at, 280 * mebibyte);
            names += QFile::encodeName(file) + '\n';
            rows += csvRow(file);
        }
        const bool drop = QLatin1String(set.kind) == QLatin1String("drop");
        save(base + (drop ? ".list" : ".csv"), drop ? names : rows);
        measure(QLatin1String(set.kind), QLatin1String(set.name), base + (drop ? ".list" : ".csv"));
        for (int i = 0; i < set.files; ++i)
            QFile::remove(base + QStringLiteral("-%1").arg(i));
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
            rows += csvRow(picture);
        }
        save(base + ".csv", rows);
        measure(QStringLiteral("csv"), QLatin1String(csv.name), base + ".csv");
        for (int i = 0; i < csv.files; ++i)
            QFile::remove(base + QStringLiteral("-%1.bmp").arg(i));
    }
    // A CSV file naming a GIF of one pixel behind a comment of 200 MB, which its decoder passes
    // over.
    const char *const longComment = "csv naming a 200 MB gif, a 1 x 1 picture after a long comment";
    if (QLatin1String(longComment).contains(only)) {
        const QString base = probePath(folder, QStringLiteral("csv"), longComment);
        saveGifBehindComment(base + ".gif", 200 * mebibyte);
        save(base + ".csv", "Name,Images\n" + csvRow(base + ".gif"));
        measure(QStringLiteral("csv"), QLatin1String(longComment), base + ".csv");
        QFile::remove(base + ".gif");
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
        const QByteArray bytes = shape.pictures
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
    // A PNG header stating the widest sides of 32 bits, at 16 bits a channel with alpha: its rows
    // are no count a reader may make.
    save(folder + QStringLiteral("/hostile_png_sides.tv"),
         HostilePlans::plan(
             "<images>"
             + HostilePlans::imageElement(HostilePlans::pngWithoutRows(-1, -1, 16, 6, false))
             + "</images>"));
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
    if (arguments.size() == 3 && mode == QLatin1String("resave"))
        return resavePlan(arguments.at(2));
    if (arguments.size() == 3 && mode == QLatin1String("picture"))
        return readPicture(arguments.at(2));
    if (arguments.size() == 3 && mode == QLatin1String("csv"))
        return importCsv(arguments.at(2));
    if (arguments.size() == 3 && mode == QLatin1String("drop"))
        return readDroppedPictures(arguments.at(2));
    if (arguments.size() == 3 && mode == QLatin1String("corpus"))
        return writeCorpus(arguments.at(2));
    if (arguments.size() == 5 && mode == QLatin1String("write"))
        return writeShape(arguments.at(2), arguments.at(3).toLongLong(), arguments.at(4));
    return runAll(home.path(), arguments.value(1));
}
