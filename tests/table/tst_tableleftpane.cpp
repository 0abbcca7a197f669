#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "harness/TestPlanKey.h"
#include "leftpane/HeaderButton.h"
#include "model/Document.h"
#include "table/TableAppearanceWidget.h"
#include "table/TableFilterWidget.h"
#include "table/TableLeftPane.h"
#include "table/TableView.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The Table tab as the main window builds and connects it, on five cards of a colour word each.
struct TableTab
{
    TableTab() : pane(nullptr, &table)
    {
        doc()->clear(false);
        for (const char *name : {"Name", "Colour", "Size"})
            doc()->addProperty(QString::fromLatin1(name), QString(), PropertyType::Automatic, {},
                               PropertyVisibility::Text, PropertyAppearance(), false);
        const QStringList colours {"red", "blue", "green", "Dark Red", "yellow"};
        for (int t = 0; t < colours.size(); ++t)
            doc()->addTaskWithValues({{2, colours.at(t)}, {3, QString::number(t)}}, QString(), {},
                                     -1, false);
        QObject::connect(doc(), &Document::changed, &table, &TableView::onChangedDoc);
        pane.connectToDocument();
        doc()->emitChanged(EventType::AllChanged);
        filter->flush();
    }

    void type(const QString &text)
    {
        filter->setText(text);
        filter->flush();
    }
    QString explainer() { return child<QLabel>(pane.filterWidget(), "m_explainerLabel")->text(); }
    QString filterHeader() { return pane.findChild<HeaderButton *>()->text(); }
    QStringList colourEntries()
    {
        QStringList entries;
        for (int i = 0; i < colours->count(); ++i)
            entries.append(colours->itemText(i));
        return entries;
    }

    TableView table;
    TableLeftPane pane;
    DelayedEditLineEdit *filter = child<DelayedEditLineEdit>(pane.filterWidget(), "m_lineEdit");
    QComboBox *showHide = child<QComboBox>(pane.filterWidget(), "m_showHideCombo");
    QComboBox *colours = child<QComboBox>(pane.appearanceWidget(), "m_colorComboBox");
    QToolButton *edit = child<QToolButton>(pane.appearanceWidget(), "m_colorPropertyEditButton");
};

} // namespace

class TestTableLeftPane : public QObject
{
    Q_OBJECT

private slots:
    void typedWordsFilterRows_data();
    void typedWordsFilterRows();
    void clearingShowsEveryRowAfterThePause();
    void removingTheFilterForANewCardClearsTheTablesOwn();
    void colourChoicesAreOneStepEachAndFollowTheProperties();
    void colourEntriesFollowReorder();
    void damagedColourSettingShowsOffUnstored();
    void editButtonOpensColoursPage();
    void defaultRestoresAppearanceInOneStep();
};

void TestTableLeftPane::typedWordsFilterRows_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("explainer");
    QTest::addColumn<QList<TaskIndex>>("visible");
    QTest::newRow("spaces around and between")
        << "  red   blue " << 0 << "SHOW (row Contains \"red\" OR \"blue\")"
        << QList<TaskIndex> {0, 1, 3};
    QTest::newRow("hide") << "red blue" << 1 << "HIDE (row Contains \"red\" OR \"blue\")"
                          << QList<TaskIndex> {2, 4};
    QTest::newRow("terms keep their case")
        << "RED" << 0 << "SHOW (row Contains \"RED\")" << QList<TaskIndex> {0, 3};
    QTest::newRow("only spaces") << "   " << 0 << "No filtering"
                                 << QList<TaskIndex> {0, 1, 2, 3, 4};
}

void TestTableLeftPane::typedWordsFilterRows()
{
    QFETCH(QString, typed);
    QFETCH(int, mode);
    QFETCH(QString, explainer);
    QFETCH(QList<TaskIndex>, visible);
    TableTab tab;
    const QString header = explainer == "No filtering" ? "Filter" : "Filter*";
    DocumentRecorder recorder(*doc());
    tab.type(typed);
    // The mode applies at once, to the same words.
    tab.showHide->setCurrentIndex(mode);
    QCOMPARE(tab.explainer(), explainer);
    QCOMPARE(tab.table.visibleTasks(), visible);
    QCOMPARE(tab.filterHeader(), header);
    tab.type(typed + QStringLiteral(" "));
    QCOMPARE(tab.filterHeader(), header);
    // The filter is no part of the plan.
    QVERIFY(recorder.isSilent());
}

void TestTableLeftPane::clearingShowsEveryRowAfterThePause()
{
    TableTab tab;
    auto *clear = child<QPushButton>(tab.pane.filterWidget(), "m_clearButton");
    QVERIFY(clear->isHidden());
    tab.type(QStringLiteral("red"));
    QVERIFY(!clear->isHidden());
    // Words still waiting for the pause go through first; the clearing waits for it.
    tab.filter->setText(QStringLiteral("blue"));
    QTest::mouseClick(clear, Qt::LeftButton);
    QCOMPARE(tab.table.visibleTasks(), QList<TaskIndex> {1});
    QVERIFY(clear->isHidden());
    tab.filter->flush();
    QCOMPARE(tab.table.visibleTasks().size(), 5);
    QCOMPARE(tab.explainer(), QStringLiteral("No filtering"));
    QCOMPARE(tab.filterHeader(), QStringLiteral("Filter"));

    // A new plan state (opening, undo) clears the filter too.
    tab.type(QStringLiteral("red"));
    doc()->emitChanged(EventType::AllChanged);
    tab.filter->flush();
    QCOMPARE(tab.table.visibleTasks().size(), 5);
    QCOMPARE(tab.filterHeader(), QStringLiteral("Filter"));
}

// Tab on the last row in sight adds a card the filter hides; asked to remove the filter, the
// Table removes its own, not the plan's, and the new card takes the cursor.
void TestTableLeftPane::removingTheFilterForANewCardClearsTheTablesOwn()
{
    TableTab tab;
    doc()->setFilter(true, true, true, {FilterTerm(0, MatchType::Contains, "red")}, false, false);
    tab.type(QStringLiteral("red"));
    QCOMPARE(tab.table.visibleTasks(), (QList<TaskIndex> {0, 3}));
    tab.table.setCurrentCell(tab.table.rowOfTask(3), tab.table.notesColumn());
    DocumentRecorder recorder(*doc());
    ModalAnswer answer(QStringLiteral("Remove filter"));
    QTest::keyClick(&tab.table, Qt::Key_Tab);
    QVERIFY(answer.answered());
    QCOMPARE(recorder.undoTexts, QStringList {"Add Card"});
    QCOMPARE(doc()->filterTerms().size(), 1);
    QCOMPARE(tab.filter->text(), QString());
    QCOMPARE(tab.explainer(), QStringLiteral("No filtering"));
    QCOMPARE(tab.filterHeader(), QStringLiteral("Filter"));
    QCOMPARE(tab.table.visibleTasks().size(), 6);
    QCOMPARE(tab.table.currentRow(), tab.table.rowOfTask(5));
    QCOMPARE(tab.table.currentColumn(), 1);
}

void TestTableLeftPane::colourChoicesAreOneStepEachAndFollowTheProperties()
{
    TableTab tab;
    QCOMPARE(tab.colourEntries(),
             (QStringList {"<off>", "<all properties>", "Name", "Colour", "Size"}));
    QVERIFY(!tab.edit->isEnabled());
    DocumentRecorder recorder(*doc());
    tab.colours->setCurrentIndex(3);
    tab.colours->setCurrentIndex(1);
    QCOMPARE(recorder.undoTexts, (QStringList {"Set Table Color", "Set Table Color"}));
    QCOMPARE(doc()->tableColor(), 1);
    QVERIFY(!tab.edit->isEnabled());

    doc()->setPropertyName(2, QStringLiteral("Hue"), true);
    doc()->addProperty(QStringLiteral("Cost"), QString(), PropertyType::Numeric, {},
                       PropertyVisibility::Text, PropertyAppearance(), true);
    QCOMPARE(tab.colourEntries(),
             (QStringList {"<off>", "<all properties>", "Name", "Hue", "Size", "Cost"}));
    // The colouring property deleted: off, and the section stores nothing of its own.
    tab.colours->setCurrentIndex(3);
    QVERIFY(tab.edit->isEnabled());
    recorder.clear();
    doc()->deleteProperty(2, true);
    QCOMPARE(recorder.undoTexts, QStringList {"Delete Property"});
    QCOMPARE(tab.colours->currentIndex(), 0);
    QCOMPARE(tab.colourEntries(),
             (QStringList {"<off>", "<all properties>", "Name", "Size", "Cost"}));
    QVERIFY(!tab.edit->isEnabled());
}

void TestTableLeftPane::colourEntriesFollowReorder()
{
    TableTab tab;
    tab.colours->setCurrentIndex(3);
    // Colour moves to the front: the rows stay coloured by it, under its new number.
    doc()->reorderProperties({{0, 0}, {1, 2}, {2, 1}, {3, 3}}, true);
    QCOMPARE(tab.colourEntries(),
             (QStringList {"<off>", "<all properties>", "Colour", "Name", "Size"}));
    QCOMPARE(tab.colours->currentIndex(), doc()->tableColor());
    QCOMPARE(tab.colours->currentText(), QStringLiteral("Colour"));
    tab.colours->setCurrentIndex(3);
    QCOMPARE(doc()->propertyName(doc()->tableColor() - 1), QStringLiteral("Name"));
}

void TestTableLeftPane::damagedColourSettingShowsOffUnstored()
{
    TableTab tab;
    for (int damaged : {doc()->propertyCount() + 1, -1}) {
        doc()->tableAppearanceRef(TestPlanKey::key()).cellColor = damaged;
        DocumentRecorder recorder(*doc());
        doc()->emitChanged(EventType::AllChanged);
        QVERIFY2(recorder.undoTexts.isEmpty(), qPrintable(recorder.undoTexts.join(", ")));
        QCOMPARE(tab.colours->currentText(), QStringLiteral("<off>"));
        QCOMPARE(doc()->tableColor(), damaged);
    }
    tab.colours->setCurrentIndex(2);
    QCOMPARE(doc()->tableColor(), 2);
}

void TestTableLeftPane::editButtonOpensColoursPage()
{
    TableTab tab;
    tab.colours->setCurrentIndex(4);
    int page = -1;
    QString name;
    ModalAnswer answer(QStringLiteral("Cancel"), {}, [&](QWidget *dialog) {
        page = dialog->findChild<QTabWidget *>()->currentIndex();
        name = dialog->findChild<QLineEdit *>(QStringLiteral("m_nameEdit"))->text();
    });
    DocumentRecorder recorder(*doc());
    QTest::mouseClick(tab.edit, Qt::LeftButton);
    QVERIFY(answer.answered());
    QCOMPARE(page, 1);
    QCOMPARE(name, QStringLiteral("Size"));
    QVERIFY(recorder.isSilent());
}

void TestTableLeftPane::defaultRestoresAppearanceInOneStep()
{
    TableTab tab;
    auto *size = child<QSpinBox>(tab.pane.appearanceWidget(), "m_fontSizeSpinBox");
    size->setValue(17);
    tab.colours->setCurrentIndex(1);
    DocumentRecorder recorder(*doc());
    QTest::mouseClick(child<QPushButton>(tab.pane.appearanceWidget(), "m_defaultButton"),
                      Qt::LeftButton);
    QCOMPARE(recorder.undoTexts, QStringList {QStringLiteral("Set Table Appearance")});
    QCOMPARE(doc()->tableAppearance(), TableAppearance());
    QCOMPARE(size->value(), 12);
    QCOMPARE(tab.colours->currentIndex(), 0);
    QCOMPARE(tab.table.font().pointSize(), 12);
}

TAVROLO_TEST_MAIN(TestTableLeftPane)
#include "tst_tableleftpane.moc"
