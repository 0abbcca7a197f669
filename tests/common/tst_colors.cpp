#include "common/Colors.h"
#include "harness/TestMain.h"

class TestColors : public QObject
{
    Q_OBJECT
private slots:
    void textStaysReadableOnBackground_data();
    void textStaysReadableOnBackground();
    void colourTextRoundTrips_data();
    void colourTextRoundTrips();
    void markersHaveTheirCornerCounts_data();
    void markersHaveTheirCornerCounts();
    void fitToAspectNeverGrows_data();
    void fitToAspectNeverGrows();
};

void TestColors::textStaysReadableOnBackground_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("plain");
    QTest::addColumn<QColor>("soft");
    QTest::newRow("red is dark") << QColor(255, 0, 0) << QColor(Qt::white) << QColor(208, 208, 208);
    QTest::newRow("yellow is light")
        << QColor(255, 255, 0) << QColor(Qt::black) << QColor(64, 64, 64);
    QTest::newRow("middle grey counts as light")
        << QColor(128, 128, 128) << QColor(Qt::black) << QColor(64, 64, 64);
}

void TestColors::textStaysReadableOnBackground()
{
    QFETCH(QColor, background);
    QFETCH(QColor, plain);
    QFETCH(QColor, soft);
    QCOMPARE(contrastingTextColor(background, false), plain);
    QCOMPARE(contrastingTextColor(background, true), soft);
}

void TestColors::colourTextRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color");
    QTest::newRow("empty is invalid") << "" << QColor();
    QTest::newRow("two parts") << "10,20" << QColor();
    QTest::newRow("doubled comma ignored") << "10,,20,30" << QColor(10, 20, 30);
    QTest::newRow("component above 255") << "10,20,300" << QColor();
    QTest::newRow("negative component") << "-1,20,30" << QColor();
    QTest::newRow("words count as zero") << "a,b,c" << QColor(0, 0, 0);
    QTest::newRow("fourth part ignored") << "1,2,3,4" << QColor(1, 2, 3);
}

void TestColors::colourTextRoundTrips()
{
    QFETCH(QString, text);
    QFETCH(QColor, color);
    QCOMPARE(stringToColor(text), color);
    QCOMPARE(stringToColor(colorToString(color)), color);
}

void TestColors::markersHaveTheirCornerCounts_data()
{
    QTest::addColumn<bool>("star");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("corners");
    QTest::newRow("five-point star") << true << 5 << 10;
    QTest::newRow("no points") << true << 0 << 0;
    QTest::newRow("triangle") << false << 3 << 3;
    QTest::newRow("negative corners") << false << -2 << 0;
}

void TestColors::markersHaveTheirCornerCounts()
{
    QFETCH(bool, star);
    QFETCH(int, count);
    QFETCH(int, corners);
    const QRectF rect(10, 20, 40, 60);
    const QPolygonF polygon = star ? starPolygon(rect, count) : regularPolygon(rect, count);
    QCOMPARE(polygon.size(), corners);
    if (corners > 0) {
        const QPointF offset = polygon.boundingRect().center() - rect.center();
        QVERIFY(offset.manhattanLength() < 1e-9);
        QVERIFY(polygon.boundingRect().width() <= rect.width() + 1e-9);
    }
}

void TestColors::fitToAspectNeverGrows_data()
{
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<double>("aspect");
    QTest::addColumn<QSizeF>("fitted");
    QTest::newRow("too wide") << QSizeF(200, 100) << 1.0 << QSizeF(100, 100);
    QTest::newRow("too tall") << QSizeF(100, 200) << 2.0 << QSizeF(100, 50);
    QTest::newRow("equal") << QSizeF(130, 100) << 1.3 << QSizeF(130, 100);
}

void TestColors::fitToAspectNeverGrows()
{
    QFETCH(QSizeF, size);
    QFETCH(double, aspect);
    QFETCH(QSizeF, fitted);
    double width = size.width();
    double height = size.height();
    fitToAspect(width, height, aspect);
    QCOMPARE(QSizeF(width, height), fitted);
}

TAVROLO_TEST_MAIN(TestColors)
#include "tst_colors.moc"
