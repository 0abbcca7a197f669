#include "harness/TestMain.h"
#include "model/HyperLink.h"
#include "model/Image.h"
#include "model/Property.h"
#include "model/PropertyAppearance.h"
#include "model/Task.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QPixmap filledPixmap(int width, int height, const QColor &color)
{
    QPixmap pixmap(width, height);
    pixmap.fill(color);
    return pixmap;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void textColorsFollowPaletteInOrderOfFirstUse();
    void tenthTextWrapsToFirstPaletteColour();
    void textColorsAreCaseSensitive();
    void appearanceEquality_data();
    void appearanceEquality();
    void propertyEqualityIncludesAppearance();
    void taskEqualityComparesLinksInOrder();
    void hyperLinkNames_data();
    void hyperLinkNames();
    void imagesAreScaledToFit_data();
    void imagesAreScaledToFit();
    void longImageNamesAreCut();
    void imageFromFile_data();
    void imageFromFile();
    void imageReadBackFromPngIsFoundInLibrary();
    void oversizedImageFilesAreRefused_data();
    void oversizedImageFilesAreRefused();
    void stockImageKeepsResourcePath();
};

void TestRecords::textColorsFollowPaletteInOrderOfFirstUse()
{
    PropertyAppearance appearance;
    QVERIFY(appearance.textColors().isEmpty());
    QCOMPARE(appearance.colorForText(QStringLiteral("open")), QColor(251, 173, 99));
    QCOMPARE(appearance.colorForText(QStringLiteral("done")), QColor(248, 170, 196));
    QCOMPARE(appearance.colorForText(QString()), QColor(255, 227, 57));
    QCOMPARE(appearance.colorForText(QStringLiteral("open")), QColor(251, 173, 99));
    QCOMPARE(appearance.textColors().size(), 3);
    // A colour set by the user is kept and counts for the next free colour.
    appearance.setTextColor(QStringLiteral("late"), Qt::black);
    QCOMPARE(appearance.colorForText(QStringLiteral("late")), QColor(Qt::black));
    QCOMPARE(appearance.colorForText(QStringLiteral("new")), QColor(249, 102, 110));
}

void TestRecords::tenthTextWrapsToFirstPaletteColour()
{
    PropertyAppearance appearance;
    for (int i = 0; i < 9; ++i)
        QCOMPARE(appearance.colorForText(QString::number(i)),
                 PropertyAppearance::defaultTextColor(i));
    QCOMPARE(appearance.colorForText(QStringLiteral("tenth")), QColor(251, 173, 99));
    QCOMPARE(PropertyAppearance::defaultTextColor(17), QColor(254, 255, 153));
}

void TestRecords::textColorsAreCaseSensitive()
{
    PropertyAppearance appearance;
    const QColor lower = appearance.colorForText(QStringLiteral("high"));
    const QColor upper = appearance.colorForText(QStringLiteral("High"));
    QVERIFY(lower != upper);
    QCOMPARE(appearance.textColors().size(), 2);
}

void TestRecords::appearanceEquality_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("equal");
    QTest::newRow("same colours, other lookup order") << 0 << true;
    QTest::newRow("text order reversed") << 1 << false;
    QTest::newRow("date colour") << 2 << false;
    QTest::newRow("min colour") << 3 << false;
    QTest::newRow("bin size") << 4 << false;
    QTest::newRow("show empty") << 5 << false;
    QTest::newRow("date bin size") << 6 << false;
}

void TestRecords::appearanceEquality()
{
    QFETCH(int, change);
    QFETCH(bool, equal);
    PropertyAppearance a;
    PropertyAppearance b;
    a.setTextOrder({QStringLiteral("x"), QStringLiteral("y")});
    b.setTextOrder({QStringLiteral("x"), QStringLiteral("y")});
    a.setTextColor(QStringLiteral("x"), Qt::red);
    a.setTextColor(QStringLiteral("y"), Qt::blue);
    b.setTextColor(QStringLiteral("y"), Qt::blue);
    b.setTextColor(QStringLiteral("x"), Qt::red);
    switch (change) {
    case 1:
        b.setTextOrder({QStringLiteral("y"), QStringLiteral("x")});
        break;
    case 2:
        b.setDateColor(DateBucket::Today, Qt::black);
        break;
    case 3:
        b.setMinMaxColors(Qt::green, b.maxColor());
        break;
    case 4:
        b.setBinSize(5);
        break;
    case 5:
        b.setShowEmpty(false);
        break;
    case 6:
        b.setDateBinSize(2);
        break;
    }
    QCOMPARE(a == b, equal);
    QCOMPARE(a != b, !equal);
}

void TestRecords::propertyEqualityIncludesAppearance()
{
    Property a(QStringLiteral("Cost"), QStringLiteral("0"), PropertyType::Numeric);
    Property b = a;
    QVERIFY(a == b);
    b.mutableAppearance().setBinSize(100);
    QVERIFY(a != b);
    b = a;
    b.setName(QStringLiteral("cost"));
    QVERIFY(a != b);
}

void TestRecords::taskEqualityComparesLinksInOrder()
{
    const HyperLink first(QStringLiteral("a"), QUrl(QStringLiteral("https://a.example")));
    const HyperLink second(QStringLiteral("b"), QUrl(QStringLiteral("https://b.example")));
    Task a;
    Task b;
    a.setHyperLinks({first});
    a.addHyperLinks({second});
    b.setHyperLinks({second, first});
    QVERIFY(a != b);
    b.setHyperLinks({first, second});
    QVERIFY(a == b);
    b.setImageIndex(0);
    QVERIFY(a != b);
}

void TestRecords::hyperLinkNames_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("display");
    QTest::newRow("host and path") << "https://example.com/plans/"
                                   << "example.com/plans"
                                   << "https://example.com/plans/";
    QTest::newRow("host only") << "http://example.com/"
                               << "example.com"
                               << "http://example.com/";
    QTest::newRow("encoded line break") << "https://example.com/a%0Ab"
                                        << "example.com/a"
                                        << "https://example.com/a";
    QTest::newRow("file") << "file:///home/kim/plan.txt"
                          << "home/kim/plan.txt"
                          << "file:///home/kim/plan.txt";
}

void TestRecords::hyperLinkNames()
{
    QFETCH(QString, url);
    QFETCH(QString, name);
    QFETCH(QString, display);
    const HyperLink link {QUrl(url)};
    QCOMPARE(link.name(), name);
    QCOMPARE(link.displayUrl(), display);
    QVERIFY(link == HyperLink(name, QUrl(url)));
    QVERIFY(link != HyperLink(name + QLatin1Char('x'), QUrl(url)));
}

void TestRecords::imagesAreScaledToFit_data()
{
    QTest::addColumn<QSize>("original");
    QTest::addColumn<QSize>("stored");
    QTest::newRow("wide") << QSize(400, 200) << QSize(128, 64);
    QTest::newRow("small") << QSize(100, 120) << QSize(100, 120);
    QTest::newRow("tall") << QSize(130, 260) << QSize(64, 128);
    QTest::newRow("long and thin keeps a pixel") << QSize(2000, 1) << QSize(128, 1);
}

void TestRecords::imagesAreScaledToFit()
{
    QFETCH(QSize, original);
    QFETCH(QSize, stored);
    const Image image(filledPixmap(original.width(), original.height(), Qt::green),
                      QStringLiteral("green"), QString());
    QCOMPARE(image.pixmap().size(), stored);
    QVERIFY(!image.isNull());
}

void TestRecords::longImageNamesAreCut()
{
    Image image(filledPixmap(2, 2, Qt::red), QString(200, QLatin1Char('n')), QString());
    QCOMPARE(image.name().size(), 128);
    QCOMPARE(image.name(), QString(127, QLatin1Char('n')) + QChar(0x2026));
    image.setName(QString(300, QLatin1Char('m')));
    QCOMPARE(image.name().size(), 128);
    image.setName(QStringLiteral("short"));
    QCOMPARE(image.name(), QStringLiteral("short"));
}

void TestRecords::imageFromFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("name");
    QTest::newRow("dragged picture") << "_TavroloTempDragImage.png"
                                     << "PNG"
                                     << "image";
    QTest::newRow("dotted name") << "holiday.photo.jpg"
                                 << "JPG"
                                 << "holiday";
    QTest::newRow("plain") << "logo.png"
                           << "PNG"
                           << "logo";
}

void TestRecords::imageFromFile()
{
    QFETCH(QString, fileName);
    QFETCH(QString, format);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    QVERIFY(filledPixmap(300, 150, Qt::blue).save(path, format.toLatin1().constData()));
    const Image image(path);
    QVERIFY(!image.isNull());
    QCOMPARE(image.name(), name);
    QCOMPARE(image.pixmap().size(), QSize(128, 64));
    QVERIFY(image.path().isEmpty());
}

void TestRecords::imageReadBackFromPngIsFoundInLibrary()
{
    const QPixmap picture = filledPixmap(40, 30, QColor(10, 20, 30));
    QList<Image> library {
        Image(filledPixmap(40, 30, Qt::white), QStringLiteral("white"), QString()),
        Image(picture, QStringLiteral("dark"), QString())};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dark.png"));
    QVERIFY(picture.save(path, "PNG"));
    const Image loaded(path);
    QCOMPARE(Image::indexOf(loaded.pixmap(), library), 1);
    QVERIFY(loaded == library.at(1));
    QCOMPARE(Image::indexOf(filledPixmap(40, 30, Qt::red), library), -1);
    // Same pixels under another name is another library entry.
    QVERIFY(Image(picture, QStringLiteral("other"), QString()) != library.at(1));
}

void TestRecords::oversizedImageFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");
    const QByteArray thinRow = QByteArray("P6\n16384 1\n255\n") + QByteArray(16384 * 3, '\x7f');
    QTest::newRow("declares 20000 pixels wide")
        << (QByteArray("P6\n20000 20000\n255\n") + QByteArray(64, '\0')) << false;
    QTest::newRow("complete picture 16385 pixels high")
        << (QByteArray("P6\n1 16385\n255\n") + QByteArray(16385 * 3, '\x7f')) << false;
    QTest::newRow("16384 pixels wide is allowed") << thinRow << true;
    QTest::newRow("not an image") << QByteArray("hello, this is text") << false;
    QTest::newRow("empty file") << QByteArray() << false;
}

void TestRecords::oversizedImageFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.ppm"));
    QVERIFY(writeFile(path, bytes));
    const Image image(path);
    QCOMPARE(!image.isNull(), loads);
    if (loads)
        QCOMPARE(image.pixmap().size(), QSize(128, 1));
}

void TestRecords::stockImageKeepsResourcePath()
{
    const QString resource = QStringLiteral(":/pngs/chart_32.png");
    if (!QFile::exists(resource))
        QSKIP("the stock icon is not among the resources");
    const Image image(resource);
    QVERIFY(!image.isNull());
    QCOMPARE(image.path(), resource);
    QCOMPARE(image.name(), QStringLiteral("chart_32"));
    QVERIFY(Image(QStringLiteral("/no/such/file.png")).isNull());
}

TAVROLO_TEST_MAIN(TestRecords)
#include "tst_records.moc"
