#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/Settings.h"
#include "harness/ShapePixels.h"
#include "harness/TestMain.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString tipKey = QStringLiteral("tip_add_card");
const QString firstTipKey = QStringLiteral("tip_tabs");

// A shown top-level window holding one button to anchor balloons at.
struct Window
{
    QWidget window;
    QPushButton *button;

    Window()
    {
        auto *layout = new QVBoxLayout(&window);
        button = new QPushButton(QStringLiteral("Add"), &window);
        layout->addWidget(button);
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
};

QPoint anchorCentre(const QWidget *anchor)
{
    return anchor->mapToGlobal(QPoint((anchor->width() - 1) / 2, (anchor->height() - 1) / 2));
}

} // namespace

class TestBalloonTip : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void showOnceShowsTipOnlyWhenItCanBeSeen_data();
    void showOnceShowsTipOnlyWhenItCanBeSeen();
    void arrowSitsOnTheSideWithRoom_data();
    void arrowSitsOnTheSideWithRoom();
    void balloonFollowsMovedAnchor();
    void balloonShowsItsPicturesWhole_data();
    void balloonShowsItsPicturesWhole();
};

void TestBalloonTip::cleanup()
{
    BalloonTip::hideBalloon();
    app()->setUiStyle(0);
    settings()->remove(tipKey);
    settings()->remove(firstTipKey);
}

void TestBalloonTip::showOnceShowsTipOnlyWhenItCanBeSeen_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("shown");
    for (const char *situation : {"first time", "prerequisite shown", "anchor inside modal dialog"})
        QTest::newRow(situation) << situation << true;
    for (const char *situation :
         {"shown before", "prerequisite not shown", "hidden anchor", "modal dialog elsewhere"})
        QTest::newRow(situation) << situation << false;
}

void TestBalloonTip::showOnceShowsTipOnlyWhenItCanBeSeen()
{
    QFETCH(QString, situation);
    QFETCH(bool, shown);
    Window w;
    QDialog dialog(&w.window);
    auto *dialogButton = new QPushButton(QStringLiteral("OK"), &dialog);
    QWidget *anchor = w.button;
    QString prerequisite;
    if (situation == "shown before") {
        BalloonTip::markShown(tipKey);
    } else if (situation.startsWith("prerequisite")) {
        prerequisite = firstTipKey;
        if (situation == "prerequisite shown")
            BalloonTip::markShown(firstTipKey);
    } else if (situation == "hidden anchor") {
        w.button->hide();
    } else if (situation.contains("modal dialog")) {
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        if (situation.startsWith("anchor inside"))
            anchor = dialogButton;
    }
    BalloonTip::showOnce(anchor, tipKey, QStringLiteral("Add a card"), QStringLiteral("Click"),
                         prerequisite, -1, true, false);
    QCOMPARE(BalloonTip::currentBalloon() != nullptr, shown);
    // A tip held back must come at a later chance.
    QCOMPARE(BalloonTip::wasShown(tipKey, false), shown || situation == "shown before");
    BalloonTip::hideBalloon();
}

void TestBalloonTip::arrowSitsOnTheSideWithRoom_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("corner");
    const QRect first(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1920, 1080);
    const QRect below(0, 1080, 1920, 1080);
    QTest::newRow("near bottom right") << first << QPoint(1900, 1050) << int(Qt::BottomRightCorner);
    // Screens that do not start at the origin.
    QTest::newRow("second screen, room") << right << QPoint(2000, 100) << int(Qt::TopLeftCorner);
    QTest::newRow("second screen, right edge")
        << right << QPoint(3800, 100) << int(Qt::TopRightCorner);
    QTest::newRow("lower screen, room") << below << QPoint(100, 1200) << int(Qt::TopLeftCorner);
    QTest::newRow("lower screen, bottom")
        << below << QPoint(100, 2150) << int(Qt::BottomLeftCorner);
}

void TestBalloonTip::arrowSitsOnTheSideWithRoom()
{
    QFETCH(QRect, screen);
    QFETCH(QPoint, point);
    QFETCH(int, corner);
    QCOMPARE(int(BalloonTip::arrowCorner(point, QSize(200, 80), screen)), corner);
}

void TestBalloonTip::balloonFollowsMovedAnchor()
{
    Window w;
    BalloonTip::showBalloon(w.button, QStringLiteral("T"), QStringLiteral("text"));
    const BalloonTip *balloon = BalloonTip::currentBalloon();
    const QPoint before = balloon->pos();
    const QPoint anchorBefore = anchorCentre(w.button);
    w.window.move(w.window.pos() + QPoint(40, 30));
    QTRY_VERIFY(anchorCentre(w.button) != anchorBefore);
    QTRY_COMPARE(balloon->pos(), before + anchorCentre(w.button) - anchorBefore);
}

void TestBalloonTip::balloonShowsItsPicturesWhole_data()
{
    QTest::addColumn<int>("uiStyle");
    QTest::newRow("light style") << 0;
    QTest::newRow("dark style") << 1;
}

void TestBalloonTip::balloonShowsItsPicturesWhole()
{
    QFETCH(int, uiStyle);
    app()->setUiStyle(uiStyle);
    Window w;
    BalloonTip::showBalloon(w.button, QStringLiteral("Add a card"), QStringLiteral("Click"));
    BalloonTip *balloon = BalloonTip::currentBalloon();
    QVERIFY(QTest::qWaitForWindowExposed(balloon));
    const QImage shot = balloon->grab().toImage();

    const auto *close = balloon->findChild<QPushButton *>();
    QVERIFY(close);
    QVERIFY2(shapePixels(shot.copy(close->geometry())) > 20, "no picture on the close button");

    const QPixmap info
        = balloon->style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(15, 15);
    if (info.isNull())
        QSKIP("The style has no information icon");
    const QList<QLabel *> labels = balloon->findChildren<QLabel *>();
    const auto iconLabel = std::find_if(labels.cbegin(), labels.cend(), [](const QLabel *label) {
        return !label->pixmap(Qt::ReturnByValue).isNull();
    });
    QVERIFY(iconLabel != labels.cend());
    // Every opaque pixel of the icon is drawn inside the label's margin of 2, none cut off.
    const QImage expected = info.toImage();
    const QPoint origin = (*iconLabel)->mapTo(balloon, QPoint(2, 2));
    int compared = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if (qAlpha(expected.pixel(x, y)) < 255)
                continue;
            QCOMPARE(QColor(shot.pixel(origin + QPoint(x, y))), QColor(expected.pixel(x, y)));
            ++compared;
        }
    }
    QVERIFY(compared > 50);
}

TAVROLO_TEST_MAIN(TestBalloonTip)
#include "tst_balloontip.moc"
