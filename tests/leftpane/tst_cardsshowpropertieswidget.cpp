#include "common/app/Accessors.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "leftpane/CardsPropertiesTable.h"
#include "leftpane/CardsShowPropertiesWidget.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace {

QStringList rowNames(const QTableWidget *table)
{
    QStringList names;
    for (int row = 1; row < table->rowCount(); ++row)
        names << table->verticalHeaderItem(row)->text();
    return names;
}

} // namespace

class TestCardsShowPropertiesWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void eachControlIsOneUndoStep_data();
    void eachControlIsOneUndoStep();
    void loadingShowsStoredCodesWithoutWriting();
    void reorderNeedsTwoUserProperties();
    void tableHeightFollowsItsRows_data();
    void tableHeightFollowsItsRows();
    void viewChangeAndReorderRebuildInTheNewOrder();

private:
    std::unique_ptr<CardsShowPropertiesWidget> m_widget;
    CardsPropertiesTable *m_table = nullptr;
};

// Name, Status, Cost and Due, two cards; the section connected as the pane connects it.
void TestCardsShowPropertiesWidget::init()
{
    PlanFixture::fillPlan(*doc(), {{"a", "todo", "1"}, {"b", "done", "2"}});
    m_widget = std::make_unique<CardsShowPropertiesWidget>(nullptr, nullptr, nullptr);
    m_table = child<CardsPropertiesTable>(m_widget.get(), "m_propertiesTable");
    connect(doc(), &Document::changed, m_widget.get(), &CardsShowPropertiesWidget::onChangedDoc);
    doc()->emitChanged(EventType::AllChanged);
}

void TestCardsShowPropertiesWidget::cleanup()
{
    m_widget.reset();
}

void TestCardsShowPropertiesWidget::eachControlIsOneUndoStep_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("hide Status") << "Status" << 8 << "Show/Hide Property On Card";
    QTest::newRow("Cost in bold") << "Cost" << 1 << "Show/Hide Property On Card";
    QTest::newRow("labels") << "m_showLabelsCheckBox" << 1 << "Show Labels";
    QTest::newRow("images off") << "m_showImageCheckBox" << 0 << "Hide Images";
    // The size is kept for when images are shown again.
    QTest::newRow("size while images off") << "m_imageSizeComboBox" << 2 << "Hide Images";
}

void TestCardsShowPropertiesWidget::eachControlIsOneUndoStep()
{
    QFETCH(QString, control);
    QFETCH(int, value);
    QFETCH(QString, undoText);
    if (QTest::currentDataTag() == QLatin1String("size while images off"))
        doc()->setShowImages(false, 0, 1, false);
    doc()->emitChanged(EventType::AllChanged);
    DocumentRecorder recorder(*doc());
    const int property = doc()->propertyIndex(control);
    if (property > 0) {
        auto *combo = qobject_cast<QComboBox *>(m_table->cellWidget(property, 0));
        combo->setCurrentIndex(value);
        QCOMPARE(doc()->propertyVisibility(property),
                 CardsPropertiesTable::comboIndexToVisibility(value));
    } else if (auto *box = m_widget->findChild<QCheckBox *>(control)) {
        box->setChecked(value != 0);
    } else {
        child<QComboBox>(m_widget.get(), qPrintable(control))->setCurrentIndex(value);
        QCOMPARE(doc()->imageSize(), value);
        QVERIFY(!doc()->showImages());
    }
    QCOMPARE(recorder.undoTexts, QStringList({undoText}));
    QCOMPARE(recorder.eventTypes(), QList<QList<int>>({{EventType::CardContentChanged}}));
}

void TestCardsShowPropertiesWidget::loadingShowsStoredCodesWithoutWriting()
{
    doc()->setPropertyVisibility(2, PropertyVisibility::Triangle, false);
    doc()->setPropertyVisibility(3, 42, false);
    doc()->setShowLabels(true, false);
    DocumentRecorder recorder(*doc());
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(qobject_cast<QComboBox *>(m_table->cellWidget(2, 0))->currentIndex(), 6);
    QCOMPARE(qobject_cast<QComboBox *>(m_table->cellWidget(2, 0))->currentText(),
             QStringLiteral("Show as colored triangle"));
    // An unknown code shows the first item.
    QCOMPARE(qobject_cast<QComboBox *>(m_table->cellWidget(3, 0))->currentIndex(), 0);
    QVERIFY(child<QCheckBox>(m_widget.get(), "m_showLabelsCheckBox")->isChecked());
    QVERIFY(m_table->isRowHidden(0));
    QCOMPARE(recorder.undoTexts, QStringList());
    QCOMPARE(recorder.changes.size(), 1);
}

void TestCardsShowPropertiesWidget::reorderNeedsTwoUserProperties()
{
    auto *reorder = child<QPushButton>(m_widget.get(), "m_reorderButton");
    QVERIFY(reorder->isEnabled());
    doc()->deleteProperty(4, true);
    doc()->deleteProperty(3, true);
    doc()->deleteProperty(2, true);
    QVERIFY(!reorder->isEnabled());
    QCOMPARE(rowNames(m_table), QStringList({"Name"}));
    doc()->addProperty(QStringLiteral("Owner"), QString(), PropertyType::Text, {},
                       PropertyVisibility::Star, PropertyAppearance(), true);
    QVERIFY(reorder->isEnabled());
    QCOMPARE(rowNames(m_table), QStringList({"Name", "Owner"}));
    QCOMPARE(qobject_cast<QComboBox *>(m_table->cellWidget(2, 0))->currentIndex(), 5);
}

void TestCardsShowPropertiesWidget::tableHeightFollowsItsRows_data()
{
    QTest::addColumn<int>("properties");
    QTest::addColumn<int>("height");
    QTest::newRow("two rows of 30") << 2 << 62;
    QTest::newRow("no visible row") << 0 << 30;
    QTest::newRow("twenty rows of 30") << 20 << 240;
}

void TestCardsShowPropertiesWidget::tableHeightFollowsItsRows()
{
    QFETCH(int, properties);
    QFETCH(int, height);
    doc()->clear(false);
    for (int i = 1; i <= properties; ++i)
        PlanFixture::addProperty(*doc(), QStringLiteral("P%1").arg(i));
    doc()->emitChanged(EventType::AllChanged);
    // Above the header's smallest row, which the style sets.
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->setRowHeight(row, 30);
    // The hidden placeholder row takes no room.
    QCOMPARE(m_table->sizeHint().height(), height);
}

void TestCardsShowPropertiesWidget::viewChangeAndReorderRebuildInTheNewOrder()
{
    doc()->addStoredView(QStringLiteral("Plain"), false, false);
    qobject_cast<QComboBox *>(m_table->cellWidget(4, 0))->setCurrentIndex(8);
    QCOMPARE(doc()->propertyVisibility(4), int(PropertyVisibility::Hidden));

    doc()->changeView(QStringLiteral("Plain"), true);
    QCOMPARE(qobject_cast<QComboBox *>(m_table->cellWidget(4, 0))->currentIndex(), 0);

    PropertyReorderMap newToOld = {{0, 0}, {1, 4}, {2, 1}, {3, 2}, {4, 3}};
    doc()->setPropertyVisibility(4, PropertyVisibility::Diamond, true);
    DocumentRecorder recorder(*doc());
    doc()->reorderProperties(newToOld, true);
    QCOMPARE(recorder.eventTypes(), QList<QList<int>>({{EventType::PropertiesReordered}}));
    QCOMPARE(rowNames(m_table), QStringList({"Due", "Name", "Status", "Cost"}));
    QCOMPARE(qobject_cast<QComboBox *>(m_table->cellWidget(1, 0))->currentIndex(), 7);
    QCOMPARE(recorder.undoTexts.size(), 1);
}

TAVROLO_TEST_MAIN(TestCardsShowPropertiesWidget)
#include "tst_cardsshowpropertieswidget.moc"
