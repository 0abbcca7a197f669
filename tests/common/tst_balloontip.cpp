#include "common/Accessors.h"
#include "common/BalloonTip.h"
#include "common/DialogHelpers.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

#include <QDialog>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

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

bool tipKey(const QString &key)
{
    return settings()->value(key, false).toBool();
}

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
    void onceOnlyTipShowsOnce();
    void prerequisiteHoldsTipBack();
    void unusableAnchorSkipsTip_data();
    void unusableAnchorSkipsTip();
    void modalDialogBlocksTipsOutsideIt_data();
    void modalDialogBlocksTipsOutsideIt();
    void newBalloonReplacesCurrent();
    void preparedDialogRemovesBalloon();
    void arrowSitsOnTheSideWithRoom_data();
    void arrowSitsOnTheSideWithRoom();
    void balloonNearScreenCornerPointsAtAnchor();
    void pointerOnBalloonKeepsItOpen();
    void balloonFollowsMovedAnchor();
    void clickClosesBalloon();
};

void TestBalloonTip::cleanup()
{
    BalloonTip::hideBalloon();
    settings()->remove(QStringLiteral("tip_add_card"));
    settings()->remove(QStringLiteral("tip_tabs"));
}

void TestBalloonTip::onceOnlyTipShowsOnce()
{
    Window w;
    const QString key = QStringLiteral("tip_add_card");
    BalloonTip::showOnce(w.button, key, QStringLiteral("Add a card"), QStringLiteral("Click"));
    QVERIFY(BalloonTip::currentBalloon());
    QVERIFY(BalloonTip::currentBalloon()->isVisible());
    QVERIFY(tipKey(key));
    BalloonTip::hideBalloon();

    BalloonTip::showOnce(w.button, key, QStringLiteral("Add a card"), QStringLiteral("Click"));
    QVERIFY(!BalloonTip::currentBalloon());
}

void TestBalloonTip::prerequisiteHoldsTipBack()
{
    Window w;
    const QString key = QStringLiteral("tip_add_card");
    const QString first = QStringLiteral("tip_tabs");
    BalloonTip::showOnce(w.button, key, QStringLiteral("T"), QStringLiteral("t"), first);
    QVERIFY(!BalloonTip::currentBalloon());
    QVERIFY(!tipKey(key));

    BalloonTip::markShown(first);
    BalloonTip::showOnce(w.button, key, QStringLiteral("T"), QStringLiteral("t"), first);
    QVERIFY(BalloonTip::currentBalloon());
    QVERIFY(tipKey(key));
}

void TestBalloonTip::unusableAnchorSkipsTip_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("hidden") << QStringLiteral("hidden");
    QTest::newRow("disabled") << QStringLiteral("disabled");
    QTest::newRow("no width") << QStringLiteral("empty");
    QTest::newRow("no anchor") << QStringLiteral("null");
}

void TestBalloonTip::unusableAnchorSkipsTip()
{
    QFETCH(QString, state);
    Window w;
    QWidget *anchor = w.button;
    if (state == QLatin1String("hidden"))
        w.button->hide();
    else if (state == QLatin1String("disabled"))
        w.button->setEnabled(false);
    else if (state == QLatin1String("empty"))
        w.button->setFixedWidth(0);
    else
        anchor = nullptr;
    const QString key = QStringLiteral("tip_add_card");
    BalloonTip::showOnce(anchor, key, QStringLiteral("T"), QStringLiteral("t"));
    QVERIFY(!BalloonTip::currentBalloon());
    // The tip must come at a later chance.
    QVERIFY(!tipKey(key));
}

void TestBalloonTip::modalDialogBlocksTipsOutsideIt_data()
{
    QTest::addColumn<bool>("inDialog");
    QTest::addColumn<bool>("force");
    QTest::addColumn<bool>("shown");
    QTest::newRow("main window anchor") << false << false << false;
    QTest::newRow("main window anchor, forced") << false << true << true;
    QTest::newRow("anchor inside the dialog") << true << false << true;
}

void TestBalloonTip::modalDialogBlocksTipsOutsideIt()
{
    QFETCH(bool, inDialog);
    QFETCH(bool, force);
    QFETCH(bool, shown);
    Window w;
    QDialog dialog(&w.window);
    auto *layout = new QVBoxLayout(&dialog);
    auto *dialogButton = new QPushButton(QStringLiteral("OK"), &dialog);
    layout->addWidget(dialogButton);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(QApplication::activeModalWidget(), &dialog);

    const QString key = QStringLiteral("tip_add_card");
    QWidget *anchor = inDialog ? static_cast<QWidget *>(dialogButton) : w.button;
    BalloonTip::showOnce(anchor, key, QStringLiteral("T"), QStringLiteral("t"), QString(), -1, true,
                         force);
    QCOMPARE(BalloonTip::currentBalloon() != nullptr, shown);
    QCOMPARE(tipKey(key), shown);
    BalloonTip::hideBalloon();
}

void TestBalloonTip::newBalloonReplacesCurrent()
{
    Window w;
    BalloonTip::showBalloon(w.button, QStringLiteral("One"), QStringLiteral("1"));
    QPointer<BalloonTip> first = BalloonTip::currentBalloon();
    BalloonTip::showBalloon(&w.window, QStringLiteral("Two"), QStringLiteral("2"));
    QVERIFY(!first);
    QVERIFY(BalloonTip::currentBalloon());
    QCOMPARE(BalloonTip::currentBalloon()->parentWidget(), &w.window);
    QCOMPARE(w.window.findChildren<BalloonTip *>().size(), 1);
}

void TestBalloonTip::preparedDialogRemovesBalloon()
{
    Window w;
    BalloonTip::showBalloon(w.button, QStringLiteral("One"), QStringLiteral("1"));
    QPointer<BalloonTip> balloon = BalloonTip::currentBalloon();
    QDialog dialog(&w.window);
    prepareDialog(&dialog);
    QVERIFY(!balloon);
    QVERIFY(!BalloonTip::currentBalloon());
}

void TestBalloonTip::arrowSitsOnTheSideWithRoom_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("corner");
    const QRect first(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1920, 1080);
    const QRect below(0, 1080, 1920, 1080);
    QTest::newRow("room below right") << first << QPoint(100, 100) << int(Qt::TopLeftCorner);
    QTest::newRow("near bottom right") << first << QPoint(1900, 1050) << int(Qt::BottomRightCorner);
    QTest::newRow("near right edge") << first << QPoint(1850, 100) << int(Qt::TopRightCorner);
    QTest::newRow("near bottom") << first << QPoint(100, 1050) << int(Qt::BottomLeftCorner);
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

void TestBalloonTip::balloonNearScreenCornerPointsAtAnchor()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Window w;
    w.window.move(screen.right() - w.window.frameGeometry().width() - 5,
                  screen.bottom() - w.window.frameGeometry().height() - 5);
    QTRY_VERIFY(w.window.geometry().right() > screen.center().x());
    BalloonTip::showBalloon(w.button, QStringLiteral("Add a card"), QStringLiteral("Click"));
    BalloonTip *balloon = BalloonTip::currentBalloon();
    QVERIFY(balloon);
    const QPoint centre = anchorCentre(w.button);
    // Where it was placed: a platform may still add a frame around the window.
    const QRect geometry(balloon->pos(), balloon->size());
    // Above the anchor and reaching to its left, the arrow's tip on the anchor's centre.
    QVERIFY(geometry.bottom() < centre.y());
    QVERIFY(geometry.left() < centre.x());
    const QPoint tip(geometry.x() + geometry.width() - 19, geometry.y() + geometry.height() - 1);
    QVERIFY((tip - centre).manhattanLength() <= 2);
}

void TestBalloonTip::pointerOnBalloonKeepsItOpen()
{
    Window w;
    BalloonTip::showBalloon(w.button, QStringLiteral("T"), QStringLiteral("text"), 100);
    QPointer<BalloonTip> balloon = BalloonTip::currentBalloon();
    QCursor::setPos(balloon->geometry().center());
    if (QCursor::pos() != balloon->geometry().center())
        QSKIP("This platform cannot place the pointer");
    QTest::qWait(400);
    QVERIFY(balloon && balloon->isVisible());

    QCursor::setPos(balloon->geometry().bottomRight() + QPoint(50, 50));
    BalloonTip::showBalloon(w.button, QStringLiteral("T"), QStringLiteral("text"), 100);
    balloon = BalloonTip::currentBalloon();
    QTRY_VERIFY(!balloon || !balloon->isVisible());
}

void TestBalloonTip::balloonFollowsMovedAnchor()
{
    Window w;
    BalloonTip::showBalloon(w.button, QStringLiteral("T"), QStringLiteral("text"));
    BalloonTip *balloon = BalloonTip::currentBalloon();
    const QPoint before = balloon->pos();
    const QPoint anchorBefore = anchorCentre(w.button);
    w.window.move(w.window.pos() + QPoint(40, 30));
    QTRY_VERIFY(anchorCentre(w.button) != anchorBefore);
    const QPoint shift = anchorCentre(w.button) - anchorBefore;
    QTRY_COMPARE(balloon->pos(), before + shift);
}

void TestBalloonTip::clickClosesBalloon()
{
    Window w;
    BalloonTip::showBalloon(w.button, QStringLiteral("T"), QStringLiteral("text"));
    QPointer<BalloonTip> balloon = BalloonTip::currentBalloon();
    QTest::mouseClick(balloon, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QTRY_VERIFY(!balloon);
    QVERIFY(!BalloonTip::currentBalloon());
    // Hiding after the balloon went away by itself must be harmless.
    BalloonTip::hideBalloon();
}

TAVROLO_TEST_MAIN(TestBalloonTip)
#include "tst_balloontip.moc"
