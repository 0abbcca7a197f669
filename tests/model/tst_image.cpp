#include "harness/FileFaults.h"
#include "harness/PlainTestMain.h"
#include "model/Image.h"
#include "storage/HostilePlans.h"

#include <memory>
#include <thread>

#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// Something that writes a picture into the pipe as soon as a reader opens it, so that a road
// that opens the pipe gets a picture instead of waiting for good. What it has not written when
// it goes is taken by a reader of its own.
class PipeFeeder
{
public:
    PipeFeeder(const QString &pipe, const QByteArray &bytes) : m_pipe(QFile::encodeName(pipe))
    {
        m_writer = std::thread([this, bytes] {
            const int fd = ::open(m_pipe.constData(), O_WRONLY);
            if (fd < 0)
                return;
            qint64 written = 0;
            while (written < bytes.size()) {
                const ssize_t step
                    = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
                if (step <= 0)
                    break;
                written += step;
            }
            ::close(fd);
        });
    }
    ~PipeFeeder()
    {
        const int fd = ::open(m_pipe.constData(), O_RDONLY | O_NONBLOCK);
        m_writer.join();
        if (fd >= 0)
            ::close(fd);
    }
    PipeFeeder(const PipeFeeder &) = delete;
    PipeFeeder &operator=(const PipeFeeder &) = delete;

private:
    QByteArray m_pipe;
    std::thread m_writer;
};
#endif

QByteArray bmpOf(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return HostilePlans::encodedPicture(image, "BMP");
}

} // namespace

class TestImage : public QObject
{
    Q_OBJECT
private slots:
    void pictureFilesAreFittedOrRefused_data();
    void pictureFilesAreFittedOrRefused();
    void onlyRegularFilesAreOpened_data();
    void onlyRegularFilesAreOpened();
    void pictureFilesChosenTogetherShareWhatTheirBytesDoNotPay();
    void largePicturesWithinTheBoundsComeInTogether();

private:
    QTemporaryDir m_dir;
};

void TestImage::pictureFilesAreFittedOrRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size"); // invalid: no image
    QTest::addColumn<QString>("suffix");
    // Bytes of zeros put before the frame header that take no room on the disk (a hole).
    QTest::addColumn<qint64>("hole");
    QTest::newRow("camera photo") << HostilePlans::jpegPhoto(4000, 3000) << QSize(128, 96) << "jpg"
                                  << qint64(0);
    QTest::newRow("phone photo held upright")
        << HostilePlans::jpegTurned(HostilePlans::jpegPhoto(4000, 3000), 6) << QSize(96, 128)
        << "jpg" << qint64(0);
    QTest::newRow("phone panorama")
        << HostilePlans::baselineJpeg(30000, 4000) << QSize(128, 17) << "jpg" << qint64(0);
    QTest::newRow("small picture kept as it is")
        << HostilePlans::blackPng(100, 120) << QSize(100, 120) << "jpg" << qint64(0);
    QTest::newRow("side over the limit")
        << HostilePlans::blackPng(65501, 1) << QSize() << "jpg" << qint64(0);
    // 81 megapixels in 9 KB, summed row by row into the fitted picture, never held whole.
    QTest::newRow("a page of more pixels than a picture held whole")
        << HostilePlans::blackPng(9000, 9000) << QSize(128, 128) << "jpg" << qint64(0);
    // Every scan is decoded over the whole picture.
    QTest::newRow("progressive") << HostilePlans::progressiveJpeg(256) << QSize(128, 128) << "jpg"
                                 << qint64(0);
    QTest::newRow("more scans than any encoder writes")
        << HostilePlans::progressiveJpeg(256, 10000) << QSize() << "jpg" << qint64(0);
    // A camera's segment that is too short to hold its length hides no scan from the count.
    QTest::newRow("more scans than any encoder writes, behind an APP1 of length 1")
        << HostilePlans::progressiveJpeg(64, 10000).insert(2, "\xff\xe1\x00\x01", 4) << QSize()
        << "jpg" << qint64(0);
    // A file of a few kilobytes stating 300 MiB: the scans after the hole are counted, or the
    // picture is no picture.
    QTest::newRow("more scans than any encoder writes, behind a hole of 300 MiB")
        << HostilePlans::progressiveJpeg(64, 10000) << QSize() << "jpg" << qint64(300 << 20);
    // Pictures of other formats carry pictures of their own, which no bound sees: only the
    // formats whose bytes the bounds know are read, whatever the file's name.
    using namespace HostilePlans;
    QTest::newRow("svgz inflating to a gibibyte, named as a png")
        << svgzInflatingTo(svgShowingData(blackPng(8, 8)), 1024) << QSize() << "png" << qint64(0);
    QTest::newRow("svg holding a jpeg of ten thousand scans, named as a png")
        << svgShowingJpeg(progressiveJpeg(64, 10000)) << QSize() << "png" << qint64(0);
    QTest::newRow("icon holding a png over the area limit, named as a png")
        << icoHolding(blackPng(9000, 9000)) << QSize() << "png" << qint64(0);
    QTest::newRow("bmp named as a png")
        << bmpOf(QSize(40, 30)) << QSize(40, 30) << "png" << qint64(0);
    QTest::newRow("gif named as a png")
        << gifWithScreen(20, 10) << QSize(20, 10) << "png" << qint64(0);
}

void TestImage::pictureFilesAreFittedOrRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QFETCH(QString, suffix);
    QFETCH(qint64, hole);
    const QString path
        = writeBytes(m_dir.filePath(QStringLiteral("holiday.photo.") + suffix), bytes);
    if (hole > 0) {
#ifdef Q_OS_UNIX
        const int at = bytes.indexOf("\xff\xc2");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.write(bytes.left(at)) == at && file.seek(at + hole)
                && file.write(bytes.mid(at)) == bytes.size() - at && file.flush());
        if (::lseek(file.handle(), 0, SEEK_HOLE) >= file.size())
            QSKIP("The temporary folder keeps no holes in its files.");
#else
        QSKIP("Holes are made and found here on Unix only.");
#endif
    }
    const Image image(path);
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
    QTest::addColumn<bool>("named"); // by another file (a CSV file's "Images" column)
    QTest::addColumn<bool>("fed"); // something writes a picture into the pipe
#ifdef Q_OS_UNIX
    const QString pipe = m_dir.filePath(QStringLiteral("pipe.png"));
    QVERIFY(QFileInfo::exists(pipe) || mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    const QString toPipe = m_dir.filePath(QStringLiteral("to a pipe.png"));
    QVERIFY(QFileInfo(toPipe).isSymLink() || QFile::link(pipe, toPipe));
    const QString picture
        = writeBytes(m_dir.filePath(QStringLiteral("black.png")), HostilePlans::blackPng(8, 8));
    const QString toPicture = m_dir.filePath(QStringLiteral("to a picture.png"));
    QVERIFY(QFileInfo(toPicture).isSymLink() || QFile::link(picture, toPicture));
    QTest::newRow("pipe") << pipe << false << false << false;
    QTest::newRow("link to a pipe") << toPipe << false << false << false;
    QTest::newRow("link to a picture") << toPicture << true << false << false;
    // Opened, these would give a picture at once: refused, they are never opened.
    QTest::newRow("pipe fed a picture") << pipe << false << false << true;
    QTest::newRow("pipe fed a picture, named by a file") << pipe << false << true << true;
    QTest::newRow("link to a pipe fed a picture, named by a file")
        << toPipe << false << true << true;
    QTest::newRow("link to a picture, named by a file") << toPicture << true << true << false;
#else
    QSKIP("This system has no named pipes.");
#endif
}

void TestImage::onlyRegularFilesAreOpened()
{
    QFETCH(QString, path);
    QFETCH(bool, picture);
    QFETCH(bool, named);
    QFETCH(bool, fed);
#ifdef Q_OS_UNIX
    std::unique_ptr<PipeFeeder> feeder;
    if (fed)
        feeder.reset(new PipeFeeder(path, HostilePlans::blackPng(8, 8)));
    PictureBudget budget = PictureBudget::forPictureFiles();
    const Image image = named ? Image::fromNamedFile(path, &budget) : Image(path);
    QCOMPARE(image.isNull(), !picture);
#else
    Q_UNUSED(path)
    Q_UNUSED(picture)
    Q_UNUSED(named)
    Q_UNUSED(fed)
#endif
}

// Files of a few hundred bytes that each declare the work of 270 megapixels, dropped or added
// together, come in five at a time; pages scanned in black and white after them, blank or of
// text, of A4 or A3, and an empty desktop in a palette, pay for themselves, and the next files
// chosen start afresh.
void TestImage::pictureFilesChosenTogetherShareWhatTheirBytesDoNotPay()
{
    QStringList paths;
    for (int i = 0; i < 20; ++i) {
        paths << writeBytes(m_dir.filePath(QStringLiteral("dense %1.jpg").arg(i)),
                            HostilePlans::baselineJpeg(16384, 16384));
    }
    paths << writeBytes(m_dir.filePath(QStringLiteral("page.png")),
                        HostilePlans::speckledPng(4096, 4096, 10, 1));
    paths << writeBytes(m_dir.filePath(QStringLiteral("blank page.png")),
                        HostilePlans::blackPng(4960, 7016));
    paths << writeBytes(m_dir.filePath(QStringLiteral("a3 page.png")),
                        HostilePlans::blackPng(7016, 9921));
    paths << writeBytes(m_dir.filePath(QStringLiteral("desktop.png")),
                        HostilePlans::blackPng(7680, 4320, 8, 3, false,
                                               HostilePlans::pngChunk("PLTE", QByteArray(768, 9))));
    QList<bool> read;
    for (const Image &image : Image::fromNamedFiles(paths))
        read << !image.isNull();
    QCOMPARE(read,
             QVector<bool>(5, true).toList() + QVector<bool>(15, false).toList()
                 + QVector<bool>(4, true).toList());
    QVERIFY(!Image::fromNamedFiles({paths.last(), paths.first()}).last().isNull());
}

// Each picture is bounded by the work one picture may take, not by what the others took: two 8K
// textures with alpha and a full-frame camera's picture of 16 bits a channel, chosen together,
// each pay for their rows with their bytes and come in.
void TestImage::largePicturesWithinTheBoundsComeInTogether()
{
    const QString texture = writeBytes(m_dir.filePath(QStringLiteral("texture.png")),
                                       HostilePlans::blankLargePng(8192, 8192, 8, 6));
    const QString photo = writeBytes(m_dir.filePath(QStringLiteral("photo.png")),
                                     HostilePlans::blankLargePng(8256, 5504, 16, 2));
    QList<QSize> sizes;
    for (const Image &image : Image::fromNamedFiles({texture, photo, texture}))
        sizes << image.pixmap().size();
    QCOMPARE(sizes, QList<QSize>({QSize(128, 128), QSize(128, 85), QSize(128, 128)}));
}

TAVROLO_GUI_TEST_MAIN(TestImage)
#include "tst_image.moc"
