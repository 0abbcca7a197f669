#include "harness/FileFaults.h"
#include "harness/PlainTestMain.h"
#include "model/Image.h"
#include "storage/HostilePlans.h"

#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class TestImage : public QObject
{
    Q_OBJECT
private slots:
    void pictureFilesAreFittedOrRefused_data();
    void pictureFilesAreFittedOrRefused();
    void onlyRegularFilesAreOpened_data();
    void onlyRegularFilesAreOpened();

private:
    QTemporaryDir m_dir;
};

void TestImage::pictureFilesAreFittedOrRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size"); // invalid: no image
    QTest::newRow("camera photo") << HostilePlans::jpegPhoto(4000, 3000) << QSize(128, 96);
    QTest::newRow("small picture kept as it is")
        << HostilePlans::blackPng(100, 120) << QSize(100, 120);
    QTest::newRow("side over the limit") << HostilePlans::blackPng(16385, 1) << QSize();
    // 81 megapixels in 9 KB: would take a third of a gigabyte to decode.
    QTest::newRow("area over the limit") << HostilePlans::blackPng(9000, 9000) << QSize();
    // Every scan is decoded over the whole picture.
    QTest::newRow("progressive") << HostilePlans::progressiveJpeg(256) << QSize(128, 128);
    QTest::newRow("more scans than any encoder writes")
        << HostilePlans::progressiveJpeg(256, 10000) << QSize();
    // A camera's segment that is too short to hold its length hides no scan from the count.
    QTest::newRow("more scans than any encoder writes, behind an APP1 of length 1")
        << HostilePlans::progressiveJpeg(64, 10000).insert(2, "\xff\xe1\x00\x01", 4) << QSize();
}

void TestImage::pictureFilesAreFittedOrRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    const Image image(writeBytes(m_dir.filePath(QStringLiteral("holiday.photo.jpg")), bytes));
    QCOMPARE(image.isNull(), !size.isValid());
    if (size.isValid()) {
        QCOMPARE(image.pixmap().size(), size);
        QCOMPARE(image.name(), QStringLiteral("holiday"));
    }
}

// The open of a pipe waits until something writes to it, for good when nothing does: a picture
// by that name, or by a link to it, is no picture, known before anything opens it.
void TestImage::onlyRegularFilesAreOpened_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("picture");
#ifdef Q_OS_UNIX
    const QString pipe = m_dir.filePath(QStringLiteral("pipe.png"));
    QVERIFY(QFileInfo::exists(pipe) || mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    const QString toPipe = m_dir.filePath(QStringLiteral("to a pipe.png"));
    QVERIFY(QFileInfo(toPipe).isSymLink() || QFile::link(pipe, toPipe));
    const QString picture
        = writeBytes(m_dir.filePath(QStringLiteral("black.png")), HostilePlans::blackPng(8, 8));
    const QString toPicture = m_dir.filePath(QStringLiteral("to a picture.png"));
    QVERIFY(QFileInfo(toPicture).isSymLink() || QFile::link(picture, toPicture));
    QTest::newRow("pipe") << pipe << false;
    QTest::newRow("link to a pipe") << toPipe << false;
    QTest::newRow("link to a picture") << toPicture << true;
#else
    QSKIP("This system has no named pipes.");
#endif
}

void TestImage::onlyRegularFilesAreOpened()
{
    QFETCH(QString, path);
    QFETCH(bool, picture);
    QCOMPARE(Image(path).isNull(), !picture);
}

TAVROLO_GUI_TEST_MAIN(TestImage)
#include "tst_image.moc"
