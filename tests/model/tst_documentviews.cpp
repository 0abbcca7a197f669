#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"

namespace {

// Title (1), Status (2), Owner (3), Colour (4), Cost (5).
void fillPlan(Document &doc)
{
    for (const char *name : {"Status", "Owner", "Colour", "Cost"})
        doc.addProperty(QLatin1String(name), QString(), PropertyType::Automatic, QStringList(),
                        PropertyVisibility::Text, PropertyAppearance(), false);
    doc.addTask(false);
}

QStringList storedNames(const Document &doc)
{
    QStringList names;
    for (const Slice &view : doc.storedViews())
        names << view.name;
    return names;
}

QList<FilterTerm> oneTerm(const QString &value)
{
    return {FilterTerm(2, MatchType::Contains, value)};
}

} // namespace

class TestDocumentViews : public QObject
{
    Q_OBJECT
private slots:
    void storingKeepsOneSortedEntryPerNameAndSettings();
    void changeViewRestoresAppearanceOnlyWhenStored_data();
    void changeViewRestoresAppearanceOnlyWhenStored();
    void currentStoredViewNameFollowsChanges();
    void deletingRemovesViewsWithEqualSettings();
    void viewDescription_data();
    void viewDescription();
    void filterEventDependsOnRefresh_data();
    void filterEventDependsOnRefresh();
    void clearFilterKeepsModeAndChoices();
    void searchIsTrimmedAndNeverUndoable_data();
    void searchIsTrimmedAndNeverUndoable();
    void countingCardsHiddenByFilter_data();
    void countingCardsHiddenByFilter();
};

void TestDocumentViews::storingKeepsOneSortedEntryPerNameAndSettings()
{
    Document doc;
    fillPlan(doc);
    int x = 1;
    for (const char *name : {"b", "B", "a", "b"}) {
        doc.setXProperty(++x, false);
        doc.addStoredView(QLatin1String(name), false, false);
    }
    QCOMPARE(storedNames(doc), (QStringList {"B", "a", "b"}));
    QCOMPARE(doc.storedViews().at(2).xProperty, 5);
    QCOMPARE(doc.currentView().name, QStringLiteral("b"));
    // The same settings under another name replace the older name.
    doc.addStoredView(QStringLiteral("Board"), false, false);
    QCOMPARE(storedNames(doc), (QStringList {"B", "Board", "a"}));
}

void TestDocumentViews::changeViewRestoresAppearanceOnlyWhenStored_data()
{
    QTest::addColumn<bool>("withAppearance");
    QTest::addColumn<QList<int>>("events");
    QTest::newRow("with appearance") << true << QList<int> {10, 13};
    QTest::newRow("without appearance") << false << QList<int> {10};
}

void TestDocumentViews::changeViewRestoresAppearanceOnlyWhenStored()
{
    QFETCH(bool, withAppearance);
    QFETCH(QList<int>, events);
    Document doc;
    fillPlan(doc);
    doc.setXProperty(2, false);
    doc.setCardsTitle(QStringLiteral("Stored title"), false);
    doc.addStoredView(QStringLiteral("Board"), withAppearance, false);
    doc.setXProperty(3, false);
    doc.setCardsTitle(QStringLiteral("Later title"), false);
    DocumentRecorder recorder(doc);

    doc.changeView(QStringLiteral("Board"), true);

    QCOMPARE(recorder.undoTexts, QStringList {"Change View"});
    QCOMPARE(recorder.eventTypes(), QList<QList<int>> {events});
    QCOMPARE(doc.xProperty(), 2);
    QCOMPARE(doc.cardsTitle(),
             withAppearance ? QStringLiteral("Stored title") : QStringLiteral("Later title"));
}

void TestDocumentViews::currentStoredViewNameFollowsChanges()
{
    Document doc;
    fillPlan(doc);
    doc.setXProperty(2, false);
    doc.addStoredView(QStringLiteral("Board"), true, false);
    doc.setXProperty(3, false);
    QCOMPARE(doc.currentStoredViewName(), QString());
    doc.changeView(QStringLiteral("Board"), false);
    QCOMPARE(doc.currentStoredViewName(), QStringLiteral("Board"));
    // The view keeps its appearance, so changing the appearance leaves the stored view.
    doc.setCardsFooter(QStringLiteral("Draft"), false);
    QCOMPARE(doc.currentStoredViewName(), QString());
    doc.changeView(QStringLiteral("Board"), false);
    doc.setFilter(true, true, true, oneTerm(QStringLiteral("open")), false, false);
    QCOMPARE(doc.currentStoredViewName(), QString());
}

void TestDocumentViews::deletingRemovesViewsWithEqualSettings()
{
    Document doc;
    fillPlan(doc);
    doc.setXProperty(2, false);
    doc.addStoredView(QStringLiteral("Board"), false, false);
    // A plan file may hold two names for the same settings.
    Slice twin = doc.currentView();
    twin.name = QStringLiteral("Copy");
    doc.storedViewsRef().append(twin);
    doc.setXProperty(3, false);
    doc.addStoredView(QStringLiteral("Other"), false, false);

    doc.deleteStoredView(QStringLiteral("Board"), false);
    QCOMPARE(storedNames(doc), QStringList {"Other"});
}

void TestDocumentViews::viewDescription_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("colour");
    QTest::addColumn<int>("total");
    QTest::addColumn<bool>("basic");
    QTest::addColumn<bool>("showMatching");
    QTest::addColumn<QString>("termValue");
    QTest::addColumn<QString>("description");
    const QString none;
    QTest::newRow("nothing") << 0 << 0 << 0 << 0 << true << true << none << "unnamed";
    QTest::newRow("x, y and colour")
        << 2 << 3 << 4 << 0 << true << true << none << "Status vs Owner/Colour";
    QTest::newRow("only y and total") << 0 << 3 << 0 << 5 << true << true << none << "Owner/Cost";
    QTest::newRow("basic filter showing") << 2 << 0 << 0 << 0 << true << true << "open"
                                          << "Status/Show \"open\"";
    QTest::newRow("basic filter hiding") << 0 << 0 << 0 << 0 << true << false << "done"
                                         << "Hide \"done\"";
    QTest::newRow("basic filter with empty word") << 2 << 0 << 0 << 0 << true << true << ""
                                                  << "Status";
    QTest::newRow("advanced filter") << 2 << 0 << 0 << 0 << false << true << ""
                                     << "Status/Filtered";
}

void TestDocumentViews::viewDescription()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, colour);
    QFETCH(int, total);
    QFETCH(bool, basic);
    QFETCH(bool, showMatching);
    QFETCH(QString, termValue);
    QFETCH(QString, description);
    Document doc;
    fillPlan(doc);
    doc.setXProperty(x, false);
    doc.setYProperty(y, false);
    doc.setCardColorProperty(colour, false);
    doc.setHighlightColorProperty(3, false);
    doc.setTotalProperty(total, false);
    const bool filtered = !termValue.isNull() || !basic;
    doc.setFilter(basic, showMatching, true, filtered ? oneTerm(termValue) : QList<FilterTerm>(),
                  false, false);
    QCOMPARE(doc.viewDescription(), description);
}

void TestDocumentViews::filterEventDependsOnRefresh_data()
{
    QTest::addColumn<bool>("fullRefresh");
    QTest::addColumn<int>("event");
    QTest::newRow("filter section") << false << 12;
    QTest::newRow("column menu") << true << 10;
}

void TestDocumentViews::filterEventDependsOnRefresh()
{
    QFETCH(bool, fullRefresh);
    QFETCH(int, event);
    Document doc;
    fillPlan(doc);
    DocumentRecorder recorder(doc);
    doc.setFilter(false, false, false, oneTerm(QStringLiteral("open")), true, fullRefresh);
    QCOMPARE(recorder.undoTexts, QStringList {"Change Filter"});
    QCOMPARE(recorder.eventTypes(), QList<QList<int>> {{event}});
    QCOMPARE(doc.filterTerms(), oneTerm(QStringLiteral("open")));
    QVERIFY(!doc.filterBasic() && !doc.filterShowsMatching() && !doc.filterMatchAny());
}

void TestDocumentViews::clearFilterKeepsModeAndChoices()
{
    Document doc;
    fillPlan(doc);
    doc.setFilter(true, false, false, oneTerm(QStringLiteral("done")), false, false);
    DocumentRecorder recorder(doc);
    doc.clearFilter(true);
    QCOMPARE(doc.filterTerms(), QList<FilterTerm>());
    QVERIFY(doc.filterBasic());
    QVERIFY(!doc.filterShowsMatching());
    QVERIFY(!doc.filterMatchAny());
    QCOMPARE(recorder.undoTexts, QStringList {"Clear Filter"});
    QCOMPARE(recorder.eventTypes(), QList<QList<int>> {{10}});
}

void TestDocumentViews::searchIsTrimmedAndNeverUndoable_data()
{
    QTest::addColumn<bool>("notify");
    QTest::addColumn<QList<QList<int>>>("events");
    QTest::newRow("notify") << true << QList<QList<int>> {{15}};
    QTest::newRow("quiet") << false << QList<QList<int>>();
}

void TestDocumentViews::searchIsTrimmedAndNeverUndoable()
{
    QFETCH(bool, notify);
    QFETCH(QList<QList<int>>, events);
    Document doc;
    DocumentRecorder recorder(doc);
    doc.setSearch(QStringLiteral("  release \t"), true, notify);
    QCOMPARE(doc.searchText(), QStringLiteral("release"));
    QVERIFY(doc.searchFlag());
    QVERIFY(recorder.undoTexts.isEmpty());
    QCOMPARE(recorder.eventTypes(), events);
}

void TestDocumentViews::countingCardsHiddenByFilter_data()
{
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<QString>("termValue");
    QTest::addColumn<bool>("showMatching");
    QTest::addColumn<int>("hidden");
    QTest::addColumn<bool>("allHidden");
    const QStringList three {"open", "done", "open"};
    QTest::newRow("no cards") << QStringList() << "open" << true << 0 << true;
    QTest::newRow("no terms hide nothing") << three << QString() << false << 0 << false;
    QTest::newRow("showing open") << three << "open" << true << 1 << false;
    QTest::newRow("hiding open") << three << "open" << false << 2 << false;
    QTest::newRow("nothing matches") << three << "later" << true << 3 << true;
}

void TestDocumentViews::countingCardsHiddenByFilter()
{
    QFETCH(QStringList, statuses);
    QFETCH(QString, termValue);
    QFETCH(bool, showMatching);
    QFETCH(int, hidden);
    QFETCH(bool, allHidden);
    Document doc;
    doc.addProperty(QStringLiteral("Status"), QString(), PropertyType::Text, QStringList(),
                    PropertyVisibility::Text, PropertyAppearance(), false);
    for (QString status : statuses)
        doc.setValue(doc.addTask(false), 2, status, false);
    const QList<FilterTerm> terms = termValue.isNull() ? QList<FilterTerm>() : oneTerm(termValue);
    doc.setFilter(true, showMatching, true, terms, false, false);
    QCOMPARE(doc.filteredOutTaskCount(), hidden);
    QCOMPARE(doc.allTasksFilteredOut(), allHidden);
}

TAVROLO_TEST_MAIN(TestDocumentViews)
#include "tst_documentviews.moc"
