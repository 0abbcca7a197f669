#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"

#include <functional>

using Edit = std::function<void(Document &, bool)>;
Q_DECLARE_METATYPE(Edit)

namespace {

// Title (1), Status (2) and Owner (3), laid out with Status as columns, labels shown.
void fillPlan(Document &doc)
{
    for (const char *name : {"Status", "Owner"})
        doc.addProperty(QLatin1String(name), QString(), PropertyType::Automatic, QStringList(),
                        PropertyVisibility::Text, PropertyAppearance(), false);
    doc.addTask(false);
    doc.setXProperty(2, false);
    doc.setShowLabels(true, false);
}

CardsAppearance darkAppearance()
{
    CardsAppearance appearance;
    appearance.setDarkDefaults();
    return appearance;
}

} // namespace

class TestDocumentSetters : public QObject
{
    Q_OBJECT
private slots:
    void undoableSetterAnnouncesOldStateThenReportsEvents_data();
    void undoableSetterAnnouncesOldStateThenReportsEvents();
    void setterWithoutUndoStoresSilently_data();
    void setterWithoutUndoStoresSilently();
    void appearanceSetterWritesViewCopyOnlyWhenViewKeepsOne_data();
    void appearanceSetterWritesViewCopyOnlyWhenViewKeepsOne();
    void tableSetterIgnoresUnchangedValue_data();
    void tableSetterIgnoresUnchangedValue();
    void settingTheSameValueStillMakesAnUndoStep();
};

void TestDocumentSetters::undoableSetterAnnouncesOldStateThenReportsEvents_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("undoText");
    QTest::addColumn<QList<int>>("events");

    QTest::newRow("cards title") << Edit([](Document &d, bool u) { d.setCardsTitle("Q3", u); })
                                 << "Set Cards Title" << QList<int> {13, 8};
    QTest::newRow("card font") << Edit([](Document &d, bool u) {
        d.setCardFont(QFont("DejaVu Serif"), u);
    }) << "Set Card Font" << QList<int> {13};
    QTest::newRow("whole cards appearance")
        << Edit([](Document &d, bool u) { d.setCardsAppearance(darkAppearance(), u); })
        << "Set Cards Appearance" << QList<int> {8, 13};
    QTest::newRow("swap x and y") << Edit([](Document &d, bool u) { d.swapXY(u); }) << "Swap X/Y"
                                  << QList<int> {10, 8};
    QTest::newRow("cells totals") << Edit([](Document &d, bool u) {
        d.setShowCellsTotals(true, u);
    }) << "Show Cells Totals" << QList<int> {10};
    QTest::newRow("hide labels") << Edit([](Document &d, bool u) { d.setShowLabels(false, u); })
                                 << "Hide Labels" << QList<int> {9};
    QTest::newRow("hide images") << Edit([](Document &d, bool u) {
        d.setShowImages(false, 0, 1, u);
    }) << "Hide Images" << QList<int> {9};
    QTest::newRow("charts title") << Edit([](Document &d, bool u) { d.setChartsTitle("Costs", u); })
                                  << "Set Charts Title" << QList<int> {21, 20};
    QTest::newRow("charts gradient") << Edit([](Document &d, bool u) { d.setChartsGradient(0, u); })
                                     << "Set Charts Gradient" << QList<int> {21};
    QTest::newRow("whole charts appearance") << Edit([](Document &d, bool u) {
        ChartsAppearance appearance;
        appearance.footer = QStringLiteral("Draft");
        d.setChartsAppearance(appearance, u);
    }) << "Set Charts Appearance" << QList<int> {20, 21};
    QTest::newRow("table font size") << Edit([](Document &d, bool u) { d.setTableFontSize(15, u); })
                                     << "Set Table Font Size" << QList<int> {22};
}

void TestDocumentSetters::undoableSetterAnnouncesOldStateThenReportsEvents()
{
    QFETCH(Edit, edit);
    QFETCH(QString, undoText);
    QFETCH(QList<int>, events);
    Document doc;
    fillPlan(doc);
    const Document before(doc);
    DocumentRecorder recorder(doc);

    edit(doc, true);

    QCOMPARE(recorder.undoTexts, QStringList {undoText});
    // The undo copy must hold the plan as it was, or undo would bring back the new value.
    QVERIFY(*recorder.snapshots.front() == before);
    QVERIFY(doc != before);
    QCOMPARE(recorder.eventTypes(), QList<QList<int>> {events});
    QCOMPARE(recorder.changes.first().source, nullptr);
    for (const Event &event : recorder.changes.first().events)
        QCOMPARE(event, Event(event.type, -1, -1));
}

void TestDocumentSetters::setterWithoutUndoStoresSilently_data()
{
    undoableSetterAnnouncesOldStateThenReportsEvents_data();
}

void TestDocumentSetters::setterWithoutUndoStoresSilently()
{
    QFETCH(Edit, edit);
    Document doc;
    fillPlan(doc);
    const Document before(doc);
    DocumentRecorder recorder(doc);

    edit(doc, false);

    QVERIFY(recorder.isSilent());
    QVERIFY(doc != before);
}

void TestDocumentSetters::appearanceSetterWritesViewCopyOnlyWhenViewKeepsOne_data()
{
    QTest::addColumn<bool>("viewKeepsAppearance");
    QTest::newRow("view keeps appearance") << true;
    QTest::newRow("view without appearance") << false;
}

void TestDocumentSetters::appearanceSetterWritesViewCopyOnlyWhenViewKeepsOne()
{
    QFETCH(bool, viewKeepsAppearance);
    Document doc;
    doc.editableCurrentView().storeAppearance = viewKeepsAppearance;
    const QString expectedViewTitle = viewKeepsAppearance ? QStringLiteral("Backlog") : QString();

    doc.setCardsTitle(QStringLiteral("Backlog"), true);
    QCOMPARE(doc.cardsTitle(), QStringLiteral("Backlog"));
    QCOMPARE(doc.currentView().appearance.title, expectedViewTitle);

    doc.setCardsAppearance(darkAppearance(), true);
    QVERIFY(doc.cardsAppearance() == darkAppearance());
    QCOMPARE(doc.currentView().appearance == darkAppearance(), viewKeepsAppearance);
}

void TestDocumentSetters::tableSetterIgnoresUnchangedValue_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<bool>("undoable");
    QTest::newRow("same size") << Edit([](Document &d, bool u) { d.setTableFontSize(12, u); })
                               << true;
    QTest::newRow("same colouring")
        << Edit([](Document &d, bool u) { d.setTableColor(0, u); }) << true;
    const auto boldOfSameFamily = [](Document &d, bool u) {
        QFont font = d.tableFont();
        font.setBold(true);
        d.setTableFont(font, u);
    };
    QTest::newRow("bold font of same family") << Edit(boldOfSameFamily) << true;
    QTest::newRow("bold font of same family, no undo") << Edit(boldOfSameFamily) << false;
}

void TestDocumentSetters::tableSetterIgnoresUnchangedValue()
{
    QFETCH(Edit, edit);
    QFETCH(bool, undoable);
    Document doc;
    DocumentRecorder recorder(doc);

    edit(doc, undoable);

    QVERIFY(recorder.isSilent());
    QCOMPARE(doc.tableFont().bold(), false);
    QCOMPARE(doc.tableFontSize(), 12);
    QCOMPARE(doc.tableColor(), 0);
}

void TestDocumentSetters::settingTheSameValueStillMakesAnUndoStep()
{
    Document doc;
    fillPlan(doc);
    DocumentRecorder recorder(doc);
    doc.setXProperty(2, true);
    doc.setChartShowProperty(doc.chartShowProperty(), true);
    QCOMPARE(recorder.undoTexts,
             (QStringList {QStringLiteral("Set X Property"),
                           QStringLiteral("Set Chart Show Property")}));
    QCOMPARE(recorder.eventTypes(), (QList<QList<int>> {{8}, {20}}));
}

TAVROLO_TEST_MAIN(TestDocumentSetters)
#include "tst_documentsetters.moc"
