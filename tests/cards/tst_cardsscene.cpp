#include "cards/CardItem.h"
#include "cards/CardsLegendItem.h"
#include "cards/CardsScene.h"
#include "cards/DeleteCardItem.h"
#include "cards/EditCardItem.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/PlanFixture.h"

#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QMessageBox>
#include <QPainter>

using namespace PlanFixture;

// The Cards scene on the application's plan, driven by the plan's change events, without a
// view unless a test needs one shown.
class TestCardsScene : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void wholePlanEventPlacesEveryCard();
    void deletingACardRenumbersTheLaterItems();
    void cardsAddedByOneChangeAreSelected();
    void cardsHiddenByTheFilterAreNeverSelected_data();
    void cardsHiddenByTheFilterAreNeverSelected();
    void searchSelectsOnlyShownTextRows();
    void keyboardMovesWrapAround_data();
    void keyboardMovesWrapAround();
    void laterLayoutStopsTheRunningAnimation();
    void overlayClicksRunAfterTheIconsHandler();
    void cardPaintsItsSelectionBorder_data();
    void cardPaintsItsSelectionBorder();
    void legendListsValuesByType_data();
    void legendListsValuesByType();
    void legendDrawsTitleRuleAndSwatches();
    void titleLegendAndFooterFrameTheGrid();
    void addedPropertyShownOnCardsLaysThemOut_data();
    void addedPropertyShownOnCardsLaysThemOut();
    void notesAndLinksRepaintTheirCard_data();
    void notesAndLinksRepaintTheirCard();
};

namespace {

const QColor plainCard(254, 255, 153);

// Name (text) and Group (text) properties, one card per (name, group).
void fillNamesAndGroups(const QList<QStringList> &cards)
{
    Document &plan = *doc();
    plan.clear(false);
    addProperty(plan, QStringLiteral("Name"), PropertyType::Text);
    addProperty(plan, QStringLiteral("Group"), PropertyType::Text);
    for (const QStringList &card : cards)
        plan.addTaskWithValues({{1, card.value(0)}, {2, card.value(1)}}, card.value(2), {}, -1,
                               false);
}

struct SceneOnPlan
{
    SceneOnPlan() : scene(doc())
    {
        QObject::connect(doc(), &Document::changed, &scene, &CardsScene::onChangedDoc);
        doc()->emitChanged(EventType::AllChanged);
    }

    CardItem *item(int task) const { return scene.cardItemForTask(task); }

    CardsScene scene;
};

void hideNames(const QString &name, bool undoable)
{
    FilterTerm term;
    term.propertyIndex = 1;
    term.matchType = MatchType::IsNot;
    term.value = name;
    doc()->setFilter(false, true, false, {term}, undoable, false);
}

void sendMouse(QGraphicsScene &scene, QEvent::Type type, const QPointF &point)
{
    QGraphicsSceneMouseEvent event(type);
    event.setScenePos(point);
    event.setScreenPos(point.toPoint());
    event.setButtonDownScenePos(Qt::LeftButton, point);
    event.setButton(type == QEvent::GraphicsSceneMouseMove ? Qt::NoButton : Qt::LeftButton);
    event.setButtons(type == QEvent::GraphicsSceneMousePress ? Qt::LeftButton : Qt::NoButton);
    QCoreApplication::sendEvent(&scene, &event);
}

void click(QGraphicsScene &scene, const QPointF &point)
{
    sendMouse(scene, QEvent::GraphicsSceneMousePress, point);
    sendMouse(scene, QEvent::GraphicsSceneMouseRelease, point);
}

template<typename Icon>
Icon *iconOf(const CardItem *card)
{
    for (QGraphicsItem *child : card->childItems()) {
        if (Icon *icon = qobject_cast<Icon *>(child->toGraphicsObject()))
            return icon;
    }
    return nullptr;
}

QImage render(QGraphicsScene &scene, const QRectF &source)
{
    QImage image(source.size().toSize(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    scene.render(&painter, QRectF(QPointF(0, 0), source.size()), source);
    return image;
}

} // namespace

void TestCardsScene::init()
{
    doc()->clear(false);
    settings()->setAnimationDuration(0.8);
}

void TestCardsScene::wholePlanEventPlacesEveryCard()
{
    fillNamesAndGroups({{"a", "r1"}, {"b", "r1"}, {"a", "r2"}, {"a", "r2"}});
    doc()->setXProperty(1, false);
    doc()->setYProperty(2, false);
    SceneOnPlan on;
    QCOMPARE(on.scene.cardItems(false, false).size(), 4);
    const QVector<CardsLayouter::Placement> &placements = on.scene.layouter().placements();
    for (TaskIndex task = 0; task < 4; ++task) {
        QCOMPARE(on.item(task)->taskIndex(), task);
        QCOMPARE(on.item(task)->pos(), placements.at(task).target);
        QCOMPARE(on.item(task)->bgColor(), plainCard);
        QCOMPARE(on.item(task)->highlightColor(), plainCard);
    }
    // Column a is two cards wide for the two cards of (a, r2), which lie side by side.
    QCOMPARE(on.item(3)->pos(), QPointF(507, 390));
    QCOMPARE(on.scene.columnWidths(), (QList<int> {1014, 507}));
    // The grid, its headers above and left, and the margin of 65 around them.
    QCOMPARE(on.scene.sceneRect(), QRectF(-215, -215, 1521 + 280, 780 + 280));
}

void TestCardsScene::deletingACardRenumbersTheLaterItems()
{
    QList<QStringList> cards;
    for (int i = 0; i < 10; ++i)
        cards.append(QStringList {QString::number(i)});
    fillNamesAndGroups(cards);
    SceneOnPlan on;
    QList<CardItem *> before;
    for (TaskIndex task = 0; task < 10; ++task)
        before.append(on.item(task));
    doc()->deleteTask(3, true);
    QCOMPARE(on.scene.cardItems(false, false).size(), 9);
    for (TaskIndex task = 4; task < 10; ++task) {
        QCOMPARE(before.at(task)->taskIndex(), task - 1);
        QCOMPARE(on.item(task - 1), before.at(task));
    }
    QCOMPARE(on.item(2), before.at(2));
}

void TestCardsScene::cardsAddedByOneChangeAreSelected()
{
    fillNamesAndGroups({{"a"}, {"b"}});
    SceneOnPlan on;
    on.item(1)->setSelected(true);
    doc()->duplicateTasks({0}, 2, true);
    QCOMPARE(on.scene.selectedTaskIndexes(), (QList<int> {2, 3}));
    QCOMPARE(on.item(3)->pos(), on.scene.layouter().placements().at(3).target);
}

void TestCardsScene::cardsHiddenByTheFilterAreNeverSelected_data()
{
    QTest::addColumn<QString>("selection");
    QTest::newRow("select all") << "all";
    QTest::newRow("select tasks") << "tasks";
    QTest::newRow("search") << "search";
}

void TestCardsScene::cardsHiddenByTheFilterAreNeverSelected()
{
    QFETCH(QString, selection);
    fillNamesAndGroups({{"match one"}, {"match two"}, {"other"}});
    SceneOnPlan on;
    on.item(1)->setSelected(true);
    const QPointF placed = on.item(1)->pos();
    hideNames(QStringLiteral("match two"), true);
    // Faded out where it stood, and no longer selected.
    QCOMPARE(on.item(1)->opacity(), 0.0);
    QCOMPARE(on.item(1)->pos(), placed);
    QVERIFY(!on.item(1)->passesFilter());
    QVERIFY(on.scene.selectedTaskIndexes().isEmpty());
    // Nor does it offer its icons to a pointer passing over it.
    sendMouse(on.scene, QEvent::GraphicsSceneMouseMove, on.item(1)->sceneBoundingRect().center());
    QVERIFY(!iconOf<DeleteCardItem>(on.item(1)));
    QSignalSpy selectionChanges(&on.scene, &QGraphicsScene::selectionChanged);
    if (selection == "all") {
        on.scene.selectAll();
        QCOMPARE(on.scene.selectedTaskIndexes(), (QList<int> {0, 2}));
    } else if (selection == "tasks") {
        on.scene.selectTasks({0, 1});
        QCOMPARE(on.scene.selectedTaskIndexes(), QList<int> {0});
    } else {
        doc()->setSearch(QStringLiteral("MATCH"), false, false);
        on.scene.selectMatchingCards();
        QCOMPARE(on.scene.selectedTaskIndexes(), QList<int> {0});
    }
    QCOMPARE(selectionChanges.count(), 1);
    QCOMPARE(on.scene.visibleTaskIndexes(), (QList<int> {0, 2}));
}

void TestCardsScene::searchSelectsOnlyShownTextRows()
{
    // Card 0 shows "xABCx" in a bold row; card 1 holds abc only in a hidden property, card 2
    // only in its notes, card 3 in a shown row but is filtered out.
    fillNamesAndGroups({{"xABCx", "g"}, {"n", "abc"}, {"n", "g", "abc"}, {"abc", "g"}});
    doc()->setPropertyVisibility(1, PropertyVisibility::BoldText, false);
    doc()->setPropertyVisibility(2, PropertyVisibility::Hidden, false);
    hideNames(QStringLiteral("abc"), false);
    SceneOnPlan on;
    doc()->setSearch(QStringLiteral("abc"), false, false);
    on.scene.selectMatchingCards();
    QCOMPARE(on.scene.selectedTaskIndexes(), QList<int> {0});
    doc()->setSearch(QString(), false, false);
    on.scene.selectMatchingCards();
    QVERIFY(on.scene.selectedTaskIndexes().isEmpty());
}

void TestCardsScene::keyboardMovesWrapAround_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    // Cells: (a, r1) card 0, (b, r1) card 1, (a, r2) card 2, (b, r2) card 3.
    QTest::newRow("right along the row") << 0 << int(Qt::Key_Right) << 1;
    QTest::newRow("right from the last card") << 3 << int(Qt::Key_Right) << 0;
    QTest::newRow("down the column") << 0 << int(Qt::Key_Down) << 2;
    QTest::newRow("up from the first card") << 0 << int(Qt::Key_Up) << 3;
    QTest::newRow("left from the first card") << 0 << int(Qt::Key_Left) << 3;
}

void TestCardsScene::keyboardMovesWrapAround()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    fillNamesAndGroups({{"a", "r1"}, {"b", "r1"}, {"a", "r2"}, {"b", "r2"}});
    doc()->setXProperty(1, false);
    doc()->setYProperty(2, false);
    SceneOnPlan on;
    QVERIFY(!on.scene.moveCardsByKey(key));
    on.item(from)->setSelected(true);
    QCOMPARE(on.scene.moveCardsByKey(key), on.item(to));
    QCOMPARE(on.scene.selectedTaskIndexes(), QList<int> {to});
}

void TestCardsScene::laterLayoutStopsTheRunningAnimation()
{
    // Card 3 moves between the columns a, b and c.
    fillNamesAndGroups({{"a"}, {"b"}, {"c"}, {"a"}});
    doc()->setXProperty(1, false);
    SceneOnPlan on;
    QGraphicsView view(&on.scene);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const auto atTargets = [&on] {
        const QVector<CardsLayouter::Placement> &placements = on.scene.layouter().placements();
        for (TaskIndex task = 0; task < 4; ++task) {
            if (on.item(task)->pos() != placements.at(task).target)
                return false;
        }
        return true;
    };
    QSignalSpy finished(&on.scene, &CardsScene::animationFinished);
    QString text = QStringLiteral("c");
    doc()->setValue(3, 1, text, true);
    QVERIFY(finished.isEmpty());
    QVERIFY(!atTargets());
    QTest::qWait(100);
    // An undo restores at once, without animation, while the glide is under way.
    on.scene.setAnimate(false);
    text = QStringLiteral("a");
    doc()->setValue(3, 1, text, true);
    on.scene.setAnimate(true);
    QCOMPARE(finished.count(), 1);
    QVERIFY(atTargets());
    QTest::qWait(1000);
    QVERIFY(atTargets());
    QCOMPARE(finished.count(), 1);

    // With the view shown, a change glides in the set time and then reports its end.
    text = QStringLiteral("b");
    doc()->setValue(3, 1, text, true);
    QVERIFY(!atTargets());
    QVERIFY(finished.wait(2000));
    QVERIFY(atTargets());
}

void TestCardsScene::overlayClicksRunAfterTheIconsHandler()
{
    fillNamesAndGroups({{"a"}, {"b"}, {"c"}});
    doc()->setXProperty(1, false);
    SceneOnPlan on;
    DocumentRecorder recorder(*doc());
    QSignalSpy edits(&on.scene, &CardsScene::editTask);
    // The main window answers an edit with a modal dialog, whose leave event takes the icons
    // away while the click is still being handled.
    connect(&on.scene, &CardsScene::editTask, this, [&on] {
        ModalAnswer answer(QStringLiteral("OK"));
        QMessageBox::information(nullptr, QStringLiteral("Tavrolo"), QStringLiteral("Edit"));
        on.scene.setOverlaysVisible(false);
    });
    const QPointF card = on.item(1)->sceneBoundingRect().center();
    sendMouse(on.scene, QEvent::GraphicsSceneMouseMove, card);
    EditCardItem *edit = iconOf<EditCardItem>(on.item(1));
    QVERIFY(edit && edit->isVisible());
    QVERIFY(iconOf<DeleteCardItem>(on.item(1)));
    click(on.scene, edit->sceneBoundingRect().center());
    QTRY_COMPARE(edits.count(), 1);
    QCOMPARE(edits.first().first().toInt(), 1);
    QVERIFY(!iconOf<EditCardItem>(on.item(1)));

    on.scene.setOverlaysVisible(true);
    sendMouse(on.scene, QEvent::GraphicsSceneMouseMove, QPointF(-500, -500));
    sendMouse(on.scene, QEvent::GraphicsSceneMouseMove, card);
    DeleteCardItem *remove = iconOf<DeleteCardItem>(on.item(1));
    QVERIFY(remove);
    click(on.scene, remove->sceneBoundingRect().center());
    QTRY_COMPARE(doc()->taskCount(), 2);
    // One step "Delete Card" (the model announces it twice; the undo list keeps one snapshot).
    QCOMPARE(recorder.undoTexts.last(), QStringLiteral("Delete Card"));
    QCOMPARE(recorder.undoTexts.count(QStringLiteral("Delete Card")), recorder.undoTexts.size());
    QCOMPARE(recorder.eventTypes(), QList<QList<int>> {{EventType::TasksDeleted}});
    QCOMPARE(column(*doc(), 1), (QStringList {"a", "c"}));

    // A click whose card is gone before its turn comes does nothing.
    const QPointF other = on.item(1)->sceneBoundingRect().center();
    sendMouse(on.scene, QEvent::GraphicsSceneMouseMove, other);
    remove = iconOf<DeleteCardItem>(on.item(1));
    QVERIFY(remove);
    click(on.scene, remove->sceneBoundingRect().center());
    doc()->emitChanged(EventType::AllChanged);
    QTest::qWait(50);
    QCOMPARE(doc()->taskCount(), 2);
}

void TestCardsScene::cardPaintsItsSelectionBorder_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("shadow");
    QTest::addColumn<QColor>("border");
    // At aspect ratio 1 the card is 390 wide: inset 19.5 with a 1-unit black line, or, selected,
    // inset 5 with a 20-unit line of the selection colour. A drop shadow changes neither.
    QTest::newRow("unselected") << false << false << QColor(Qt::white);
    QTest::newRow("selected") << true << false << QColor(0, 0, 255);
    QTest::newRow("unselected with shadow") << false << true << QColor(Qt::white);
    QTest::newRow("selected with shadow") << true << true << QColor(0, 0, 255);
}

void TestCardsScene::cardPaintsItsSelectionBorder()
{
    QFETCH(bool, selected);
    QFETCH(bool, shadow);
    QFETCH(QColor, border);
    fillNamesAndGroups({{"a"}});
    doc()->setShowDropShadow(shadow ? 1 : 0, false);
    doc()->setCardAspectRatio(1.0, false);
    doc()->setCardsGradient(0, false);
    doc()->setPropertyVisibility(1, PropertyVisibility::Hidden, false);
    doc()->setPropertyVisibility(2, PropertyVisibility::Hidden, false);
    SceneOnPlan on;
    CardItem *card = on.item(0);
    QCOMPARE(card->boundingRect(), QRectF(0, 0, 390, 390));
    card->setSelected(selected);
    const QImage image = render(on.scene, card->sceneBoundingRect());
    QCOMPARE(image.pixelColor(3, 195), QColor(Qt::white));
    QCOMPARE(image.pixelColor(15, 195), border);
    QCOMPARE(image.pixelColor(195, 15), border);
    QCOMPARE(image.pixelColor(30, 195), plainCard);
    QCOMPARE(image.pixelColor(195, 195), plainCard);
    if (!selected) {
        // The thin black line lies on the 19.5 inset.
        QVERIFY(qGray(image.pixel(19, 195)) < 200);
        QCOMPARE(image.pixelColor(17, 195), QColor(Qt::white));
        QCOMPARE(image.pixelColor(22, 195), plainCard);
    }
}

void TestCardsScene::legendListsValuesByType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("legend");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("text, visible colours") << int(PropertyType::Text) << 3 << QStringList {"shown"};
    QTest::newRow("text, all colours")
        << int(PropertyType::Text) << 1 << QStringList {"unused", "shown", "hidden"};
    QTest::newRow("numeric") << int(PropertyType::Numeric) << 2
                             << QStringList {"Minimum", "Maximum"};
    QTest::newRow("date") << int(PropertyType::Date) << 4
                          << QStringList {"Past",        "Today",   "Tomorrow",
                                          "Next 7 days", ">7 days", "Undefined"};
}

void TestCardsScene::legendListsValuesByType()
{
    QFETCH(int, type);
    QFETCH(int, legend);
    QFETCH(QStringList, entries);
    fillNamesAndGroups({{"shown", "x"}, {"hidden", "y"}});
    doc()->editProperty(1, QStringLiteral("Name"), QString(), type, {"unused"},
                        doc()->propertyAppearance(1), false);
    doc()->setCardColorProperty(1, false);
    doc()->setCardsShowLegend(legend, false);
    FilterTerm term;
    term.propertyIndex = 2;
    term.matchType = MatchType::Is;
    term.value = QStringLiteral("x");
    doc()->setFilter(false, true, false, {term}, false, false);
    SceneOnPlan on;
    CardsLegendItem *item = nullptr;
    for (QGraphicsItem *candidate : on.scene.items()) {
        if ((item = dynamic_cast<CardsLegendItem *>(candidate)))
            break;
    }
    QVERIFY(item);
    QCOMPARE(item->columns().size(), 1);
    QStringList labels;
    for (const auto &entry : item->columns().first().entries)
        labels.append(entry.first);
    QCOMPARE(labels, entries);
}

void TestCardsScene::legendDrawsTitleRuleAndSwatches()
{
    fillNamesAndGroups({{"one"}, {"two"}});
    doc()->setCardColorProperty(1, false);
    doc()->setCardsGradient(0, false);
    CardsLegendItem legend(doc());
    QCOMPARE(legend.boundingRect().height(), 416.0 + 2 * 162 - 32);
    const QSize size = legend.boundingRect().size().toSize();
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    legend.paint(&painter, nullptr);
    painter.end();
    const QColor first = doc()->colorForValue(1, QStringLiteral("one"));
    const QColor second = doc()->colorForValue(1, QStringLiteral("two"));
    // One column: the rule under the title at 286, the first swatch at 351, the next 162 below.
    QVERIFY(qGray(image.pixel(size.width() / 2, 286)) < 64);
    QCOMPARE(image.pixelColor(size.width() / 2, 300), QColor(Qt::white));
    QCOMPARE(image.pixelColor(130, 351 + 65), first);
    QCOMPARE(image.pixelColor(130, 351 + 162 + 65), second);
    QCOMPARE(image.pixelColor(130, 345), QColor(Qt::white));

    // No cards: nothing to explain.
    doc()->deleteTasks(doc()->taskIndexes(), false);
    legend.clear();
    QCOMPARE(legend.boundingRect(), QRectF(0, 0, 0, 0));
}

void TestCardsScene::titleLegendAndFooterFrameTheGrid()
{
    fillNamesAndGroups({{"a"}, {"b"}});
    doc()->setXProperty(1, false);
    doc()->setCardColorProperty(1, false);
    SceneOnPlan on;
    const QRectF plain = on.scene.sceneRect();
    // A title of blanks shows but takes no room.
    doc()->setCardsTitle(QStringLiteral("   "), true);
    QCOMPARE(on.scene.sceneRect(), plain);

    doc()->setCardsTitle(QStringLiteral("Title"), false);
    doc()->setCardsFooter(QStringLiteral("Footer"), false);
    doc()->setCardsShowLegend(1, true);
    QGraphicsItem *title = nullptr;
    QGraphicsItem *footer = nullptr;
    QGraphicsItem *legend = nullptr;
    for (QGraphicsItem *item : on.scene.items()) {
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item))
            (text->text() == "Title" ? title : footer) = text;
        else if (dynamic_cast<CardsLegendItem *>(item))
            legend = item;
    }
    QVERIFY(title && footer && legend);
    const int header = doc()->cardsHeaderSize();
    QVERIFY(title->sceneBoundingRect().bottom() < -header);
    QCOMPARE(legend->pos().y(), on.scene.totalHeight() + 65.0 + 130.0);
    QVERIFY(footer->sceneBoundingRect().top() > legend->sceneBoundingRect().bottom());
    const QRectF rect = on.scene.sceneRect();
    for (QGraphicsItem *item : {title, footer, legend})
        QVERIFY(rect.contains(item->sceneBoundingRect()));

    // On the right, 130 units right of the margin.
    doc()->setCardsFooter(QString(), false);
    doc()->setCardsShowLegend(2, true);
    QCOMPARE(legend->pos().x(), on.scene.totalWidth() + 65.0 + 130.0);
}

void TestCardsScene::addedPropertyShownOnCardsLaysThemOut_data()
{
    QTest::addColumn<int>("visibility");
    QTest::addColumn<int>("legendColumns");
    QTest::newRow("hidden") << int(PropertyVisibility::Hidden) << 1;
    QTest::newRow("as text") << int(PropertyVisibility::Text) << 1;
    QTest::newRow("as a star") << int(PropertyVisibility::Star) << 2;
}

// A property shown on the cards from the start is drawn on every card: the cards are laid out
// for it, and the legend explains its marker, as in a scene built afresh on the plan. A hidden
// one changes nothing the scene shows.
void TestCardsScene::addedPropertyShownOnCardsLaysThemOut()
{
    QFETCH(int, visibility);
    QFETCH(int, legendColumns);
    settings()->setAnimationDuration(0.0);
    fillNamesAndGroups({{"a", "x"}, {"b", "y"}});
    doc()->setCardColorProperty(1, false);
    doc()->setCardsShowLegend(1, false);
    SceneOnPlan on;
    QSignalSpy layouts(&on.scene, &CardsScene::redrawing);
    const auto legendColumnCount = [](const CardsScene &scene) {
        for (QGraphicsItem *item : scene.items()) {
            if (const auto *legend = dynamic_cast<const CardsLegendItem *>(item))
                return legend->isVisible() ? legend->columns().size() : 0;
        }
        return 0;
    };

    doc()->addProperty(QStringLiteral("Risk"), QStringLiteral("Low"), PropertyType::Text,
                       {QStringLiteral("High"), QStringLiteral("Low")}, visibility,
                       PropertyAppearance(), true);

    QCOMPARE(layouts.count(), visibility == PropertyVisibility::Hidden ? 0 : 1);
    QCOMPARE(legendColumnCount(on.scene), legendColumns);
    SceneOnPlan fresh;
    QCOMPARE(legendColumnCount(fresh.scene), legendColumns);
    QCOMPARE(on.scene.sceneRect(), fresh.scene.sceneRect());
}

void TestCardsScene::notesAndLinksRepaintTheirCard_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("notes written") << QStringLiteral("notes");
    QTest::newRow("notes cleared") << QStringLiteral("no notes");
    QTest::newRow("a link added") << QStringLiteral("links");
}

// A card shows an icon for its notes and one for its links; the card must be painted again
// when either changes, or the icon stays as it was until something else repaints the card.
void TestCardsScene::notesAndLinksRepaintTheirCard()
{
    QFETCH(QString, change);
    settings()->setAnimationDuration(0.0);
    fillNamesAndGroups({{"a", "x"}, {"b", "y"}});
    doc()->setTaskNotes(1, QStringLiteral("old notes"), false);
    doc()->setShowNotes(true, false);
    SceneOnPlan on;
    QCoreApplication::processEvents();
    QSignalSpy repaints(&on.scene, &QGraphicsScene::changed);

    if (change == QLatin1String("notes"))
        doc()->setTaskNotes(0, QStringLiteral("call the printer"), true);
    else if (change == QLatin1String("no notes"))
        doc()->setTaskNotes(1, QString(), true);
    else
        doc()->setTaskLinks(0, {HyperLink(QUrl(QStringLiteral("https://example.org/a")))}, true);
    QCoreApplication::processEvents();

    const int task = change == QLatin1String("no notes") ? 1 : 0;
    const QRectF card = on.item(task)->sceneBoundingRect();
    bool covered = false;
    for (const QVariant &arguments : repaints.isEmpty() ? QVariantList() : repaints.first()) {
        for (const QRectF &rect : arguments.value<QList<QRectF>>())
            covered = covered || rect.contains(card);
    }
    QVERIFY2(covered, "the card was not painted again");
}

TAVROLO_TEST_MAIN(TestCardsScene)
#include "tst_cardsscene.moc"
