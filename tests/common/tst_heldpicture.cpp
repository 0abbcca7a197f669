#include "common/core/HeldPicture.h"
#include "common/core/RasterPictureReader.h"
#include "harness/PlainTestMain.h"
#include "storage/HostilePlans.h"

#include <QBuffer>
#include <QPainter>
#include <QPixmap>
#include <QtTest>

namespace {

QImage swatch(QImage::Format format, QRgb colour)
{
    QImage image(128, 128, format);
    image.fill(colour);
    return image;
}

// A marker as icons draw it: one colour, its edges smoothed into every alpha.
QImage marker()
{
    QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv(200, 200, 220));
    painter.drawEllipse(QPoint(64, 48), 40, 40);
    painter.drawPolygon(QPolygon({QPoint(34, 70), QPoint(94, 70), QPoint(64, 124)}));
    return image;
}

QImage ramp()
{
    QImage image(128, 128, QImage::Format_RGB32);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x)
            image.setPixel(x, y, qRgb(2 * x, y, 255 - x));
    }
    return image;
}

// A picture of the given number of colours, each a grey or blue level of its own.
QImage ofColours(int count)
{
    QImage image(128, 128, QImage::Format_RGB32);
    for (int i = 0; i < 128 * 128; ++i) {
        const int colour = i % count;
        image.setPixel(i % 128, i / 128, qRgb(colour % 256, colour % 256, colour / 256 * 255));
    }
    return image;
}

// A pattern of one bit a pixel, as a scanner or a drawing program saves one.
QImage pattern()
{
    QImage image(128, 128, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x)
            image.setPixel(x, y, (x ^ y) & 1);
    }
    return image;
}

// The picture drawn as a pixmap at its own size on white.
QImage drawn(const QImage &picture)
{
    QImage canvas(picture.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawPixmap(0, 0, QPixmap::fromImage(picture, Qt::NoFormatConversion));
    return canvas;
}

QByteArray encoded(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestHeldPicture : public QObject
{
    Q_OBJECT

private slots:
    void picturesOfFewColoursAreHeldAByteAPixel_data();
    void picturesOfFewColoursAreHeldAByteAPixel();
    void picturesAreHeldWithinWhatIsLeft_data();
    void picturesAreHeldWithinWhatIsLeft();
};

void TestHeldPicture::picturesOfFewColoursAreHeldAByteAPixel_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<bool>("indexed");
    QTest::newRow("a swatch") << swatch(QImage::Format_RGB32, qRgb(120, 160, 200)) << true;
    QTest::newRow("a translucent swatch")
        << swatch(QImage::Format_ARGB32_Premultiplied, qPremultiply(qRgba(200, 40, 40, 90)))
        << true;
    QTest::newRow("a faint swatch")
        << swatch(QImage::Format_ARGB32_Premultiplied, qPremultiply(qRgba(200, 40, 40, 3))) << true;
    QTest::newRow("a marker with smoothed edges") << marker() << true;
    // Drawn as a pixmap of one bit a pixel, it would be a mask in the pen's colour.
    QTest::newRow("a pattern of one bit a pixel") << pattern() << true;
    QTest::newRow("more than 256 colours") << ramp() << false;
    QTest::newRow("exactly 256 colours") << ofColours(256) << true;
    QTest::newRow("257 colours") << ofColours(257) << false;
    // A picture with a colour that would not come back from a table stays as it is: here one
    // brighter than its alpha allows.
    QImage faint
        = swatch(QImage::Format_ARGB32_Premultiplied, qPremultiply(qRgba(200, 40, 40, 90)));
    faint.setPixel(5, 5, qRgba(9, 0, 0, 2));
    QTest::newRow("a colour that would not come back") << faint << false;
}

// Held a byte a pixel, a picture is the same picture: compared in colours without alpha applied,
// drawn, and saved.
void TestHeldPicture::picturesOfFewColoursAreHeldAByteAPixel()
{
    QFETCH(QImage, picture);
    QFETCH(bool, indexed);
    const QImage held = heldCompactly(picture);
    QCOMPARE(held.format() == QImage::Format_Indexed8, indexed);
    const QImage seen = picture.convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(held.convertToFormat(QImage::Format_ARGB32), seen);
    // A picture of one bit a pixel is drawn as what it shows, not as a mask.
    QCOMPARE(drawn(held), drawn(picture.depth() == 1 ? seen : picture));
    // Saved and read back as a plan keeps it, the same picture again.
    const QImage readBack = imageFromBytes(encoded(held));
    QCOMPARE(readBack.convertToFormat(QImage::Format_ARGB32), seen);
    if (indexed && picture.depth() == 32)
        QVERIFY(heldPictureBytes(held) < heldPictureBytes(picture) / 3);
}

void TestHeldPicture::picturesAreHeldWithinWhatIsLeft_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("heldBytes");
    QTest::addColumn<bool>("comesIn");
    QTest::addColumn<qint64>("heldLeft");
    QTest::addColumn<bool>("decoded");
    const QByteArray swatchBytes = encoded(swatch(QImage::Format_RGB32, qRgb(120, 160, 200)));
    // A byte a pixel, a colour and what holding a picture takes beside.
    const qint64 swatchHeld = 128 * 128 + 4 + 1024;
    QTest::newRow("a swatch in what is left")
        << swatchBytes << swatchHeld << true << qint64(0) << true;
    QTest::newRow("a swatch just past what is left")
        << swatchBytes << swatchHeld - 1 << false << swatchHeld - 1 << true;
    // Known before it is decoded: not even a byte a pixel is left.
    QTest::newRow("less than any picture of its size holds")
        << swatchBytes << qint64(128 * 128 + 1023) << false << qint64(128 * 128 + 1023) << false;
    QTest::newRow("nothing left") << swatchBytes << qint64(0) << false << qint64(0) << false;
    QTest::newRow("a ramp in 32 bits")
        << encoded(ramp()) << qint64(4 * 128 * 128 + 1024) << true << qint64(0) << true;
    QTest::newRow("no bound") << encoded(ramp()) << qint64(-1) << true << qint64(-1) << true;
    // A photo as plans hold it, in 32 bits, pays for what it holds with what its bytes, written
    // as hexadecimal digits, add to what its plan's pictures may hold.
    QByteArray jpeg = HostilePlans::jpegPhoto(128, 128);
    QBuffer jpegBuffer(&jpeg);
    QVERIFY(jpegBuffer.open(QIODevice::ReadOnly));
    const QByteArray photo = pictureToPng(readRasterPicture(&jpegBuffer));
    const QSize kept(128, 128);
    const qint64 added = PictureBudget::forPlanFile(2 * photo.size(), kept).heldBytes
        - PictureBudget::forPlanFile(0, kept).heldBytes;
    QTest::newRow("a photo in what its bytes add to its plan's allowance")
        << photo << added << true << added - (4 * 128 * 128 + 1024) << true;
}

void TestHeldPicture::picturesAreHeldWithinWhatIsLeft()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, heldBytes);
    QFETCH(bool, comesIn);
    QFETCH(qint64, heldLeft);
    QFETCH(bool, decoded);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const qint64 units = qint64(1) << 30;
    PictureBudget budget(units, 0, QSize(), heldBytes);
    QCOMPARE(readRasterPicture(&buffer, QSize(128, 128), &budget).isNull(), !comesIn);
    QCOMPARE(budget.heldBytes, heldLeft);
    // A picture refused before it is decoded takes no work.
    QCOMPARE(budget.units < units, decoded);
}

TAVROLO_GUI_TEST_MAIN(TestHeldPicture)
#include "tst_heldpicture.moc"
