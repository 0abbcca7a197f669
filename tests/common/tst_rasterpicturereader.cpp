#include "common/core/RasterPictureReader.h"
#include "harness/PlainTestMain.h"
#include "storage/HostilePlans.h"

#include <cstring>

#include <QBuffer>
#include <QPainter>

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

} // namespace

class TestRasterPictureReader : public QObject
{
    Q_OBJECT

private slots:
    void brokenOrOversizedHexGivesNoPicture_data();
    void brokenOrOversizedHexGivesNoPicture();
    void picturesDecodeFittedAndWithinBudget_data();
    void picturesDecodeFittedAndWithinBudget();
    void textsNeverReachTheDecoder_data();
    void textsNeverReachTheDecoder();
    void picturesPastTheByteBoundAreRefused_data();
    void picturesPastTheByteBoundAreRefused();
};

void TestRasterPictureReader::brokenOrOversizedHexGivesNoPicture_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<bool>("valid");
    QTest::newRow("round trip") << imageToHex(picture()) << true;
    QTest::newRow("truncated") << imageToHex(picture()).left(40) << false;
    QTest::newRow("wider than allowed")
        << imageToHex(QImage(20000, 1, QImage::Format_Mono)) << false;
    // 81 megapixels in 9 KB: each side is allowed, the area is not.
    QTest::newRow("more pixels than allowed")
        << QString::fromLatin1(HostilePlans::blackPng(9000, 9000).toHex()) << false;
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
    QTest::newRow("budget pays the declared pixels")
        << HostilePlans::blackPng(300, 200, 8, 2) << qint64(60000) << QSize(128, 85) << qint64(0)
        << fit << stored;
    QTest::newRow("over the budget") << HostilePlans::blackPng(300, 200, 8, 2) << qint64(59999)
                                     << QSize() << qint64(59999) << fit << stored;
    QTest::newRow("sixteen bits a channel count twice")
        << HostilePlans::blackPng(600, 500, 16, 6) << qint64(2 * 300000 - 1) << QSize()
        << qint64(2 * 300000 - 1) << fit << stored;
    QTest::newRow("sixteen bits a channel decoded to fit")
        << HostilePlans::blackPng(600, 500, 16, 6) << qint64(2 * 300000) << QSize(128, 106)
        << qint64(0) << fit << stored;
    // 8 MiB of coefficients for a megapixel: twice the pixels.
    QTest::newRow("progressive cmyk counts every coefficient")
        << HostilePlans::progressiveCmykJpeg(1024, 1024) << qint64(2 * 1048576 - 1) << QSize()
        << qint64(2 * 1048576 - 1) << fit << stored;
    QTest::newRow("progressive cmyk decoded to fit")
        << HostilePlans::progressiveCmykJpeg(1024, 1024) << qint64(2 * 1048576) << QSize(128, 128)
        << qint64(0) << fit << stored;
    // Decoded whole at a byte a pixel, then copied to four bytes a pixel to be scaled.
    const QByteArray interlacedGrey = HostilePlans::blackPng(400, 400, 8, 0, true);
    QTest::newRow("interlaced grey counts the copy it is scaled from")
        << interlacedGrey << qint64(200000 - 1) << QSize() << qint64(200000 - 1) << fit << stored;
    QTest::newRow("interlaced grey decoded to fit")
        << interlacedGrey << qint64(200000) << QSize(128, 128) << qint64(0) << fit << stored;
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
    const QImage image
        = readRasterPicture(&buffer, fit, budget < 0 ? nullptr : &budget, 0, orientation);
    QCOMPARE(image.size(), size.isValid() ? size : QSize(0, 0));
    QCOMPARE(budget, left);
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

TAVROLO_GUI_TEST_MAIN(TestRasterPictureReader)
#include "tst_rasterpicturereader.moc"
