#include "common/core/RasterPictureReader.h"
#include "harness/PlainTestMain.h"
#include "storage/HostileGifs.h"
#include "storage/HostilePlans.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(PictureOrientation)

namespace {

QImage picture()
{
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(1, 1, 3, 2, QColor(10, 200, 30));
    return image;
}

// A JPEG with so many zeros before its frame header, made up as they are read so that they take
// no memory, that states its length, or none as some files of the system do; it counts the bytes
// read of it.
class ZerosBeforeFrame : public QIODevice
{
public:
    ZerosBeforeFrame(const QByteArray &jpeg, qint64 zeros, bool statesSize)
        : m_jpeg(jpeg), m_at(jpeg.indexOf("\xff\xc2")), m_zeros(zeros), m_statesSize(statesSize)
    {
        // Unbuffered, each read starts at pos().
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_statesSize ? length() : 0; }
    bool atEnd() const override { return pos() >= length(); }
    qint64 bytesRead() const { return m_read; }

protected:
    qint64 readData(char *data, qint64 most) override
    {
        const qint64 from = pos();
        const qint64 count = qBound<qint64>(0, length() - from, most);
        for (qint64 i = 0; i < count;) {
            const qint64 at = from + i;
            qint64 step;
            if (at < m_at) {
                step = qMin(count - i, m_at - at);
                memcpy(data + i, m_jpeg.constData() + at, size_t(step));
            } else if (at < m_at + m_zeros) {
                step = qMin(count - i, m_at + m_zeros - at);
                memset(data + i, 0, size_t(step));
            } else {
                step = count - i;
                memcpy(data + i, m_jpeg.constData() + at - m_zeros, size_t(step));
            }
            i += step;
        }
        m_read += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 length() const { return m_jpeg.size() + m_zeros; }

    const QByteArray m_jpeg;
    const qint64 m_at;
    const qint64 m_zeros;
    const bool m_statesSize;
    qint64 m_read = 0;
};

// The BMP the system writes, its rows stored from the top down as some programs write them: in
// the opposite order, under a negative height.
QByteArray storedTopDown(const QByteArray &bmp)
{
    const auto *bytes = reinterpret_cast<const uchar *>(bmp.constData());
    const int offset = qFromLittleEndian<qint32>(bytes + 10);
    const int width = qFromLittleEndian<qint32>(bytes + 18);
    const int height = qFromLittleEndian<qint32>(bytes + 22);
    const int row = (width * qFromLittleEndian<quint16>(bytes + 28) + 31) / 32 * 4;
    QByteArray flipped = bmp.left(offset);
    const qint32 negative = qToLittleEndian(qint32(-height));
    flipped.replace(22, 4, reinterpret_cast<const char *>(&negative), 4);
    for (int y = height - 1; y >= 0; --y)
        flipped += bmp.mid(offset + y * row, row);
    return flipped;
}

// A BMP of 8 bits a pixel in runs, black and green, each row's left half a run of green and
// its right half passed over by the end of the row.
QByteArray halfRowsInRuns(int width, int height)
{
    QByteArray rows;
    for (int y = 0; y < height; ++y) {
        for (int left = width / 2; left > 0; left -= 255)
            rows += char(qMin(left, 255)) + QByteArray(1, 1);
        rows += QByteArray(2, 0);
    }
    rows += QByteArray("\0\1", 2);
    return HostilePlans::bmpInRuns(width, height, rows);
}

// Memory of the size of a picture, of each format a BMP decodes into, written in a colour no
// picture below holds and given back, where the next picture of that size is likely to be made.
void leaveMemoryPainted(const QSize &size)
{
    for (int round = 0; round < 2; ++round) {
        QImage wide(size, QImage::Format_RGB32);
        wide.fill(Qt::magenta);
        QImage indexed(size, QImage::Format_Indexed8);
        indexed.fill(1u);
    }
}

// Memory of the size of the colours of a GIF's picture of its own, written in a colour no
// picture below holds and given back, where the decoder's table of them is likely to be made.
void leaveColourTablesPainted()
{
    std::vector<std::unique_ptr<QRgb[]>> tables;
    for (int i = 0; i < 16; ++i) {
        tables.emplace_back(new QRgb[257]);
        std::fill_n(tables.back().get(), 257, qRgb(255, 0, 255));
    }
}

} // namespace

class TestRasterPictureReader : public QObject
{
    Q_OBJECT

private slots:
    void brokenOrOversizedHexGivesNoPicture_data();
    void brokenOrOversizedHexGivesNoPicture();
    void picturesDecodeFittedAndWithinBudget_data();
    void picturesDecodeFittedAndWithinBudget();
    void pngKindsComeInAsTheSystemReadsThem_data();
    void pngKindsComeInAsTheSystemReadsThem();
    void pngSamplesComeInAsStored_data();
    void pngSamplesComeInAsStored();
    void textsNeverReachTheDecoder_data();
    void textsNeverReachTheDecoder();
    void picturesPastTheByteBoundAreRefused_data();
    void picturesPastTheByteBoundAreRefused();
    void eachPictureIsPaidForByItsOwnBytes_data();
    void eachPictureIsPaidForByItsOwnBytes();
    void holesAreReadForTheirCost_data();
    void holesAreReadForTheirCost();
    void bmpPicturesComeInAsDrawn_data();
    void bmpPicturesComeInAsDrawn();
    void colourTablesCoverEveryIndex_data();
    void colourTablesCoverEveryIndex();
    void gifScreensTakeTheFilesColours_data();
    void gifScreensTakeTheFilesColours();
};

void TestRasterPictureReader::brokenOrOversizedHexGivesNoPicture_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<bool>("valid");
    QTest::newRow("round trip") << imageToHex(picture()) << true;
    QTest::newRow("truncated") << imageToHex(picture()).left(40) << false;
    QImage wide(20000, 1, QImage::Format_Mono);
    wide.fill(0);
    QTest::newRow("wider than allowed") << imageToHex(wide) << false;
    // 81 megapixels in 9 KB: each side is allowed, the area is not.
    QTest::newRow("more pixels than allowed")
        << QString::fromLatin1(HostilePlans::blackPng(9000, 9000).toHex()) << false;
    // Sides of 32 bits and a wide pixel do not fit any count of their rows.
    QTest::newRow("the widest sides a header may state")
        << QString::fromLatin1(HostilePlans::pngWithoutRows(-1, -1, 16, 6, false).toHex()) << false;
    // No data are walked before a header the decoder takes.
    const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    const QByteArray png = HostilePlans::blackPng(16, 16);
    const int headerEnd = 8 + 25;
    QTest::newRow("image data before the header") << QString::fromLatin1(
        (signature + HostilePlans::pngChunk("IDAT", qCompress(QByteArray(48, 0)).mid(4))
         + png.mid(8))
            .toHex()) << false;
    QTest::newRow("a header longer than 13 bytes") << QString::fromLatin1(
        (signature + HostilePlans::pngChunk("IHDR", png.mid(16, 13) + QByteArray(1, 0))
         + png.mid(headerEnd))
            .toHex()) << false;
}

void TestRasterPictureReader::brokenOrOversizedHexGivesNoPicture()
{
    QFETCH(QString, hex);
    QFETCH(bool, valid);
    const QImage image = imageFromHex(hex);
    QCOMPARE(!image.isNull(), valid);
    if (valid)
        QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), picture());
}

void TestRasterPictureReader::picturesDecodeFittedAndWithinBudget_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("budget"); // -1: none
    QTest::addColumn<QSize>("size"); // the picture decoded, invalid for none
    QTest::addColumn<qint64>("left");
    QTest::addColumn<QSize>("fit");
    QTest::addColumn<PictureOrientation>("orientation");
    const QSize fit(128, 128);
    const PictureOrientation stored = PictureOrientation::AsStored;
    QTest::newRow("photo decoded to fit") << HostilePlans::jpegPhoto(3000, 2000) << qint64(-1)
                                          << QSize(128, 85) << qint64(-1) << fit << stored;
    // A PNG's rows cost their bytes as the file stores them, 32 each of their own and a unit for
    // every four pixels summed one by one; a row of pixels all alike is summed at once:
    // 200 x (901 + 32 + 75), and 2000 x (9001 + 32) for a black one far larger than it is fitted
    // to. A picture a few times its fitted size is held whole, filled and scaled, a unit for every
    // four of its pixels: 60,000 / 4 more. One summed into cells pays two units for each of its
    // columns and rows and eight for each cell: (3000 + 2000) x 2 + 128 x 85 x 8. One stopped at
    // the end of the budget has spent all of it.
    const QByteArray varied = HostilePlans::pngOfKind(300, 200, 2, 8, false, false);
    QTest::newRow("budget pays for each row")
        << varied << qint64(216600) << QSize(128, 85) << qint64(0) << fit << stored;
    QTest::newRow("over the budget")
        << varied << qint64(216599) << QSize() << qint64(0) << fit << stored;
    QTest::newRow("rows all alike are summed at once")
        << HostilePlans::blackPng(3000, 2000, 8, 2) << qint64(2000 * 9033 + 97040) << QSize(128, 85)
        << qint64(0) << fit << stored;
    // 500 x (4801 + 32 + 150), and 300,000 / 4 held whole.
    const QByteArray wide = HostilePlans::pngOfKind(600, 500, 6, 16, false, false);
    QTest::newRow("sixteen bits a channel count their bytes")
        << wide << qint64(2566500 - 1) << QSize() << qint64(0) << fit << stored;
    QTest::newRow("sixteen bits a channel decoded to fit")
        << wide << qint64(2566500) << QSize(128, 106) << qint64(0) << fit << stored;
    // A row of one black or white byte after another is summed a row at a time, and one of
    // pixels of 1 bit a byte at a time: 7016 x (621 + 32) for a blank page at 600 dots an inch,
    // and (4960 + 7016) x 2 + 90 x 128 x 8 for its cells. Rows known from the header to take more
    // than is left are refused before the first is decoded, and take nothing.
    const qint64 blankPage = 7016 * 653 + 116112;
    QTest::newRow("a blank page counts its rows' bytes")
        << HostilePlans::blackPng(4960, 7016) << blankPage << QSize(90, 128) << qint64(0) << fit
        << stored;
    QTest::newRow("a blank page over the budget")
        << HostilePlans::blackPng(4960, 7016) << blankPage - 1 << QSize() << blankPage - 1 << fit
        << stored;
    // Summed as it is read, a picture of more pixels than one held whole may have comes in.
    QTest::newRow("an A3 page at 600 dots an inch")
        << HostilePlans::blackPng(7016, 9921) << qint64(-1) << QSize(90, 128) << qint64(-1) << fit
        << stored;
    QTest::newRow("a PNG wider than any picture may be")
        << HostilePlans::blackPng(65501, 1) << qint64(-1) << QSize() << qint64(-1) << fit << stored;
    // 8 MiB of coefficients for a megapixel: twice the pixels.
    QTest::newRow("progressive cmyk counts every coefficient")
        << HostilePlans::progressiveCmykJpeg(1024, 1024) << qint64(2 * 1048576 - 1) << QSize()
        << qint64(2 * 1048576 - 1) << fit << stored;
    QTest::newRow("progressive cmyk decoded to fit")
        << HostilePlans::progressiveCmykJpeg(1024, 1024) << qint64(2 * 1048576) << QSize(128, 128)
        << qint64(0) << fit << stored;
    // A first scan of some of the channels has the decoder keep every coefficient, as more scans
    // do: 8 MiB for a megapixel in four channels, and 2 GiB in a few hundred bytes.
    QTest::newRow("a first scan of one channel of four counts every coefficient")
        << HostilePlans::jpegScanningOneChannel(1024, 1024, 4) << qint64(2 * 1048576 - 1) << QSize()
        << qint64(2 * 1048576 - 1) << fit << stored;
    QTest::newRow("a first scan of one channel of four decoded to fit")
        << HostilePlans::jpegScanningOneChannel(1024, 1024, 4) << qint64(2 * 1048576)
        << QSize(128, 128) << qint64(0) << fit << stored;
    QTest::newRow("a first scan of one channel of three, over the byte bound")
        << HostilePlans::jpegScanningOneChannel(16384, 16384, 3) << qint64(-1) << QSize()
        << qint64(-1) << fit << stored;
    // Decoded reduced to an eighth, they hold a few megabytes: the phone photos of today.
    QTest::newRow("baseline photo of 108 megapixels decoded to fit")
        << HostilePlans::baselineJpeg(12000, 9000) << qint64(-1) << QSize(128, 96) << qint64(-1)
        << fit << stored;
    QTest::newRow("baseline photo of 200 megapixels decoded to fit")
        << HostilePlans::baselineJpeg(16320, 12240) << qint64(-1) << QSize(128, 96) << qint64(-1)
        << fit << stored;
    // Wider than any other picture may be: its decoder never holds a row of its full width.
    QTest::newRow("baseline panorama decoded to fit")
        << HostilePlans::baselineJpeg(40000, 4000) << qint64(-1) << QSize(128, 12) << qint64(-1)
        << fit << stored;
    // One that keeps its coefficients holds them at full size.
    QTest::newRow("progressive panorama wider than a picture may be")
        << HostilePlans::progressiveCmykJpeg(17000, 1000) << qint64(-1) << QSize() << qint64(-1)
        << fit << stored;
    // Seven units for each of its 256 x 256 units of six blocks (four of its brightness, one of
    // each colour), and the 512 x 512 pixels it is reduced to.
    QTest::newRow("baseline photo pays for its blocks and what they are reduced to")
        << HostilePlans::baselineJpeg(4096, 4096) << qint64(7 * 65536 * 6 + 262144)
        << QSize(128, 128) << qint64(0) << fit << stored;
    QTest::newRow("baseline photo over the budget")
        << HostilePlans::baselineJpeg(4096, 4096) << qint64(7 * 65536 * 6 + 262144 - 1) << QSize()
        << qint64(7 * 65536 * 6 + 262144 - 1) << fit << stored;
    // Every scan goes over every block of its channels, a progressive scan of arithmetic coding
    // at 128 units a block: 10 x 4 x 127 x 127 blocks, and the 254 x 254 pixels it is reduced to.
    const qint64 progressiveWork = qint64(128) * 10 * 4 * 16129 + 64516;
    const QByteArray arithmetic = HostilePlans::arithmeticJpeg(1016, 1016, 4, 10, true);
    QTest::newRow("arithmetic coded scans count every block of each")
        << arithmetic << progressiveWork << QSize(128, 128) << qint64(0) << fit << stored;
    QTest::newRow("arithmetic coded scans over the budget")
        << arithmetic << progressiveWork - 1 << QSize() << progressiveWork - 1 << fit << stored;
    // A sequential scan of arithmetic coding holding all four channels, 127 x 127 units of a block
    // each, at 720 units a block, and the 254 x 254 pixels it is reduced to.
    const qint64 sequentialWork = qint64(720) * 4 * 16129 + 64516;
    const QByteArray sequential = HostilePlans::arithmeticJpeg(1016, 1016, 4, 1, false);
    QTest::newRow("a sequential arithmetic coded scan counts every block")
        << sequential << sequentialWork << QSize(128, 128) << qint64(0) << fit << stored;
    QTest::newRow("a sequential arithmetic coded scan over the budget")
        << sequential << sequentialWork - 1 << QSize() << sequentialWork - 1 << fit << stored;
    // A GIF's screen a few times the fitted size is held whole, filled and scaled, a unit for
    // every four of its pixels, beside the one pixel its codes give.
    QTest::newRow("a gif's screen held whole counts its filling and scaling")
        << HostilePlans::gifWithScreen(1024, 1024) << qint64(262145) << QSize(128, 128) << qint64(0)
        << fit << stored;
    QTest::newRow("a gif's screen held whole over the budget")
        << HostilePlans::gifWithScreen(1024, 1024) << qint64(262144) << QSize() << qint64(0) << fit
        << stored;
    // Each pass's rows: 4750 + 4750 + 7900 + 15800 + 28300 + 56600 + 106600, and 160,000 / 4
    // held whole.
    const QByteArray interlacedGrey = HostilePlans::pngOfKind(400, 400, 0, 8, true, false);
    QTest::newRow("interlaced grey counts each pass's rows")
        << interlacedGrey << qint64(264700 - 1) << QSize() << qint64(0) << fit << stored;
    QTest::newRow("interlaced grey decoded to fit")
        << interlacedGrey << qint64(264700) << QSize(128, 128) << qint64(0) << fit << stored;
    // Data longer than three times the rows and 64 KiB beside come in as long as they inflate to
    // no more than the rows: an encoder's flush after every row, a stream opened with empty blocks.
    QTest::newRow("a png flushed after every row")
        << HostilePlans::pngOfStoredRows(QByteArray(1, char(90)), 60000, 0, 1) << qint64(-1)
        << QSize(1, 128) << qint64(-1) << fit << stored;
    QTest::newRow("a png whose stream opens with empty blocks")
        << HostilePlans::pngOfStoredRows(QByteArray(16, char(90)), 16, 14000, 0) << qint64(-1)
        << QSize(16, 16) << qint64(-1) << fit << stored;
    // The stream ends inside the first data chunk; the junk of the next passes the length kept
    // uninflated. The data are cut where the stream ends, and that chunk ended there.
    const QByteArray greyRows = ('\0' + QByteArray(16, char(90))).repeated(16);
    QTest::newRow("a png whose stream ends a data chunk before junk")
        << QByteArray("\x89PNG\r\n\x1a\n", 8) + HostilePlans::pngHeader(16, 16, 8, 0, false)
            + HostilePlans::pngChunk("IDAT", qCompress(greyRows).mid(4) + QByteArray(100, char(7)))
            + HostilePlans::pngChunk("IDAT", QByteArray(70000, char(7)))
            + HostilePlans::pngChunk("IEND", QByteArray())
        << qint64(-1) << QSize(16, 16) << qint64(-1) << fit << stored;
    // A screen wider than any picture may be, as the format allows, is taken to end where the
    // picture does.
    QTest::newRow("a gif on a screen wider than any picture may be")
        << HostileGifs::gif(QSize(65535, 100), {qRgb(0, 0, 0), qRgb(200, 0, 0)}, 0,
                            QRect(0, 0, 100, 100), {},
                            HostileGifs::gifData(QByteArray(10000, char(1)), 2))
        << qint64(-1) << QSize(100, 100) << qint64(-1) << fit << stored;
    QTest::newRow("photo turned by its camera, kept as a plan stores it")
        << HostilePlans::jpegTurned(HostilePlans::jpegPhoto(300, 200), 6) << qint64(-1)
        << QSize(128, 85) << qint64(-1) << fit << stored;
    // Stood up, the photo is 200 x 300: it fits a wide box by its height, whichever way a quarter
    // turn goes and whether it is mirrored.
    for (const int orientation : {5, 6, 7, 8}) {
        QTest::addRow("photo turned by its camera (%d), stood up in a wide box", orientation)
            << HostilePlans::jpegTurned(HostilePlans::jpegPhoto(300, 200), orientation)
            << qint64(-1) << QSize(33, 50) << qint64(-1) << QSize(100, 50)
            << PictureOrientation::Upright;
    }
}

// Every kind of PNG comes in as the system's decoder reads it: at its own size to within a
// rounding of 16 bits, and fitted to within what scaling the system's reading gives, whether it is
// summed row by row into the fitted picture or, a few times its size, scaled whole.
void TestRasterPictureReader::pngKindsComeInAsTheSystemReadsThem_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("fitted");
    const struct
    {
        const char *name;
        int colourType;
        int depth;
        bool interlaced;
        bool transparent;
    } kinds[] = {
        {"grey of 1 bit", 0, 1, false, false},
        {"grey of 2 bits", 0, 2, false, false},
        {"grey of 4 bits", 0, 4, false, false},
        {"grey of 8 bits", 0, 8, false, false},
        {"grey of 16 bits", 0, 16, false, false},
        {"grey of 8 bits, one level transparent", 0, 8, false, true},
        {"grey of 2 bits, one level transparent", 0, 2, false, true},
        {"palette of 1 bit", 3, 1, false, false},
        {"palette of 2 bits", 3, 2, false, false},
        {"palette of 4 bits", 3, 4, false, false},
        {"palette of 8 bits", 3, 8, false, false},
        {"palette of 1 bit with transparency", 3, 1, false, true},
        {"palette of 4 bits with transparency", 3, 4, false, true},
        {"palette of 8 bits with transparency", 3, 8, false, true},
        {"grey and alpha of 8 bits", 4, 8, false, false},
        {"grey and alpha of 16 bits", 4, 16, false, false},
        {"colour of 8 bits", 2, 8, false, false},
        {"colour of 16 bits", 2, 16, false, false},
        {"colour of 8 bits, one colour transparent", 2, 8, false, true},
        {"colour and alpha of 8 bits", 6, 8, false, false},
        {"colour and alpha of 16 bits", 6, 16, false, false},
        {"interlaced grey of 1 bit", 0, 1, true, false},
        {"interlaced palette of 4 bits with transparency", 3, 4, true, true},
        {"interlaced colour and alpha of 8 bits", 6, 8, true, false},
    };
    for (const auto &kind : kinds) {
        QTest::newRow(kind.name) << HostilePlans::pngOfKind(1500, 1000, kind.colourType, kind.depth,
                                                            kind.interlaced, kind.transparent)
                                 << QSize(128, 85);
    }
    for (const auto &kind : {kinds[0], kinds[13], kinds[23]}) {
        QTest::addRow("%s, a few times the fitted size", kind.name) << HostilePlans::pngOfKind(
            300, 200, kind.colourType, kind.depth, kind.interlaced, kind.transparent)
                                                                    << QSize(128, 85);
    }
}

void TestRasterPictureReader::pngKindsComeInAsTheSystemReadsThem()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, fitted);
    QImage reference;
    QVERIFY(reference.loadFromData(bytes, "PNG"));
    reference.convertTo(QImage::Format_ARGB32_Premultiplied);
    // The most a channel differs, and on average, from the system's reading, in every rowStep-th
    // row.
    const auto differences = [](const QImage &image, const QImage &expected, int rowStep) {
        int most = 0;
        qint64 total = 0;
        qint64 counted = 0;
        for (int y = 0; y < image.height(); y += rowStep) {
            const uchar *line = image.constScanLine(y);
            const uchar *other = expected.constScanLine(y);
            for (int i = 0; i < 4 * image.width(); ++i) {
                const int difference = line[i] > other[i] ? line[i] - other[i] : other[i] - line[i];
                most = difference > most ? difference : most;
                total += difference;
            }
            counted += 4 * image.width();
        }
        return qMakePair(most, double(total) / double(counted) / 255);
    };
    QBuffer whole(&bytes);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QImage image = readRasterPicture(&whole);
    QCOMPARE(image.size(), reference.size());
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    // Rows far enough apart to meet every pass of an interlaced picture.
    const int most = differences(image, reference, 7).first;
    QVERIFY2(most <= 1, QByteArray::number(most).constData());
    QBuffer again(&bytes);
    QVERIFY(again.open(QIODevice::ReadOnly));
    image = readRasterPicture(&again, QSize(128, 128));
    QCOMPARE(image.size(), fitted);
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    const QImage scaled
        = reference.scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double mean = differences(image, scaled, 1).second;
    QVERIFY2(mean <= 0.02, QByteArray::number(mean).constData());
}

// Samples of 16 bits, whose two bytes differ, rounded to 8 as the most significant byte first
// gives them (0x12ff is 18.99 of 255), and rows of 1 and 2 bits that repeat one byte without
// being of one colour: hairlines, and four levels of grey. Each at its own size and summed into
// cells, a picture 16 x 16 times as large as it is fitted to.
void TestRasterPictureReader::pngSamplesComeInAsStored_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("fit");
    // The first pixels of the first row.
    QTest::addColumn<QList<QRgb>>("expected");
    const auto grey = [](int level) { return qRgb(level, level, level); };
    const QByteArray samples = QByteArray::fromHex("12ffff0001fffe80");
    QTest::newRow("grey of 16 bits") << HostilePlans::pngOfRows(4, 1, 16, 0, samples) << QSize()
                                     << QList<QRgb>({grey(19), grey(254), grey(2), grey(254)});
    QTest::newRow("colour of 16 bits")
        << HostilePlans::pngOfRows(2, 1, 16, 2, samples + QByteArray::fromHex("12ffff00"))
        << QSize() << QList<QRgb>({qRgb(19, 254, 2), qRgb(254, 19, 254)});
    QTest::newRow("grey and alpha of 16 bits")
        << HostilePlans::pngOfRows(2, 1, 16, 4, samples) << QSize()
        << QList<QRgb>({qUnpremultiply(qPremultiply(qRgba(19, 19, 19, 254))),
                        qUnpremultiply(qPremultiply(qRgba(2, 2, 2, 254)))});
    // Each cell holds 128 samples of 0x12ff and 128 of 0xff00: (19 + 254) / 2, rounded.
    QTest::newRow("grey of 16 bits summed")
        << HostilePlans::pngOfRows(2048, 64, 16, 0, QByteArray::fromHex("12ffff00").repeated(1024))
        << QSize(128, 128) << QList<QRgb>({grey(137), grey(137)});
    QTest::newRow("hairlines of 1 bit")
        << HostilePlans::pngOfRows(8, 1, 1, 0, QByteArray(1, 0x55)) << QSize()
        << QList<QRgb>({grey(0), grey(255), grey(0), grey(255)});
    QTest::newRow("hairlines of 1 bit summed")
        << HostilePlans::pngOfRows(2048, 64, 1, 0, QByteArray(256, 0x55)) << QSize(128, 128)
        << QList<QRgb>({grey(128), grey(128)});
    QTest::newRow("four levels of 2 bits")
        << HostilePlans::pngOfRows(4, 1, 2, 0, QByteArray(1, 0x1b)) << QSize()
        << QList<QRgb>({grey(0), grey(85), grey(170), grey(255)});
    QTest::newRow("four levels of 2 bits summed")
        << HostilePlans::pngOfRows(2048, 64, 2, 0, QByteArray(512, 0x1b)) << QSize(128, 128)
        << QList<QRgb>({grey(128), grey(128)});
    QTest::newRow("one level of 2 bits summed")
        << HostilePlans::pngOfRows(2048, 64, 2, 0, QByteArray(512, 0x55)) << QSize(128, 128)
        << QList<QRgb>({grey(85), grey(85)});
}

void TestRasterPictureReader::pngSamplesComeInAsStored()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, fit);
    QFETCH(QList<QRgb>, expected);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const QImage image = readRasterPicture(&buffer, fit);
    QVERIFY(image.width() >= expected.size());
    QList<QRgb> pixels;
    for (int x = 0; x < expected.size(); ++x)
        pixels << image.pixel(x, 0);
    QCOMPARE(pixels, expected);
}

// The decoder would inflate every compressed text of a PNG, to megabytes each.
void TestRasterPictureReader::textsNeverReachTheDecoder_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("compressed texts before and after the data")
        << HostilePlans::pngWithCompressedTexts(4, 1 << 20);
    const QByteArray inflating = qCompress(QByteArray(1 << 20, 'A'), 9).mid(4);
    QTest::newRow("compressed international text") << HostilePlans::blackPng(
        1, 1, 8, 0, false,
        HostilePlans::pngChunk("iTXt", QByteArray("Comment\0\1\0\0\0", 12) + inflating));
    QTest::newRow("international text") << HostilePlans::blackPng(
        1, 1, 8, 0, false, HostilePlans::pngChunk("iTXt", QByteArray("Comment\0\0\0\0\0A", 13)));
    QTest::newRow("plain text") << HostilePlans::blackPng(
        1, 1, 8, 0, false, QByteArray(),
        HostilePlans::pngChunk("tEXt", QByteArray("Comment\0A", 9)));
}

void TestRasterPictureReader::textsNeverReachTheDecoder()
{
    QFETCH(QByteArray, bytes);
    const QImage image = imageFromHex(QString::fromLatin1(bytes.toHex()));
    QCOMPARE(image.size(), QSize(1, 1));
    QCOMPARE(image.textKeys(), QStringList());
}

void TestRasterPictureReader::picturesDecodeFittedAndWithinBudget()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, budget);
    QFETCH(QSize, size);
    QFETCH(qint64, left);
    QFETCH(QSize, fit);
    QFETCH(PictureOrientation, orientation);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    PictureBudget given;
    given.units = budget;
    const QImage image
        = readRasterPicture(&buffer, fit, budget < 0 ? nullptr : &given, orientation);
    QCOMPARE(image.size(), size.isValid() ? size : QSize(0, 0));
    QCOMPARE(budget < 0 ? qint64(-1) : given.units, left);
}

// A walk of a picture's bytes stops at the bytes a picture may take: past them it would count no
// scan and no frame header, and the decoder would decode ten thousand scans, or keep gigabytes of
// coefficients, that nothing counted.
void TestRasterPictureReader::picturesPastTheByteBoundAreRefused_data()
{
    QTest::addColumn<bool>("statesSize");
    QTest::addColumn<qint64>("mostRead");
    // Past the bound, the walk has read a byte more than a picture may take, after the eight its
    // format is known by.
    QTest::newRow("stating no length, read up to the bound") << false << maximumPictureBytes + 9;
    QTest::newRow("stating a length past the bound, never read") << true << qint64(0);
}

void TestRasterPictureReader::picturesPastTheByteBoundAreRefused()
{
    QFETCH(bool, statesSize);
    QFETCH(qint64, mostRead);
    ZerosBeforeFrame device(HostilePlans::progressiveJpeg(64, 10000), 300 << 20, statesSize);
    QVERIFY(readRasterPicture(&device, QSize(128, 128)).isNull());
    QVERIFY2(device.bytesRead() <= mostRead, QByteArray::number(device.bytesRead()).constData());
}

// A picture's own bytes pay for its work; what they do not pay for is taken from the budget, only
// when the picture comes in, and what they would pay beyond its work buys no other picture.
void TestRasterPictureReader::eachPictureIsPaidForByItsOwnBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("units");
    QTest::addColumn<qint64>("unitsPerByte");
    QTest::addColumn<bool>("comesIn");
    QTest::addColumn<qint64>("left");
    // Its rows, held whole, cost 216,600 units, in a few kilobytes.
    const QByteArray png = HostilePlans::pngOfKind(300, 200, 2, 8, false, false);
    const qint64 owed = 216600 - png.size();
    QTest::newRow("what its bytes do not pay for is taken")
        << png << owed << qint64(1) << true << qint64(0);
    QTest::newRow("more than is left") << png << owed - 1 << qint64(1) << false << qint64(0);
    // Stopped once it has taken all that is left, it takes that: the work was done.
    QTest::newRow("stopped as it decodes, what it spent is taken")
        << HostileGifs::longData(1000) << qint64(1000000) << workPerPictureByte << false
        << qint64(0);
    // Texts never reach the decoder, and pay for nothing.
    QByteArray withText = png;
    withText.insert(33, HostilePlans::pngChunk("tEXt", "Comment\0" + QByteArray(65536, 'c')));
    QTest::newRow("a png's texts pay for nothing")
        << withText << owed << qint64(1) << true << qint64(0);
    QByteArray withPrivate = png;
    withPrivate.insert(33, HostilePlans::pngChunk("prVt", QByteArray(65536, 'p')));
    QTest::newRow("a png's chunk of its own pays for nothing")
        << withPrivate << owed << qint64(1) << true << qint64(0);
    QTest::newRow("what its bytes would pay beyond it is not kept")
        << png << qint64(5) << workPerPictureByte << true << qint64(5);
    // A page scanned in black and white, some 700 pixels a byte, pays for itself, and so do a
    // blank page and an empty desktop, whose bytes inflate as far as deflate goes.
    QTest::newRow("a dense ordinary picture, with nothing left")
        << HostilePlans::speckledPng(4096, 4096, 10, 1) << qint64(0) << workPerPictureByte << true
        << qint64(0);
    QTest::newRow("a blank page, with nothing left")
        << HostilePlans::blackPng(4960, 7016) << qint64(0) << workPerPictureByte << true
        << qint64(0);
    QTest::newRow("an empty 8K desktop in a palette, with nothing left")
        << HostilePlans::blackPng(7680, 4320, 8, 3, false,
                                  HostilePlans::pngChunk("PLTE", QByteArray(768, char(60))))
        << qint64(0) << workPerPictureByte << true << qint64(0);
    // Files of a kilobyte or two that each declare a picture of millions of pixels, which their
    // decoders fill in, or whose codes each give thousands of pixels: a tenth of their work or
    // less is paid for.
    const struct
    {
        const char *name;
        QByteArray bytes;
    } small[] = {
        {"a jpeg's blocks, behind a comment",
         HostilePlans::jpegWithComment(HostilePlans::baselineJpeg(16384, 16384), 1200)},
        {"a gif's long data", HostileGifs::longData(1000)},
        {"a jpeg's hundred scans, each over every block", HostilePlans::progressiveJpeg(2048, 100)},
        {"a bmp's rows, ended at once", HostilePlans::bmpInRunsEndedAtOnce(4380, 4380, 1400)},
    };
    for (const auto &file : small)
        QTest::newRow(file.name) << file.bytes << qint64(0) << workPerPictureByte << false
                                 << qint64(0);
    // Pictures within the side and area bounds whose bytes pay for them come in, whatever their
    // rows cost: an 8K texture with alpha, and a full-frame camera's picture of 16 bits a channel
    // as a raw converter exports it.
    QTest::newRow("an 8K texture with alpha")
        << HostilePlans::blankLargePng(8192, 8192, 8, 6) << qint64(0) << workPerPictureByte << true
        << qint64(0);
    QTest::newRow("45 megapixels of 16 bits a channel")
        << HostilePlans::blankLargePng(8256, 5504, 16, 2) << qint64(0) << workPerPictureByte << true
        << qint64(0);
    // The largest rows a picture may have, 16 bits a channel with alpha, 64 Mi pixels in seven
    // passes of as many rows as a side may have, are decoded, and the first row fails on the data
    // they lack: its 129 pixels, 1,033 bytes and 32 of its own are spent, beside the summing into
    // its 2 x 128 cells, (1025 + 65472) x 2 + 256 x 8. Rows that take more than any picture may,
    // known from the header, are refused before their first row, whatever pays, and take nothing.
    const qint64 plenty = qint64(1) << 40;
    QTest::newRow("the largest rows a picture may have are decoded")
        << HostilePlans::pngWithoutRows(1025, 65472, 16, 6, true) << plenty << qint64(0) << false
        << plenty - 1065 - 135042;
    QTest::newRow("rows past what any picture may take are refused before they are decoded")
        << HostilePlans::pngWithoutRows(8192, 8800, 16, 6, false) << plenty << workPerPictureByte
        << false << plenty;
    QTest::newRow("rows past what any picture may take, with no bytes paying, take nothing")
        << HostilePlans::pngWithoutRows(8192, 8800, 16, 6, false) << plenty << qint64(0) << false
        << plenty;
    // A decoder that fails after it started takes what its work owed: a JPEG whose last scan names
    // a channel its frame lacks has gone through each of the 98 scans before it, as the system's
    // decoder does, and is charged as any such JPEG is.
    const QByteArray failing
        = HostilePlans::jpegWithLastScanNaming(HostilePlans::progressiveJpeg(1024, 99), 9);
    QTest::newRow("a jpeg whose last scan fails takes what it owed")
        << failing << qint64(11198464) << qint64(0) << false << qint64(0);
    QTest::newRow("a jpeg whose last scan fails, owing more than is left")
        << failing << qint64(11198464 - 1) << qint64(0) << false << qint64(11198464 - 1);
    // 65,500 rows of 36 units each and their cells, (1 + 65500) x 2 + 128 x 8, in 334 bytes: a
    // picture far higher than it is wide owes more than its bytes pay for, which what is left pays;
    // where it is not, it is refused before its rows are decoded.
    const QByteArray tall = HostilePlans::blackPng(1, 65500, 8, 2);
    const qint64 tallOwes = 65500 * 36 + 132026 - tall.size() * workPerPictureByte;
    QTest::newRow("a tall png paid for by what is left")
        << tall << tallOwes << workPerPictureByte << true << qint64(0);
    QTest::newRow("a tall png owing more than is left is refused before it is decoded")
        << tall << tallOwes - 1 << workPerPictureByte << false << tallOwes - 1;
}

void TestRasterPictureReader::eachPictureIsPaidForByItsOwnBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, units);
    QFETCH(qint64, unitsPerByte);
    QFETCH(bool, comesIn);
    QFETCH(qint64, left);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    PictureBudget budget {units, unitsPerByte};
    QCOMPARE(readRasterPicture(&buffer, QSize(128, 128), &budget).isNull(), !comesIn);
    QCOMPARE(budget.units, left);
}

// The bytes with a hole of the given size at the offset: the file states them all, and holds
// only the bytes around the hole.
void writeWithHole(const QString &path, const QByteArray &bytes, int at, qint64 hole)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes.left(at)), qint64(at));
    QVERIFY(file.seek(at + hole));
    QCOMPARE(file.write(bytes.mid(at)), qint64(bytes.size() - at));
    QVERIFY(file.resize(bytes.size() + hole));
}

// A file that counts the bytes read of it.
class CountedFile : public QFile
{
public:
    using QFile::QFile;
    qint64 bytesRead() const { return m_read; }

protected:
    qint64 readData(char *data, qint64 most) override
    {
        const qint64 got = QFile::readData(data, most);
        m_read += qMax<qint64>(0, got);
        return got;
    }

private:
    qint64 m_read = 0;
};

// The holes of a file (which tar -S and truncate make) read as zeros, which cost their reading
// and pay for nothing: a walk stops once they pass what the picture's bytes and the budget pay
// for, a PNG's walk at the first chunk that is no chunk and where the image data pass what its
// rows can need, and a chunk past what its decoder would take is never held. None reads the whole
// hole.
void TestRasterPictureReader::holesAreReadForTheirCost_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("at");
    QTest::addColumn<bool>("comesIn");
    const qint64 hole = 280 << 20;
    QTest::addColumn<qint64>("holeBytes");
    const QByteArray png = HostilePlans::blackPng(64, 64);
    const int end = png.size() - 12;
    QTest::newRow("a png followed by a hole and no end") << png.left(end) << end << true << hole;
    // Its data chunk states the hole as its own.
    QByteArray data = png.left(end);
    const int dataAt = data.indexOf("IDAT") - 4;
    qToBigEndian(quint32(end - 4 - dataAt - 8 + hole), data.data() + dataAt);
    QTest::newRow("a hole inside a png's data") << data << end - 4 << true << hole;
    // A palette far longer than a palette may be, which the decoder would pass over.
    QByteArray palette = HostilePlans::blackPng(64, 64, 1, 0, false,
                                                HostilePlans::pngChunk("PLTE", QByteArray(6, 1)));
    const int paletteAt = palette.indexOf("PLTE") - 4;
    qToBigEndian(quint32(6 + hole), palette.data() + paletteAt);
    QTest::newRow("a hole inside a png's palette") << palette << paletteAt + 14 << false << hole;
    QByteArray text
        = HostilePlans::blackPng(64, 64, 1, 0, false, HostilePlans::pngChunk("tEXt", "Comment\0a"));
    const int textAt = text.indexOf("tEXt") - 4;
    qToBigEndian(quint32(9 + hole), text.data() + textAt);
    QTest::newRow("a hole inside a png's text") << text << textAt + 16 << false << hole;
    const QByteArray jpeg = HostilePlans::jpegPhoto(64, 64);
    QTest::newRow("a hole after a jpeg's first segment")
        << jpeg << 4 + qFromBigEndian<quint16>(jpeg.constData() + 4) << false << hole;
}

void TestRasterPictureReader::holesAreReadForTheirCost()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, at);
    QFETCH(bool, comesIn);
    QFETCH(qint64, holeBytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sparse"));
    writeWithHole(path, bytes, at, holeBytes);
    CountedFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Its bytes pay for it, with a megabyte of holes beside; a refused picture takes what its
    // reading owed. A walk reads on a block at a time, and the file holds its bytes in pages, the
    // zeros beside them too.
    const qint64 left = 1 << 20;
    PictureBudget budget {left, workPerPictureByte};
    QCOMPARE(readRasterPicture(&file, QSize(128, 128), &budget).isNull(), !comesIn);
    const qint64 paidFor = (bytes.size() + 2 * 4096) * workPerPictureByte + left + 2 * 65536;
    QVERIFY2(file.bytesRead() <= paidFor, QByteArray::number(file.bytesRead()).constData());
    QCOMPARE(budget.units == 0, !comesIn);
}

// A BMP stands upright however its rows are stored, and what its file leaves out is blank: the
// rows a file cut short lacks, the pixels its runs pass over. Its decoder would leave them as it
// found the memory, so that a picture read after others showed pieces of them.
void TestRasterPictureReader::bmpPicturesComeInAsDrawn_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QRgb>("topLeft");
    QTest::addColumn<QRgb>("topRight");
    QTest::addColumn<QRgb>("bottomLeft");
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb green = qRgb(0, 255, 0);
    const QRgb blank = qRgb(0, 0, 0);
    QImage bands(640, 480, QImage::Format_RGB32);
    bands.fill(Qt::white);
    QPainter painter(&bands);
    painter.fillRect(0, 0, 640, 100, red);
    painter.fillRect(0, 380, 640, 100, blue);
    painter.end();
    const QByteArray bottomUp = HostilePlans::encodedPicture(bands, "BMP");
    QTest::newRow("stored bottom up") << bottomUp << red << red << blue;
    QTest::newRow("stored top down") << storedTopDown(bottomUp) << red << red << blue;
    QTest::newRow("stored with alpha") << HostilePlans::bmpWithAlpha(bands) << red << red << blue;
    QImage plain(640, 480, QImage::Format_RGB32);
    plain.fill(green);
    // Its header and the lower half of its rows, which come first.
    QTest::newRow("cut short")
        << HostilePlans::encodedPicture(plain, "BMP").left(54 + 240 * 640 * 3) << blank << blank
        << green;
    QTest::newRow("cut short, stored top down")
        << storedTopDown(HostilePlans::encodedPicture(plain, "BMP")).left(54 + 240 * 640 * 3)
        << green << green << blank;
    QTest::newRow("rows ended early in runs")
        << halfRowsInRuns(640, 480) << green << blank << green;
}

void TestRasterPictureReader::bmpPicturesComeInAsDrawn()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QRgb, topLeft);
    QFETCH(QRgb, topRight);
    QFETCH(QRgb, bottomLeft);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    leaveMemoryPainted(QSize(640, 480));
    const QImage image = readRasterPicture(&buffer);
    QCOMPARE(image.size(), QSize(640, 480));
    QCOMPARE(image.pixel(0, 0), topLeft);
    QCOMPARE(image.pixel(639, 0), topRight);
    QCOMPARE(image.pixel(0, 479), bottomLeft);
}

// A BMP's colour table may be shorter than its pixels' indices. Held as they come, the indices past
// it would be drawn from memory past the table, and saved as a PNG whose palette they pass, which
// reads back as another picture: they show opaque black, as an index past a PNG's palette does,
// but in a picture of one bit a pixel white, as the system widens its table.
void TestRasterPictureReader::colourTablesCoverEveryIndex_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QVector<QRgb>>("declared");
    QTest::addColumn<QRgb>("past");
    const QRgb black = qRgb(0, 0, 0);
    const QImage indices = HostilePlans::everyIndex();
    const QVector<QRgb> two = {qRgb(255, 0, 0), qRgb(0, 160, 0)};
    QTest::newRow("8 bits declaring 2 colours, indices up to 255")
        << HostilePlans::indexedBmp(indices, 8, two) << two << black;
    const QVector<QRgb> three = {qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 255)};
    QTest::newRow("4 bits declaring 3 colours, indices up to 15")
        << HostilePlans::indexedBmp(indices, 4, three) << three << black;
    // Indices from 0 to most, in diagonal stripes: of a table of most colours, only the last
    // index lies past it.
    const auto upTo = [&indices](int most) {
        QImage stripes = indices.copy();
        for (int y = 0; y < stripes.height(); ++y) {
            for (int x = 0; x < stripes.width(); ++x)
                stripes.scanLine(y)[x] = uchar((x + y) % (most + 1));
        }
        return stripes;
    };
    QTest::newRow("8 bits declaring 2 colours, indices up to 2")
        << HostilePlans::indexedBmp(upTo(2), 8, two) << two << black;
    const QVector<QRgb> one = {qRgb(255, 0, 0)};
    QTest::newRow("1 bit declaring 1 colour")
        << HostilePlans::indexedBmp(upTo(1), 1, one) << one << qRgb(255, 255, 255);
    QVector<QRgb> every;
    for (int i = 0; i < 256; ++i)
        every << qRgb(i, 255 - i, i / 2);
    QTest::newRow("8 bits declaring every colour")
        << HostilePlans::indexedBmp(indices, 8, every) << every << black;
}

void TestRasterPictureReader::colourTablesCoverEveryIndex()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QVector<QRgb>, declared);
    QFETCH(QRgb, past);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const QImage image = readRasterPicture(&buffer, QSize(128, 128));
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QImage seen(image.size(), QImage::Format_ARGB32_Premultiplied);
    int most = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int index = image.constScanLine(y)[x];
            most = qMax(most, index);
            seen.setPixel(x, y, declared.value(index, past));
        }
    }
    QVERIFY2(image.colorCount() > most, qPrintable(QString::number(image.colorCount())));
    QCOMPARE(image.convertToFormat(QImage::Format_ARGB32_Premultiplied), seen);
    // Drawn as the library holds it, in its own format.
    QImage canvas(image.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter(&canvas).drawPixmap(0, 0, QPixmap::fromImage(image, Qt::NoFormatConversion));
    QCOMPARE(canvas, seen);
    // Saved as plans save it, its palette holds every index, and it reads back the same.
    const QByteArray png = QByteArray::fromHex(imageToHex(image).toLatin1());
    const int palette = png.indexOf("PLTE");
    QVERIFY(palette > 0);
    QVERIFY(qFromBigEndian<quint32>(png.constData() + palette - 4) / 3 > quint32(most));
    QCOMPARE(imageFromBytes(png).convertToFormat(QImage::Format_ARGB32_Premultiplied), seen);
}

// A GIF whose first picture has colours of its own and leaves some of its screen uncovered: the
// decoder fills the screen before it has read those colours, and would show memory.
void TestRasterPictureReader::gifScreensTakeTheFilesColours_data()
{
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<QRgb>("screen");
    QTest::newRow("its background, in the screen's colours") << false << qRgb(0, 255, 0);
    QTest::newRow("its transparent colour") << true << qRgba(0, 0, 0, 0);
}

void TestRasterPictureReader::gifScreensTakeTheFilesColours()
{
    QFETCH(bool, transparent);
    QFETCH(QRgb, screen);
    QByteArray bytes = HostilePlans::gifWithColoursOfItsOwn(640, 480, transparent);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    leaveColourTablesPainted();
    const QImage image = readRasterPicture(&buffer);
    QCOMPARE(image.size(), QSize(640, 480));
    QCOMPARE(image.pixel(1, 1), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(0, 0), screen);
    QCOMPARE(image.pixel(639, 479), screen);
}

TAVROLO_GUI_TEST_MAIN(TestRasterPictureReader)
#include "tst_rasterpicturereader.moc"
