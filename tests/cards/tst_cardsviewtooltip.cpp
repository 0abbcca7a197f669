#include "ShownCardsView.h"
#include "cards/CardsViewToolTip.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"

#include <QTextDocument>

// What the Cards view does besides the mouse: card tool tips, the search and the Alt-click
// tip, checked on the tip text, the selection and the zoom.
class TestCardsViewToolTip : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void tipShowsTheCardsTextsAsTyped_data();
    void tipShowsTheCardsTextsAsTyped();
    void longTipsAreCutAndWrappedAfterAWord();
    void tipFollowsTheCardUnderThePointer();
    void noTipWithTheMagnifierOrTipsOff();
    void searchSelectsAndFitsMatchingCards_data();
    void searchSelectsAndFitsMatchingCards();
    void tenthCardAddedPostsTheAltClickTip_data();
    void tenthCardAddedPostsTheAltClickTip();
};

namespace {

void hideTip()
{
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
}

// Counts the events of one type the object receives.
class EventCounter : public QObject
{
public:
    EventCounter(QObject *watched, int type) : m_type(type) { watched->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    int m_type;
};

} // namespace

void TestCardsViewToolTip::init()
{
    doc()->clear(false);
    settings()->setAnimationDuration(0);
    BalloonTip::markShown(QStringLiteral("tip_alt_click"));
    hideTip();
}

void TestCardsViewToolTip::tipShowsTheCardsTextsAsTyped_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("costName");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("tip");
    QTest::newRow("blanks give no row, values are trimmed")
        << QStringList {"  a  ", "   "} << "Cost"
        << "  "
        << "<table><tr><td>Status: </td><td>a</td></tr></table>";
    QTest::newRow("markup shows as typed")
        << QStringList {"a<b", "<img src=\"/etc/x.png\">"} << "Cost"
        << "x & y"
        << "<table><tr><td>Status: </td><td>a&lt;b</td></tr><tr><td>Group: </td><td>&lt;img "
           "src=&quot;/etc/x.png&quot;&gt;</td></tr><tr><td>Notes: </td><td>x &amp; "
           "y</td></tr></table>";
    QTest::newRow("a name holding a place marker")
        << QStringList {"", "", "7"} << "Cost %2" << QString()
        << "<table><tr><td>Cost %2: </td><td>7</td></tr></table>";
}

void TestCardsViewToolTip::tipShowsTheCardsTextsAsTyped()
{
    QFETCH(QStringList, values);
    QFETCH(QString, costName);
    QFETCH(QString, notes);
    QFETCH(QString, tip);
    fillCards({values});
    doc()->setPropertyName(Cost, costName, false);
    doc()->setTaskNotes(0, notes, false);
    ShownView shown(Status, Group);
    // Line feeds aside: long tips are wrapped.
    QCOMPARE(shown.toolTipAt(shown.card(0)).remove(QLatin1Char('\n')), tip);
}

void TestCardsViewToolTip::longTipsAreCutAndWrappedAfterAWord()
{
    const QString words = QStringLiteral("word ").repeated(19) + QStringLiteral("end");
    fillCards({{words, "r1", "12", ""}});
    doc()->setTaskLinks(
        0, {HyperLink(QStringLiteral("Spec sheet"), QUrl(QStringLiteral("http://a.example/")))},
        false);
    doc()->setTaskNotes(0, QStringLiteral("first line\n") + QStringLiteral("x").repeated(300),
                        false);
    ShownView shown(Status, Group);
    const QString html = cardToolTipHtml(shown.scene.cardItemForTask(0));
    QVERIFY(html.size() > CardsViewToolTip::MaxLength);
    const QString tip = shown.toolTipAt(shown.card(0));
    QString unwrapped = tip;
    // Only line feeds were added, and the text was cut to 512 characters and "…".
    QCOMPARE(unwrapped.remove(QLatin1Char('\n')),
             QString(html.left(512) + QChar(0x2026)).remove(QLatin1Char('\n')));
    // The first line feed follows the first white space at or past the 128th character.
    int space = 127;
    while (!html.at(space).isSpace())
        ++space;
    QCOMPARE(tip.indexOf(QLatin1Char('\n')), space + 1);
    // The notes' own line feed starts a line; a long run without white space is not broken.
    QVERIFY(tip.contains(QStringLiteral("line\n") + QStringLiteral("x").repeated(200)));
}

void TestCardsViewToolTip::tipFollowsTheCardUnderThePointer()
{
    fillCards({{"first", "r1"}, {"second", "r2"}});
    ShownView shown(Status, Group);
    QVERIFY(shown.toolTipAt(shown.card(0)).contains(QStringLiteral("first")));
    QVERIFY(shown.toolTipAt(shown.card(1)).contains(QStringLiteral("second")));
    // Off the cards the tip goes.
    shown.toolTipAt(shown.cell(1, 0));
    QTRY_VERIFY(!QToolTip::isVisible());
    // A value changed: the tip shows the plan as it is.
    QString renamed = QStringLiteral("renamed");
    doc()->setValue(0, Status, renamed, true);
    QVERIFY(shown.toolTipAt(shown.card(0)).contains(renamed));
    // A card deleted and another added, whose item may take the deleted one's address: the tip
    // is the new card's.
    QVERIFY(shown.toolTipAt(shown.card(1)).contains(QStringLiteral("second")));
    doc()->deleteTasks({1}, true);
    doc()->addTaskWithValues({{Status, QStringLiteral("third")}, {Group, QStringLiteral("r2")}},
                             QString(), {}, -1, true);
    QTextDocument text;
    text.setHtml(shown.toolTipAt(shown.card(1)));
    QCOMPARE(text.toPlainText().simplified(), QStringLiteral("Status: third Group: r2"));

    // Whether or not the allocator hands a new card the deleted one's item address, every card
    // added or deleted forgets the cached text: here card 0 changes without a notice of its own,
    // and only the card's addition or deletion follows.
    for (const bool add : {true, false}) {
        QString quiet = add ? QStringLiteral("quiet") : QStringLiteral("still");
        QVERIFY(!shown.toolTipAt(shown.card(0)).contains(quiet));
        doc()->setValue(0, Status, quiet, false);
        if (add)
            doc()->addTaskWithValues({{Status, QStringLiteral("fourth")}}, QString(), {}, -1, true);
        else
            doc()->deleteTasks({doc()->taskCount() - 1}, true);
        QVERIFY(shown.toolTipAt(shown.card(0)).contains(quiet));
    }
}

void TestCardsViewToolTip::noTipWithTheMagnifierOrTipsOff()
{
    fillCards({{"first", "r1"}, {"second", "r2"}});
    ShownView shown(Status, Group);
    shown.view.onMagnifyUnderCursor(true);
    QCOMPARE(shown.toolTipAt(shown.card(0)), QString());
    shown.view.onMagnifyUnderCursor(false);
    const QString first = shown.toolTipAt(shown.card(0));
    QVERIFY(!first.isEmpty());
    // Switched off, a tip already up stays as it is, and no other comes.
    shown.view.onToolTipsToggled(false);
    QVERIFY(!settings()->showTooltips());
    QCOMPARE(shown.toolTipAt(shown.card(1)), first);
    hideTip();
    QCOMPARE(shown.toolTipAt(shown.card(1)), QString());
    shown.view.onToolTipsToggled(true);
    QVERIFY(settings()->showTooltips());
    QVERIFY(shown.toolTipAt(shown.card(1)).contains(QStringLiteral("second")));
}

// Search

void TestCardsViewToolTip::searchSelectsAndFitsMatchingCards_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("zoom");
    QTest::addColumn<QList<int>>("selected");
    QTest::newRow("selects only") << "G" << false << QList<int> {2, 3};
    QTest::newRow("selects and fits") << "G" << true << QList<int> {2, 3};
    QTest::newRow("no match, no zoom") << "zz" << true << QList<int>();
}

void TestCardsViewToolTip::searchSelectsAndFitsMatchingCards()
{
    QFETCH(QString, text);
    QFETCH(bool, zoom);
    QFETCH(QList<int>, selected);
    QList<QStringList> cards;
    for (const char *status : {"apple", "pear", "grape", "fig", "plum", "kiwi"})
        cards.append({QLatin1String(status), "r1"});
    fillCards(cards);
    ShownView shown(Status, Group);
    const double fitted = shown.view.currentScale();
    doc()->setSearch(text, zoom, true);
    QCOMPARE(shown.scene.selectedTaskIndexes(), selected);
    const bool zoomed = zoom && !selected.isEmpty();
    QCOMPARE(shown.view.isZoomToFit(), !zoomed);
    if (!zoomed) {
        QCOMPARE(shown.view.currentScale(), fitted);
        return;
    }
    // Fitted with context: at least four card widths by 1560 units around the matches, as far
    // as the scene reaches.
    const QRectF visible = shown.view.mapToScene(shown.view.viewport()->rect()).boundingRect();
    const QRectF scene = shown.view.sceneRect();
    QVERIFY(shown.view.currentScale() > fitted);
    QVERIFY(visible.width() >= std::min(4 * doc()->scaledCardWidth(), scene.width()) - 1);
    QVERIFY(visible.height() >= std::min(1560.0, scene.height()) - 1);
}

// The Alt-click tip

void TestCardsViewToolTip::tenthCardAddedPostsTheAltClickTip_data()
{
    QTest::addColumn<int>("cardsBefore");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("posted");
    QTest::newRow("the ninth") << 8 << int(Group) << 0;
    QTest::newRow("the tenth") << 9 << int(Group) << 1;
    QTest::newRow("the tenth without Y") << 9 << 0 << 0;
}

void TestCardsViewToolTip::tenthCardAddedPostsTheAltClickTip()
{
    QFETCH(int, cardsBefore);
    QFETCH(int, y);
    QFETCH(int, posted);
    fillCards(QVector<QStringList>(cardsBefore, QStringList {"a", "r1"}).toList());
    ShownView shown(Status, y);
    EventCounter tips(&shown.view, QEvent::User + 25);
    doc()->addTaskWithValues({{Status, QStringLiteral("b")}}, QString(), {}, -1, true);
    shown.runPosted();
    QCOMPARE(tips.count, posted);
}

TAVROLO_TEST_MAIN(TestCardsViewToolTip)
#include "tst_cardsviewtooltip.moc"
