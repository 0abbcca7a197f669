#include "harness/TestMain.h"
#include "tests/model/PlanFixture.h"

#include <algorithm>
#include <functional>

#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace PlanFixture;

namespace {

// One card for each number i: name ci, status si, notes ni.
void fillCards(Document &doc, const QList<int> &numbers)
{
    fillPlan(doc, {});
    for (const int i : numbers) {
        doc.addTaskWithValues(
            {{Name, QStringLiteral("c%1").arg(i)}, {Status, QStringLiteral("s%1").arg(i)}},
            QStringLiteral("n%1").arg(i), {}, -1, false);
    }
}

QList<int> upTo(int count)
{
    QList<int> numbers;
    for (int i = 0; i < count; ++i)
        numbers.append(i);
    return numbers;
}

// A property of each name Pi, and one card whose value of Pi is "i".
void fillProperties(Document &doc, const QStringList &names)
{
    doc.clear(false);
    QList<PropertyIndexAndValue> values;
    for (const QString &name : names)
        values.append({addProperty(doc, name), name.mid(1)});
    doc.addTaskWithValues(values, QString(), {}, -1, false);
}

Image pictureOf(Qt::GlobalColor color, const QString &name)
{
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(color);
    return Image(QPixmap::fromImage(picture), name, QString());
}

QList<int> cardImages(const Document &doc)
{
    QList<int> images;
    for (int task = 0; task < doc.taskCount(); ++task)
        images.append(doc.taskImage(task));
    return images;
}

} // namespace

class TestDocumentEdits : public QObject
{
    Q_OBJECT
private slots:
    void valuesSurviveLongEditSequences();
    void deletingCardsIgnoresRepeatedAndStaleIndexes_data();
    void deletingCardsIgnoresRepeatedAndStaleIndexes();
    void undoSnapshotRestoresDeletedCards();
    void duplicatingCopiesValuesAfterExistingCards_data();
    void duplicatingCopiesValuesAfterExistingCards();
    void deletingPropertiesMovesValuesAndViews_data();
    void deletingPropertiesMovesValuesAndViews();
    void deletingPropertiesSkipsPlaceholderAndStaleIndexes_data();
    void deletingPropertiesSkipsPlaceholderAndStaleIndexes();
    void samePictureJoinsLibraryOnce();
    void editingLibraryMovesCardsWithPictures();
    void replaceInValues_data();
    void replaceInValues();
    void previewListsCardsWithoutChangingAnything();
    void replaceInLinksAndNotesReportsEachCardOnce();
    void setValuesCarriesColourOfVanishedValue_data();
    void setValuesCarriesColourOfVanishedValue();
    void sourceOfValueEditsReachesListeners();
    void renameValueTakesOverPlaceAndColour();
    void predefinedValueEdits();
    void sortTasks_data();
    void sortTasks();
};

// Cards and properties added, duplicated, deleted (with repeated and stale indexes) and values
// set in random order: every value must stay where a plain table of rows says it is.
void TestDocumentEdits::valuesSurviveLongEditSequences()
{
    Document doc;
    doc.clear(false);
    QList<QStringList> rows; // rows[card][property], property 0 included
    int columns = 1;
    QRandomGenerator random(1206);
    const auto doomedIndexes = [&](int count) {
        QList<int> indexes;
        for (int i = random.bounded(4); i >= 0; --i)
            indexes.append(random.bounded(-1, count + 2));
        std::sort(indexes.begin(), indexes.end(), std::greater<int>());
        indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
        return indexes;
    };
    for (int step = 0; step < 400; ++step) {
        const int action = random.bounded(6);
        if (action == 0 && columns < 8) {
            const QString text = QStringLiteral("d%1").arg(step);
            addProperty(doc, QStringLiteral("P%1").arg(step), PropertyType::Text, {}, text);
            for (QStringList &row : rows)
                row.append(text);
            ++columns;
        } else if (action == 1) {
            doc.addTask(false);
            QStringList row {QString()};
            for (int p = 1; p < columns; ++p)
                row.append(doc.propertyDefaultValue(p));
            rows.append(row);
        } else if (action == 2 && !rows.isEmpty()) {
            const int card = random.bounded(rows.size());
            doc.duplicateTasks({card}, 2, false);
            rows << rows.at(card) << rows.at(card);
        } else if (action == 3) {
            const QList<int> doomed = doomedIndexes(rows.size());
            doc.deleteTasks(doomed, false);
            for (const int card : doomed) {
                if (card >= 0 && card < rows.size())
                    rows.removeAt(card);
            }
        } else if (action == 4) {
            const QList<int> doomed = doomedIndexes(columns);
            doc.deleteProperties(doomed, false);
            for (const int p : doomed) {
                if (p < 1 || p >= columns)
                    continue;
                for (QStringList &row : rows)
                    row.removeAt(p);
                --columns;
            }
        } else if (!rows.isEmpty() && columns > 1) {
            const int card = random.bounded(rows.size());
            const int p = random.bounded(1, columns);
            QString text = QStringLiteral("v%1").arg(step);
            doc.setValue(card, p, text, false);
            rows[card][p] = text;
        }
        QCOMPARE(doc.taskCount(), rows.size());
        QCOMPARE(doc.propertyCount(), columns);
        for (int card = 0; card < rows.size(); ++card) {
            for (int p = 0; p < columns; ++p)
                QCOMPARE(doc.value(card, p), rows.at(card).at(p));
        }
    }
}

void TestDocumentEdits::deletingCardsIgnoresRepeatedAndStaleIndexes_data()
{
    QTest::addColumn<QList<int>>("doomed");
    QTest::addColumn<QList<int>>("kept");
    QTest::addColumn<QString>("events");

    QTest::newRow("two cards") << QList<int> {3, 1} << QList<int> {0, 2, 4} << "2:3:-1 2:1:-1";
    QTest::newRow("repeated index") << QList<int> {2, 2} << QList<int> {0, 1, 3, 4} << "2:2:-1";
    QTest::newRow("index past the end") << QList<int> {9, 1} << QList<int> {0, 2, 3, 4} << "2:1:-1";
    QTest::newRow("negative index") << QList<int> {-1, 4} << QList<int> {0, 1, 2, 3} << "2:4:-1";
    QTest::newRow("nothing valid") << QList<int> {5, 5} << QList<int> {0, 1, 2, 3, 4} << "";
    QTest::newRow("every card") << QList<int> {4, 3, 2, 1, 0, 0} << QList<int>()
                                << "2:4:-1 2:3:-1 2:2:-1 2:1:-1 2:0:-1";
}

// Afterwards the plan must equal one built from the surviving cards alone: no value may be
// lost, and nothing may linger past the last card.
void TestDocumentEdits::deletingCardsIgnoresRepeatedAndStaleIndexes()
{
    QFETCH(QList<int>, doomed);
    QFETCH(QList<int>, kept);
    QFETCH(QString, events);

    Document doc;
    fillCards(doc, upTo(5));
    DocumentRecorder recorder(doc);
    doc.deleteTasks(doomed, true);
    QCOMPARE(eventText(recorder), events);
    Document expected;
    fillCards(expected, kept);
    QVERIFY(doc == expected);
}

// The undo list restores a snapshot by assignment; the restored plan must work on as if it
// had never been touched (caches and tallies of the deleted state must not leak through).
void TestDocumentEdits::undoSnapshotRestoresDeletedCards()
{
    Document doc;
    fillPlan(doc, {{"a", "", "1"}, {"b", "", "2"}, {"c", "", "x"}});
    QCOMPARE(doc.actualPropertyType(Cost), int(ActualType::Text));
    DocumentRecorder recorder(doc);
    doc.deleteTasks({2}, true);
    QCOMPARE(doc.actualPropertyType(Cost), int(ActualType::Numeric));
    QCOMPARE(doc.numericRange(Cost), qMakePair(1.0, 2.0));

    const Document deleted(doc);
    doc = *recorder.snapshots.front();
    QCOMPARE(doc.value(2, Cost), QStringLiteral("x"));
    QCOMPARE(doc.actualPropertyType(Cost), int(ActualType::Text));
    QCOMPARE(doc.numericRange(Cost), qMakePair(0.0, 2.0));
    doc = deleted;
    QCOMPARE(doc.actualPropertyType(Cost), int(ActualType::Numeric));
}

void TestDocumentEdits::duplicatingCopiesValuesAfterExistingCards_data()
{
    QTest::addColumn<QList<int>>("sources");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QList<int>>("cards");

    QTest::newRow("two cards twice")
        << QList<int> {0, 3} << 2 << QList<int> {0, 1, 2, 3, 0, 0, 3, 3};
    QTest::newRow("no copies") << QList<int> {1} << 0 << upTo(4);
    QTest::newRow("stale card skipped") << QList<int> {7, 2} << 1 << QList<int> {0, 1, 2, 3, 2};
}

void TestDocumentEdits::duplicatingCopiesValuesAfterExistingCards()
{
    QFETCH(QList<int>, sources);
    QFETCH(int, copies);
    QFETCH(QList<int>, cards);

    Document doc;
    fillCards(doc, upTo(4));
    doc.setTaskImage(0, 0, false);
    doc.duplicateTasks(sources, copies, true);
    Document expected;
    fillCards(expected, cards);
    for (int task = 0; task < cards.size(); ++task)
        expected.setTaskImage(task, cards.at(task) == 0 ? 0 : -1, false);
    QVERIFY(doc == expected);
}

void TestDocumentEdits::deletingPropertiesMovesValuesAndViews_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("expectedX");
    QTest::newRow("x after both moves down twice") << 5 << 3;
    QTest::newRow("x on a deleted property becomes none") << 4 << 0;
    QTest::newRow("x between moves down once") << 3 << 2;
    QTest::newRow("x before stays") << 1 << 1;
    QTest::newRow("none stays none") << 0 << 0;
}

void TestDocumentEdits::deletingPropertiesMovesValuesAndViews()
{
    QFETCH(int, x);
    QFETCH(int, expectedX);

    Document doc;
    fillProperties(doc, {"P1", "P2", "P3", "P4", "P5"});
    Slice &view = doc.m_currentView;
    view.xProperty = view.yProperty = view.cellOrderingProperty = x;
    view.cardColorProperty = view.highlightColorProperty = x;
    doc.setPropertyVisibility(5, PropertyVisibility::Star, false);
    doc.m_currentView.totalProperty = 6;
    doc.m_chartsSettings.showProperty = 6;
    doc.m_currentView.filterTerms
        = {FilterTerm(5, MatchType::Is, "5"), FilterTerm(4, MatchType::Is, "4")};
    doc.deleteProperties({2, 4}, true);

    Document expected;
    fillProperties(expected, {"P1", "P3", "P5"});
    QCOMPARE((QList<int> {view.xProperty, view.yProperty, view.cellOrderingProperty,
                          view.cardColorProperty, view.highlightColorProperty}),
             QList<int>() << expectedX << expectedX << expectedX << expectedX << expectedX);
    QCOMPARE(doc.propertyVisibility(3), int(PropertyVisibility::Star));
    // The card count stays the card count.
    QCOMPARE(doc.m_currentView.totalProperty, 4);
    QCOMPARE(doc.m_chartsSettings.showProperty, 4);
    QCOMPARE(doc.m_currentView.filterTerms, QList<FilterTerm> {FilterTerm(3, MatchType::Is, "5")});
    QVERIFY(doc.taskPassesFilter(0));
    doc.m_currentView = expected.m_currentView;
    doc.m_chartsSettings = expected.m_chartsSettings;
    QVERIFY(doc == expected);
}

void TestDocumentEdits::deletingPropertiesSkipsPlaceholderAndStaleIndexes_data()
{
    QTest::addColumn<QList<int>>("doomed");
    QTest::addColumn<QStringList>("kept");

    QTest::newRow("placeholder") << QList<int> {0} << QStringList {"P1", "P2", "P3"};
    QTest::newRow("repeated") << QList<int> {2, 2} << QStringList {"P1", "P3"};
    QTest::newRow("past the end") << QList<int> {4, 7, -2, 1} << QStringList {"P2", "P3"};
}

void TestDocumentEdits::deletingPropertiesSkipsPlaceholderAndStaleIndexes()
{
    QFETCH(QList<int>, doomed);
    QFETCH(QStringList, kept);

    Document doc;
    fillProperties(doc, {"P1", "P2", "P3"});
    doc.deleteProperties(doomed, false);
    Document expected;
    fillProperties(expected, kept);
    QVERIFY(doc == expected);
}

void TestDocumentEdits::samePictureJoinsLibraryOnce()
{
    QTemporaryDir dir;
    QImage picture(8, 6, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    const QString red = dir.filePath(QStringLiteral("red.png"));
    const QString alsoRed = dir.filePath(QStringLiteral("again.png"));
    QVERIFY(picture.save(red, "PNG") && picture.save(alsoRed, "PNG"));
    Document doc;
    fillCards(doc, upTo(2));
    DocumentRecorder recorder(doc);
    doc.addImages({red}, 0, true);
    doc.addImages({alsoRed}, 0, true);
    QCOMPARE(doc.imageCount(), 1);
    QCOMPARE(doc.image(0).name(), QStringLiteral("red"));
    QCOMPARE(cardImages(doc), (QList<int> {0, -1}));
    QCOMPARE(recorder.undoTexts, QStringList({"Add Images", "Add Images"}));
    QCOMPARE(eventText(recorder), QStringLiteral("17:-1:-1 18:0:-1 | 17:-1:-1 18:0:-1"));
}

void TestDocumentEdits::editingLibraryMovesCardsWithPictures()
{
    Document doc;
    fillCards(doc, upTo(5));
    doc.addImage(pictureOf(Qt::red, QStringLiteral("red")), false);
    doc.addImage(pictureOf(Qt::green, QStringLiteral("green")), false);
    doc.addImage(pictureOf(Qt::blue, QStringLiteral("blue")), false);
    // Red, green, blue, no picture, and an index the library never had.
    const QList<int> before {0, 1, 2, -1, 7};
    for (int task = 0; task < before.size(); ++task)
        doc.setTaskImage(task, before.at(task), false);

    QList<Image> library = doc.images();
    library.removeFirst();
    DocumentRecorder recorder(doc);
    doc.editImages(library, true);
    QCOMPARE(cardImages(doc), (QList<int> {-1, 0, 1, -1, -1}));
    QCOMPARE(recorder.undoTexts, QStringList {"Edit Images"});
    QCOMPARE(eventText(recorder), QStringLiteral("17:-1:-1 18:0:-1 18:1:-1 18:2:-1 18:4:-1"));

    // Two entries with the same pixels: both cards end on the first of them.
    doc.editImages({pictureOf(Qt::green, "one"), pictureOf(Qt::green, "two")}, false);
    doc.setTaskImage(0, 0, false);
    doc.setTaskImage(1, 1, false);
    doc.editImages({pictureOf(Qt::blue, "b"), pictureOf(Qt::green, "g")}, false);
    QCOMPARE(cardImages(doc).mid(0, 2), (QList<int> {1, 1}));
}

void TestDocumentEdits::replaceInValues_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("replaced");
    QTest::addColumn<QList<int>>("matching");
    QTest::newRow("ignoring case")
        << QStringList {"Alpha", "Beta"} << "a"
        << "b" << false << QStringList {"blphb", "Betb"} << QList<int> {0, 1};
    QTest::newRow("case sensitive")
        << QStringList {"Alpha", "Beta"} << "A"
        << "b" << true << QStringList {"blpha", "Beta"} << QList<int> {0};
    QTest::newRow("longer replacement containing the find text")
        << QStringList {"aa"} << "a"
        << "aXa" << true << QStringList {"aXaaXa"} << QList<int> {0};
    QTest::newRow("empty find fills only empty values")
        << QStringList {"", "Beta", ""} << ""
        << "x" << true << QStringList {"x", "Beta", "x"} << QList<int> {0, 2};
    QTest::newRow("no match") << QStringList {"Alpha"} << "zz"
                              << "y" << false << QStringList {"Alpha"} << QList<int>();
}

void TestDocumentEdits::replaceInValues()
{
    QFETCH(QStringList, names);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, replaced);
    QFETCH(QList<int>, matching);
    Document doc;
    fillPlan(doc, {});
    for (const QString &name : names)
        doc.addTaskWithValues({{Name, name}, {Status, "open"}}, QString(), {}, -1, false);
    const QList<TaskIndex> result = doc.replaceText(
        find, replacement, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive, true, Name,
        false, false, false, true, true);
    QCOMPARE(result, matching);
    QCOMPARE(column(doc, Name), replaced);
    QCOMPARE(column(doc, Status).count(QStringLiteral("open")), names.size());
}

void TestDocumentEdits::previewListsCardsWithoutChangingAnything()
{
    Document doc;
    fillPlan(doc, {{"Alpha", "open"}, {"Beta", "closed"}, {"Gamma", ""}});
    doc.setTaskNotes(2, QStringLiteral("waiting for Al"), false);
    const Document before(doc);
    DocumentRecorder recorder(doc);
    const QList<TaskIndex> result
        = doc.replaceText("al", "x", Qt::CaseInsensitive, true, 0, true, true, true, false, false);
    QCOMPARE(result, (QList<TaskIndex> {0, 2}));
    QVERIFY(doc == before);
    QVERIFY(recorder.isSilent());
}

void TestDocumentEdits::replaceInLinksAndNotesReportsEachCardOnce()
{
    Document doc;
    fillPlan(doc, {{"Alpha"}, {"Beta"}});
    doc.setTaskLinks(0,
                     {HyperLink(QStringLiteral("old wiki"), QUrl("https://old.example/wiki")),
                      HyperLink(QStringLiteral("tracker"), QUrl("https://bugs.example"))},
                     false);
    doc.setTaskNotes(1, QStringLiteral("see old notes"), false);
    DocumentRecorder recorder(doc);
    const QList<TaskIndex> result
        = doc.replaceText("old", "new", Qt::CaseSensitive, true, 0, true, true, true, true, true);
    QCOMPARE(result, (QList<TaskIndex> {0, 1}));
    const QList<HyperLink> links = doc.taskLinks(0);
    QCOMPARE(links.size(), 2);
    QCOMPARE(links.at(0).name(), QStringLiteral("new wiki"));
    QCOMPARE(links.at(0).url(), QUrl("https://new.example/wiki"));
    QCOMPARE(links.at(1).url(), QUrl("https://bugs.example"));
    QCOMPARE(doc.taskNotes(1), QStringLiteral("see new notes"));
    QCOMPARE(eventText(recorder), QStringLiteral("14:0:-1 7:1:-1"));
}

void TestDocumentEdits::setValuesCarriesColourOfVanishedValue_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("carried");
    QTest::newRow("only card of the value") << "Blue" << true;
    QTest::newRow("value still on another card") << "Red" << false;
}

void TestDocumentEdits::setValuesCarriesColourOfVanishedValue()
{
    QFETCH(QString, second);
    QFETCH(bool, carried);
    Document doc;
    fillPlan(doc, {{"Alpha", "Red"}, {"Beta", second}});
    const QColor red = doc.colorForValue(Status, QStringLiteral("Red"));
    const QColor blue = doc.colorForValue(Status, QStringLiteral("Blue"));
    doc.setValues({{ValueKey(0, Status), QStringLiteral("Crimson")}}, true);
    QCOMPARE(doc.value(0, Status), QStringLiteral("Crimson"));
    QCOMPARE(doc.colorForValue(Status, QStringLiteral("Crimson")) == red, carried);
    QCOMPARE(doc.colorForValue(Status, QStringLiteral("Blue")), blue);
}

void TestDocumentEdits::sourceOfValueEditsReachesListeners()
{
    Document doc;
    fillPlan(doc, {{"Alpha"}, {"Beta"}});
    DocumentRecorder recorder(doc);
    QObject source;
    QString text = QStringLiteral("1");
    doc.setValue(0, Cost, text, true, &source);
    doc.setValues({{ValueKey(1, Cost), QStringLiteral("2")}}, true, &source);
    QCOMPARE(recorder.changes.size(), 2);
    QCOMPARE(recorder.changes.at(0).source, &source);
    QCOMPARE(recorder.changes.at(1).source, &source);
}

void TestDocumentEdits::renameValueTakesOverPlaceAndColour()
{
    Document doc;
    fillPlan(doc, {{"Alpha", "Red"}, {"Beta", "Blue"}, {"Gamma", "Red"}});
    doc.addPredefinedValue(Status, QStringLiteral("Red"), false);
    doc.addPredefinedValue(Status, QStringLiteral("Amber"), false);
    doc.setValueOrder(Status, {"Blue", "Red", "Amber"}, false);
    const QColor red = doc.colorForValue(Status, QStringLiteral("Red"));

    doc.renameValue(Status, QStringLiteral("Red"), QStringLiteral("Crimson"), true);

    QCOMPARE(column(doc, Status), (QStringList {"Crimson", "Blue", "Crimson"}));
    QCOMPARE(doc.predefinedValues(Status), (QStringList {"Amber", "Crimson"}));
    QCOMPARE(doc.propertyAppearanceRef(Status).textOrder(),
             (QStringList {"Blue", "Crimson", "Amber"}));
    QCOMPARE(doc.colorForValue(Status, QStringLiteral("Crimson")), red);
}

void TestDocumentEdits::predefinedValueEdits()
{
    Document doc;
    fillPlan(doc, {{"Alpha", "Red"}, {"Beta", "Blue"}});
    DocumentRecorder recorder(doc);

    doc.insertPredefinedValue(Status, QStringLiteral("Green"), 1, true);
    QCOMPARE(doc.predefinedValues(Status), QStringList {"Green"});
    QCOMPARE(doc.propertyAppearanceRef(Status).textOrder(), (QStringList {"Red", "Green", "Blue"}));

    doc.insertPredefinedValue(Status, QStringLiteral("Amber"), 17, true);
    QCOMPARE(doc.propertyAppearanceRef(Status).textOrder(),
             (QStringList {"Red", "Green", "Blue", "Amber"}));

    doc.removePredefinedValue(Status, QStringLiteral("Green"), true);
    QCOMPARE(doc.predefinedValues(Status), QStringList {"Amber"});
    // The order still lists the removed value, so it keeps its place if cards take it again.
    QVERIFY(doc.propertyAppearanceRef(Status).textOrder().contains("Green"));
    QCOMPARE(recorder.undoTexts, (QStringList {"Edit Property", "Edit Property", "Edit Property"}));
}

void TestDocumentEdits::sortTasks_data()
{
    QTest::addColumn<int>("property");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("dates, empty last in given order")
        << int(Due) << QStringList {"3/3/2025", "", "1/1/2025", "", "2/2/2025"}
        << QList<int> {2, 4, 0, 1, 3};
    QTest::newRow("numbers differing after seven digits")
        << int(Cost) << QStringList {"123456789.5", "123456789.25", "7", ""}
        << QList<int> {3, 2, 1, 0};
    QTest::newRow("equal numbers keep their order")
        << int(Cost) << QStringList {"5", "2", "5", "2"} << QList<int> {1, 3, 0, 2};
    QTest::newRow("texts by value order")
        << int(Status) << QStringList {"b", "a", "c", "a"} << QList<int> {0, 1, 3, 2};
    QTest::newRow("no cards") << int(Cost) << QStringList() << QList<int>();
}

void TestDocumentEdits::sortTasks()
{
    QFETCH(int, property);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, order);
    Document doc;
    fillPlan(doc, {});
    addCards(doc, property, texts);
    QCOMPARE(doc.sortTasks(upTo(texts.size()), property), order);
}

TAVROLO_TEST_MAIN(TestDocumentEdits)
#include "tst_documentedits.moc"
