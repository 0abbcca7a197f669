#include "common/core/RasterPictureReader.h"
#include "harness/PlainTestMain.h"
#include "storage/HostilePlans.h"

#include <QPainter>

namespace {

QImage picture()
{
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(1, 1, 3, 2, QColor(10, 200, 30));
    return image;
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
    const QSize fit(128, 128);
    QTest::newRow("photo decoded to fit")
        << HostilePlans::jpegPhoto(3000, 2000) << qint64(-1) << QSize(128, 85) << qint64(-1);
    QTest::newRow("budget pays the declared pixels")
        << HostilePlans::blackPng(300, 200, 8, 2) << qint64(60000) << QSize(128, 85) << qint64(0);
    QTest::newRow("over the budget")
        << HostilePlans::blackPng(300, 200, 8, 2) << qint64(59999) << QSize() << qint64(59999);
    QTest::newRow("sixteen bits a channel count twice")
        << HostilePlans::blackPng(600, 500, 16, 6) << qint64(2 * 300000 - 1) << QSize()
        << qint64(2 * 300000 - 1);
    QTest::newRow("sixteen bits a channel decoded to fit")
        << HostilePlans::blackPng(600, 500, 16, 6) << qint64(2 * 300000) << QSize(128, 106)
        << qint64(0);
}

void TestRasterPictureReader::picturesDecodeFittedAndWithinBudget()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, budget);
    QFETCH(QSize, size);
    QFETCH(qint64, left);
    const QImage image = imageFromHex(QString::fromLatin1(bytes.toHex()), QSize(128, 128),
                                      budget < 0 ? nullptr : &budget);
    QCOMPARE(image.size(), size.isValid() ? size : QSize(0, 0));
    QCOMPARE(budget, left);
}

TAVROLO_GUI_TEST_MAIN(TestRasterPictureReader)
#include "tst_rasterpicturereader.moc"
