// Times the image library's edits on libraries of thousands of pictures, as the Images dialog's
// OK hands them to the plan: renaming one picture, removing one, and handing back an equal
// library that is a list of its own. The pictures are 128 x 128, of four kinds in turn (RGB
// swatches, translucent swatches, grey gradients, 1-bit patterns), every tenth the pixels of an
// earlier one again under another name; 10,000 cards show them. Each library is timed as the
// program makes its pictures, held in the formats they were made in (gradients and patterns
// in eight and one bits), and as a plan file gives them back, whose first save is timed too.
// Then the first save after opening a plan of 2,750 photos, 128 px tiles added from their files
// as a drop adds them: plain, carrying a colour profile as most phones' do, or a comment.
//
//   bench_imagelibrary                       every row
//   bench_imagelibrary "editOneOfMany:ROW"   one row ("5000 read from a plan file", say)
//   bench_imagelibrary firstSaveOfDroppedPhotos
#include "BenchTools.h"
#include "harness/PlainTestMain.h"
#include "model/Document.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const int side = 128;
const int cards = 10000;

using BenchTools::print;

enum class Held { AsMade, InTheirFormats, ReadFromPlanFile };

// What a photo's file carries beside its pixels.
enum class Carrying { Nothing, ColourProfile, Comment };

} // namespace

Q_DECLARE_METATYPE(Held)
Q_DECLARE_METATYPE(Carrying)

namespace {

// Where a card of picture n goes when the library is edited: to the first picture that shows
// the same.
int firstShowing(int number)
{
    return number % 10 == 9 ? number - 5 : number;
}

// Picture n of the library, each of its kind different from the others, but that every tenth
// shows the pixels of the picture five before it.
QImage libraryPicture(int number)
{
    if (firstShowing(number) != number)
        return libraryPicture(firstShowing(number));
    const int ofKind = number / 4;
    switch (number % 4) {
    case 0: {
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(qRgb(ofKind % 256, ofKind / 256, 90));
        return image;
    }
    case 1: {
        // Steps of two stay apart when the alpha is multiplied in.
        QImage image(side, side, QImage::Format_ARGB32);
        image.fill(qRgba(200, ofKind % 100 * 2, ofKind / 100 * 2, 200));
        return image;
    }
    case 2: {
        QImage image(side, side, QImage::Format_Grayscale8);
        for (int y = 0; y < side; ++y) {
            uchar *line = image.scanLine(y);
            for (int x = 0; x < side; ++x)
                line[x] = uchar((x * (1 + ofKind / 256) + y + ofKind) % 256);
        }
        return image;
    }
    default: {
        QImage image(side, side, QImage::Format_Mono);
        QRandomGenerator random {quint32(number)};
        const quint64 pattern = random.generate64();
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x)
                image.setPixel(x, y, uint(pattern >> ((x / 16) * 8 + y / 16)) & 1);
        }
        return image;
    }
    }
}

// Photo n of a library of photos, each of its own pixels, as a JPEG file carrying what is asked.
QByteArray photoFile(int number, Carrying carrying)
{
    QImage image(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = qRgb((x + number) % 256, (2 * y + number / 256 * 23) % 256,
                           (x ^ y ^ number) & 255);
    }
    if (carrying == Carrying::ColourProfile)
        image.setColorSpace(QColorSpace::SRgb);
    else if (carrying == Carrying::Comment)
        image.setText(QStringLiteral("Description"), QStringLiteral("Photo %1").arg(number));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

QList<Image> makeLibrary(int count, Held held)
{
    QList<Image> images;
    images.reserve(count);
    for (int n = 0; n < count; ++n) {
        const QImage picture = libraryPicture(n);
        const QPixmap pixmap = held == Held::InTheirFormats
            ? QPixmap::fromImage(picture, Qt::NoFormatConversion)
            : QPixmap::fromImage(picture);
        images.append(Image(pixmap, QStringLiteral("picture %1").arg(n), QString()));
    }
    return images;
}

} // namespace

class BenchImageLibrary : public QObject
{
    Q_OBJECT
private slots:
    void editOneOfMany_data();
    void editOneOfMany();
    void firstSaveOfDroppedPhotos_data();
    void firstSaveOfDroppedPhotos();
};

void BenchImageLibrary::editOneOfMany_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<Held>("held");
    QTest::newRow("500 as made") << 500 << Held::AsMade;
    QTest::newRow("5000 as made") << 5000 << Held::AsMade;
    QTest::newRow("5000 in their formats") << 5000 << Held::InTheirFormats;
    QTest::newRow("5000 read from a plan file") << 5000 << Held::ReadFromPlanFile;
}

void BenchImageLibrary::editOneOfMany()
{
    QFETCH(int, count);
    QFETCH(Held, held);
    Document plan;
    for (const Image &image :
         makeLibrary(count, held == Held::InTheirFormats ? Held::InTheirFormats : Held::AsMade))
        plan.addImage(image, false);
    for (TaskIndex card = 0; card < cards; ++card)
        plan.addTaskWithValues({}, QString(), {}, card * 7 % count, false);
    const QString row = QString::fromLatin1(QTest::currentDataTag());
    const BenchTools::MsReport report {56, 1};
    if (held == Held::ReadFromPlanFile) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("library.tv"));
        QString error;
        bool later = false;
        QVERIFY2(writePlanFile(plan, path, &error), qPrintable(error));
        Document read;
        QVERIFY2(readPlanFile(read, path, &error, &later), qPrintable(error));
        plan = read;
        // The first save after the plan opens writes the bytes its pictures were read from, as
        // every later one does.
        const QString again = folder.filePath(QStringLiteral("library again.tv"));
        const auto save = [&] { writePlanFile(plan, again, &error); };
        report(row + QStringLiteral(": first save"), BenchTools::medianMs(save, 1));
        report(row + QStringLiteral(": a later save"), BenchTools::medianMs(save));
    }
    QCOMPARE(plan.imageCount(), count);
    int renames = 0;
    QList<Image> edited;
    const auto renameOne = [&] {
        edited = plan.images();
        edited[count / 2].setName(QStringLiteral("renamed %1").arg(++renames));
    };
    const auto edit = [&] { plan.editImages(edited, true); };

    // The first edit after the plan opens meets every picture for the first time.
    renameOne();
    report(row + QStringLiteral(": rename one, first edit"), BenchTools::medianMs(edit, 1));
    report(row + QStringLiteral(": rename one"), BenchTools::medianMs(edit, renameOne), 1000);
    for (TaskIndex card = 0; card < cards; ++card)
        QCOMPARE(plan.taskImage(card), firstShowing(card * 7 % count));

    const auto equalList = [&] {
        edited = plan.images();
        // A list of its own, as a plan file read again or a dialog's copy gives it.
        edited.append(Image());
        edited.removeLast();
    };
    report(row + QStringLiteral(": hand back an equal library"),
           BenchTools::medianMs(edit, equalList));

    int removed = -1;
    const auto removeOne = [&] {
        edited = plan.images();
        // A picture shown by no other entry.
        removed = edited.size() / 30 * 10;
        edited.removeAt(removed);
    };
    const QList<int> before = [&] {
        QList<int> images;
        for (TaskIndex card = 0; card < cards; ++card)
            images.append(plan.taskImage(card));
        return images;
    }();
    removeOne();
    edit();
    for (TaskIndex card = 0; card < cards; ++card) {
        const int was = before.at(card);
        QCOMPARE(plan.taskImage(card), was == removed ? -1 : was > removed ? was - 1 : was);
    }
    report(row + QStringLiteral(": remove one"), BenchTools::medianMs(edit, removeOne), 1000);
}

void BenchImageLibrary::firstSaveOfDroppedPhotos_data()
{
    QTest::addColumn<Carrying>("carrying");
    QTest::newRow("2750 photos") << Carrying::Nothing;
    QTest::newRow("2750 photos with a colour profile") << Carrying::ColourProfile;
    QTest::newRow("2750 photos with a comment") << Carrying::Comment;
}

// Once saved, every picture's bytes are kept as they were read, so the first save after opening
// takes no longer than a later one, whatever the photos carried.
void BenchImageLibrary::firstSaveOfDroppedPhotos()
{
    QFETCH(Carrying, carrying);
    const int count = 2750;
    QTemporaryDir folder;
    QStringList files;
    for (int n = 0; n < count; ++n) {
        QFile file(folder.filePath(QStringLiteral("photo %1.jpg").arg(n)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(photoFile(n, carrying));
        files.append(file.fileName());
    }
    Document plan;
    plan.addTask(false);
    plan.addImages(files, 0, false);
    QCOMPARE(plan.imageCount(), count);
    const QString path = folder.filePath(QStringLiteral("photos.tv"));
    QString error;
    bool later = false;
    QVERIFY2(writePlanFile(plan, path, &error), qPrintable(error));
    Document read;
    QVERIFY2(readPlanFile(read, path, &error, &later), qPrintable(error));
    QCOMPARE(read.imageCount(), count);
    const QString again = folder.filePath(QStringLiteral("photos again.tv"));
    const auto save = [&] { writePlanFile(read, again, &error); };
    const QString row = QString::fromLatin1(QTest::currentDataTag());
    const BenchTools::MsReport report {56, 1};
    report(row + QStringLiteral(": first save"), BenchTools::medianMs(save, 1));
    report(row + QStringLiteral(": a later save"), BenchTools::medianMs(save));
}

TAVROLO_GUI_TEST_MAIN(BenchImageLibrary)
#include "bench_imagelibrary.moc"
