#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"

#include <functional>

using Edit = std::function<void(Document &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

enum Properties { Name = 1, Status = 2, Cost = 3, Due = 4 };

// Name (text), Status (automatic, text values), Cost (numeric) and Due (date); one card per
// row of names, with the given statuses.
void fillPlan(Document &doc, const QStringList &names, const QStringList &statuses = {})
{
    doc.clear(false);
    const QList<QPair<const char *, int>> properties {{"Name", PropertyType::Text},
                                                      {"Status", PropertyType::Automatic},
                                                      {"Cost", PropertyType::Numeric},
                                                      {"Due", PropertyType::Date}};
    for (const auto &property : properties)
        doc.addProperty(QLatin1String(property.first), QString(), property.second, QStringList(),
                        PropertyVisibility::Text, PropertyAppearance(), false);
    for (int i = 0; i < names.size(); ++i) {
        const TaskIndex task = doc.addTask(false);
        QString name = names.at(i);
        doc.setValue(task, Name, name, false);
        QString status = statuses.value(i);
        doc.setValue(task, Status, status, false);
    }
}

QStringList columnOf(const Document &doc, int property)
{
    QStringList texts;
    for (TaskIndex task = 0; task < doc.taskCount(); ++task)
        texts << doc.value(task, property);
    return texts;
}

QList<Event> valueEvents(const QList<int> &tasks, int property)
{
    QList<Event> events;
    for (int task : tasks)
        events << Event(EventType::ValueChanged, task, property);
    return events;
}

Document::ValueChange change(TaskIndex task, int property, const QString &text)
{
    return Document::ValueChange(ValueKey(task, property), text);
}

} // namespace

class TestDocumentReplace : public QObject
{
    Q_OBJECT
private slots:
    void replaceInValues_data();
    void replaceInValues();
    void previewListsCardsWithoutChangingAnything();
    void replaceInLinksAndNotesReportsEachCardOnce();
    void undoTextShortensLongTexts_data();
    void undoTextShortensLongTexts();
    void setValuesCarriesColourOfVanishedValue_data();
    void setValuesCarriesColourOfVanishedValue();
    void setValuesIsOneUndoStep_data();
    void setValuesIsOneUndoStep();
    void renameValueTakesOverPlaceAndColour();
    void editsThatChangeNothingEmitNothing_data();
    void editsThatChangeNothingEmitNothing();
    void predefinedValueEdits();
    void sortTasks_data();
    void sortTasks();
};

void TestDocumentReplace::replaceInValues_data()
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

void TestDocumentReplace::replaceInValues()
{
    QFETCH(QStringList, names);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, replaced);
    QFETCH(QList<int>, matching);
    Document doc;
    fillPlan(doc, names, QStringList {"open", "open", "open"}.mid(0, names.size()));
    const Document before(doc);
    DocumentRecorder recorder(doc);

    const QList<TaskIndex> result = doc.replaceText(
        find, replacement, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive, true, Name,
        false, false, false, true, true);

    QCOMPARE(result, matching);
    QCOMPARE(columnOf(doc, Name), replaced);
    QCOMPARE(columnOf(doc, Status), columnOf(before, Status));
    QCOMPARE(recorder.undoTexts.size(), 1);
    QVERIFY(*recorder.snapshots.front() == before);
    QCOMPARE(recorder.changes.size(), 1);
    QCOMPARE(recorder.changes.first().events, valueEvents(matching, Name));
}

void TestDocumentReplace::previewListsCardsWithoutChangingAnything()
{
    Document doc;
    fillPlan(doc, {"Alpha", "Beta", "Gamma"}, {"open", "closed", ""});
    doc.setTaskNotes(2, QStringLiteral("waiting for Al"), false);
    const Document before(doc);
    DocumentRecorder recorder(doc);

    const QList<TaskIndex> result
        = doc.replaceText(QStringLiteral("al"), QStringLiteral("x"), Qt::CaseInsensitive, true, 0,
                          true, true, true, false, false);

    QCOMPARE(result, (QList<TaskIndex> {0, 2}));
    QVERIFY(doc == before);
    QVERIFY(recorder.isSilent());
}

void TestDocumentReplace::replaceInLinksAndNotesReportsEachCardOnce()
{
    Document doc;
    fillPlan(doc, {"Alpha", "Beta"});
    doc.setTaskLinks(0,
                     {HyperLink(QStringLiteral("old wiki"), QUrl("https://old.example/wiki")),
                      HyperLink(QStringLiteral("tracker"), QUrl("https://bugs.example"))},
                     false);
    doc.setTaskNotes(1, QStringLiteral("see old notes"), false);
    DocumentRecorder recorder(doc);

    const QList<TaskIndex> result
        = doc.replaceText(QStringLiteral("old"), QStringLiteral("new"), Qt::CaseSensitive, true, 0,
                          true, true, true, true, true);

    QCOMPARE(result, (QList<TaskIndex> {0, 1}));
    const QList<HyperLink> links = doc.taskLinks(0);
    QCOMPARE(links.size(), 2);
    QCOMPARE(links.at(0).name(), QStringLiteral("new wiki"));
    QCOMPARE(links.at(0).url(), QUrl("https://new.example/wiki"));
    QCOMPARE(links.at(1).url(), QUrl("https://bugs.example"));
    QCOMPARE(doc.taskNotes(1), QStringLiteral("see new notes"));
    QCOMPARE(recorder.changes.first().events,
             (QList<Event> {Event(EventType::TaskLinksChanged, 0, -1),
                            Event(EventType::TaskNotesChanged, 1, -1)}));
}

void TestDocumentReplace::undoTextShortensLongTexts_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("twelve characters") << "abcdefghijkl"
                                       << "x" << QString::fromUtf8("Replace 'abcdefghi…' with 'x'");
    QTest::newRow("ten characters whole") << "abcdefghij"
                                          << "0123456789"
                                          << "Replace 'abcdefghij' with '0123456789'";
    QTest::newRow("placeholders stay text") << "%2"
                                            << "%1"
                                            << "Replace '%2' with '%1'";
}

void TestDocumentReplace::undoTextShortensLongTexts()
{
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, undoText);
    Document doc;
    fillPlan(doc, {"Alpha"});
    DocumentRecorder recorder(doc);
    doc.replaceText(find, replacement, Qt::CaseSensitive, true, 0, false, false, false, true, true);
    QCOMPARE(recorder.undoTexts, QStringList {undoText});
    // Nothing matched: the step is announced and reported empty all the same.
    QCOMPARE(recorder.changes.size(), 1);
    QVERIFY(recorder.changes.first().events.isEmpty());
}

void TestDocumentReplace::setValuesCarriesColourOfVanishedValue_data()
{
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<bool>("carried");
    QTest::newRow("only card of the value") << QStringList {"Red", "Blue"} << true;
    QTest::newRow("value still on another card") << QStringList {"Red", "Red"} << false;
}

void TestDocumentReplace::setValuesCarriesColourOfVanishedValue()
{
    QFETCH(QStringList, statuses);
    QFETCH(bool, carried);
    Document doc;
    fillPlan(doc, {"Alpha", "Beta"}, statuses);
    const QColor red = doc.colorForValue(Status, QStringLiteral("Red"));
    const QColor blue = doc.colorForValue(Status, QStringLiteral("Blue"));

    doc.setValues({change(0, Status, QStringLiteral("Crimson"))}, true);

    QCOMPARE(doc.value(0, Status), QStringLiteral("Crimson"));
    const QColor crimson = doc.colorForValue(Status, QStringLiteral("Crimson"));
    QCOMPARE(crimson == red, carried);
    QCOMPARE(doc.colorForValue(Status, QStringLiteral("Blue")), blue);
}

void TestDocumentReplace::setValuesIsOneUndoStep_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("one") << 1 << "Update Value";
    QTest::newRow("three") << 3 << "Update Values";
}

void TestDocumentReplace::setValuesIsOneUndoStep()
{
    QFETCH(int, count);
    QFETCH(QString, undoText);
    Document doc;
    fillPlan(doc, {"Alpha", "Beta", "Gamma"});
    const Document before(doc);
    const QMap<QString, QColor> costColours = doc.propertyAppearanceRef(Cost).textColors();
    QList<Document::ValueChange> changes;
    for (int task = 0; task < count; ++task)
        changes << change(task, Cost, QString::number(task + 10));
    DocumentRecorder recorder(doc);
    QObject source;

    doc.setValues(changes, true, &source);

    QCOMPARE(recorder.undoTexts, QStringList {undoText});
    QVERIFY(*recorder.snapshots.front() == before);
    QCOMPARE(recorder.changes.size(), 1);
    QCOMPARE(recorder.changes.first().source, &source);
    QCOMPARE(recorder.changes.first().events,
             valueEvents(QList<int> {0, 1, 2}.mid(0, count), Cost));
    QCOMPARE(doc.value(count - 1, Cost), QString::number(count + 9));
    // Numbers are coloured by their range, never by the text colour map.
    QCOMPARE(doc.propertyAppearanceRef(Cost).textColors(), costColours);
}

void TestDocumentReplace::renameValueTakesOverPlaceAndColour()
{
    Document doc;
    fillPlan(doc, {"Alpha", "Beta", "Gamma"}, {"Red", "Blue", "Red"});
    doc.addPredefinedValue(Status, QStringLiteral("Red"), false);
    doc.addPredefinedValue(Status, QStringLiteral("Amber"), false);
    doc.setValueOrder(Status, {"Blue", "Red", "Amber"}, false);
    const QColor red = doc.colorForValue(Status, QStringLiteral("Red"));
    DocumentRecorder recorder(doc);

    doc.renameValue(Status, QStringLiteral("Red"), QStringLiteral("Crimson"), true);

    QCOMPARE(columnOf(doc, Status), (QStringList {"Crimson", "Blue", "Crimson"}));
    QCOMPARE(doc.predefinedValues(Status), (QStringList {"Amber", "Crimson"}));
    QCOMPARE(doc.propertyAppearanceRef(Status).textOrder(),
             (QStringList {"Blue", "Crimson", "Amber"}));
    QCOMPARE(doc.colorForValue(Status, QStringLiteral("Crimson")), red);
    QCOMPARE(recorder.undoTexts, QStringList {"Rename value"});
    QCOMPARE(recorder.changes.size(), 1);
    QCOMPARE(recorder.changes.first().events,
             valueEvents({0, 2}, Status) << Event(EventType::CardsLayoutChanged, -1, -1));
}

void TestDocumentReplace::editsThatChangeNothingEmitNothing_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::newRow("rename to the same text")
        << Edit([](Document &d) { d.renameValue(Status, "Red", "Red", true); });
    QTest::newRow("remove a value that is not predefined")
        << Edit([](Document &d) { d.removePredefinedValue(Status, "Red", true); });
}

void TestDocumentReplace::editsThatChangeNothingEmitNothing()
{
    QFETCH(Edit, edit);
    Document doc;
    fillPlan(doc, {"Alpha"}, {"Red"});
    DocumentRecorder recorder(doc);
    edit(doc);
    QVERIFY(recorder.isSilent());
}

void TestDocumentReplace::predefinedValueEdits()
{
    Document doc;
    fillPlan(doc, {"Alpha", "Beta"}, {"Red", "Blue"});
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

void TestDocumentReplace::sortTasks_data()
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

void TestDocumentReplace::sortTasks()
{
    QFETCH(int, property);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, order);
    Document doc;
    QStringList names;
    for (int i = 0; i < texts.size(); ++i)
        names << QString::number(i);
    fillPlan(doc, names);
    for (int task = 0; task < texts.size(); ++task) {
        QString text = texts.at(task);
        doc.setValue(task, property, text, false);
    }
    QList<TaskIndex> tasks;
    for (int task = 0; task < texts.size(); ++task)
        tasks << task;
    QCOMPARE(doc.sortTasks(tasks, property), order);
}

TAVROLO_TEST_MAIN(TestDocumentReplace)
#include "tst_documentreplace.moc"
