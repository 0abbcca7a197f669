#include "cards/GraphicsView.h"
#include "harness/TestMain.h"

#include <QSignalSpy>

// The base of the Cards and Charts views: Escape, and the part of the scene that printing and
// exports draw.
class TestGraphicsView : public QObject
{
    Q_OBJECT

private slots:
    void escapeIsReportedOncePerPress();
    void renderSourceIsWidenedToTheDevice_data();
    void renderSourceIsWidenedToTheDevice();
};

void TestGraphicsView::escapeIsReportedOncePerPress()
{
    GraphicsView view;
    QSignalSpy escapes(&view, &GraphicsView::escapeKeyPressed);
    QTest::keyClick(&view, Qt::Key_A);
    QTest::keyClick(&view, Qt::Key_Return);
    QCOMPARE(escapes.count(), 0);
    QTest::keyClick(&view, Qt::Key_Escape);
    QCOMPARE(escapes.count(), 1);
}

void TestGraphicsView::renderSourceIsWidenedToTheDevice_data()
{
    QTest::addColumn<QSize>("device");
    QTest::addColumn<QRect>("expected");
    // 1000 x 400 gets a margin of 10 on every side.
    QTest::newRow("no device") << QSize() << QRect(-10, -10, 1020, 420);
    QTest::newRow("same shape") << QSize(2040, 840) << QRect(-10, -10, 1020, 420);
    // A4 portrait: about 0.707 wide per high, so 1022 more high, 511 above and below.
    QTest::newRow("A4 portrait") << QSize(2480, 3508) << QRect(-10, -521, 1020, 1442);
    // Five wide per high: 1080 more wide, 540 left and right.
    QTest::newRow("wide image") << QSize(2000, 400) << QRect(-550, -10, 2100, 420);
}

void TestGraphicsView::renderSourceIsWidenedToTheDevice()
{
    QFETCH(QSize, device);
    QFETCH(QRect, expected);
    QCOMPARE(GraphicsView::renderSourceRect(QRect(0, 0, 1000, 400), device), expected);
}

TAVROLO_TEST_MAIN(TestGraphicsView)
#include "tst_graphicsview.moc"
