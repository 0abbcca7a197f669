#include "common/core/DecodingWork.h"
#include "common/core/GifPictureReader.h"
#include "common/core/RasterPictureReader.h"
#include "harness/PlainTestMain.h"
#include "storage/HostileGifs.h"

#include <cstring>

#include <QBuffer>
#include <QImageReader>

using namespace HostileGifs;

namespace {

constexpr qint64 blockBytes = 64 * 1024;

// Colours no two alike, none grey.
QVector<QRgb> palette(int count, int shift = 0)
{
    QVector<QRgb> colours;
    for (int i = 0; i < count; ++i)
        colours << qRgb((i * 37 + shift) & 0xff, 255 - i, (i * 91 + 17) & 0xff);
    return colours;
}

// Indices of width x height in runs and changes, as a drawing gives its encoder.
QByteArray drawing(int width, int height, int colours)
{
    QByteArray indices;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            indices += char((x / 3 + y * 5 + (x * y) % 7) % colours);
    }
    return indices;
}

QByteArray plainGif(const QSize &size, int colours, bool interlacedRows = false,
                    const QByteArray &extensions = QByteArray())
{
    const QByteArray indices = drawing(size.width(), size.height(), colours);
    return gif(size, palette(colours), 0, QRect(QPoint(), size), {},
               gifData(interlacedRows ? interlaced(indices, size.width()) : indices, 4),
               interlacedRows, extensions);
}

QImage decoded(QIODevice *device, QSize fitted = QSize(), DecodingWork *work = nullptr,
               qint64 *taken = nullptr)
{
    GifPictureReader reader(device, work);
    QImage image;
    if (reader.readHead())
        image = reader.read(fitted.isValid() ? fitted : reader.size());
    if (taken)
        *taken = reader.bytesTaken();
    return image;
}

QImage decoded(const QByteArray &bytes, QSize fitted = QSize())
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return decoded(&buffer, fitted);
}

// Each pixel premultiplied, as it shows: Qt's decoder leaves a transparent pixel's colour in a
// picture without alpha, which shows it opaque.
QList<QRgb> shown(const QImage &image)
{
    const bool premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;
    QList<QRgb> pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            pixels << (premultiplied ? image.pixel(x, y) : qPremultiply(image.pixel(x, y)));
    }
    return pixels;
}

// The screen in the background colour, the picture at its place in its colours by index.
QImage drawn(const QSize &screen, QRgb background, const QRect &place, const QByteArray &indices,
             const QVector<QRgb> &colours)
{
    QImage image(screen, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    for (int i = 0; i < indices.size(); ++i)
        image.setPixel(place.topLeft() + QPoint(i % place.width(), i / place.width()),
                       colours.at(uchar(indices.at(i))));
    return image;
}

// The mean of the pixels of each cell, as the picture fitted to size shows them.
QList<QRgb> cellMeans(const QImage &image, const QSize &size)
{
    const QList<QRgb> pixels = shown(image);
    QVector<quint64> sums(size.width() * size.height() * 5);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = pixels.at(y * image.width() + x);
            quint64 *cell = sums.data()
                + 5
                    * (y * size.height() / image.height() * size.width()
                       + x * size.width() / image.width());
            for (int channel = 0; channel < 4; ++channel)
                cell[channel] += (pixel >> (8 * channel)) & 0xff;
            ++cell[4];
        }
    }
    QList<QRgb> means;
    for (int at = 0; at < sums.size(); at += 5) {
        QRgb mean = 0;
        for (int channel = 0; channel < 4; ++channel)
            mean |= QRgb((sums[at + channel] + sums[at + 4] / 2) / sums[at + 4]) << (8 * channel);
        means << mean;
    }
    return means;
}

// A GIF with a comment of blocks of 255 bytes made up as they are read, so that it takes no
// memory, handed out at most chunk bytes a read, as a pipe hands them, or as a file. It counts
// the most asked of it at once and the bytes it handed out.
class CommentedGif : public QIODevice
{
public:
    CommentedGif(const QByteArray &gif, qint64 commentBlocks, bool sequential, qint64 chunk)
        : m_commentAt(13 + (uchar(gif.at(10)) & 0x80 ? 3 << ((uchar(gif.at(10)) & 7) + 1) : 0)),
          m_head(gif.left(m_commentAt) + "\x21\xfe"),
          m_tail('\0' + gif.mid(m_commentAt)),
          m_commentBytes(256 * commentBlocks),
          m_sequential(sequential),
          m_chunk(chunk)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return m_sequential; }
    qint64 size() const override { return m_sequential ? 0 : length(); }
    bool atEnd() const override { return m_at >= length(); }
    qint64 bytesAvailable() const override { return length() - m_at; }
    qint64 length() const { return m_head.size() + m_commentBytes + m_tail.size(); }
    qint64 mostAsked() const { return m_mostAsked; }
    qint64 handedOut() const { return m_at; }

protected:
    qint64 readData(char *data, qint64 most) override
    {
        m_mostAsked = qMax(m_mostAsked, most);
        const qint64 count = qBound<qint64>(0, length() - m_at, qMin(most, m_chunk));
        for (qint64 i = 0; i < count;) {
            const qint64 inComment = m_at + i - m_head.size();
            if (inComment < 0) {
                data[i] = m_head.at(int(m_at + i));
                ++i;
            } else if (inComment >= m_commentBytes) {
                data[i] = m_tail.at(int(inComment - m_commentBytes));
                ++i;
            } else {
                // The rest of a block: its size, then its bytes.
                const qint64 run = qMin(count - i, 256 - inComment % 256);
                memset(data + i, 'c', size_t(run));
                if (inComment % 256 == 0)
                    data[i] = char(255);
                i += run;
            }
        }
        m_at += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const int m_commentAt;
    const QByteArray m_head;
    const QByteArray m_tail;
    const qint64 m_commentBytes;
    const bool m_sequential;
    const qint64 m_chunk;
    qint64 m_at = 0;
    qint64 m_mostAsked = 0;
};

} // namespace

class TestGifPictureReader : public QObject
{
    Q_OBJECT

private slots:
    void ordinaryPicturesMatchQt_data();
    void ordinaryPicturesMatchQt();
    void uncoveredPixelsTakeTheBackground_data();
    void uncoveredPixelsTakeTheBackground();
    void cutDataGiveWhatTheyHold_data();
    void cutDataGiveWhatTheyHold();
    void noPictureComesOut_data();
    void noPictureComesOut();
    void workStopsCodesOfThousandsOfPixels_data();
    void workStopsCodesOfThousandsOfPixels();
    void bytesAreReadABlockAtATime_data();
    void bytesAreReadABlockAtATime();
    void fittedPicturesTakeTheirCellsMeans_data();
    void fittedPicturesTakeTheirCellsMeans();
};

void TestGifPictureReader::ordinaryPicturesMatchQt_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("screen colours") << plainGif(QSize(37, 23), 16);
    for (const int height : {1, 2, 5, 9, 29})
        QTest::addRow("interlaced, %d rows", height) << plainGif(QSize(37, height), 16, true);
    // Qt's decoder copies the rows of early passes down for a first look, unless a colour is
    // transparent: compared there.
    for (const int height : {3, 4})
        QTest::addRow("interlaced with a transparent index, %d rows", height)
            << plainGif(QSize(37, height), 16, true, transparentIndex(15));
    QTest::newRow("own colours") << gif(QSize(30, 20), palette(4), 1, QRect(0, 0, 30, 20),
                                        palette(32, 100), gifData(drawing(30, 20, 32), 5));
    QTest::newRow("transparent index") << plainGif(QSize(30, 20), 16, false, transparentIndex(3));
    QTest::newRow("indices past the colours") << gif(
        QSize(30, 20), palette(4), 0, QRect(0, 0, 30, 20), {}, gifData(drawing(30, 20, 8), 3));
    QTest::newRow("picture past the screen") << gif(
        QSize(30, 20), palette(16), 0, QRect(0, 0, 40, 30), {}, gifData(drawing(40, 30, 16), 4));
    // Rows of data past the picture's last are drawn below it on the screen.
    QTest::newRow("rows past the picture") << gif(QSize(20, 12), palette(16), 2, QRect(3, 2, 10, 5),
                                                  {}, gifData(drawing(10, 8, 16), 4));
    QTest::newRow("looping and comment extensions")
        << plainGif(QSize(20, 10), 16, false,
                    QByteArray::fromHex("21ff0b4e45545343415045322e30030100000021fe03616263"
                                        "00"));
    // Its transparency comes from the bytes read before it: the last colour's green, odd, for
    // the flag, and the screen's flags for the index.
    QVector<QRgb> oddGreen = palette(16);
    oddGreen.last() = qRgb(1, 3, 5);
    const QByteArray indices = drawing(20, 10, 16);
    QTest::newRow("control extension of an empty first block")
        << gif(QSize(20, 10), oddGreen, 0, QRect(0, 0, 20, 10), {}, gifData(indices, 4), false,
               QByteArray::fromHex("21f900040100000300"));
    QTest::newRow("control extension too short")
        << gif(QSize(20, 10), oddGreen, 0, QRect(0, 0, 20, 10), {}, gifData(indices, 4), false,
               QByteArray::fromHex("21f902010000"));

    // The table filled with pairs, then codes of pairs that make no entry, a clear code and a
    // row of codes of 9 bits.
    QVector<int> codes = {256};
    for (int i = 0; i < 3839; ++i)
        codes << i * 7 % 16;
    for (int i = 0; i < 128; ++i)
        codes << 258 + i * 29 % 3838;
    codes << 5 << 256;
    for (int i = 0; i < 64; ++i)
        codes << i % 16;
    QTest::newRow("table filled, then cleared")
        << gif(QSize(64, 65), palette(256), 0, QRect(0, 0, 64, 65), {}, gifCodes(codes << 257, 8));
    // A first code past the colours shows the colour of its lowest byte.
    QTest::newRow("first code past the colours") << gif(
        QSize(4, 1), palette(256), 0, QRect(0, 0, 4, 1), {}, gifCodes({256, 300, 1, 2, 3, 257}, 8));
}

void TestGifPictureReader::ordinaryPicturesMatchQt()
{
    QFETCH(QByteArray, bytes);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QImage qt = QImageReader(&buffer, "gif").read();
    const QImage image = decoded(bytes);
    QVERIFY(!qt.isNull());
    QCOMPARE(image.size(), qt.size());
    QCOMPARE(image.hasAlphaChannel(), qt.hasAlphaChannel());
    QCOMPARE(shown(image), shown(qt));
}

void TestGifPictureReader::uncoveredPixelsTakeTheBackground_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QImage>("expected");
    QTest::addColumn<bool>("alpha");

    const QVector<QRgb> greys
        = {qRgb(0, 0, 0), qRgb(60, 60, 60), qRgb(128, 128, 128), qRgb(255, 255, 255)};
    const QVector<QRgb> purples = {qRgb(128, 0, 128), qRgb(160, 32, 240)};
    const QRect small(100, 60, 20, 10);
    const QByteArray stripes = drawing(20, 10, 2);
    QTest::newRow("screen colours beside the picture's own")
        << gif(QSize(240, 160), greys, 2, small, purples, gifData(stripes, 2))
        << drawn(QSize(240, 160), greys.at(2), small, stripes, purples) << false;
    QTest::newRow("no screen colours")
        << gif(QSize(240, 160), {}, 2, small, purples, gifData(stripes, 2))
        << drawn(QSize(240, 160), 0, small, stripes, purples) << true;
    QTest::newRow("transparent index") << gif(QSize(240, 160), greys, 2, small, {},
                                              gifData(stripes, 2), false, transparentIndex(3))
                                       << drawn(QSize(240, 160), 0, small, stripes, greys) << true;
    QTest::newRow("background past the screen's colours")
        << gif(QSize(240, 160), greys, 9, small, {}, gifData(stripes, 2))
        << drawn(QSize(240, 160), 0, small, stripes, greys) << true;

    const QByteArray rows = drawing(20, 4, 2);
    QTest::newRow("data ending before the picture does")
        << gif(QSize(20, 10), greys, 2, QRect(0, 0, 20, 10), {}, gifData(rows, 2))
        << drawn(QSize(20, 10), greys.at(2), QRect(0, 0, 20, 10), rows, greys) << false;
    // Rows 0, 8, 4 and 12 where they stand, each once, none copied below it.
    QImage passes = drawn(QSize(16, 16), greys.at(2), QRect(), {}, greys);
    QByteArray passRows;
    const int passRowsAt[] = {0, 8, 4, 12};
    for (int row = 0; row < 4; ++row) {
        for (int x = 0; x < 16; ++x) {
            passRows += char(x == row ? 1 : 0);
            passes.setPixel(x, passRowsAt[row], greys.at(x == row ? 1 : 0));
        }
    }
    QTest::newRow("interlaced data ending after two passes")
        << gif(QSize(16, 16), greys, 2, QRect(0, 0, 16, 16), {}, gifData(passRows, 2), true)
        << passes << false;
    // The end code ends the picture's pixels: the codes after it, in its block and the blocks
    // after, are drawn nowhere.
    QVector<int> pastTheEnd = QVector<int>({4}) + QVector<int>(700, 1) + QVector<int>({5});
    QTest::newRow("codes after the end code")
        << gif(QSize(64, 16), greys, 2, QRect(0, 0, 64, 16), {},
               gifCodes(pastTheEnd + QVector<int>(300, 3), 2))
        << drawn(QSize(64, 16), greys.at(2), QRect(0, 0, 64, 16), QByteArray(700, 1), greys)
        << false;
    // 1; a code past the next one to be made (6), repeating it: 1 1; then 6, whose entry 7 is
    // made of 7, the code before it; 7 then leads to itself, which breaks the data.
    QTest::newRow("data going wrong")
        << gif(QSize(4, 3), greys, 2, QRect(0, 0, 4, 3), {}, gifCodes({4, 1, 7, 6, 7, 1, 1, 5}, 2))
        << drawn(QSize(4, 3), greys.at(2), QRect(0, 0, 4, 3), QByteArray(5, 1), greys) << false;
}

void TestGifPictureReader::uncoveredPixelsTakeTheBackground()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QImage, expected);
    QFETCH(bool, alpha);
    const QImage image = decoded(bytes);
    QCOMPARE(image.hasAlphaChannel(), alpha);
    QCOMPARE(shown(image), shown(expected));
}

void TestGifPictureReader::cutDataGiveWhatTheyHold_data()
{
    QTest::addColumn<int>("cut");
    QTest::newRow("in the first block") << 200;
    QTest::newRow("in a later block") << 900;
    QTest::newRow("between blocks") << 256 * 2;
}

void TestGifPictureReader::cutDataGiveWhatTheyHold()
{
    QFETCH(int, cut);
    // The background, the screen's first colour, is none of the picture's.
    const QByteArray indices = drawing(60, 40, 15);
    QVector<QRgb> colours = palette(16);
    const QByteArray whole
        = gif(QSize(60, 40), colours, 15, QRect(0, 0, 60, 40), {}, gifData(indices, 4));
    const int data = 13 + 48 + 10 + 1;
    QVERIFY(whole.size() > data + cut + 256);
    const QList<QRgb> full = shown(decoded(whole));
    const QList<QRgb> part = shown(decoded(whole.left(data + cut)));
    QCOMPARE(part.size(), full.size());
    int given = 0;
    while (given < part.size() && part.at(given) == full.at(given))
        ++given;
    QVERIFY(given > 0 && given < part.size());
    QCOMPARE(part.mid(given).count(colours.at(15)), part.size() - given);
}

void TestGifPictureReader::noPictureComesOut_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("head");
    const QByteArray ordinary = plainGif(QSize(8, 8), 16);
    const int picture = 13 + 48;
    QTest::newRow("no GIF") << QByteArray("GIF88a") + ordinary.mid(6) << false;
    QTest::newRow("trailer first") << ordinary.left(picture) + ';' << false;
    QTest::newRow("zero first") << ordinary.left(picture) + '\0' + ordinary.mid(picture) << false;
    QTest::newRow("codes past 12 bits")
        << QByteArray(ordinary).replace(picture + 10, 1, "\x0d") << false;
    QTest::newRow("empty picture")
        << gif(QSize(0, 0), palette(4), 0, QRect(0, 0, 0, 0), {}, gifData({}, 2)) << false;
    QTest::newRow("cut in the colours") << ordinary.left(30) << false;
    QTest::newRow("cut in an extension")
        << plainGif(QSize(8, 8), 16, false, QByteArray::fromHex("21fe0a6162")).left(picture + 5)
        << false;
    QTest::newRow("cut before the codes") << ordinary.left(picture + 11) << true;
    QTest::newRow("no codes of pixels")
        << gif(QSize(8, 8), palette(4), 0, QRect(0, 0, 8, 8), {}, gifCodes({4, 5}, 2)) << true;
}

void TestGifPictureReader::noPictureComesOut()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, head);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    GifPictureReader reader(&buffer, nullptr);
    QCOMPARE(reader.readHead(), head);
    QVERIFY(reader.read(QSize(8, 8)).isNull());
}

void TestGifPictureReader::workStopsCodesOfThousandsOfPixels_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("comesIn");
    // Codes each one pixel longer than the one before, up to 3,839 pixels, then that code
    // again for a megabyte, on a picture of one pixel.
    QVector<int> codes = {256, 0};
    for (int code = 258; code < 4096; ++code)
        codes << code;
    codes += QVector<int>(700000, 4095);
    QTest::newRow("codes of thousands of pixels")
        << gif(QSize(1, 1), palette(256), 0, QRect(0, 0, 1, 1), {}, gifCodes(codes << 257, 8))
        << false;
    QByteArray noise(1024 * 1024, 0);
    quint32 seed = 1;
    for (char &index : noise) {
        seed = seed * 1103515245 + 12345;
        index = char(seed >> 16 & 15);
    }
    QTest::newRow("ordinary megapixel")
        << gif(QSize(1024, 1024), palette(16), 0, QRect(0, 0, 1024, 1024), {}, gifData(noise, 4))
        << true;
}

void TestGifPictureReader::workStopsCodesOfThousandsOfPixels()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, comesIn);
    QVERIFY(bytes.size() > 500 * 1000);
    const qint64 perByte = 8;
    const qint64 beyond = 4 << 20;
    DecodingWork work(maximumPictureArea, perByte, beyond);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QImage image = decoded(&buffer, QSize(), &work);
    QCOMPARE(!image.isNull(), comesIn);
    if (comesIn)
        QCOMPARE(work.spent(), qint64(image.width()) * image.height());
    else
        QVERIFY2(work.spent() < perByte * work.read() + beyond + 4096,
                 qPrintable(QString::number(work.spent())));
}

void TestGifPictureReader::bytesAreReadABlockAtATime_data()
{
    QTest::addColumn<qint64>("commentBlocks");
    QTest::addColumn<bool>("sequential");
    QTest::addColumn<qint64>("chunk");
    QTest::addColumn<bool>("comesIn");
    QTest::newRow("no comment") << qint64(0) << false << blockBytes * 4 << true;
    QTest::newRow("comment of 8 MB") << qint64(32768) << false << blockBytes * 4 << true;
    QTest::newRow("pipe, comment of 8 MB") << qint64(32768) << true << qint64(4000) << true;
    QTest::newRow("comment past what a picture may take")
        << maximumPictureBytes / 256 << false << blockBytes * 4 << false;
}

void TestGifPictureReader::bytesAreReadABlockAtATime()
{
    QFETCH(qint64, commentBlocks);
    QFETCH(bool, sequential);
    QFETCH(qint64, chunk);
    QFETCH(bool, comesIn);
    // Blocks after the end code are taken, up to the empty one.
    const QByteArray plain = plainGif(QSize(40, 30), 16);
    CommentedGif device(plain.left(plain.size() - 2) + "\3abc" + plain.right(2), commentBlocks,
                        sequential, chunk);
    DecodingWork work(maximumPictureArea, 8, 0);
    qint64 taken = 0;
    const QImage image = decoded(&device, QSize(), &work, &taken);
    QCOMPARE(image.isNull(), !comesIn);
    QVERIFY(device.mostAsked() <= blockBytes);
    QVERIFY(device.handedOut() - taken < blockBytes);
    QCOMPARE(work.read(), taken);
    if (comesIn) {
        // All of it but the trailer.
        QCOMPARE(taken, device.length() - 1);
        QCOMPARE(shown(image), shown(decoded(plain)));
    } else {
        QVERIFY(taken <= maximumPictureBytes);
    }
}

void TestGifPictureReader::fittedPicturesTakeTheirCellsMeans_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("fitted");
    // Where empty, the means of the cells of the picture at full size.
    QTest::addColumn<QList<QRgb>>("expected");
    QByteArray halves;
    for (int i = 0; i < 8 * 4; ++i)
        halves += char(i % 8 < 4 ? 0 : 3);
    QTest::newRow("half black, half white")
        << gif(QSize(8, 4), {qRgb(0, 0, 0), qRgb(9, 9, 9), qRgb(99, 9, 9), qRgb(255, 255, 255)}, 1,
               QRect(0, 0, 8, 4), {}, gifData(halves, 2))
        << QSize(2, 1) << QList<QRgb>({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    QTest::newRow("picture on its screen")
        << gif(QSize(240, 160), palette(4), 2, QRect(100, 60, 20, 10), palette(2, 50),
               gifData(drawing(20, 10, 2), 2))
        << QSize(23, 17) << QList<QRgb>();
    // Its third row comes twice.
    QTest::newRow("interlaced, four rows") << gif(QSize(6, 4), palette(4), 2, QRect(0, 0, 6, 4), {},
                                                  gifData(interlaced(drawing(6, 4, 4), 6), 2), true)
                                           << QSize(2, 1) << QList<QRgb>();
    QTest::newRow("transparent index")
        << plainGif(QSize(37, 23), 16, false, transparentIndex(3)) << QSize(5, 3) << QList<QRgb>();
    // A logo at the centre of a screen twelve times its size: the screen is kept whole, as the
    // format and every other reader have it, and the logo stays at its centre.
    const QRgb background = palette(4).at(2);
    const QRgb logo = palette(2, 50).at(1);
    QList<QRgb> centred;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x)
            centred << ((x == 11 || x == 12) && (y == 11 || y == 12) ? logo : background);
    }
    QTest::newRow("logo at the centre of a large screen")
        << gif(QSize(2400, 2400), palette(4), 2, QRect(1100, 1100, 200, 200), palette(2, 50),
               gifData(QByteArray(200 * 200, 1), 2))
        << QSize(24, 24) << centred;
}

void TestGifPictureReader::fittedPicturesTakeTheirCellsMeans()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, fitted);
    QFETCH(QList<QRgb>, expected);
    const QImage image = decoded(bytes, fitted);
    QCOMPARE(image.size(), fitted);
    QCOMPARE(shown(image), expected.isEmpty() ? cellMeans(decoded(bytes), fitted) : expected);
}

TAVROLO_GUI_TEST_MAIN(TestGifPictureReader)
#include "tst_gifpicturereader.moc"
