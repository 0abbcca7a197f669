#include "app/Application.h"
#include "common/Accessors.h"
#include "common/Colors.h"
#include "harness/TestMain.h"

#include <QAbstractScrollArea>

namespace {

// A view that paints the full-screen note over its (empty) contents, as the Cards and
// Charts views do while shown full screen.
class HintedView : public QAbstractScrollArea
{
protected:
    void paintEvent(QPaintEvent *) override { drawFullScreenHint(this); }
};

} // namespace

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
    void accentColourFollowsStyle();
    void fullScreenNoteIsCentredOnTheView();
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

void TestColors::accentColourFollowsStyle()
{
    const int style = app()->uiStyle();
    app()->setUiStyle(0);
    QCOMPARE(accentColor(), QColor(Qt::blue));
    app()->setUiStyle(1);
    QCOMPARE(accentColor(), QColor(61, 142, 201));
    app()->setUiStyle(style);
}

void TestColors::fullScreenNoteIsCentredOnTheView()
{
    HintedView view;
    view.resize(1200, 500);
    view.setFrameShape(QFrame::NoFrame);
    view.viewport()->setAutoFillBackground(false);
    const QImage image = view.grab().toImage();
    const QPoint centre = view.rect().center();
    // Above and below the centre line the box is black (painted at 80 % over the view);
    // the corners of the view stay untouched.
    const QColor inside = image.pixelColor(centre.x() - 300, centre.y() - 30);
    QVERIFY(inside.lightness() < 80);
    QCOMPARE(image.pixelColor(5, 5), view.viewport()->palette().color(QPalette::Window));
    bool yellowFrame = false;
    for (int y = 0; y < image.height() && !yellowFrame; ++y) {
        const QColor c = image.pixelColor(centre.x(), y);
        yellowFrame = c.red() > 150 && c.green() > 150 && c.blue() < 100;
    }
    QVERIFY(yellowFrame);
}

TAVROLO_TEST_MAIN(TestColors)
#include "tst_colors.moc"
