#include "ShownCardsView.h"
#include "common/core/NumberDateText.h"
#include "common/core/UrlOpener.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "harness/TestPlanKey.h"

#include <QLineEdit>
#include <QTabWidget>

// The Cards view's context menus and the commands they post, driven by right clicks on the
// shown view, checked on the plan, its filter and its undo texts.
class TestCardsViewMenus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cardMenuFollowsThePointer_data();
    void cardMenuFollowsThePointer();
    void cardMenuEntriesReachTheMainWindow_data();
    void cardMenuEntriesReachTheMainWindow();
    void cardMenuListsEachLinkOnce_data();
    void cardMenuListsEachLinkOnce();
    void headerMenuShowsTheHeadersState_data();
    void headerMenuShowsTheHeadersState();
    void numericHeaderOpensItsOrderingPage_data();
    void numericHeaderOpensItsOrderingPage();
    void rubberBandLetGoOnAHeaderOnlySelects_data();
    void rubberBandLetGoOnAHeaderOnlySelects();
    void addingAValueAsksUntilItIsNew_data();
    void addingAValueAsksUntilItIsNew();
    void renamingRefusesAnyExistingLabel();
    void headerMessagesShowValuesAsWritten_data();
    void headerMessagesShowValuesAsWritten();
    void deletingAColumnTakesItsCards_data();
    void deletingAColumnTakesItsCards();
    void deletingTakesTheCardsOfTheValueAfterTheWarning_data();
    void deletingTakesTheCardsOfTheValueAfterTheWarning();
    void hidingAndShowingWritesTheFilter_data();
    void hidingAndShowingWritesTheFilter();
    void showIfEmptyIsKeptWithoutAnUndoStep();
    void staleCommandsDoNothing_data();
    void staleCommandsDoNothing();
};

namespace {

QStringList textsOf(const QList<MenuEntry> &entries)
{
    QStringList texts;
    for (const MenuEntry &entry : entries)
        texts.append(entry.text);
    return texts;
}

const MenuEntry *entryOf(const QList<MenuEntry> &entries, const QString &text)
{
    for (const MenuEntry &entry : entries) {
        if (entry.text == text)
            return &entry;
    }
    return nullptr;
}

// Answers modal windows in turn: each step names the button to press and what to do before.
class AnswerSequence : public QObject
{
public:
    struct Step
    {
        QString button;
        ModalAnswer::Action action;
    };

    explicit AnswerSequence(QList<Step> steps) : m_steps(std::move(steps)) { next(); }

    // What each answered window showed: a message box's text, else its title.
    QStringList shown;
    // Whether any answered window showed text as markup.
    bool markup = false;
    int answered = 0;

private:
    void next()
    {
        if (m_steps.isEmpty())
            return;
        const Step step = m_steps.takeFirst();
        auto *answer = new ModalAnswer(step.button, {}, step.action);
        answer->setParent(this);
        connect(answer, &ModalAnswer::finished, this, [this, answer] {
            shown.append(answer->shownText());
            markup = markup || answer->shownAsMarkup();
            answered += answer->answered() ? 1 : 0;
            answer->deleteLater();
            next();
        });
    }

    QList<Step> m_steps;
};

// A dialog step that types the text; the text the dialog offered is kept.
AnswerSequence::Step typeText(const QString &text, QStringList *offered)
{
    return {QStringLiteral("OK"), [text, offered](QWidget *modal) {
                auto *edit = modal->findChild<QLineEdit *>(QStringLiteral("m_lineEdit"));
                offered->append(edit->text());
                edit->setText(text);
            }};
}

AnswerSequence::Step press(const QString &button)
{
    return {button, ModalAnswer::Action()};
}

QStringList cardStatuses()
{
    QStringList statuses;
    for (TaskIndex task = 0; task < doc()->taskCount(); ++task)
        statuses.append(doc()->value(task, Status));
    return statuses;
}

// Filter terms written as "property match value".
QStringList termTexts(const QList<FilterTerm> &terms)
{
    QStringList texts;
    for (const FilterTerm &term : terms)
        texts.append(
            QStringLiteral("%1 %2 %3").arg(term.propertyIndex).arg(term.matchType).arg(term.value));
    return texts;
}

QList<FilterTerm> termsFrom(const QStringList &texts)
{
    QList<FilterTerm> terms;
    for (const QString &text : texts) {
        const QStringList parts = text.split(QLatin1Char(' '));
        terms.append(FilterTerm(parts.at(0).toInt(), parts.at(1).toInt(), parts.at(2)));
    }
    return terms;
}

} // namespace

void TestCardsViewMenus::initTestCase()
{
    QApplication::setStartDragDistance(4);
}

void TestCardsViewMenus::init()
{
    doc()->clear(false);
    settings()->setAnimationDuration(0);
    settings()->write(Settings::Key::ShowWarningDelCol, true);
    for (const char *tip : {"tip_drag_shift", "tip_space_scroll", "tip_alt_click"})
        BalloonTip::markShown(QLatin1String(tip));
}

// Card and cell menus

void TestCardsViewMenus::cardMenuFollowsThePointer_data()
{
    QTest::addColumn<QList<int>>("selected");
    // A card, or -1 for the empty cell (a, r2), -2 for the corner between the headers.
    QTest::addColumn<int>("target");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<int>>("selection");
    const QStringList one {"Edit 1 Card...", "Duplicate 1 Card...", "Zoom Selected",
                           "Delete 1 Card"};
    const QStringList three {"Edit 3 Cards...", "Duplicate 3 Cards...", "Zoom Selected",
                             "Delete 3 Cards"};
    QTest::newRow("an unselected card while three are selected")
        << QList<int> {0, 1, 2} << 3 << one << QList<int> {3};
    QTest::newRow("one of three selected cards")
        << QList<int> {0, 1, 2} << 1 << three << QList<int> {0, 1, 2};
    QTest::newRow("an empty cell")
        << QList<int> {0} << -1 << QStringList {"Add Card..."} << QList<int>();
    QTest::newRow("outside every cell") << QList<int>() << -2 << QStringList() << QList<int>();
}

void TestCardsViewMenus::cardMenuFollowsThePointer()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, target);
    QFETCH(QStringList, entries);
    QFETCH(QList<int>, selection);
    fillCards({{"a", "r1"}, {"a", "r1"}, {"b", "r1"}, {"b", "r2"}});
    ShownView shown(Status, Group);
    shown.scene.selectTasks(selected);
    const QPoint point = target >= 0 ? shown.card(target)
        : target == -1               ? shown.cell(0, 1)
                                     : shown.at(QPointF(-40, -40));
    DocumentRecorder recorder(*doc());
    QCOMPARE(textsOf(shown.rightClick(point)), entries);
    QCOMPARE(shown.scene.selectedTaskIndexes(), selection);
    shown.runPosted();
    QVERIFY(recorder.isSilent());
}

void TestCardsViewMenus::cardMenuEntriesReachTheMainWindow_data()
{
    QTest::addColumn<QList<int>>("selected");
    // The entry to choose; none for an Alt+click into the empty cell.
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("heardAtOnce");
    QTest::addColumn<QStringList>("heardLater");
    const QList<int> two {0, 1};
    QTest::newRow("edit") << two << "Edit 2 Cards..." << QStringList() << QStringList {"edit"};
    QTest::newRow("delete at once")
        << two << "Delete 2 Cards" << QStringList {"delete"} << QStringList {"delete"};
    QTest::newRow("add a card in the empty cell")
        << QList<int>() << "Add Card..." << QStringList() << QStringList {"new a r2"};
    QTest::newRow("alt click in the empty cell")
        << QList<int>() << QString() << QStringList() << QStringList {"new a r2"};
}

void TestCardsViewMenus::cardMenuEntriesReachTheMainWindow()
{
    QFETCH(QList<int>, selected);
    QFETCH(QString, entry);
    QFETCH(QStringList, heardAtOnce);
    QFETCH(QStringList, heardLater);
    fillCards({{"a", "r1"}, {"b", "r1"}, {"b", "r2"}});
    ShownView shown(Status, Group);
    shown.scene.selectTasks(selected);
    QStringList heard;
    connect(&shown.view, &CardsView::editSelectedCards, [&] { heard << "edit"; });
    connect(&shown.view, &CardsView::deleteSelectedCards, [&] { heard << "delete"; });
    connect(&shown.scene, &CardsScene::newTask, [&](const QList<PropertyIndexAndValue> &presets) {
        QStringList values {"new"};
        for (const PropertyIndexAndValue &preset : presets)
            values << preset.second;
        heard << values.join(QLatin1Char(' '));
    });
    const QPoint point = selected.isEmpty() ? shown.cell(0, 1) : shown.card(0);
    if (entry.isEmpty()) {
        shown.press(point, Qt::AltModifier);
        shown.release(point, Qt::AltModifier);
    } else {
        QVERIFY(entryOf(shown.rightClick(point, entry), entry));
    }
    QCOMPARE(heard, heardAtOnce);
    shown.runPosted();
    QCOMPARE(heard, heardLater);
}

void TestCardsViewMenus::cardMenuListsEachLinkOnce_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("message");
    QTest::newRow("opened") << "http://r.example/x?a=1" << true << QString();
    QTest::newRow("cannot be opened")
        << "http://r.example/x?a=1" << false << "Unable to open link 'http://r.example/x?a=1'.";
    // The parser rejects it, the link keeps it: the message names it.
    QTest::newRow("address the parser rejects")
        << "https://r&d server/x" << false << "Unable to open link 'https://r&d server/x'.";
}

void TestCardsViewMenus::cardMenuListsEachLinkOnce()
{
    QFETCH(QString, address);
    QFETCH(bool, opens);
    QFETCH(QString, message);
    fillCards({{"a", "r1"}, {"a", "r1"}, {"b", "r1"}});
    const HyperLink spec(QStringLiteral("Spec"), QUrl(QStringLiteral("http://a.example/1")));
    const QString longName(70, QLatin1Char('W'));
    doc()->setTaskLinks(0, {spec, HyperLink::fromUrlText(QStringLiteral("R&D"), address)}, false);
    doc()->setTaskLinks(
        1,
        {spec, HyperLink(QStringLiteral("Spec"), QUrl(QStringLiteral("http://b.example/2"))),
         HyperLink(longName, QUrl(QStringLiteral("http://w.example/")))},
        false);
    ShownView shown(Status, Group);
    shown.scene.selectTasks({0, 1});
    QList<QUrl> opened;
    const UrlOpenerFunction previous = setUrlOpener([&](const QUrl &url) {
        opened << url;
        return opens;
    });
    std::unique_ptr<ModalAnswer> answer;
    if (!opens)
        answer = std::make_unique<ModalAnswer>(QStringLiteral("OK"));
    const QList<MenuEntry> entries = shown.rightClick(shown.card(0), QStringLiteral("R&&D"));
    setUrlOpener(previous);
    QCOMPARE(textsOf(entries).mid(2, 4),
             QStringList({"R&&D", "Spec", "Spec", longName.left(63) + QChar(0x2026)}));
    QCOMPARE(opened, QList<QUrl> {QUrl(address)});
    QCOMPARE(answer ? answer->shownText() : QString(), message);
}

// Header menus

void TestCardsViewMenus::headerMenuShowsTheHeadersState_data()
{
    QTest::addColumn<bool>("column");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("predefined");
    QTest::addColumn<bool>("hideB");
    QTest::addColumn<QStringList>("entries");
    // Checked "Show this ... if empty", enabled "Hide other ...", enabled "Show all ...".
    QTest::addColumn<QList<bool>>("states");
    QTest::newRow("a column") << true << "Status" << QStringList() << false << QStringList()
                              << QList<bool> {false, true, false};
    QTest::newRow("a predefined value") << true << "Status" << QStringList {"a"} << false
                                        << QStringList() << QList<bool> {true, true, false};
    QTest::newRow("the one column shown") << true << "Status" << QStringList() << true
                                          << QStringList() << QList<bool> {false, false, true};
    QTest::newRow("a row named with an ampersand") << false << "R&D" << QStringList() << false
                                                   << QStringList {"Edit Property 'R&&D'...",
                                                                   "Add Row Above",
                                                                   "Add Row Below",
                                                                   "Rename Row",
                                                                   "Show this row if empty",
                                                                   "Hide this row",
                                                                   "Hide other rows",
                                                                   "Show all rows",
                                                                   "Delete Row"}
                                                   << QList<bool> {false, true, false};
}

void TestCardsViewMenus::headerMenuShowsTheHeadersState()
{
    QFETCH(bool, column);
    QFETCH(QString, name);
    QFETCH(QStringList, predefined);
    QFETCH(bool, hideB);
    QFETCH(QStringList, entries);
    QFETCH(QList<bool>, states);
    fillCards({{"a"}, {"b"}});
    doc()->setPropertyName(Status, name, false);
    for (const QString &value : predefined)
        doc()->addPredefinedValue(Status, value, false);
    if (hideB)
        doc()->setFilter(false, true, false, termsFrom({"1 3 b"}), false, false);
    ShownView shown(column ? Status : 0, column ? 0 : Status);
    const QList<MenuEntry> shownEntries = shown.rightClick(shown.header(column, 0));
    if (!entries.isEmpty())
        QCOMPARE(textsOf(shownEntries), entries);
    const QString kind = column ? QStringLiteral("column") : QStringLiteral("row");
    const MenuEntry *showIfEmpty
        = entryOf(shownEntries, QStringLiteral("Show this %1 if empty").arg(kind));
    const MenuEntry *hideOthers = entryOf(shownEntries, QStringLiteral("Hide other %1s").arg(kind));
    const MenuEntry *showAll = entryOf(shownEntries, QStringLiteral("Show all %1s").arg(kind));
    QVERIFY(showIfEmpty && hideOthers && showAll);
    QCOMPARE(QList<bool>({showIfEmpty->checked, hideOthers->enabled, showAll->enabled}), states);
}

void TestCardsViewMenus::numericHeaderOpensItsOrderingPage_data()
{
    QTest::addColumn<bool>("rightButton");
    QTest::newRow("left button") << false;
    QTest::newRow("right button") << true;
}

void TestCardsViewMenus::numericHeaderOpensItsOrderingPage()
{
    QFETCH(bool, rightButton);
    fillCards({{"a", "r1", "5"}, {"b", "r1", "15"}});
    ShownView shown(Cost, Group);
    int page = -1;
    ModalAnswer answer(QStringLiteral("Cancel"), {}, [&](QWidget *modal) {
        page = modal->findChild<QTabWidget *>()->currentIndex();
    });
    const QPoint point = shown.header(true, 1);
    if (rightButton) {
        QVERIFY(shown.rightClick(point).isEmpty());
    } else {
        shown.press(point);
        shown.release(point);
    }
    DocumentRecorder recorder(*doc());
    shown.runPosted();
    QVERIFY(answer.answered());
    QCOMPARE(page, 2);
    QVERIFY(recorder.isSilent());
}

void TestCardsViewMenus::rubberBandLetGoOnAHeaderOnlySelects_data()
{
    QTest::addColumn<bool>("column");
    QTest::newRow("numeric column header") << true;
    QTest::newRow("date row header") << false;
}

void TestCardsViewMenus::rubberBandLetGoOnAHeaderOnlySelects()
{
    QFETCH(bool, column);
    const ValueFormats &formats = doc()->valueFormats();
    const QString first = dateToString(QDate(2030, 1, 10), formats.dateFormat, true);
    const QString second = dateToString(QDate(2030, 1, 20), formats.dateFormat, true);
    fillCards({{"a", "r1", "5", first}, {"b", "r2", "15", second}});
    doc()->editablePropertyAppearance(Due, TestPlanKey::key()).setDateBinSize(0);
    // Card a in the first cell, card b in the second column and row; the cell beside card a
    // and under its header is empty.
    ShownView shown(column ? Cost : Status, column ? Group : Due);
    const QList<QStringList> before {{"a", "r1", "5", first}, {"b", "r2", "15", second}};
    ModalAnswer answer(QStringLiteral("Cancel"));
    DocumentRecorder recorder(*doc());
    // From the empty cell beside or under card a, across card a, onto the header of its
    // column or row.
    const CardsLayouter::Cell a = shown.scene.layouter().placements().at(0).cell;
    const CardsLayouter::Cell b = shown.scene.layouter().placements().at(1).cell;
    const QPoint from = column ? shown.cell(b.first, a.second) : shown.cell(a.first, b.second);
    const QPoint to = shown.header(column, column ? a.first : a.second);
    shown.drag(from, to);
    shown.runPosted();
    QVERIFY(!answer.answered());
    QCOMPARE(shown.scene.selectedTaskIndexes(), QList<int> {0});
    QVERIFY(recorder.isSilent());
    QList<QStringList> cards;
    for (TaskIndex task = 0; task < doc()->taskCount(); ++task)
        cards.append({doc()->value(task, Status), doc()->value(task, Group),
                      doc()->value(task, Cost), doc()->value(task, Due)});
    QCOMPARE(cards, before);
}

// Column and row commands

void TestCardsViewMenus::addingAValueAsksUntilItIsNew_data()
{
    QTest::addColumn<bool>("column");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("entry");
    // Typed in turn; all but the last are refused.
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("right of the last column")
        << true << 1 << "Add Column Right" << QStringList {"c"} << QStringList {"a", "b", "c"};
    QTest::newRow("left of the first column")
        << true << 0 << "Add Column Left" << QStringList {"c"} << QStringList {"c", "a", "b"};
    QTest::newRow("a case variant is a new value")
        << true << 0 << "Add Column Left" << QStringList {"A"} << QStringList {"A", "a", "b"};
    QTest::newRow("an existing value is asked again")
        << true << 1 << "Add Column Right" << QStringList {"a", "d"} << QStringList {"a", "b", "d"};
    QTest::newRow("above the first row")
        << false << 0 << "Add Row Above" << QStringList {"r0"} << QStringList {"r0", "r1", "r2"};
}

void TestCardsViewMenus::addingAValueAsksUntilItIsNew()
{
    QFETCH(bool, column);
    QFETCH(int, index);
    QFETCH(QString, entry);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, order);
    fillCards({{"a", "r1"}, {"b", "r2"}});
    ShownView shown(Status, Group);
    const int property = column ? Status : Group;
    QStringList offered;
    QList<AnswerSequence::Step> steps;
    QStringList expectedShown;
    for (const QString &text : typed) {
        steps << typeText(text, &offered);
        expectedShown << (column ? "Add column" : "Add row");
        if (text != typed.last()) {
            steps << press(QStringLiteral("OK"));
            expectedShown << QStringLiteral("A '%1' column already exists.").arg(text);
        }
    }
    AnswerSequence answers(steps);
    DocumentRecorder recorder(*doc());
    QVERIFY(entryOf(shown.rightClick(shown.header(column, index), entry), entry));
    shown.runPosted();
    QCOMPARE(answers.shown, expectedShown);
    // The dialog offers again what was typed before.
    QCOMPARE(offered, (QStringList {QString()} + typed).mid(0, typed.size()));
    QCOMPARE(doc()->values(property), order);
    QCOMPARE(recorder.undoTexts, QStringList {"Edit Property"});
}

void TestCardsViewMenus::renamingRefusesAnyExistingLabel()
{
    fillCards({{"a"}, {"b"}, {"b"}});
    ShownView shown(Status, 0);
    QStringList offered;
    AnswerSequence answers({press(QStringLiteral("OK")), typeText(QStringLiteral("b"), &offered),
                            press(QStringLiteral("OK")), typeText(QStringLiteral("a"), &offered),
                            press(QStringLiteral("OK")), typeText(QStringLiteral("c"), &offered)});
    DocumentRecorder recorder(*doc());
    QVERIFY(entryOf(shown.rightClick(shown.header(true, 1), "Rename Column"), "Rename Column"));
    shown.runPosted();
    QCOMPARE(answers.shown,
             QStringList({"Renaming this column will also update the 2 card(s) with Status=b.",
                          "Rename b", "'b' column already exists.", "Rename b",
                          "'a' column already exists.", "Rename b"}));
    QCOMPARE(offered, QStringList({"b", "b", "b"}));
    QCOMPARE(cardStatuses(), QStringList({"a", "c", "c"}));
    QCOMPARE(recorder.undoTexts, QStringList {"Rename value"});
}

void TestCardsViewMenus::headerMessagesShowValuesAsWritten_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("delete") << 0 << "Delete Column" << QStringList()
                            << QStringList {"Deleting this column will also delete the 1 card(s) "
                                            "with <i>S</i>%1=<b>x</b>."};
    QTest::newRow("rename to an existing value")
        << 1 << "Rename Column" << QStringList {"<b>x</b>"}
        << QStringList {"Renaming this column will also update the 1 card(s) with <i>S</i>%1=%1.",
                        "Rename %1", "'<b>x</b>' column already exists.", "Rename %1"};
    QTest::newRow("add an existing value")
        << 1 << "Add Column Right" << QStringList {"%1"}
        << QStringList {"Add column", "A '%1' column already exists.", "Add column"};
}

// Values and property names go into the column messages and dialogs as written: markup in
// them is text, and a "%1" in them is not filled.
void TestCardsViewMenus::headerMessagesShowValuesAsWritten()
{
    QFETCH(int, index);
    QFETCH(QString, entry);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, shown);
    fillCards({{"<b>x</b>"}, {"%1"}});
    doc()->setPropertyName(Status, QStringLiteral("<i>S</i>%1"), false);
    ShownView view(Status, 0);
    QStringList offered;
    // The warning is passed, the value typed is refused, and the dialog asking again cancelled;
    // the warning of a deletion is cancelled at once.
    QList<AnswerSequence::Step> steps;
    if (entry == QLatin1String("Rename Column"))
        steps << press(QStringLiteral("OK"));
    for (const QString &text : typed)
        steps << typeText(text, &offered) << press(QStringLiteral("OK"));
    steps << press(QStringLiteral("Cancel"));
    AnswerSequence answers(steps);
    DocumentRecorder recorder(*doc());
    QVERIFY(entryOf(view.rightClick(view.header(true, index), entry), entry));
    view.runPosted();
    QCOMPARE(answers.shown, shown);
    QVERIFY(!answers.markup);
    QCOMPARE(cardStatuses(), (QStringList {"<b>x</b>", "%1"}));
}

void TestCardsViewMenus::deletingAColumnTakesItsCards_data()
{
    QTest::addColumn<QStringList>("cards");
    QTest::addColumn<int>("index");
    // The warning's button; none when no warning may come.
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<QStringList>("predefined");
    QTest::addColumn<QStringList>("undoTexts");
    const QStringList threeB {"a", "b", "b", "b"};
    const QString warning = "Deleting this column will also delete the 3 card(s) with Status=b.";
    QTest::newRow("an empty column asks nothing")
        << QStringList {"a", "b"} << 2 << QString() << QString() << QStringList {"a", "b"}
        << QStringList {"a", "b"} << QStringList {"Edit Property"};
    QTest::newRow("three cards of a predefined value")
        << threeB << 1 << "OK" << warning << QStringList {"a"} << QStringList {"a", "c"}
        << QStringList {"Delete Cards", "Edit Property"};
    QTest::newRow("cancelled") << threeB << 1 << "Cancel" << warning << threeB
                               << QStringList {"a", "b", "c"} << QStringList();
}

void TestCardsViewMenus::deletingAColumnTakesItsCards()
{
    QFETCH(QStringList, cards);
    QFETCH(int, index);
    QFETCH(QString, button);
    QFETCH(QString, warning);
    QFETCH(QStringList, remaining);
    QFETCH(QStringList, predefined);
    QFETCH(QStringList, undoTexts);
    QList<QStringList> rows;
    for (const QString &status : cards)
        rows.append({status});
    fillCards(rows);
    for (const char *value : {"a", "b", "c"})
        doc()->addPredefinedValue(Status, QLatin1String(value), false);
    ShownView shown(Status, 0);
    std::unique_ptr<ModalAnswer> answer;
    if (!button.isEmpty())
        answer = std::make_unique<ModalAnswer>(button);
    DocumentRecorder recorder(*doc());
    QVERIFY(entryOf(shown.rightClick(shown.header(true, index), "Delete Column"), "Delete Column"));
    shown.runPosted();
    QCOMPARE(answer ? answer->shownText() : QString(), warning);
    QCOMPARE(cardStatuses(), remaining);
    QCOMPARE(doc()->predefinedValues(Status), predefined);
    QCOMPARE(recorder.undoTexts, undoTexts);
}

void TestCardsViewMenus::deletingTakesTheCardsOfTheValueAfterTheWarning_data()
{
    QTest::addColumn<bool>("warn");
    QTest::newRow("changed while the warning is up") << true;
    QTest::newRow("changed as the event loop runs once, no warning") << false;
}

void TestCardsViewMenus::deletingTakesTheCardsOfTheValueAfterTheWarning()
{
    QFETCH(bool, warn);
    fillCards({{"a"}, {"b"}, {"b"}, {"c"}});
    ShownView shown(Status, 0);
    // The plan changes before the cards go: the first card is deleted, and the indexes of the
    // cards of "b" move. Either the warning's own loop or the command's one run of the event
    // loop delivers the change (as it would a reload or a drop).
    const auto deleteFirst = [] { doc()->deleteTasks({0}, true); };
    settings()->write(Settings::Key::ShowWarningDelCol, warn);
    std::unique_ptr<ModalAnswer> answer;
    if (warn)
        answer = std::make_unique<ModalAnswer>(QStringLiteral("OK"), QStringList(),
                                               [deleteFirst](QWidget *) { deleteFirst(); });
    QVERIFY(entryOf(shown.rightClick(shown.header(true, 1), "Delete Column"), "Delete Column"));
    if (!warn)
        QMetaObject::invokeMethod(doc(), deleteFirst, Qt::QueuedConnection);
    shown.runPosted();
    if (warn)
        QVERIFY(answer->answered());
    QCOMPARE(cardStatuses(), QStringList {"c"});
}

void TestCardsViewMenus::hidingAndShowingWritesTheFilter_data()
{
    QTest::addColumn<bool>("showMatching");
    QTest::addColumn<QStringList>("terms");
    // "column index:entry", in turn.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("termsAfter");
    QTest::addColumn<bool>("matchAny");
    QTest::addColumn<int>("undoSteps");
    QTest::newRow("two hides showing matching cards")
        << true << QStringList() << QStringList {"0:Hide this column", "1:Hide this column"}
        << QStringList {"1 3 a", "1 3 b"} << false << 2;
    QTest::newRow("a hide hiding matching cards")
        << false << QStringList() << QStringList {"0:Hide this column"} << QStringList {"1 2 a"}
        << true << 1;
    QTest::newRow("hide the others")
        << true << QStringList() << QStringList {"1:Hide other columns"}
        << QStringList {"1 3 a", "1 3 c"} << false << 1;
    QTest::newRow("show all, columns still hidden by any property")
        << true << QStringList {"1 3 a", "2 3 zz", "0 0 b"} << QStringList {"1:Show all columns"}
        << QStringList {"2 3 zz"} << false << 2;
    QTest::newRow("show all, nothing hidden any more")
        << true << QStringList {"1 3 a", "0 1 zzz"} << QStringList {"1:Show all columns"}
        << QStringList {"0 1 zzz"} << false << 1;
}

void TestCardsViewMenus::hidingAndShowingWritesTheFilter()
{
    QFETCH(bool, showMatching);
    QFETCH(QStringList, terms);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, termsAfter);
    QFETCH(bool, matchAny);
    QFETCH(int, undoSteps);
    fillCards({{"a"}, {"b"}, {"c"}});
    doc()->setFilter(false, showMatching, !showMatching, termsFrom(terms), false, false);
    ShownView shown(Status, 0);
    DocumentRecorder recorder(*doc());
    for (const QString &step : steps) {
        const int index = step.section(QLatin1Char(':'), 0, 0).toInt();
        const QString entry = step.section(QLatin1Char(':'), 1);
        QVERIFY(entryOf(shown.rightClick(shown.header(true, index), entry), entry));
        shown.runPosted();
    }
    QCOMPARE(termTexts(doc()->filterTerms()), termsAfter);
    QCOMPARE(doc()->filterMatchAny(), matchAny);
    QCOMPARE(recorder.undoTexts,
             QVector<QString>(undoSteps, QStringLiteral("Change Filter")).toList());
}

void TestCardsViewMenus::showIfEmptyIsKeptWithoutAnUndoStep()
{
    fillCards({{"a"}, {"b"}});
    ShownView shown(Status, 0);
    const QString entry = QStringLiteral("Show this column if empty");
    DocumentRecorder recorder(*doc());
    QVERIFY(!entryOf(shown.rightClick(shown.header(true, 0), entry), entry)->checked);
    shown.runPosted();
    // No undo step, but a change the main window counts as a modification (and saves).
    QVERIFY(recorder.undoTexts.isEmpty());
    QCOMPARE(recorder.eventTypes(), QList<QList<int>> {{EventType::CardsLayoutChanged}});
    QVERIFY(doc()->isPredefinedValue(Status, QStringLiteral("a")));
    doc()->deleteTasks({0}, true);
    QCOMPARE(shown.scene.columnLabels(), QStringList({"a", "b"}));

    recorder.clear();
    QVERIFY(entryOf(shown.rightClick(shown.header(true, 0), entry), entry)->checked);
    shown.runPosted();
    QCOMPARE(recorder.undoTexts, QStringList {"Edit Property"});
    QCOMPARE(shown.scene.columnLabels(), QStringList {"b"});
}

void TestCardsViewMenus::staleCommandsDoNothing_data()
{
    QTest::addColumn<int>("meddle");
    QTest::addColumn<QStringList>("termsAfter");
    QTest::newRow("the column moved before the command ran") << 0 << QStringList();
    QTest::newRow("another header was pressed since") << 1 << QStringList {"1 3 b"};
    QTest::newRow("no menu was opened for the column") << 2 << QStringList();
}

void TestCardsViewMenus::staleCommandsDoNothing()
{
    QFETCH(int, meddle);
    QFETCH(QStringList, termsAfter);
    fillCards({{"a"}, {"b"}, {"c"}});
    ShownView shown(Status, 0);
    const QString entry = QStringLiteral("Hide this column");
    if (meddle != 2)
        QVERIFY(entryOf(shown.rightClick(shown.header(true, 1), entry), entry));
    if (meddle == 0)
        doc()->deleteTasks({0}, true);
    if (meddle == 1) {
        shown.press(shown.header(true, 2));
        shown.release(shown.header(true, 2));
    }
    // Numbers the view leaves to others; without a menu, a hide and a delete.
    QList<int> types {1020, 1021};
    if (meddle == 2)
        types << 1014 << 1010;
    for (int type : qAsConst(types))
        QCoreApplication::postEvent(&shown.view, new QEvent(QEvent::Type(type)));
    DocumentRecorder recorder(*doc());
    shown.runPosted();
    QCOMPARE(termTexts(doc()->filterTerms()), termsAfter);
    QCOMPARE(recorder.undoTexts.size(), termsAfter.size());
    QCOMPARE(doc()->taskCount(), meddle == 0 ? 2 : 3);
}

TAVROLO_TEST_MAIN(TestCardsViewMenus)
#include "tst_cardsviewmenus.moc"
