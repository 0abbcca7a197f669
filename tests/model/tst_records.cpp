#include "harness/TestMain.h"
#include "model/ChartsAppearance.h"
#include "model/ChartsSettings.h"
#include "model/HyperLink.h"
#include "model/Image.h"
#include "model/PropertyAppearance.h"
#include "model/Slice.h"
#include "model/TableAppearance.h"

#include <functional>

#include <QFile>
#include <QTemporaryDir>

namespace {

QPixmap filledPixmap(int width, int height, const QColor &color)
{
    QPixmap pixmap(width, height);
    pixmap.fill(color);
    return pixmap;
}

CardsAppearance darkAppearance()
{
    CardsAppearance appearance;
    appearance.setDarkDefaults();
    return appearance;
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void textColoursFollowPaletteInOrderOfFirstUse();
    void appearanceEquality_data();
    void appearanceEquality();
    void fontsCompareByFamilyOnly();
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
    void sliceEquality_data();
    void sliceEquality();
    void sliceCopiesTakeAppearanceOnlyWhenStored();
    void visibilityOutsideListIsText();
    void chartsPropertyRemoved_data();
    void chartsPropertyRemoved();
    void chartsRemapKeepsCardCount();
    void tableColouringFollowsRemovalAndReorder_data();
    void tableColouringFollowsRemovalAndReorder();
};

void TestRecords::textColoursFollowPaletteInOrderOfFirstUse()
{
    PropertyAppearance appearance;
    QCOMPARE(appearance.colorForText(QStringLiteral("open")), QColor(251, 173, 99));
    QCOMPARE(appearance.colorForText(QStringLiteral("done")), QColor(248, 170, 196));
    QCOMPARE(appearance.colorForText(QStringLiteral("Done")), QColor(255, 227, 57));
    QCOMPARE(appearance.colorForText(QStringLiteral("open")), QColor(251, 173, 99));
    // A colour set by the user is kept and counts for the next free colour.
    appearance.setTextColor(QStringLiteral("late"), Qt::black);
    QCOMPARE(appearance.colorForText(QStringLiteral("late")), QColor(Qt::black));
    QCOMPARE(appearance.colorForText(QStringLiteral("new")), QColor(249, 102, 110));
    for (int i = 5; i < 9; ++i)
        QCOMPARE(appearance.colorForText(QString::number(i)),
                 PropertyAppearance::defaultTextColor(i));
    // The tenth text starts the palette again.
    QCOMPARE(appearance.colorForText(QStringLiteral("tenth")), QColor(251, 173, 99));
    QCOMPARE(appearance.textColors().size(), 10);
}

using AppearanceEdit = std::function<void(PropertyAppearance &)>;
Q_DECLARE_METATYPE(AppearanceEdit)

void TestRecords::appearanceEquality_data()
{
    QTest::addColumn<AppearanceEdit>("edit");
    QTest::addColumn<bool>("equal");
    using A = PropertyAppearance;
    QTest::newRow("same colours set in another order") << AppearanceEdit([](A &) {}) << true;
    QTest::newRow("text order reversed") << AppearanceEdit([](A &a) {
        a.setTextOrder({"y", "x"});
    }) << false;
    QTest::newRow("date colour") << AppearanceEdit([](A &a) {
        a.setDateColor(DateBucket::Today, Qt::black);
    }) << false;
    QTest::newRow("min colour") << AppearanceEdit([](A &a) {
        a.setMinMaxColors(Qt::green, a.maxColor());
    }) << false;
    QTest::newRow("bin size") << AppearanceEdit([](A &a) { a.setBinSize(5); }) << false;
    QTest::newRow("show empty") << AppearanceEdit([](A &a) { a.setShowEmpty(false); }) << false;
    QTest::newRow("date bin size") << AppearanceEdit([](A &a) { a.setDateBinSize(2); }) << false;
}

void TestRecords::appearanceEquality()
{
    QFETCH(AppearanceEdit, edit);
    QFETCH(bool, equal);
    PropertyAppearance a;
    a.setTextOrder({QStringLiteral("x"), QStringLiteral("y")});
    a.setTextColor(QStringLiteral("x"), Qt::red);
    a.setTextColor(QStringLiteral("y"), Qt::blue);
    PropertyAppearance b;
    b.setTextOrder(a.textOrder());
    b.setTextColor(QStringLiteral("y"), Qt::blue);
    b.setTextColor(QStringLiteral("x"), Qt::red);
    edit(b);
    QCOMPARE(a == b, equal);
    QCOMPARE(a != b, !equal);
}

// Only the family of a font counts, so that a plan does not turn modified when it is opened
// on a machine with other font sizes.
void TestRecords::fontsCompareByFamilyOnly()
{
    CardsAppearance cards;
    cards.cardFont.setPointSize(31);
    cards.cardFont.setBold(true);
    QVERIFY(cards == CardsAppearance());
    cards.cardFont.setFamily(QStringLiteral("Serif"));
    QVERIFY(cards != CardsAppearance());
    ChartsAppearance charts;
    charts.font.setItalic(true);
    QVERIFY(charts == ChartsAppearance());
    TableAppearance table;
    table.font.setPointSize(30);
    QVERIFY(table == TableAppearance());
    table.fontSize = 13;
    QVERIFY(table != TableAppearance());
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
    QCOMPARE(image.name(), QString(127, QLatin1Char('n')) + QChar(0x2026));
    image.setName(QString(300, QLatin1Char('m')));
    QCOMPARE(image.name().size(), 128);
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
    QTest::newRow("stock picture") << ":/pngs/chart_32.png"
                                   << ""
                                   << "chart_32";
}

void TestRecords::imageFromFile()
{
    QFETCH(QString, fileName);
    QFETCH(QString, format);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const bool stock = fileName.startsWith(QLatin1Char(':'));
    const QString path = stock ? fileName : dir.filePath(fileName);
    if (stock && !QFile::exists(path))
        QSKIP("the stock icon is not among the resources");
    if (!stock)
        QVERIFY(filledPixmap(300, 150, Qt::blue).save(path, format.toLatin1().constData()));
    const Image image(path);
    QVERIFY(!image.isNull());
    QCOMPARE(image.name(), name);
    // Only stock pictures are kept by their path; others travel in the plan.
    QCOMPARE(image.path(), stock ? path : QString());
    if (!stock)
        QCOMPARE(image.pixmap().size(), QSize(128, 64));
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
    QTest::newRow("declares 20000 pixels wide")
        << (QByteArray("P6\n20000 20000\n255\n") + QByteArray(64, '\0')) << false;
    QTest::newRow("complete picture 16385 pixels high")
        << (QByteArray("P6\n1 16385\n255\n") + QByteArray(16385 * 3, '\x7f')) << false;
    QTest::newRow("16384 pixels wide is allowed")
        << (QByteArray("P6\n16384 1\n255\n") + QByteArray(16384 * 3, '\x7f')) << true;
    QTest::newRow("not an image") << QByteArray("hello, this is text") << false;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("missing file") << QByteArray("missing") << false;
}

void TestRecords::oversizedImageFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.ppm"));
    QFile file(path);
    if (bytes != "missing")
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const Image image(path);
    QCOMPARE(!image.isNull(), loads);
    if (loads)
        QCOMPARE(image.pixmap().size(), QSize(128, 1));
}

void TestRecords::sliceEquality_data()
{
    QTest::addColumn<bool>("storeA");
    QTest::addColumn<bool>("storeB");
    QTest::addColumn<bool>("sameAppearance");
    QTest::addColumn<QString>("termValue");
    QTest::addColumn<bool>("equal");
    QTest::newRow("neither stores, different") << false << false << false << "open" << true;
    QTest::newRow("both store, same") << true << true << true << "open" << true;
    QTest::newRow("both store, different") << true << true << false << "open" << false;
    QTest::newRow("only one stores") << true << false << true << "open" << false;
    QTest::newRow("term values compare exactly") << false << false << true << "Open" << false;
}

// Names take no part: a stored view is found by its settings.
void TestRecords::sliceEquality()
{
    QFETCH(bool, storeA);
    QFETCH(bool, storeB);
    QFETCH(bool, sameAppearance);
    QFETCH(QString, termValue);
    QFETCH(bool, equal);
    Slice a;
    Slice b;
    a.name = QStringLiteral("by status");
    a.storeAppearance = storeA;
    b.storeAppearance = storeB;
    if (!sameAppearance)
        b.appearance = darkAppearance();
    a.filterTerms.append(FilterTerm(1, MatchType::Is, QStringLiteral("open")));
    b.filterTerms.append(FilterTerm(1, MatchType::Is, termValue));
    QCOMPARE(a == b, equal);
    QCOMPARE(b == a, equal);
}

void TestRecords::sliceCopiesTakeAppearanceOnlyWhenStored()
{
    Slice source;
    source.appearance = darkAppearance();
    source.xProperty = 3;
    const Slice plain(source);
    QCOMPARE(plain.xProperty, 3);
    QVERIFY(plain.appearance == CardsAppearance());
    source.storeAppearance = true;
    QVERIFY(Slice(source).appearance == darkAppearance());

    Slice target(source);
    Slice other;
    other.yProperty = 2;
    target = other;
    QVERIFY(!target.storeAppearance);
    QVERIFY(target.appearance == darkAppearance());
    QCOMPARE(target.yProperty, 2);
}

void TestRecords::visibilityOutsideListIsText()
{
    Slice view;
    view.appendPropertyVisibility(PropertyVisibility::Hidden);
    view.appendPropertyVisibility(PropertyVisibility::Star);
    QCOMPARE(view.propertyVisibility(-1), int(PropertyVisibility::Text));
    QCOMPARE(view.propertyVisibility(2), int(PropertyVisibility::Text));
    view.setPropertyVisibility(2, PropertyVisibility::Circle);
    view.setPropertyVisibility(-1, PropertyVisibility::Circle);
    QCOMPARE(view.propertyVisibilities, QList<int>({0, 4}));
}

void TestRecords::chartsPropertyRemoved_data()
{
    QTest::addColumn<int>("removed");
    QTest::addColumn<QList<int>>("before"); // show, by, per
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("show removed") << 3 << QList<int> {3, 4, 2} << QList<int> {0, 3, 2};
    // With four properties the show property 4 counts cards, and still does with three.
    QTest::newRow("card count kept") << 2 << QList<int> {4, 1, 3} << QList<int> {3, 1, 2};
    QTest::newRow("none stays none") << 1 << QList<int> {0, 0, 0} << QList<int> {0, 0, 0};
}

void TestRecords::chartsPropertyRemoved()
{
    QFETCH(int, removed);
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    ChartsSettings settings;
    settings.showProperty = before.at(0);
    settings.byProperty = before.at(1);
    settings.perProperty = before.at(2);
    settings.propertyRemoved(removed);
    QCOMPARE((QList<int> {settings.showProperty, settings.byProperty, settings.perProperty}),
             after);
}

void TestRecords::chartsRemapKeepsCardCount()
{
    ChartsSettings settings;
    settings.showProperty = 4;
    settings.byProperty = 1;
    settings.perProperty = 3;
    const PropertyReorderMap map {{0, 0}, {1, 3}, {2, 1}, {3, 2}};
    settings.remapProperties(map);
    QCOMPARE((QList<int> {settings.showProperty, settings.byProperty, settings.perProperty}),
             (QList<int> {4, 2, 1}));
    settings.showProperty = 2;
    settings.remapProperties(map);
    QCOMPARE(settings.showProperty, 3);
}

void TestRecords::tableColouringFollowsRemovalAndReorder_data()
{
    // Colouring 0 is off, 1 all properties, n + 1 by property n.
    QTest::addColumn<int>("cellColor");
    QTest::addColumn<int>("afterRemoval"); // of property 2
    QTest::addColumn<int>("afterReorder"); // property 3 to the front, 1 and 2 down
    QTest::newRow("off") << 0 << 0 << 0;
    QTest::newRow("all properties") << 1 << 1 << 1;
    QTest::newRow("by property 1") << 2 << 2 << 3;
    QTest::newRow("by the removed property") << 3 << 0 << 4;
    QTest::newRow("by property 3") << 4 << 3 << 2;
}

void TestRecords::tableColouringFollowsRemovalAndReorder()
{
    QFETCH(int, cellColor);
    QFETCH(int, afterRemoval);
    QFETCH(int, afterReorder);
    TableAppearance removal;
    removal.cellColor = cellColor;
    removal.propertyRemoved(2);
    QCOMPARE(removal.cellColor, afterRemoval);
    TableAppearance reorder;
    reorder.cellColor = cellColor;
    reorder.remapProperties({{0, 0}, {1, 3}, {2, 1}, {3, 2}});
    QCOMPARE(reorder.cellColor, afterReorder);
}

TAVROLO_TEST_MAIN(TestRecords)
#include "tst_records.moc"
