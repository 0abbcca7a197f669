#include "ShownCardsView.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

// The layout animation of the Cards scene: an animated layout ends where the same layout
// without animation puts the cards, and a layout that changes more cards than the animation
// limit takes effect at once.
class TestCardsAnimation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void animatedLayoutEndsWhereTheInstantOneDoes_data();
    void animatedLayoutEndsWhereTheInstantOneDoes();
    void layoutsBeyondTheLimitTakeEffectAtOnce_data();
    void layoutsBeyondTheLimitTakeEffectAtOnce();
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

TAVROLO_TEST_MAIN(TestCardsAnimation)
#include "tst_cardsanimation.moc"
