#include "common/Accessors.h"
#include "common/DelayedEditLineEdit.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "leftpane/HeaderButton.h"
#include "model/Document.h"
#include "table/TableAppearanceWidget.h"
#include "table/TableFilterWidget.h"
#include "table/TableLeftPane.h"
#include "table/TableView.h"

#include <memory>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

namespace {

template<typename T>
T *child(QWidget *parent, const char *name)
{
    T *widget = parent->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

// Cards with a colour word each, under three properties.
void makePlan()
{
    doc()->clear(false);
    for (const char *name : {"Name", "Colour", "Size"})
        doc()->addProperty(QString::fromLatin1(name), QString(), PropertyType::Automatic, {},
                           PropertyVisibility::Text, PropertyAppearance(), false);
    const QStringList colours {"red", "blue", "green", "Dark Red", "yellow"};
    for (int t = 0; t < colours.size(); ++t)
        doc()->addTaskWithValues(
            {{1, QStringLiteral("card %1").arg(t)}, {2, colours.at(t)}, {3, QString::number(t)}},
            QString(), {}, -1, false);
}

// The Table tab as the main window builds and connects it.
struct TableTab
{
    TableTab() : pane(nullptr, &table)
    {
        QObject::connect(doc(), &Document::changed, &table, &TableView::onChangedDoc);
        pane.connectToDocument();
        doc()->emitChanged(EventType::AllChanged);
        filterEdit()->flush();
    }

    DelayedEditLineEdit *filterEdit()
    {
        return child<DelayedEditLineEdit>(pane.filterWidget(), "m_lineEdit");
    }
    QComboBox *showHide() { return child<QComboBox>(pane.filterWidget(), "m_showHideCombo"); }
    QString explainer() { return child<QLabel>(pane.filterWidget(), "m_explainerLabel")->text(); }
    QString filterHeader()
    {
        const QList<HeaderButton *> headers = pane.findChildren<HeaderButton *>();
        for (HeaderButton *header : headers) {
            if (header->text().startsWith(QLatin1String("Filter")))
                return header->text();
        }
        return QString();
    }
    QComboBox *colours() { return child<QComboBox>(pane.appearanceWidget(), "m_colorComboBox"); }
    QToolButton *editButton()
    {
        return child<QToolButton>(pane.appearanceWidget(), "m_colorPropertyEditButton");
    }
    QStringList colourEntries()
    {
        QStringList entries;
        for (int i = 0; i < colours()->count(); ++i)
            entries.append(colours()->itemText(i));
        return entries;
    }

    TableView table;
    TableLeftPane pane;
};

} // namespace

class TestTableLeftPane : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void typedWordsFilterRows_data();
    void typedWordsFilterRows();
    void clearingShowsEveryRowAfterThePause();
    void newPlanStateStartsUnfiltered();
    void colourChoiceIsOneStep();
    void colourEntriesFollowPropertyEdits();
    void colourEntriesFollowReorder();
    void deletedColouringPropertyShowsOffUnstored();
    void damagedColourSettingShowsOffUnstored();
    void editButtonOpensColoursPage();
    void defaultRestoresAppearanceInOneStep();
};

void TestTableLeftPane::init()
{
    makePlan();
}

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
    const bool filtered = explainer != QLatin1String("No filtering");

    tab.filterEdit()->setText(typed);
    tab.filterEdit()->flush();
    // The mode applies at once, with the same words.
    tab.showHide()->setCurrentIndex(mode);
    QCOMPARE(tab.explainer(), explainer);
    QCOMPARE(tab.table.visibleTasks(), visible);
    QCOMPARE(tab.filterHeader(), filtered ? QStringLiteral("Filter*") : QStringLiteral("Filter"));
    // However often the filter changes, one marker.
    tab.filterEdit()->setText(typed + QStringLiteral(" "));
    tab.filterEdit()->flush();
    QCOMPARE(tab.filterHeader(), filtered ? QStringLiteral("Filter*") : QStringLiteral("Filter"));
    // No undo step: the filter is no part of the plan.
    DocumentRecorder recorder(*doc());
    tab.showHide()->setCurrentIndex(1 - mode);
    QVERIFY(recorder.isSilent());
}

void TestTableLeftPane::clearingShowsEveryRowAfterThePause()
{
    TableTab tab;
    auto *clear = child<QPushButton>(tab.pane.filterWidget(), "m_clearButton");
    QVERIFY(clear->isHidden());
    tab.filterEdit()->setText(QStringLiteral("red"));
    tab.filterEdit()->flush();
    QVERIFY(!clear->isHidden());
    // Still typing: the pending words go through first, then the clearing waits for the pause.
    tab.filterEdit()->setText(QStringLiteral("blue"));
    QTest::mouseClick(clear, Qt::LeftButton);
    QCOMPARE(tab.table.visibleTasks(), (QList<TaskIndex> {1}));
    QVERIFY(clear->isHidden());
    tab.filterEdit()->flush();
    QCOMPARE(tab.table.visibleTasks().size(), 5);
    QCOMPARE(tab.explainer(), QStringLiteral("No filtering"));
    QCOMPARE(tab.filterHeader(), QStringLiteral("Filter"));
}

void TestTableLeftPane::newPlanStateStartsUnfiltered()
{
    TableTab tab;
    tab.filterEdit()->setText(QStringLiteral("red"));
    tab.filterEdit()->flush();
    doc()->emitChanged(EventType::AllChanged);
    QVERIFY(tab.filterEdit()->text().isEmpty());
    tab.filterEdit()->flush();
    QCOMPARE(tab.table.visibleTasks().size(), 5);
    QCOMPARE(tab.filterHeader(), QStringLiteral("Filter"));
}

void TestTableLeftPane::colourChoiceIsOneStep()
{
    TableTab tab;
    QCOMPARE(tab.colourEntries(),
             (QStringList {"<off>", "<all properties>", "Name", "Colour", "Size"}));
    QCOMPARE(tab.colours()->currentIndex(), 0);
    QVERIFY(!tab.editButton()->isEnabled());
    DocumentRecorder recorder(*doc());

    tab.colours()->setCurrentIndex(3);
    QCOMPARE(recorder.undoTexts, QStringList {QStringLiteral("Set Table Color")});
    QCOMPARE(doc()->tableColor(), 3);
    QVERIFY(tab.editButton()->isEnabled());
    // The section reloads from the change without storing it again.
    QCOMPARE(recorder.undoTexts.size(), 1);
    tab.colours()->setCurrentIndex(1);
    QVERIFY(!tab.editButton()->isEnabled());
    QCOMPARE(recorder.undoTexts.size(), 2);
}

void TestTableLeftPane::colourEntriesFollowPropertyEdits()
{
    TableTab tab;
    doc()->setPropertyName(2, QStringLiteral("Hue"), true);
    doc()->addProperty(QStringLiteral("Cost"), QString(), PropertyType::Numeric, {},
                       PropertyVisibility::Text, PropertyAppearance(), true);
    QCOMPARE(tab.colourEntries(),
             (QStringList {"<off>", "<all properties>", "Name", "Hue", "Size", "Cost"}));
}

void TestTableLeftPane::colourEntriesFollowReorder()
{
    TableTab tab;
    tab.colours()->setCurrentIndex(3);
    // Colour moves to the front: the rows stay coloured by it, under its new number.
    doc()->reorderProperties({{0, 0}, {1, 2}, {2, 1}, {3, 3}}, true);
    QCOMPARE(tab.colourEntries(),
             (QStringList {"<off>", "<all properties>", "Colour", "Name", "Size"}));
    QCOMPARE(tab.colours()->currentIndex(), doc()->tableColor());
    QCOMPARE(tab.colours()->currentText(), QStringLiteral("Colour"));
    // A choice now stores the property it names.
    tab.colours()->setCurrentIndex(3);
    QCOMPARE(doc()->propertyName(doc()->tableColor() - 1), QStringLiteral("Name"));
}

void TestTableLeftPane::deletedColouringPropertyShowsOffUnstored()
{
    TableTab tab;
    tab.colours()->setCurrentIndex(3);
    DocumentRecorder recorder(*doc());
    doc()->deleteProperty(2, true);
    QCOMPARE(recorder.undoTexts, QStringList {QStringLiteral("Delete Property")});
    QCOMPARE(tab.colours()->currentIndex(), 0);
    QCOMPARE(tab.colourEntries(), (QStringList {"<off>", "<all properties>", "Name", "Size"}));
    QVERIFY(!tab.editButton()->isEnabled());
}

void TestTableLeftPane::damagedColourSettingShowsOffUnstored()
{
    TableTab tab;
    for (int damaged : {doc()->propertyCount() + 1, 42, -1, -7}) {
        doc()->tableAppearanceRef().cellColor = damaged;
        DocumentRecorder recorder(*doc());
        doc()->emitChanged(EventType::AllChanged);
        QVERIFY2(recorder.undoTexts.isEmpty(), qPrintable(recorder.undoTexts.join(", ")));
        QCOMPARE(tab.colours()->currentText(), QStringLiteral("<off>"));
        QCOMPARE(doc()->tableColor(), damaged);
        QVERIFY(!tab.editButton()->isEnabled());
    }
    // The user's choice replaces it.
    tab.colours()->setCurrentIndex(2);
    QCOMPARE(doc()->tableColor(), 2);
}

void TestTableLeftPane::editButtonOpensColoursPage()
{
    TableTab tab;
    tab.colours()->setCurrentIndex(4);
    int page = -1;
    QString name;
    ModalAnswer answer(QStringLiteral("Cancel"), {}, [&](QWidget *dialog) {
        page = dialog->findChild<QTabWidget *>()->currentIndex();
        name = dialog->findChild<QLineEdit *>(QStringLiteral("m_nameEdit"))->text();
    });
    DocumentRecorder recorder(*doc());
    QTest::mouseClick(tab.editButton(), Qt::LeftButton);
    QVERIFY(answer.answered());
    QCOMPARE(page, 1);
    QCOMPARE(name, QStringLiteral("Size"));
    QVERIFY(recorder.isSilent());
}

void TestTableLeftPane::defaultRestoresAppearanceInOneStep()
{
    TableTab tab;
    child<QSpinBox>(tab.pane.appearanceWidget(), "m_fontSizeSpinBox")->setValue(17);
    tab.colours()->setCurrentIndex(1);
    DocumentRecorder recorder(*doc());
    QTest::mouseClick(child<QPushButton>(tab.pane.appearanceWidget(), "m_defaultButton"),
                      Qt::LeftButton);
    QCOMPARE(recorder.undoTexts, QStringList {QStringLiteral("Set Table Appearance")});
    QCOMPARE(doc()->tableAppearance(), TableAppearance());
    QCOMPARE(doc()->tableFont().family(), QStringLiteral("Helvetica Neue"));
    QCOMPARE(child<QSpinBox>(tab.pane.appearanceWidget(), "m_fontSizeSpinBox")->value(), 12);
    QCOMPARE(tab.colours()->currentIndex(), 0);
    QCOMPARE(tab.table.font().pointSize(), 12);
}

TAVROLO_TEST_MAIN(TestTableLeftPane)
#include "tst_tableleftpane.moc"
