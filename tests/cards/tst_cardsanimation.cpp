#include "ShownCardsView.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"

#include <QPainter>

// The layout animation of the Cards scene and what keeps large plans quick to draw: an
// animated layout ends where the same layout without animation puts the cards, a layout that
// changes more cards than the animation limit takes effect at once, a card only a few pixels
// high still shows its colour, and the scene's index finds every card at its new place.
class TestCardsAnimation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void animatedLayoutEndsWhereTheInstantOneDoes_data();
    void animatedLayoutEndsWhereTheInstantOneDoes();
    void layoutsBeyondTheLimitTakeEffectAtOnce_data();
    void layoutsBeyondTheLimitTakeEffectAtOnce();
    void tinyCardsShowTheirColour_data();
    void tinyCardsShowTheirColour();
    void cardsAreFoundWhereTheyMoved_data();
    void cardsAreFoundWhereTheyMoved();
};

namespace {

// What a card item shows, as far as layouts change it.
struct Look
{
    QPointF position;
    QColor background;
    QColor highlight;
    double opacity;

    // A card hidden by the filter keeps the place it had, whatever that was.
    bool operator==(const Look &other) const
    {
        return (position == other.position || opacity == 0.0) && background == other.background
            && highlight == other.highlight && opacity == other.opacity;
    }
};

QList<Look> looks(const CardsScene &scene)
{
    QList<Look> list;
    for (TaskIndex task = 0; task < doc()->taskCount(); ++task) {
        const CardItem *item = scene.cardItemForTask(task);
        list.append({item->pos(), item->bgColor(), item->highlightColor(), item->opacity()});
    }
    return list;
}

void setStatus(Document &plan, TaskIndex task, const QString &status)
{
    QString text = status;
    plan.setValue(task, Status, text, true);
}

void hideStatus(Document &plan, const QString &status)
{
    FilterTerm term;
    term.propertyIndex = Status;
    term.matchType = MatchType::IsNot;
    term.value = status;
    plan.setFilter(false, true, false, {term}, true, false);
}

// The view lays the plan out as it is shown, animated; the tests start from the end of that.
void settle(ShownView &shown)
{
    shown.scene.setAnimate(false);
    doc()->emitChanged(EventType::AllChanged);
    shown.scene.setAnimate(true);
}

} // namespace

void TestCardsAnimation::init()
{
    // Short glides: the tests wait for their ends.
    settings()->setAnimationDuration(0.05);
    fillCards({{"a", "x"}, {"b", "x"}, {"a", "y"}, {"c", "y"}, {"b", "x"}, {"a", "x"}});
}

void TestCardsAnimation::animatedLayoutEndsWhereTheInstantOneDoes_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::newRow("a card moves to another column")
        << Edit([](Document &plan, bool) { setStatus(plan, 0, "c"); });
    QTest::newRow("columns re-ordered") << Edit([](Document &plan, bool undoable) {
        plan.setValueOrder(Status, {"c", "b", "a"}, undoable);
    });
    QTest::newRow("coloured by a property")
        << Edit([](Document &plan, bool undoable) { plan.setCardColorProperty(Group, undoable); });
    QTest::newRow("highlighted by a property") << Edit(
        [](Document &plan, bool undoable) { plan.setHighlightColorProperty(Group, undoable); });
    QTest::newRow("filtered out") << Edit([](Document &plan, bool) { hideStatus(plan, "a"); });
    QTest::newRow("filter cleared") << Edit([](Document &plan, bool undoable) {
        plan.setFilter(false, false, false, {}, undoable, false);
    });
}

void TestCardsAnimation::animatedLayoutEndsWhereTheInstantOneDoes()
{
    QFETCH(Edit, edit);
    hideStatus(*doc(), "b");
    doc()->setCardColorProperty(Status, false);
    ShownView shown(Status, 0);
    settle(shown);
    QSignalSpy finished(&shown.scene, &CardsScene::animationFinished);
    const QList<Look> before = looks(shown.scene);
    edit(*doc(), true);
    // Under way: nothing has changed yet.
    QCOMPARE(finished.count(), 0);
    QVERIFY(looks(shown.scene) == before);
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 1);

    // A scene without a view lays the same plan out at once.
    CardsScene instant(doc());
    Events whole;
    whole.add(EventType::AllChanged);
    instant.onChangedDoc(whole);
    QVERIFY(looks(shown.scene) == looks(instant));
    QVERIFY(shown.cardsInPlace());
}

void TestCardsAnimation::layoutsBeyondTheLimitTakeEffectAtOnce_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("animated");
    // Re-ordering the columns moves several cards.
    QTest::newRow("within the limit") << 100 << true;
    QTest::newRow("beyond the limit") << 1 << false;
}

void TestCardsAnimation::layoutsBeyondTheLimitTakeEffectAtOnce()
{
    QFETCH(int, limit);
    QFETCH(bool, animated);
    ShownView shown(Status, 0);
    settle(shown);
    shown.scene.setAnimationLimit(limit);
    QSignalSpy finished(&shown.scene, &CardsScene::animationFinished);
    doc()->setValueOrder(Status, {"b", "c", "a"}, true);
    QCOMPARE(shown.cardsInPlace(), !animated);
    QCOMPARE(finished.count(), animated ? 0 : 1);
    if (animated)
        QVERIFY(finished.wait(5000));
    QVERIFY(shown.cardsInPlace());
    QCOMPARE(finished.count(), 1);
}

void TestCardsAnimation::tinyCardsShowTheirColour_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<double>("pixelsHigh");
    QTest::newRow("two and a half pixels") << false << 2.5;
    QTest::newRow("two and a half pixels, selected") << true << 2.5;
    QTest::newRow("five pixels") << false << 5.0;
}

void TestCardsAnimation::tinyCardsShowTheirColour()
{
    QFETCH(bool, selected);
    QFETCH(double, pixelsHigh);
    doc()->setCardColorProperty(Status, false);
    doc()->setHighlightColorProperty(Group, false);
    doc()->setCardAspectRatio(1.0, false);
    ShownView shown(Status, 0);
    settle(shown);
    CardItem *card = shown.scene.cardItemForTask(3);
    card->setSelected(selected);
    // The card's top-left corner at (1, 1) of a picture of 8 by 8 pixels.
    const double scale = pixelsHigh / CardItem::Height;
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        const QRectF source(card->pos() - QPointF(1 / scale, 1 / scale),
                            QSizeF(8 / scale, 8 / scale));
        shown.scene.render(&painter, QRectF(0, 0, 8, 8), source);
    }
    // Below the highlight strip, well inside the card's margins.
    const int middle = 1 + int(pixelsHigh * 0.6);
    QCOMPARE(image.pixelColor(2, middle), doc()->valueColor(3, Status));
}

void TestCardsAnimation::cardsAreFoundWhereTheyMoved_data()
{
    QTest::addColumn<bool>("animate");
    QTest::addColumn<int>("filteredOut");
    QTest::newRow("after an animated layout") << true << 0;
    QTest::newRow("after a layout at once") << false << 0;
    QTest::newRow("filter cleared, animated") << true << 3;
    QTest::newRow("filter cleared at once") << false << 3;
    // Enough for the scene to build its index again rather than take each card out of it.
    QTest::newRow("filter cleared over 1,000 cards, animated") << true << 1000;
    QTest::newRow("filter cleared over 1,000 cards at once") << false << 1000;
}

void TestCardsAnimation::cardsAreFoundWhereTheyMoved()
{
    QFETCH(bool, animate);
    QFETCH(int, filteredOut);
    const bool filterCleared = filteredOut > 0;
    // Filtered, the cards of status a are hidden from the start, then shown again.
    for (int more = 3; more < filteredOut; ++more)
        doc()->addTaskWithValues({{Status, "a"}, {Group, "y"}}, QString(), {}, -1, false);
    if (filterCleared)
        hideStatus(*doc(), "a");
    ShownView shown(Status, Group);
    settle(shown);
    shown.scene.setAnimate(animate);
    const QPointF oldPlace = shown.scene.cardItemForTask(0)->sceneBoundingRect().center();
    QSignalSpy finished(&shown.scene, &CardsScene::animationFinished);
    if (filterCleared) {
        QVERIFY(
            !shown.scene.items(shown.scene.sceneRect()).contains(shown.scene.cardItemForTask(0)));
        doc()->setFilter(false, false, false, {}, true, false);
    } else {
        // Every card changes its column, card 0 to another one as well.
        doc()->setValueOrder(Status, {"c", "b", "a"}, true);
        setStatus(*doc(), 0, "b");
    }
    if (animate)
        QVERIFY(finished.wait(5000));
    QVERIFY(shown.cardsInPlace());
    for (TaskIndex task = 0; task < doc()->taskCount(); ++task) {
        CardItem *card = shown.scene.cardItemForTask(task);
        const QRectF bounds = card->sceneBoundingRect();
        const QPointF centre = bounds.center();
        QVERIFY(shown.scene.items(centre).contains(card));
        QCOMPARE(shown.view.cardItemAt(shown.at(centre)), card);
        if (task >= 6)
            continue;
        // Drawn too, below its text.
        QImage image(bounds.size().toSize(), QImage::Format_ARGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        shown.scene.render(&painter, QRectF(QPointF(0, 0), bounds.size()), bounds);
        painter.end();
        QCOMPARE(image.pixelColor(30, int(bounds.height() * 0.8)), card->bgColor());
    }
    if (!filterCleared)
        QVERIFY(!shown.scene.items(oldPlace).contains(shown.scene.cardItemForTask(0)));
}

TAVROLO_TEST_MAIN(TestCardsAnimation)
#include "tst_cardsanimation.moc"
