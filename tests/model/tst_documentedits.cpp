#include "harness/TestMain.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <algorithm>
#include <functional>

#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace PlanFixture;

namespace {

// Cards named c0, c1, ... with a second property holding v0, v1, ...; notes n0, n1, ...
void fillCards(Document &doc, int count)
{
    addProperty(doc, QStringLiteral("Extra"));
    for (int i = 0; i < count; ++i) {
        doc.addTaskWithValues(
            {{1, QStringLiteral("c%1").arg(i)}, {2, QStringLiteral("v%1").arg(i)}},
            QStringLiteral("n%1").arg(i), {}, -1, false);
    }
}

QStringList column(const Document &doc, int property)
{
    QStringList texts;
    for (int task = 0; task < doc.taskCount(); ++task)
        texts.append(doc.value(task, property));
    return texts;
}

// Properties P1 ... P<count-1>, and one card whose value of Pi is "i".
void fillProperties(Document &doc, int count)
{
    doc.clear(false);
    QList<PropertyIndexAndValue> values;
    for (int p = 1; p < count; ++p) {
        addProperty(doc, QStringLiteral("P%1").arg(p));
        values.append({p, QString::number(p)});
    }
    doc.addTaskWithValues(values, QString(), {}, -1, false);
}

QString savedPicture(const QTemporaryDir &dir, const QString &name, Qt::GlobalColor color)
{
    QImage picture(8, 6, QImage::Format_ARGB32);
    picture.fill(color);
    const QString path = dir.filePath(name);
    picture.save(path, "PNG");
    return path;
}

Image pictureOf(Qt::GlobalColor color, const QString &name)
{
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(color);
    return Image(QPixmap::fromImage(picture), name, QString());
}

} // namespace

class TestDocumentEdits : public QObject
{
    Q_OBJECT
private slots:
    void deletingCardsKeepsOtherValues();
    void valuesSurviveLongEditSequences();
    void deletingCardsIgnoresRepeatedAndStaleIndexes_data();
    void deletingCardsIgnoresRepeatedAndStaleIndexes();
    void deletingOneCardAnnouncesTwice();
    void undoSnapshotRestoresDeletedCards();
    void duplicatingCopiesValuesAfterExistingCards_data();
    void duplicatingCopiesValuesAfterExistingCards();
    void newCardTakesDefaultsAndGivenValues();
    void deletingPropertiesMovesValuesAndViews_data();
    void deletingPropertiesMovesValuesAndViews();
    void deletingPropertiesSkipsPlaceholderAndStaleIndexes_data();
    void deletingPropertiesSkipsPlaceholderAndStaleIndexes();
    void predefinedValuesAreSortedOnEdit();
    void typeEditResetsChartRoles_data();
    void typeEditResetsChartRoles();
    void samePictureJoinsLibraryOnce();
    void editingLibraryMovesCardsWithPictures_data();
    void editingLibraryMovesCardsWithPictures();
};

void TestDocumentEdits::deletingCardsKeepsOtherValues()
{
    Document doc;
    fillCards(doc, 8);
    ChangeRecorder recorder(doc);
    doc.deleteTasks({5, 2}, true);

    QCOMPARE(recorder.undoTexts, QStringList {"Delete Cards"});
    QCOMPARE(eventText(recorder.events), QStringLiteral("2:5:-1 2:2:-1"));
    QCOMPARE(column(doc, 1), QStringList({"c0", "c1", "c3", "c4", "c6", "c7"}));
    QCOMPARE(column(doc, 2), QStringList({"v0", "v1", "v3", "v4", "v6", "v7"}));
    QCOMPARE(doc.taskNotes(4), QStringLiteral("n6"));
}

// Cards and properties added, duplicated, deleted (with repeated and stale indexes) and values
// set in random order: every value must stay where a plain table of rows says it is.
void TestDocumentEdits::valuesSurviveLongEditSequences()
{
    Document doc;
    doc.clear(false);
    QList<QStringList> rows; // rows[card][property], property 0 included
    int columns = 1;
    QRandomGenerator random(1206);
    auto anyIndexes = [&](int count) {
        QList<int> indexes;
        for (int i = random.bounded(4); i >= 0; --i)
            indexes.append(random.bounded(-1, count + 2));
        return indexes;
    };
    for (int step = 0; step < 400; ++step) {
        const int action = random.bounded(6);
        if (action == 0 && columns < 8) {
            addProperty(doc, QStringLiteral("P%1").arg(step), PropertyType::Text, {},
                        QStringLiteral("d%1").arg(step));
            for (QStringList &row : rows)
                row.append(QStringLiteral("d%1").arg(step));
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
            QList<int> doomed = anyIndexes(rows.size());
            doc.deleteTasks(doomed, false);
            std::sort(doomed.begin(), doomed.end(), std::greater<int>());
            doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
            for (const int card : doomed) {
                if (card >= 0 && card < rows.size())
                    rows.removeAt(card);
            }
        } else if (action == 4) {
            QList<int> doomed = anyIndexes(columns);
            doc.deleteProperties(doomed, false);
            std::sort(doomed.begin(), doomed.end(), std::greater<int>());
            doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
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
            doc.setValue(card, p, text, false, nullptr);
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
    fillCards(doc, 5);
    ChangeRecorder recorder(doc);
    doc.deleteTasks(doomed, true);
    QCOMPARE(eventText(recorder.events), events);

    Document expected;
    addProperty(expected, QStringLiteral("Extra"));
    for (const int i : kept) {
        expected.addTaskWithValues(
            {{1, QStringLiteral("c%1").arg(i)}, {2, QStringLiteral("v%1").arg(i)}},
            QStringLiteral("n%1").arg(i), {}, -1, false);
    }
    QVERIFY(doc == expected);
}

void TestDocumentEdits::deletingOneCardAnnouncesTwice()
{
    Document doc;
    fillCards(doc, 3);
    ChangeRecorder recorder(doc);
    doc.deleteTask(1, true);
    QCOMPARE(recorder.undoTexts, QStringList({"Delete Card", "Delete Card"}));
    QCOMPARE(recorder.changedCount, 1);
    QCOMPARE(column(doc, 1), QStringList({"c0", "c2"}));
}

// The undo list restores a snapshot by assignment; the restored plan must work on as if it
// had never been touched (caches and tallies of the deleted state must not leak through).
void TestDocumentEdits::undoSnapshotRestoresDeletedCards()
{
    Document doc;
    const int cost = addProperty(doc, QStringLiteral("Cost"));
    addCards(doc, cost, {"1", "2", "x"});
    QCOMPARE(doc.actualPropertyType(cost), int(ActualType::Text));
    Document snapshot;
    QObject::connect(&doc, &Document::aboutToChange, &doc, [&] { snapshot = doc; });
    doc.deleteTasks({2}, true);
    QCOMPARE(doc.actualPropertyType(cost), int(ActualType::Numeric));
    QCOMPARE(doc.numericRange(cost), qMakePair(1.0, 2.0));

    const Document deleted(doc);
    doc = snapshot;
    QCOMPARE(doc.taskCount(), 3);
    QCOMPARE(doc.value(2, cost), QStringLiteral("x"));
    QCOMPARE(doc.actualPropertyType(cost), int(ActualType::Text));
    QCOMPARE(doc.numericRange(cost), qMakePair(0.0, 2.0));
    doc = deleted;
    QCOMPARE(doc.actualPropertyType(cost), int(ActualType::Numeric));
}

void TestDocumentEdits::duplicatingCopiesValuesAfterExistingCards_data()
{
    QTest::addColumn<QList<int>>("sources");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QString>("undoText");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("two cards twice")
        << QList<int> {0, 3} << 2 << "Duplicate cards"
        << QStringList {"c0", "c1", "c2", "c3", "c0", "c0", "c3", "c3"};
    QTest::newRow("one card thrice") << QList<int> {1} << 3 << "Duplicate card"
                                     << QStringList {"c0", "c1", "c2", "c3", "c1", "c1", "c1"};
    QTest::newRow("no copies") << QList<int> {1} << 0 << "Duplicate card"
                               << QStringList {"c0", "c1", "c2", "c3"};
    QTest::newRow("stale card skipped") << QList<int> {7, 2} << 1 << "Duplicate cards"
                                        << QStringList {"c0", "c1", "c2", "c3", "c2"};
}

void TestDocumentEdits::duplicatingCopiesValuesAfterExistingCards()
{
    QFETCH(QList<int>, sources);
    QFETCH(int, copies);
    QFETCH(QString, undoText);
    QFETCH(QStringList, names);

    Document doc;
    fillCards(doc, 4);
    doc.setTaskImage(0, 0, false);
    ChangeRecorder recorder(doc);
    doc.duplicateTasks(sources, copies, true);
    QCOMPARE(recorder.undoTexts, QStringList {undoText});
    QCOMPARE(column(doc, 1), names);
    QCOMPARE(recorder.events.size(), names.size() - 4);
    for (int task = 4; task < doc.taskCount(); ++task) {
        QCOMPARE(recorder.events.at(task - 4), Event(EventType::TaskAdded, task, -1));
        const int source = names.at(task).mid(1).toInt();
        QCOMPARE(doc.value(task, 2), doc.value(source, 2));
        QVERIFY(doc.task(task) == doc.task(source));
    }
}

void TestDocumentEdits::newCardTakesDefaultsAndGivenValues()
{
    Document doc;
    const int status = addProperty(doc, QStringLiteral("Status"), PropertyType::Text, {},
                                   QStringLiteral("open"));
    ChangeRecorder recorder(doc);
    const int plain = doc.addTaskWithValues({}, QString(), {}, -1, false);
    QCOMPARE(doc.value(plain, status), QStringLiteral("open"));
    QCOMPARE(recorder.undoTexts.size() + recorder.changedCount, 0);

    const QList<HyperLink> links {HyperLink(QUrl(QStringLiteral("https://example.org/a/")))};
    const int given = doc.addTaskWithValues({{status, "late"}, {1, "Write"}, {status, "done"}},
                                            QStringLiteral("notes"), links, 3, true);
    QCOMPARE(given, 1);
    QCOMPARE(recorder.undoTexts, QStringList {"Add Card"});
    QCOMPARE(eventText(recorder.events), QStringLiteral("1:1:-1"));
    QCOMPARE(doc.value(given, status), QStringLiteral("done"));
    QCOMPARE(doc.value(given, 1), QStringLiteral("Write"));
    QCOMPARE(doc.taskLinks(given), links);
    QCOMPARE(doc.taskImage(given), 3);
}

void TestDocumentEdits::deletingPropertiesMovesValuesAndViews_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("expectedX");
    QTest::newRow("x after both moves down twice") << 5 << 3;
    QTest::newRow("x on a deleted property becomes none") << 4 << 0;
    QTest::newRow("x between moves down once") << 3 << 2;
    QTest::newRow("x before stays") << 1 << 1;
}

void TestDocumentEdits::deletingPropertiesMovesValuesAndViews()
{
    QFETCH(int, x);
    QFETCH(int, expectedX);

    Document doc;
    fillProperties(doc, 6);
    doc.m_currentView.xProperty = x;
    doc.m_currentView.totalProperty = 6;
    doc.m_chartsSettings.showProperty = 6;
    doc.m_currentView.filterTerms
        = {FilterTerm(5, MatchType::Is, "5"), FilterTerm(4, MatchType::Is, "4")};
    ChangeRecorder recorder(doc);
    doc.deleteProperties({2, 4}, true);

    QCOMPARE(recorder.undoTexts, QStringList {"Delete Properties"});
    QCOMPARE(eventText(recorder.events), QStringLiteral("5:-1:4 5:-1:2"));
    QCOMPARE(doc.propertyCount(), 4);
    QCOMPARE(doc.value(0, 1), QStringLiteral("1"));
    QCOMPARE(doc.value(0, 2), QStringLiteral("3"));
    QCOMPARE(doc.value(0, 3), QStringLiteral("5"));
    QCOMPARE(doc.propertyName(3), QStringLiteral("P5"));
    QCOMPARE(doc.m_currentView.xProperty, expectedX);
    // The card count stays the card count.
    QCOMPARE(doc.m_currentView.totalProperty, 4);
    QCOMPARE(doc.m_chartsSettings.showProperty, 4);
    QCOMPARE(doc.m_currentView.filterTerms, QList<FilterTerm> {FilterTerm(3, MatchType::Is, "5")});
    QCOMPARE(doc.m_currentView.propertyVisibilities.size(), 4);
    QCOMPARE(doc.predefinedValues(3), QStringList());
    QVERIFY(doc.taskPassesFilter(0));
}

void TestDocumentEdits::deletingPropertiesSkipsPlaceholderAndStaleIndexes_data()
{
    QTest::addColumn<QList<int>>("doomed");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("placeholder") << QList<int> {0} << QStringList {"<select>", "P1", "P2", "P3"};
    QTest::newRow("repeated") << QList<int> {2, 2} << QStringList {"<select>", "P1", "P3"};
    QTest::newRow("past the end") << QList<int> {4, 7, -2, 1}
                                  << QStringList {"<select>", "P2", "P3"};
}

void TestDocumentEdits::deletingPropertiesSkipsPlaceholderAndStaleIndexes()
{
    QFETCH(QList<int>, doomed);
    QFETCH(QStringList, names);

    Document doc;
    fillProperties(doc, 4);
    doc.deleteProperties(doomed, false);
    QStringList actual;
    for (int p = 0; p < doc.propertyCount(); ++p) {
        actual.append(doc.propertyName(p));
        if (p > 0)
            QCOMPARE(doc.value(0, p), doc.propertyName(p).mid(1));
    }
    QCOMPARE(actual, names);

    Document expected;
    expected.clear(false);
    QList<PropertyIndexAndValue> values;
    for (int p = 1; p < names.size(); ++p) {
        addProperty(expected, names.at(p));
        values.append({p, names.at(p).mid(1)});
    }
    expected.addTaskWithValues(values, QString(), {}, -1, false);
    QVERIFY(doc == expected);
}

void TestDocumentEdits::predefinedValuesAreSortedOnEdit()
{
    Document doc;
    const int p = addProperty(doc, QStringLiteral("Size"));
    doc.editProperty(p, QStringLiteral("Size"), QString(), PropertyType::Automatic, {"b", "A", "a"},
                     PropertyAppearance(), false);
    QCOMPARE(doc.predefinedValues(p), QStringList({"A", "a", "b"}));
    QCOMPARE(doc.actualPropertyType(p), int(ActualType::Text));
    doc.editProperty(p, QStringLiteral("Size"), QString(), PropertyType::Automatic, {"1", "2"},
                     PropertyAppearance(), false);
    QCOMPARE(doc.actualPropertyType(p), int(ActualType::Numeric));
    QCOMPARE(doc.numericRange(p), qMakePair(1.0, 2.0));
}

void TestDocumentEdits::typeEditResetsChartRoles_data()
{
    QTest::addColumn<int>("newType");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<bool>("showKept");
    QTest::addColumn<bool>("byKept");

    QTest::newRow("declared text") << int(PropertyType::Text) << QStringList {"1"} << false << true;
    QTest::newRow("declared numeric")
        << int(PropertyType::Numeric) << QStringList {"a"} << true << false;
    QTest::newRow("automatic over words")
        << int(PropertyType::Automatic) << QStringList {"a"} << false << true;
    QTest::newRow("automatic over numbers")
        << int(PropertyType::Automatic) << QStringList {"2"} << true << false;
}

void TestDocumentEdits::typeEditResetsChartRoles()
{
    QFETCH(int, newType);
    QFETCH(QStringList, values);
    QFETCH(bool, showKept);
    QFETCH(bool, byKept);

    Document doc;
    const int p = addProperty(doc, QStringLiteral("P"), PropertyType::Date);
    addCards(doc, p, values);
    doc.m_chartsSettings.showProperty = p;
    doc.m_chartsSettings.byProperty = p;
    ChangeRecorder recorder(doc);
    doc.setPropertyType(p, newType, true);
    QCOMPARE(doc.m_chartsSettings.showProperty, showKept ? p : 0);
    QCOMPARE(doc.m_chartsSettings.byProperty, byKept ? p : 0);
    QCOMPARE(eventText(recorder.events), QStringLiteral("4:-1:%1").arg(p));
}

void TestDocumentEdits::samePictureJoinsLibraryOnce()
{
    QTemporaryDir dir;
    const QString red = savedPicture(dir, QStringLiteral("red.png"), Qt::red);
    const QString alsoRed = savedPicture(dir, QStringLiteral("again.png"), Qt::red);
    Document doc;
    fillCards(doc, 2);
    ChangeRecorder recorder(doc);
    doc.addImages({red}, 0, true);
    doc.addImages({alsoRed}, 0, true);
    QCOMPARE(doc.imageCount(), 1);
    QCOMPARE(doc.image(0).name(), QStringLiteral("red"));
    QCOMPARE(doc.taskImage(0), 0);
    QCOMPARE(recorder.undoTexts, QStringList({"Add Images", "Add Images"}));
    QCOMPARE(eventText(recorder.events), QStringLiteral("17:-1:-1 18:0:-1 17:-1:-1 18:0:-1"));
}

void TestDocumentEdits::editingLibraryMovesCardsWithPictures_data()
{
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<QList<int>>("after");

    // Cards showing red, green, blue, no picture, and an index the library never had.
    QTest::newRow("first entry removed")
        << QList<int> {0, 1, 2, -1, 7} << QList<int> {-1, 0, 1, -1, -1};
}

void TestDocumentEdits::editingLibraryMovesCardsWithPictures()
{
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);

    Document doc;
    fillCards(doc, before.size());
    doc.addImage(pictureOf(Qt::red, QStringLiteral("red")), false);
    doc.addImage(pictureOf(Qt::green, QStringLiteral("green")), false);
    doc.addImage(pictureOf(Qt::blue, QStringLiteral("blue")), false);
    for (int task = 0; task < before.size(); ++task)
        doc.setTaskImage(task, before.at(task), false);

    QList<Image> library = doc.images();
    library.removeFirst();
    ChangeRecorder recorder(doc);
    doc.editImages(library, true);
    QList<int> actual;
    for (int task = 0; task < doc.taskCount(); ++task)
        actual.append(doc.taskImage(task));
    QCOMPARE(actual, after);
    QCOMPARE(recorder.undoTexts, QStringList {"Edit Images"});
    QCOMPARE(eventText(recorder.events),
             QStringLiteral("17:-1:-1 18:0:-1 18:1:-1 18:2:-1 18:4:-1"));

    // Two entries with the same pixels: both cards end on the first of them.
    doc.editImages(
        {pictureOf(Qt::green, QStringLiteral("one")), pictureOf(Qt::green, QStringLiteral("two"))},
        false);
    doc.setTaskImage(0, 0, false);
    doc.setTaskImage(1, 1, false);
    doc.editImages(
        {pictureOf(Qt::blue, QStringLiteral("b")), pictureOf(Qt::green, QStringLiteral("g"))},
        false);
    QCOMPARE(doc.taskImage(0), 1);
    QCOMPARE(doc.taskImage(1), 1);
}

TAVROLO_TEST_MAIN(TestDocumentEdits)
#include "tst_documentedits.moc"
