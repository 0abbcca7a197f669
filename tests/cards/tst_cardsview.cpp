#include "ShownCardsView.h"
#include "cards/AddCardItem.h"
#include "cards/CardItem.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "cards/DeleteCardItem.h"
#include "cards/EditCardItem.h"
#include "common/app/Accessors.h"
#include "common/core/NumberDateText.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "harness/TestPlanKey.h"
#include "model/PlanFixture.h"
#include "storage/PlanFileReader.h"

#include <QFontMetricsF>
#include <QGestureEvent>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPinchGesture>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextItem>

// The Cards view shown on the application's plan, driven by mouse, wheel, gesture and key
// events sent to its viewport, checked on the plan, the undo texts and the painted colours.
class TestCardsView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void zoomStepFollowsTheSensitivity_data();
    void zoomStepFollowsTheSensitivity();
    void wheelAndPinchStopAtTheLimits();
    void wheelFollowsTheMode_data();
    void wheelFollowsTheMode();
    void zoomSelectedWithoutSelectionKeepsZoomAndFit();
    void spaceScrollingLastsWhileSpaceIsHeld();
    void droppedCardTakesTheCellsValues_data();
    void droppedCardTakesTheCellsValues();
    void binnedCellAsksForTheValue_data();
    void binnedCellAsksForTheValue();
    void verticalDragKeepsTheBinnedColumnValue();
    void shiftDragKeepsEachCardsRow();
    void dropOffTheGridChangesNothing();
    void ctrlRubberBandChangesNothing();
    void numericCellsOfferTheirBoundExactly_data();
    void numericCellsOfferTheirBoundExactly();
    void overlayIconsActOnlyOnALeftClickOnThem_data();
    void overlayIconsActOnlyOnALeftClickOnThem();
    void headerDropReordersValues_data();
    void headerDropReordersValues();
    void headerDropAfterTheColumnVanishedMovesNothing();
    void autoScrollEndsWithTheDragAndAtTheLimit();
    void headersLinesAndBadgesFollowThePlan();
    void textTotalsShowValuesAsTyped();
    void propertyAddedToTheCardsShowsAtOnce_data();
    void propertyAddedToTheCardsShowsAtOnce();
    void todaysHeaderTakesTheTodayColour();
    void floatingHeadersStayAtTheViewsEdge();
    void emptyAndFilteredPlansShowAHint_data();
    void emptyAndFilteredPlansShowAHint();
    void lensMagnifiesTwiceInASmallViewport();
    void shownHeaderNamesLeaveTheHeadingsReadable_data();
    void shownHeaderNamesLeaveTheHeadingsReadable();
};

namespace {

const QColor hintGrey(160, 160, 164);

QStringList valuesOf(TaskIndex task)
{
    return {doc()->value(task, Status), doc()->value(task, Group), doc()->value(task, Cost)};
}

QList<QStringList> everyCardsValues()
{
    QList<QStringList> cards;
    for (TaskIndex task = 0; task < doc()->taskCount(); ++task)
        cards.append(valuesOf(task));
    return cards;
}

// The overlay icon of that kind on the card, or the add icon of the scene; null when not shown.
OverlayItem *shownIcon(const ShownView &shown, const QString &kind, TaskIndex task)
{
    if (kind == QLatin1String("add")) {
        for (QGraphicsItem *item : shown.scene.items()) {
            auto *icon = qobject_cast<AddCardItem *>(item->toGraphicsObject());
            if (icon && icon->isVisible())
                return icon;
        }
        return nullptr;
    }
    for (QGraphicsItem *child : shown.scene.cardItemForTask(task)->childItems()) {
        auto *icon = qobject_cast<OverlayItem *>(child->toGraphicsObject());
        const bool wanted = kind == QLatin1String("delete")
            ? bool(qobject_cast<DeleteCardItem *>(icon))
            : bool(qobject_cast<EditCardItem *>(icon));
        if (icon && wanted && icon->isVisible())
            return icon;
    }
    return nullptr;
}

int countPixels(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == color)
                ++count;
        }
    }
    return count;
}

// One text a painter drew, in the font it drew it with.
struct DrawnText
{
    QString text;
    QFont font;
};

// Takes down the texts a painter draws on an image, in their fonts, and draws nothing.
class TextRecorder : public QImage
{
public:
    explicit TextRecorder(const QSize &size) : QImage(size, QImage::Format_RGB32), m_engine(&texts)
    { }
    QPaintEngine *paintEngine() const override { return &m_engine; }

    QList<DrawnText> texts;

private:
    class Engine : public QPaintEngine
    {
    public:
        explicit Engine(QList<DrawnText> *texts) : QPaintEngine(AllFeatures), m_texts(texts) { }
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override { }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
        void drawPath(const QPainterPath &) override { }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
        void drawTextItem(const QPointF &, const QTextItem &item) override
        {
            m_texts->append({item.text(), item.font()});
        }
        Type type() const override { return User; }

    private:
        QList<DrawnText> *m_texts;
    };

    mutable Engine m_engine;
};

// The texts the view draws at its present zoom, as on its screen.
QList<DrawnText> drawnTexts(ShownView &shown)
{
    const QRect viewport = shown.view.viewport()->rect();
    TextRecorder recorder(viewport.size());
    QPainter painter(&recorder);
    shown.view.render(&painter, QRectF(viewport), viewport);
    painter.end();
    return recorder.texts;
}

// What was drawn of a heading: the heading whole, or the start of it before the ellipsis that
// ends a heading too wide for its band; nothing when neither was drawn.
const DrawnText *drawnHeading(const QList<DrawnText> &texts, const QString &heading)
{
    const DrawnText *cut = nullptr;
    for (const DrawnText &drawn : texts) {
        if (drawn.text == heading)
            return &drawn;
        if (drawn.text.endsWith(QChar(0x2026)) && heading.startsWith(drawn.text.chopped(1))
            && (!cut || drawn.text.size() > cut->text.size()))
            cut = &drawn;
    }
    return cut;
}

// How far the header text's ink reaches along a band cell of the picture: its ellipsis alone
// is a short mark, a heading a long one.
int inkAlong(const QImage &image, const QRect &cell, bool horizontal)
{
    int first = INT_MAX;
    int last = -1;
    const QRect inner = cell.adjusted(3, 3, -3, -3) & image.rect();
    for (int y = inner.top(); y <= inner.bottom(); ++y) {
        for (int x = inner.left(); x <= inner.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                first = std::min(first, horizontal ? x : y);
                last = std::max(last, horizontal ? x : y);
            }
        }
    }
    return last < 0 ? 0 : last - first + 1;
}

} // namespace

void TestCardsView::initTestCase()
{
    QApplication::setStartDragDistance(4);
}

void TestCardsView::init()
{
    doc()->clear(false);
    settings()->setAnimationDuration(0);
    settings()->setZoomSensitivity(6);
    settings()->setMouseWheelBehaviour(0);
    for (const char *tip : {"tip_drag_shift", "tip_space_scroll", "tip_alt_click"})
        BalloonTip::markShown(QLatin1String(tip));
}

// Zoom

void TestCardsView::zoomStepFollowsTheSensitivity_data()
{
    QTest::addColumn<int>("sensitivity");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("pinch");
    QTest::newRow("0") << 0 << 1.05 << 1.0125;
    QTest::newRow("6, the default") << 6 << 1.3 << 1.075;
    QTest::newRow("20") << 20 << 2.0 << 1.25;
    QTest::newRow("above 20") << 35 << 2.0 << 1.25;
}

void TestCardsView::zoomStepFollowsTheSensitivity()
{
    QFETCH(int, sensitivity);
    QFETCH(double, step);
    QFETCH(double, pinch);
    fillCards({{"a", "r1"}});
    settings()->setZoomSensitivity(sensitivity);
    ShownView shown(Status, Group);
    QSignalSpy zooms(&shown.view, &CardsView::zoomButtonClicked);
    shown.view.zoomTo(1.0);
    QCOMPARE(zooms.count(), 0);
    shown.view.onZoomIn();
    QVERIFY(qFuzzyCompare(shown.view.currentScale(), step));
    QVERIFY(!shown.view.isZoomToFit());
    shown.view.onZoomOut();
    QVERIFY(qFuzzyCompare(shown.view.currentScale(), 1.0));
    // Only the side of 1 counts, not how far the fingers moved.
    shown.pinch(1.9);
    QVERIFY(qFuzzyCompare(shown.view.currentScale(), pinch));
    shown.pinch(0.99);
    shown.pinch(0.5);
    QVERIFY(qFuzzyCompare(shown.view.currentScale(), 1.0 / pinch));
    QCOMPARE(zooms.count(), 5);
}

void TestCardsView::wheelAndPinchStopAtTheLimits()
{
    fillCards({{"a", "r1"}});
    settings()->setMouseWheelBehaviour(2);
    ShownView shown(Status, Group);
    QSignalSpy zooms(&shown.view, &CardsView::zoomButtonClicked);
    shown.view.zoomTo(3.33);
    QVERIFY(!shown.view.canZoomIn());
    QVERIFY(shown.view.canZoomOut());
    shown.wheel(120, Qt::NoModifier, Qt::NoButton);
    shown.pinch(1.5);
    QVERIFY(qFuzzyCompare(shown.view.currentScale(), 3.33));
    shown.view.zoomTo(0.033);
    QVERIFY(!shown.view.canZoomOut());
    shown.wheel(-120, Qt::NoModifier, Qt::NoButton);
    shown.pinch(0.5);
    QVERIFY(qFuzzyCompare(shown.view.currentScale(), 0.033));
    QCOMPARE(zooms.count(), 0);
}

void TestCardsView::wheelFollowsTheMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("delta");
    // -1 zoomed out a step, 0 unchanged, 1 zoomed in a step.
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("scrolls");
    const int none = Qt::NoModifier;
    const int alt = Qt::AltModifier;
    const int noButton = Qt::NoButton;
    QTest::newRow("0 scrolls") << 0 << none << noButton << -120 << 0 << true;
    QTest::newRow("0 with Alt zooms out away") << 0 << alt << noButton << 120 << -1 << false;
    QTest::newRow("0 with the middle button zooms in toward")
        << 0 << none << int(Qt::MiddleButton) << -120 << 1 << false;
    QTest::newRow("1 zooms out away") << 1 << none << noButton << 120 << -1 << false;
    QTest::newRow("2 zooms in away") << 2 << none << noButton << 120 << 1 << false;
    QTest::newRow("2 with Alt scrolls") << 2 << alt << noButton << -120 << 0 << true;
    QTest::newRow("3 ignores the wheel") << 3 << none << noButton << -120 << 0 << false;
    QTest::newRow("3 with Alt ignores it too") << 3 << alt << noButton << -120 << 0 << false;
}

void TestCardsView::wheelFollowsTheMode()
{
    QFETCH(int, mode);
    QFETCH(int, modifiers);
    QFETCH(int, buttons);
    QFETCH(int, delta);
    QFETCH(int, zoom);
    QFETCH(bool, scrolls);
    fillCards({{"a", "r1"}, {"b", "r2"}, {"c", "r3"}, {"d", "r4"}});
    settings()->setMouseWheelBehaviour(mode);
    ShownView shown(Status, Group);
    shown.view.zoomTo(1.0);
    QScrollBar *bar = shown.view.verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum() / 2);
    const int before = bar->value();
    shown.wheel(delta, Qt::KeyboardModifiers(modifiers), Qt::MouseButtons(buttons));
    const double step = settings()->zoomStep();
    const double expected = zoom > 0 ? step : zoom < 0 ? 1.0 / step : 1.0;
    QVERIFY2(qFuzzyCompare(shown.view.currentScale(), expected),
             qPrintable(QString::number(shown.view.currentScale())));
    if (zoom == 0)
        QCOMPARE(bar->value() != before, scrolls);
}

void TestCardsView::zoomSelectedWithoutSelectionKeepsZoomAndFit()
{
    fillCards({{"a", "r1"}, {"b", "r2"}, {"c", "r3"}});
    ShownView shown(Status, Group);
    const double fitted = shown.view.currentScale();
    QVERIFY(shown.view.isZoomToFit());
    shown.view.onZoomSelected();
    QCOMPARE(shown.view.currentScale(), fitted);
    QVERIFY(shown.view.isZoomToFit());
    shown.scene.selectTasks({1});
    shown.view.onZoomSelected();
    QVERIFY(!shown.view.isZoomToFit());
    QVERIFY(shown.view.currentScale() > fitted);
}

// Keys

void TestCardsView::spaceScrollingLastsWhileSpaceIsHeld()
{
    fillCards({{"a", "r1"}, {"b", "r2"}, {"c", "r3"}});
    ShownView shown(Status, Group);
    shown.view.zoomTo(1.0);
    QCoreApplication::processEvents();
    QVERIFY(shown.view.anyScrollBarVisible());
    const auto key = [&](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), repeat);
        QCoreApplication::sendEvent(&shown.view, &event);
    };
    key(QEvent::KeyPress, false);
    QCOMPARE(shown.view.dragMode(), QGraphicsView::ScrollHandDrag);
    QVERIFY(!shown.view.isInteractive());
    // X11 repeats a held key as release and press pairs.
    for (int i = 0; i < 3; ++i) {
        key(QEvent::KeyRelease, true);
        key(QEvent::KeyPress, true);
    }
    QCOMPARE(shown.view.dragMode(), QGraphicsView::ScrollHandDrag);
    key(QEvent::KeyRelease, false);
    QCOMPARE(shown.view.dragMode(), QGraphicsView::RubberBandDrag);
    QVERIFY(shown.view.isInteractive());
}

// Dragging cards

void TestCardsView::droppedCardTakesTheCellsValues_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("undoTexts");
    QTest::newRow("text x and y") << int(Group) << 1 << 1 << QStringList {"b", "r2", ""}
                                  << QStringList {"Update Values"};
    QTest::newRow("text x only") << 0 << 1 << 0 << QStringList {"b", "r1", ""}
                                 << QStringList {"Update Value"};
    QTest::newRow("same cell") << int(Group) << 0 << 0 << QStringList {"a", "r1", ""}
                               << QStringList();
}

void TestCardsView::droppedCardTakesTheCellsValues()
{
    QFETCH(int, y);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QStringList, values);
    QFETCH(QStringList, undoTexts);
    fillCards({{"a", "r1"}, {"b", "r2"}});
    ShownView shown(Status, y);
    DocumentRecorder recorder(*doc());
    shown.drag(shown.card(0), shown.cell(column, row, 0.7, 0.3));
    QCOMPARE(valuesOf(0), values);
    QCOMPARE(valuesOf(1), QStringList({"b", "r2", ""}));
    QCOMPARE(recorder.undoTexts, undoTexts);
    QVERIFY(shown.cardsInPlace());
}

void TestCardsView::binnedCellAsksForTheValue_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("cost");
    QTest::addColumn<QStringList>("undoTexts");
    QTest::newRow("accepted") << "OK"
                              << "22" << QStringList {"Update Values"};
    QTest::newRow("cancelled") << "Cancel"
                               << "" << QStringList();
}

void TestCardsView::binnedCellAsksForTheValue()
{
    QFETCH(QString, button);
    QFETCH(QString, cost);
    QFETCH(QStringList, undoTexts);
    fillCards({{"a", "r1", "5"}, {"a", "r1", "7"}, {"b", "r1", "18"}});
    ShownView shown(Cost, Group);
    QCOMPARE(shown.scene.columnValues(), QStringList({"5", "15"}));
    shown.scene.selectTasks({0, 1});
    DocumentRecorder recorder(*doc());
    QString proposed;
    QString title;
    ModalAnswer answer(button, {}, [&](QWidget *modal) {
        title = modal->windowTitle();
        auto *edit = modal->findChild<QLineEdit *>(QStringLiteral("m_lineEdit1"));
        proposed = edit->text();
        edit->setText(QStringLiteral("22"));
    });
    shown.drag(shown.card(0), shown.cell(1, 0, 0.8, 0.8));
    QVERIFY(answer.answered());
    QCOMPARE(title, QStringLiteral("Set Cost Value"));
    // The value that stands for the bin [15, 25).
    QCOMPARE(proposed, QStringLiteral("15"));
    QCOMPARE(recorder.undoTexts, undoTexts);
    if (!cost.isEmpty()) {
        QCOMPARE(doc()->value(0, Cost), cost);
        QCOMPARE(doc()->value(1, Cost), cost);
    } else {
        QCOMPARE(doc()->value(0, Cost), QStringLiteral("5"));
        QCOMPARE(doc()->value(1, Cost), QStringLiteral("7"));
    }
    QCOMPARE(doc()->value(0, Group), QStringLiteral("r1"));
    QVERIFY(shown.cardsInPlace());
}

void TestCardsView::verticalDragKeepsTheBinnedColumnValue()
{
    fillCards({{"a", "r1", "18"}, {"b", "r2", "5"}});
    ShownView shown(Cost, Group);
    QCOMPARE(shown.scene.columnValues(), QStringList({"5", "15"}));
    DocumentRecorder recorder(*doc());
    // From (15-25, r1) down to (15-25, r2): no question, and 18 stays 18, not the bin's 15.
    shown.drag(shown.card(0), shown.cell(1, 1, 0.8, 0.8));
    QCOMPARE(doc()->value(0, Cost), QStringLiteral("18"));
    QCOMPARE(doc()->value(0, Group), QStringLiteral("r2"));
    QCOMPARE(recorder.undoTexts, QStringList {"Update Values"});
}

void TestCardsView::shiftDragKeepsEachCardsRow()
{
    fillCards({{"a", "r1"}, {"a", "r2"}, {"a", "r1"}, {"b", "r2"}});
    ShownView shown(Status, Group);
    shown.scene.selectTasks({0, 1, 2});
    DocumentRecorder recorder(*doc());
    const QPoint from = shown.card(0);
    const QPoint to = shown.cell(1, 0, 0.5, 0.5);
    shown.press(from, Qt::ShiftModifier);
    shown.moveTo(from, to, Qt::ShiftModifier);
    // While dragging, the whole target column is highlighted, also in the other row.
    const QRectF cell = shown.scene.columnRect(1, false);
    const QColor highlight = shown.colorAt(QPointF(cell.left() + 12, cell.bottom() - 12));
    QCOMPARE(highlight, doc()->cardsSelectionColor());
    shown.release(to, Qt::ShiftModifier);
    QCOMPARE(valuesOf(0), QStringList({"b", "r1", ""}));
    QCOMPARE(valuesOf(1), QStringList({"b", "r2", ""}));
    QCOMPARE(valuesOf(2), QStringList({"b", "r1", ""}));
    QCOMPARE(recorder.undoTexts, QStringList {"Update Values"});
    QVERIFY(BalloonTip::wasShown(QStringLiteral("tip_drag_shift"), false));
}

void TestCardsView::dropOffTheGridChangesNothing()
{
    fillCards({{"a", "r1"}, {"b", "r2"}});
    ShownView shown(Status, Group);
    DocumentRecorder recorder(*doc());
    // Into the row headers, left of the grid.
    shown.drag(shown.card(0), shown.at(QPointF(-40, 100)));
    QVERIFY(recorder.isSilent());
    QVERIFY(shown.cardsInPlace());
}

void TestCardsView::ctrlRubberBandChangesNothing()
{
    fillCards({{"a", "r1"}, {"b", "r2"}});
    ShownView shown(Status, Group);
    shown.scene.selectTasks({0});
    DocumentRecorder recorder(*doc());
    // From the empty cell (b, r1) to the empty cell (a, r2), extending the selection.
    shown.drag(shown.cell(1, 0), shown.cell(0, 1), Qt::ControlModifier);
    QVERIFY(recorder.isSilent());
    QCOMPARE(valuesOf(0), QStringList({"a", "r1", ""}));
    QVERIFY(shown.cardsInPlace());
}

void TestCardsView::numericCellsOfferTheirBoundExactly_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::newRow("card dragged into the cell") << "drag";
    QTest::newRow("add icon of the cell") << "add icon";
    QTest::newRow("Alt+click in the cell") << "alt click";
    QTest::newRow("Add Card in the cell's menu") << "menu";
}

void TestCardsView::numericCellsOfferTheirBoundExactly()
{
    QFETCH(QString, gesture);
    // Bins of 10 from 1234567: six significant digits would write both bounds as 1.2345xe+06.
    fillCards({{"a", "r1", "1234567"}, {"b", "r2", "1234580"}});
    ShownView shown(Cost, Group);
    QCOMPARE(shown.scene.columnValues(), QStringList({"1234567", "1234577"}));
    QSignalSpy newTasks(&shown.scene, &CardsScene::newTask);
    DocumentRecorder recorder(*doc());
    // The empty cell (1234577-1234587, r1).
    const QPoint cell = shown.cell(1, 0);
    const QList<PropertyIndexAndValue> presets {{Cost, "1234577"}, {Group, "r1"}};
    if (gesture == QLatin1String("drag")) {
        QString proposed;
        ModalAnswer answer(QStringLiteral("OK"), {}, [&](QWidget *modal) {
            proposed = modal->findChild<QLineEdit *>(QStringLiteral("m_lineEdit1"))->text();
        });
        shown.drag(shown.card(0), cell);
        QVERIFY(answer.answered());
        QCOMPARE(proposed, QStringLiteral("1234577"));
        QCOMPARE(everyCardsValues(),
                 QList<QStringList>({{"a", "r1", "1234577"}, {"b", "r2", "1234580"}}));
        QCOMPARE(recorder.undoTexts, QStringList {"Update Values"});
        // It landed in the bin it was dropped on, card b's: the bins now start at 1234577.
        const QVector<CardsLayouter::Placement> &placements = shown.scene.layouter().placements();
        QCOMPARE(placements.at(0).cell.first, placements.at(1).cell.first);
        return;
    }
    if (gesture == QLatin1String("add icon")) {
        shown.mouse(QEvent::MouseMove, cell, Qt::NoButton, Qt::NoButton);
        OverlayItem *icon = shownIcon(shown, QStringLiteral("add"), -1);
        QVERIFY(icon);
        const QPoint point = shown.at(icon->sceneBoundingRect().center());
        shown.press(point);
        shown.release(point);
    } else if (gesture == QLatin1String("alt click")) {
        shown.press(cell, Qt::AltModifier);
        shown.release(cell, Qt::AltModifier);
    } else {
        QCOMPARE(shown.rightClick(cell, QStringLiteral("Add Card...")).size(), 1);
    }
    shown.runPosted();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(newTasks.count(), 1);
    QCOMPARE(newTasks.first().first().value<QList<PropertyIndexAndValue>>(), presets);
    QVERIFY(recorder.isSilent());
}

void TestCardsView::overlayIconsActOnlyOnALeftClickOnThem_data()
{
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<bool>("acts");
    for (const char *icon : {"delete", "edit", "add"}) {
        QTest::addRow("%s, left click", icon) << icon << "left click" << true;
        QTest::addRow("%s, right click", icon) << icon << "right click" << false;
        QTest::addRow("%s, pressed and let go on another card", icon)
            << icon << "let go elsewhere" << false;
    }
}

void TestCardsView::overlayIconsActOnlyOnALeftClickOnThem()
{
    QFETCH(QString, icon);
    QFETCH(QString, gesture);
    QFETCH(bool, acts);
    fillCards({{"a", "r1"}, {"b", "r1"}, {"c", "r2"}});
    const QList<QStringList> before = everyCardsValues();
    ShownView shown(Status, Group);
    // The card icons come at the zoom the card was last painted at.
    shown.grab();
    QSignalSpy edits(&shown.scene, &CardsScene::editTask);
    QSignalSpy newTasks(&shown.scene, &CardsScene::newTask);
    // Card a's icons, or the add icon of the empty cell (c, r1).
    const bool add = icon == QLatin1String("add");
    shown.mouse(QEvent::MouseMove, add ? shown.cell(2, 0) : shown.card(0), Qt::NoButton,
                Qt::NoButton);
    OverlayItem *item = shownIcon(shown, icon, 0);
    QVERIFY(item);
    const QPoint point = shown.at(item->sceneBoundingRect().center());
    DocumentRecorder recorder(*doc());
    if (gesture == QLatin1String("left click")) {
        shown.press(point);
        shown.release(point);
    } else if (gesture == QLatin1String("right click")) {
        shown.rightClick(point);
    } else {
        shown.press(point);
        shown.moveTo(point, shown.card(1));
        shown.release(shown.card(1));
    }
    shown.runPosted();
    QCoreApplication::sendPostedEvents();
    if (icon == QLatin1String("delete")) {
        QCOMPARE(everyCardsValues(),
                 acts ? QList<QStringList>({before.at(1), before.at(2)}) : before);
        // One step (the model announces a deletion twice; the undo list keeps one snapshot).
        QCOMPARE(recorder.undoTexts.count(QStringLiteral("Delete Card")),
                 acts ? recorder.undoTexts.size() : 0);
        QCOMPARE(recorder.eventTypes(),
                 acts ? QList<QList<int>> {{EventType::TasksDeleted}} : QList<QList<int>>());
    } else {
        QCOMPARE(everyCardsValues(), before);
        QVERIFY(recorder.isSilent());
        QCOMPARE((add ? newTasks : edits).count(), acts ? 1 : 0);
    }
    if (acts && icon == QLatin1String("edit"))
        QCOMPARE(edits.first().first().toInt(), 0);
    if (acts && add)
        QCOMPARE(newTasks.first().first().value<QList<PropertyIndexAndValue>>(),
                 (QList<PropertyIndexAndValue> {{Status, "c"}, {Group, "r1"}}));
}

// Dragging headers

void TestCardsView::headerDropReordersValues_data()
{
    QTest::addColumn<int>("pressed");
    // Where the release lands, as a scene x.
    QTest::addColumn<double>("x");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("undoTexts");
    const QStringList change {"Change Order"};
    QTest::newRow("on its own place") << 0 << 300.0 << QStringList {"a", "b", "c"} << QStringList();
    QTest::newRow("past the middle of the third")
        << 0 << 2.75 * 507 << QStringList {"b", "c", "a"} << change;
    QTest::newRow("left of the grid") << 2 << -60.0 << QStringList {"c", "a", "b"} << change;
    QTest::newRow("right of the grid")
        << 1 << 3 * 507 + 60.0 << QStringList {"a", "c", "b"} << change;
}

void TestCardsView::headerDropReordersValues()
{
    QFETCH(int, pressed);
    QFETCH(double, x);
    QFETCH(QStringList, order);
    QFETCH(QStringList, undoTexts);
    fillCards({{"a"}, {"b"}, {"c"}});
    ShownView shown(Status, 0);
    QCOMPARE(shown.scene.columnLabels(), QStringList({"a", "b", "c"}));
    const QPoint from = shown.at(QPointF((pressed + 0.5) * 507, -75));
    const QPoint to = shown.at(QPointF(x, -75));
    DocumentRecorder recorder(*doc());
    shown.press(from);
    shown.moveTo(from, from + QPoint(8, 0));
    shown.moveTo(from + QPoint(8, 0), to);
    shown.release(to);
    QCOMPARE(shown.scene.columnLabels(), order);
    QCOMPARE(recorder.undoTexts, undoTexts);
}

void TestCardsView::headerDropAfterTheColumnVanishedMovesNothing()
{
    fillCards({{"a"}, {"b"}, {"c"}});
    ShownView shown(Status, 0);
    const QPoint from = shown.at(QPointF(2.5 * 507, -75));
    const QPoint to = shown.at(QPointF(-60, -75));
    shown.press(from);
    shown.moveTo(from, from - QPoint(20, 0));
    // The plan changes under the drag: column c goes with its only card.
    doc()->deleteTasks({2}, true);
    QCOMPARE(shown.scene.columnLabels(), QStringList({"a", "b"}));
    DocumentRecorder recorder(*doc());
    shown.moveTo(from - QPoint(20, 0), to);
    shown.release(to);
    QVERIFY(recorder.isSilent());
    QCOMPARE(shown.scene.columnLabels(), QStringList({"a", "b"}));
}

// Auto-scroll

void TestCardsView::autoScrollEndsWithTheDragAndAtTheLimit()
{
    QList<QStringList> cards;
    for (char status = 'a'; status <= 'l'; ++status)
        cards.append({QString(QLatin1Char(status)), "r1"});
    fillCards(cards);
    ShownView shown(Status, Group);
    shown.view.zoomTo(0.5);
    QScrollBar *bar = shown.view.horizontalScrollBar();
    QVERIFY(bar->maximum() > 100);

    // The pause before scrolling starts, a fifth of its 500 ms: the view's own delay timer is
    // restarted shorter once the drag has armed it, and the waits for it are a fifth as long.
    const auto shortenDelay = [&shown] {
        if (auto *delay = shown.view.findChild<QTimer *>(QStringLiteral("autoScrollDelayTimer")))
            delay->start(100);
    };

    // Held at the left edge with the bar at its start, nothing scrolls, and nothing starts
    // scrolling again by itself later.
    const int start = bar->minimum();
    bar->setValue(start);
    QPoint from = shown.card(0);
    QPoint edge(5, from.y());
    shown.press(from);
    shown.moveTo(from, edge);
    shortenDelay();
    QTest::qWait(140);
    QCOMPARE(bar->value(), start);
    bar->setValue(start + 200);
    QTest::qWait(300);
    QCOMPARE(bar->value(), start + 200);
    shown.release(edge);

    // Near the right edge it scrolls after the delay, and stops with the release.
    bar->setValue(start);
    from = shown.card(0);
    edge = QPoint(shown.view.viewport()->width() - 5, from.y());
    shown.press(from);
    shown.moveTo(from, edge);
    shortenDelay();
    QTest::qWait(50);
    QCOMPARE(bar->value(), start);
    QTRY_VERIFY(bar->value() > start + 16);
    shown.release(edge);
    const int released = bar->value();
    QTest::qWait(400);
    QCOMPARE(bar->value(), released);
}

// Painting

void TestCardsView::headersLinesAndBadgesFollowThePlan()
{
    fillCards({{"a", "r1"}, {"b", "r2"}});
    doc()->setTotalProperty(doc()->propertyCount(), false);
    ShownView shown(Status, Group);
    const double side = doc()->limitedCardWidth();
    const QColor header = doc()->headerColor();
    const QColor background = doc()->cardBackgroundColor();
    // A column header, a row header, the line between the columns, a column total.
    QCOMPARE(shown.colorAt(QPointF(40, -130)), header);
    QCOMPARE(shown.colorAt(QPointF(-130, 40)), header);
    QCOMPARE(shown.colorAt(QPointF(507, 195)), doc()->cardsLineColor());
    QCOMPARE(shown.colorAt(QPointF(253 - 0.4 * side, 780 + side / 2)), QColor(Qt::darkGray));

    // Without X and Y: no header bands and no grand total.
    doc()->setXProperty(0, false);
    doc()->setYProperty(0, false);
    doc()->emitChanged(EventType::AllChanged);
    const int total = shown.scene.totalWidth();
    QCOMPARE(shown.colorAt(QPointF(40, -40)), background);
    QCOMPARE(shown.colorAt(QPointF(-40, 40)), background);
    QCOMPARE(shown.colorAt(QPointF(total + side / 2 - 0.4 * side, 390 + side / 2)), background);
}

void TestCardsView::textTotalsShowValuesAsTyped()
{
    fillCards({{"50%2 off", "r1"}, {"%1", "r1"}, {"", "r1"}, {"50%2 off", "r2"}});
    doc()->setTotalProperty(Status, false);
    ShownView shown(Group, 0);
    // One line per value, in value order, the value exactly as typed.
    QCOMPARE(shown.view.totalText(0, -1), QStringLiteral("<Empty>: 1\n%1: 1\n50%2 off: 1"));
    QCOMPARE(shown.view.totalText(1, -1), QStringLiteral("50%2 off: 1"));
}

void TestCardsView::propertyAddedToTheCardsShowsAtOnce_data()
{
    QTest::addColumn<int>("visibility");
    QTest::newRow("text row") << int(PropertyVisibility::Text);
    QTest::newRow("bold text row") << int(PropertyVisibility::BoldText);
    QTest::newRow("marker") << int(PropertyVisibility::Square);
    QTest::newRow("hidden") << int(PropertyVisibility::Hidden);
}

void TestCardsView::propertyAddedToTheCardsShowsAtOnce()
{
    QFETCH(int, visibility);
    fillCards({{"a", "r1"}, {"b", "r1"}});
    ShownView shown(Status, Group);
    const QImage before = shown.grab();
    doc()->addProperty(QStringLiteral("Owner"), QStringLiteral("Everybody"), PropertyType::Text, {},
                       visibility, PropertyAppearance(), true);
    const QImage added = shown.grab();
    // What a fresh build of the whole scene shows.
    doc()->emitChanged(EventType::AllChanged);
    const QImage rebuilt = shown.grab();
    QCOMPARE(added == before, visibility == PropertyVisibility::Hidden);
    QVERIFY(added == rebuilt);
}

void TestCardsView::todaysHeaderTakesTheTodayColour()
{
    const ValueFormats &formats = doc()->valueFormats();
    fillCards({{"a", "r1", "", dateToString(today(), formats.dateFormat, true)},
               {"a", "r1", "", dateToString(today().addDays(1), formats.dateFormat, true)}});
    doc()->editablePropertyAppearance(Due, TestPlanKey::key()).setDateBinSize(0);
    ShownView shown(Due, 0);
    QCOMPARE(shown.scene.todayColumn(), 0);
    const QColor todayColour = doc()->propertyAppearanceRef(Due).colorForDate(DateBucket::Today);
    QVERIFY(todayColour != doc()->headerColor());
    QCOMPARE(shown.colorAt(QPointF(40, -130)), todayColour);
    QCOMPARE(shown.colorAt(QPointF(507 + 40, -130)), doc()->headerColor());
}

void TestCardsView::floatingHeadersStayAtTheViewsEdge()
{
    QList<QStringList> cards;
    for (char status = 'a'; status <= 'h'; ++status)
        cards.append({QString(QLatin1Char(status)), "r1"});
    fillCards(cards);
    doc()->setCardsHeaderType(1, false);
    ShownView shown(Status, Group);
    shown.view.zoomTo(1.0);
    shown.view.horizontalScrollBar()->setValue(shown.view.horizontalScrollBar()->maximum());
    shown.view.verticalScrollBar()->setValue(shown.view.verticalScrollBar()->minimum());
    const QPoint edge(20, shown.cell(0, 0, 0.5, 0.6).y());
    QCOMPARE(shown.grab().pixelColor(edge), doc()->headerColor());
    // Fixed headers stay beside the grid, out of view.
    doc()->setCardsHeaderType(0, false);
    QVERIFY(shown.grab().pixelColor(edge) != doc()->headerColor());
}

void TestCardsView::emptyAndFilteredPlansShowAHint_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<bool>("filtered");
    QTest::addColumn<bool>("hint");
    QTest::newRow("no cards, no properties") << -1 << false << true;
    QTest::newRow("no cards") << 0 << false << true;
    QTest::newRow("two cards hidden") << 2 << true << true;
    QTest::newRow("two cards shown") << 2 << false << false;
}

void TestCardsView::emptyAndFilteredPlansShowAHint()
{
    QFETCH(int, cards);
    QFETCH(bool, filtered);
    QFETCH(bool, hint);
    if (cards >= 0)
        fillCards(QVector<QStringList>(cards, QStringList {"a", "r1"}).toList());
    if (filtered) {
        FilterTerm term;
        term.propertyIndex = Status;
        term.matchType = MatchType::IsNot;
        term.value = QStringLiteral("a");
        doc()->setFilter(false, true, false, {term}, false, false);
    }
    ShownView shown(cards >= 0 ? Status : 0, 0);
    QCOMPARE(countPixels(shown.grab(), hintGrey) > 0, hint);
}

// The magnifier

void TestCardsView::lensMagnifiesTwiceInASmallViewport()
{
    fillCards({{"a", "r1"}, {"b", "r2"}});
    ShownView shown(Status, Group, QSize(500, 200));
    shown.view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    shown.view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    shown.view.zoomTo(1.0);
    // The grid's top-left corner 50 pixels up and left of the pointer.
    shown.view.centerOn(QPointF(50, 50));
    const QPoint pointer = shown.at(QPointF(50, 50));
    const QPoint corner = shown.at(QPointF(0, 0));
    QCOMPARE(pointer - corner, QPoint(50, 50));
    const QColor header = doc()->headerColor();
    QCOMPARE(shown.grab().pixelColor(pointer - QPoint(70, 0)), header);

    shown.view.onMagnifyUnderCursor(true);
    shown.mouse(QEvent::MouseMove, pointer, Qt::NoButton, Qt::NoButton);
    const QImage lens = shown.grab();
    // Twice enlarged, the row header's edge lies 100 pixels left of the pointer: 70 pixels left
    // shows the grid, 110 the header; and the column header's edge 100 pixels up, at the top
    // of a lens 200 pixels high.
    QVERIFY(lens.pixelColor(pointer - QPoint(70, 0)) != header);
    QCOMPARE(lens.pixelColor(pointer - QPoint(110, 0)), header);
    QVERIFY(lens.pixelColor(pointer - QPoint(0, 90)) != header);

    shown.view.onMagnifyUnderCursor(false);
    QCOMPARE(shown.grab().pixelColor(pointer - QPoint(70, 0)), header);
}

void TestCardsView::shownHeaderNamesLeaveTheHeadingsReadable_data()
{
    QTest::addColumn<bool>("showName");
    QTest::addColumn<int>("orientation"); // of the row headings: 0 across, 1 upwards
    QTest::addColumn<int>("fontScaling");
    QTest::addColumn<int>("fontSize");
    for (const bool showName : {true, false}) {
        const char *name = showName ? "name shown" : "name hidden";
        QTest::addRow("%s, intelligent, rows upwards", name) << showName << 1 << 2 << 0;
        QTest::addRow("%s, intelligent, rows across", name) << showName << 0 << 2 << 0;
        QTest::addRow("%s, fixed, rows upwards", name) << showName << 1 << 0 << 70;
    }
}

// The sample plan at its opening zoom: with the property's name beside them, the headings fit
// their half-deep bands in height and are cut only where they are too wide; without it, the
// headings are drawn as they always were.
void TestCardsView::shownHeaderNamesLeaveTheHeadingsReadable()
{
    QFETCH(bool, showName);
    QFETCH(int, orientation);
    QFETCH(int, fontScaling);
    QFETCH(int, fontSize);
    QString error;
    QVERIFY2(readPlanFile(*doc(), QStringLiteral(TAVROLO_SOURCE_DIR "/samples/Project plan.tv"),
                          &error, nullptr),
             qPrintable(error));
    Document &plan = *doc();
    plan.setCardsHeadersShowName(showName, false);
    plan.setCardsRowHeaderTextOrientation(orientation, false);
    plan.setHeaderFontScaling(fontScaling, false);
    if (fontScaling == 0)
        plan.setHeaderFontSize(fontSize, false);
    ShownView shown(plan.xProperty(), plan.yProperty(), QSize(1000, 450));
    QVERIFY(shown.view.currentScale() < 0.3);
    const double header = plan.cardsHeaderSize();
    const double band = showName ? header / 2 : header;
    const QList<DrawnText> texts = drawnTexts(shown);
    const QImage picture = shown.grab();
    const CardsLayouter &layout = shown.scene.layouter();

    // Each band: its heading, the cell it is drawn in (scene units), whether it reads across.
    struct Band
    {
        QString heading;
        QRectF cell;
        bool across;
        bool row;
    };
    QList<Band> bands;
    const double values = -band;
    for (int i = 0; i < layout.columns().labels.size(); ++i)
        bands.append(
            {layout.columns().labels.at(i),
             QRectF(layout.columns().startOf(i), values, layout.columns().spans.at(i), band), true,
             false});
    for (int i = 0; i < layout.rows().labels.size(); ++i)
        bands.append({layout.rows().labels.at(i),
                      QRectF(values, layout.rows().startOf(i), band, layout.rows().spans.at(i)),
                      orientation == 0, true});
    if (showName) {
        bands.append({plan.propertyName(plan.xProperty()),
                      QRectF(0, -header, layout.columns().total, band), true, false});
        bands.append({plan.propertyName(plan.yProperty()),
                      QRectF(-header, 0, band, layout.rows().total), orientation == 0, true});
    }
    QCOMPARE(bands.size(), showName ? 8 : 6);
    for (const Band &each : qAsConst(bands)) {
        const DrawnText *drawn = drawnHeading(texts, each.heading);
        QVERIFY2(drawn, qPrintable(each.heading));
        const QFontMetricsF metrics(drawn->font);
        if (each.row && each.across) {
            // Across a narrow band a heading may be too wide: cut, but never to the ellipsis
            // alone.
            QVERIFY2(drawn->text.size() > 1, qPrintable(each.heading));
            continue;
        }
        QCOMPARE(drawn->text, each.heading);
        // Not taller than the band inside its insets.
        QVERIFY2(metrics.height() <= band - header / 20, qPrintable(each.heading));
        if (!showName) {
            // As always: the fixed size, or the intelligent one of the whole header.
            QCOMPARE(drawn->font.pixelSize(), fontScaling == 0 ? fontSize : int(header / 2.5));
        }
        // On the screen too, the heading is drawn, not an ellipsis.
        const QRect cell = shown.view.mapFromScene(each.cell).boundingRect();
        const double width = metrics.horizontalAdvance(each.heading) * shown.view.currentScale();
        QVERIFY2(inkAlong(picture, cell, !each.row) >= 0.8 * width,
                 qPrintable(QStringLiteral("%1: %2 of %3 pixels")
                                .arg(each.heading)
                                .arg(inkAlong(picture, cell, !each.row))
                                .arg(width)));
    }
}

TAVROLO_TEST_MAIN(TestCardsView)
#include "tst_cardsview.moc"
