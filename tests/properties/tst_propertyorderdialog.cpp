#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "model/PlanFixture.h"
#include "properties/PropertyOrderDialog.h"

#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

namespace {

QTableWidget *table(QWidget *dialog)
{
    return child<QTableWidget>(dialog, "m_orderingTable");
}

QStringList rowNames(QWidget *dialog)
{
    QStringList names;
    for (int row = 0; row < table(dialog)->rowCount(); ++row)
        names.append(table(dialog)->item(row, 0)->text());
    return names;
}

QStringList selectedNames(QWidget *dialog)
{
    QStringList names;
    for (int row : selectedRows(table(dialog)))
        names.append(table(dialog)->item(row, 0)->text());
    return names;
}

void selectNames(QWidget *dialog, const QStringList &names)
{
    QTableWidget *list = table(dialog);
    list->clearSelection();
    for (int row = 0; row < list->rowCount(); ++row) {
        if (names.contains(list->item(row, 0)->text()))
            list->setRangeSelected(QTableWidgetSelectionRange(row, 0, row, 0), true);
    }
}

bool valuesFollowProperties()
{
    for (int property : doc()->propertyIndexes(false)) {
        if (doc()->value(0, property) != doc()->propertyName(property))
            return false;
    }
    return true;
}

} // namespace

class TestPropertyOrderDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void movesKeepTheMovedRowsSelected_data();
    void movesKeepTheMovedRowsSelected();
    void moveButtonsFollowTheSelection_data();
    void moveButtonsFollowTheSelection();
    void okStoresTheOrderInOneStep();
    void okWithoutMovesStoresNothing();
    void namesDifferingInCaseKeepEveryProperty();
};

void TestPropertyOrderDialog::init()
{
    settings()->clear();
    PlanFixture::fillSelfNamedProperties(*doc(), {"A", "B", "C", "D", "E"});
}

void TestPropertyOrderDialog::movesKeepTheMovedRowsSelected_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QStringList>("order");

    const QStringList bd {"B", "D"};
    QTest::newRow("top") << "m_topButton" << bd << QStringList {"B", "D", "A", "C", "E"};
    QTest::newRow("bottom") << "m_bottomButton" << bd << QStringList {"A", "C", "E", "B", "D"};
    QTest::newRow("up") << "m_upButton" << bd << QStringList {"B", "A", "D", "C", "E"};
    QTest::newRow("down") << "m_downButton" << bd << QStringList {"A", "C", "B", "E", "D"};
    QTest::newRow("adjacent down")
        << "m_downButton" << QStringList {"B", "C"} << QStringList {"A", "D", "B", "C", "E"};
}

void TestPropertyOrderDialog::movesKeepTheMovedRowsSelected()
{
    QFETCH(QString, button);
    QFETCH(QStringList, selected);
    QFETCH(QStringList, order);

    PropertyOrderDialog dialog(nullptr);
    selectNames(&dialog, selected);
    child<QToolButton>(&dialog, button.toLatin1().constData())->click();

    QCOMPARE(rowNames(&dialog), order);
    QCOMPARE(selectedNames(&dialog), selected);
    // Nothing is stored before Ok.
    QCOMPARE(PlanFixture::propertyNames(*doc()), QStringList({"A", "B", "C", "D", "E"}));
}

void TestPropertyOrderDialog::moveButtonsFollowTheSelection_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<bool>("canRise");
    QTest::addColumn<bool>("canSink");

    QTest::newRow("first") << QStringList {"A"} << false << true;
    QTest::newRow("last") << QStringList {"E"} << true << false;
    QTest::newRow("first and last") << QStringList {"A", "E"} << false << false;
    QTest::newRow("middle") << QStringList {"C"} << true << true;
    QTest::newRow("none") << QStringList {} << false << false;
}

void TestPropertyOrderDialog::moveButtonsFollowTheSelection()
{
    QFETCH(QStringList, selected);
    QFETCH(bool, canRise);
    QFETCH(bool, canSink);

    PropertyOrderDialog dialog(nullptr);
    selectNames(&dialog, selected);

    QCOMPARE(child<QToolButton>(&dialog, "m_topButton")->isEnabled(), canRise);
    QCOMPARE(child<QToolButton>(&dialog, "m_upButton")->isEnabled(), canRise);
    QCOMPARE(child<QToolButton>(&dialog, "m_downButton")->isEnabled(), canSink);
    QCOMPARE(child<QToolButton>(&dialog, "m_bottomButton")->isEnabled(), canSink);
}

void TestPropertyOrderDialog::okStoresTheOrderInOneStep()
{
    PlanFixture::fillSelfNamedProperties(*doc(), {"Delta", "alpha", "Charlie", "bravo"});
    PropertyOrderDialog dialog(nullptr);
    // The first row starts selected.
    QCOMPARE(selectedNames(&dialog), QStringList({"Delta"}));
    child<QPushButton>(&dialog, "m_alphaSortButton")->click();
    DocumentRecorder recorder(*doc());
    dialog.accept();

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    // The table's own sort: upper case before lower case.
    QCOMPARE(PlanFixture::propertyNames(*doc()),
             QStringList({"Charlie", "Delta", "alpha", "bravo"}));
    QCOMPARE(recorder.undoTexts, QStringList({"Re-order Properties"}));
    QVERIFY(valuesFollowProperties());
}

void TestPropertyOrderDialog::okWithoutMovesStoresNothing()
{
    PropertyOrderDialog dialog(nullptr);
    DocumentRecorder recorder(*doc());
    child<QToolButton>(&dialog, "m_downButton")->click();
    child<QToolButton>(&dialog, "m_upButton")->click();
    dialog.accept();

    QVERIFY(recorder.isSilent());
    QCOMPARE(PlanFixture::propertyNames(*doc()), QStringList({"A", "B", "C", "D", "E"}));
}

// A plan file may hold "Cost" and "cost"; mapped back by name, one of them would take both
// places and the other would be lost with its values.
void TestPropertyOrderDialog::namesDifferingInCaseKeepEveryProperty()
{
    PlanFixture::fillSelfNamedProperties(*doc(), {"Cost", "Status", "cost"});
    PropertyOrderDialog dialog(nullptr);
    selectNames(&dialog, {"cost"});
    child<QToolButton>(&dialog, "m_topButton")->click();
    dialog.accept();

    QCOMPARE(PlanFixture::propertyNames(*doc()), QStringList({"cost", "Cost", "Status"}));
    QVERIFY(valuesFollowProperties());
}

TAVROLO_TEST_MAIN(TestPropertyOrderDialog)
#include "tst_propertyorderdialog.moc"
