#include "cards/CardsScene.h"
#include "common/app/Accessors.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"
#include "tests/model/PlanFixture.h"

#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

namespace {

const QStringList comboNames = {"m_xPropertyComboBox",
                                "m_yPropertyComboBox",
                                "m_inCellPropertyComboBox",
                                "m_bgColorPropertyComboBox",
                                "m_highlightColorPropertyComboBox",
                                "m_totalPropertyComboBox"};
const QStringList buttonNames = {"m_xPropertyEditButton",
                                 "m_yPropertyEditButton",
                                 "m_inCellPropertyEditButton",
                                 "m_bgColorPropertyEditButton",
                                 "m_highlightColorPropertyEditButton",
                                 "m_totalPropertyEditButton"};

QStringList items(QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

void reloadFromPlan()
{
    doc()->emitChanged(EventType::AllChanged);
}

} // namespace

class TestCardsColorLayoutWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void eachChoiceIsOneUndoStep_data();
    void eachChoiceIsOneUndoStep();
    void planWithoutPropertiesTotalsCards();
    void addedPropertyKeepsCardsTotalWithoutWriting_data();
    void addedPropertyKeepsCardsTotalWithoutWriting();
    void deletedOrRenamedPropertyFollowsWithoutWriting();
    void editButtonsOpenTheirPropertyOnTheirPage_data();
    void editButtonsOpenTheirPropertyOnTheirPage();
    void tipChainNeedsTwoUserProperties_data();
    void tipChainNeedsTwoUserProperties();

private:
    std::unique_ptr<CardsScene> m_scene;
    std::unique_ptr<CardsColorLayoutWidget> m_widget;
};

// Status, Owner and Cost, four cards; the section connected as the pane connects it.
void TestCardsColorLayoutWidget::init()
{
    settings()->clear();
    PlanFixture::fillPlan(
        *doc(), {{"a", "todo", "1"}, {"b", "done", "2"}, {"c", "todo", "3"}, {"d", "doing", "4"}});
    m_scene = std::make_unique<CardsScene>(doc());
    m_widget = std::make_unique<CardsColorLayoutWidget>(nullptr, m_scene.get());
    connect(doc(), &Document::changed, m_widget.get(), &CardsColorLayoutWidget::onChangedDoc);
    reloadFromPlan();
}

void TestCardsColorLayoutWidget::cleanup()
{
    m_widget.reset();
    m_scene.reset();
    BalloonTip::hideBalloon();
}

void TestCardsColorLayoutWidget::eachChoiceIsOneUndoStep_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("undoText");
    QTest::addColumn<int>("eventType");
    QTest::newRow("X") << "m_xPropertyComboBox" << 2 << "Set X Property" << 8;
    QTest::newRow("Y") << "m_yPropertyComboBox" << 4 << "Set Y Property" << 8;
    QTest::newRow("in cell") << "m_inCellPropertyComboBox" << 3 << "Set Cell ordering Property"
                             << 8;
    QTest::newRow("card colour") << "m_bgColorPropertyComboBox" << 2 << "Set Card Color" << 8;
    QTest::newRow("highlight") << "m_highlightColorPropertyComboBox" << 1 << "Set Highlight Color"
                               << 8;
    QTest::newRow("total") << "m_totalPropertyComboBox" << 3 << "Show Total" << 8;
    QTest::newRow("<cards>") << "m_totalPropertyComboBox" << 5 << "Show Total" << 8;
    QTest::newRow("row colour") << "m_bgXYColorComboBox" << 2 << "Change row/col color" << 8;
    QTest::newRow("in cells") << "m_totalInCellsCheckBox" << 1 << "Show Cells Totals" << 10;
}

void TestCardsColorLayoutWidget::eachChoiceIsOneUndoStep()
{
    QFETCH(QString, control);
    QFETCH(int, index);
    QFETCH(QString, undoText);
    QFETCH(int, eventType);
    const auto read = [&control]() -> int {
        const Document *plan = doc();
        const QMap<QString, int> values
            = {{"m_xPropertyComboBox", plan->xProperty()},
               {"m_yPropertyComboBox", plan->yProperty()},
               {"m_inCellPropertyComboBox", plan->cellOrderingProperty()},
               {"m_bgColorPropertyComboBox", plan->cardColorProperty()},
               {"m_highlightColorPropertyComboBox", plan->highlightColorProperty()},
               {"m_totalPropertyComboBox", plan->totalProperty()},
               {"m_bgXYColorComboBox", plan->rowColColor()},
               {"m_totalInCellsCheckBox", plan->showCellsTotals() ? 1 : 0}};
        return values.value(control);
    };
    DocumentRecorder recorder(*doc());
    if (auto *box = m_widget->findChild<QCheckBox *>(control))
        box->setChecked(index == 1);
    else
        child<QComboBox>(m_widget.get(), control)->setCurrentIndex(index);
    QCOMPARE(recorder.undoTexts, QStringList({undoText}));
    QCOMPARE(recorder.eventTypes(), QList<QList<int>>({{eventType}}));
    QCOMPARE(read(), index);
    if (QTest::currentDataTag() == QLatin1String("<cards>")) {
        QCOMPARE(index, doc()->propertyCount());
        // The scene totals the new choice at once, without waiting for a change report.
        QCOMPARE(m_scene->numericTotal(-1, -1), 4.0);
    }

    // Undo: the restored plan fills every control again, writing nothing.
    *doc() = *recorder.snapshots.front();
    recorder.clear();
    reloadFromPlan();
    QCOMPARE(recorder.undoTexts, QStringList());
    QCOMPARE(read(), 0);
    if (auto *combo = m_widget->findChild<QComboBox *>(control))
        QCOMPARE(combo->currentIndex(), 0);
}

void TestCardsColorLayoutWidget::planWithoutPropertiesTotalsCards()
{
    doc()->clear(false);
    reloadFromPlan();
    for (const QString &name : comboNames) {
        QCOMPARE(items(child<QComboBox>(m_widget.get(), name)),
                 name == "m_totalPropertyComboBox" ? QStringList({"<select>", "<cards>"})
                                                   : QStringList({"<select>"}));
    }
    for (const QString &name : buttonNames)
        QVERIFY2(!child<QToolButton>(m_widget.get(), name)->isEnabled(), qPrintable(name));
    auto *inCells = child<QCheckBox>(m_widget.get(), "m_totalInCellsCheckBox");
    QVERIFY(!inCells->isEnabled());

    DocumentRecorder recorder(*doc());
    child<QComboBox>(m_widget.get(), "m_totalPropertyComboBox")->setCurrentIndex(1);
    QCOMPARE(recorder.undoTexts, QStringList({"Show Total"}));
    QCOMPARE(doc()->totalProperty(), 1);
    QVERIFY(inCells->isEnabled());
    QVERIFY(!child<QToolButton>(m_widget.get(), "m_totalPropertyEditButton")->isEnabled());
}

void TestCardsColorLayoutWidget::addedPropertyKeepsCardsTotalWithoutWriting_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain name") << "Priority";
    QTest::newRow("named like the card count") << "<cards>";
}

// A second "Show Total" from inside the "Add Property" report would leave one undo step
// that lands on a plan totalling the new property.
void TestCardsColorLayoutWidget::addedPropertyKeepsCardsTotalWithoutWriting()
{
    QFETCH(QString, name);
    auto *total = child<QComboBox>(m_widget.get(), "m_totalPropertyComboBox");
    total->setCurrentIndex(doc()->propertyCount());
    DocumentRecorder recorder(*doc());
    doc()->addProperty(name, QString(), PropertyType::Text, {}, PropertyVisibility::Text,
                       PropertyAppearance(), true);
    QCOMPARE(recorder.undoTexts, QStringList({"Add Property"}));
    const int count = doc()->propertyCount();
    QCOMPARE(doc()->totalProperty(), count);
    QCOMPARE(total->count(), count + 1);
    QCOMPARE(total->currentIndex(), count);
    QCOMPARE(total->itemText(count - 1), name);
    QCOMPARE(total->itemText(count), QStringLiteral("<cards>"));
    for (const QString &combo : comboNames)
        QCOMPARE(child<QComboBox>(m_widget.get(), combo)->itemText(count - 1), name);

    // And with a property named "<cards>" already listed, the next one still keeps it.
    doc()->addProperty(QStringLiteral("Next"), QString(), PropertyType::Text, {},
                       PropertyVisibility::Text, PropertyAppearance(), true);
    QCOMPARE(total->itemText(count - 1), name);
    QCOMPARE(total->currentIndex(), count + 1);
    QCOMPARE(recorder.undoTexts.size(), 2);
}

void TestCardsColorLayoutWidget::deletedOrRenamedPropertyFollowsWithoutWriting()
{
    auto *x = child<QComboBox>(m_widget.get(), "m_xPropertyComboBox");
    auto *y = child<QComboBox>(m_widget.get(), "m_yPropertyComboBox");
    x->setCurrentIndex(2);
    y->setCurrentIndex(3);
    DocumentRecorder recorder(*doc());
    doc()->deleteProperty(2, true);
    QCOMPARE(recorder.undoTexts, QStringList({"Delete Property"}));
    QCOMPARE(x->currentIndex(), 0);
    QCOMPARE(y->currentText(), QStringLiteral("Cost"));
    QCOMPARE(y->currentIndex(), doc()->yProperty());
    QVERIFY(!child<QToolButton>(m_widget.get(), "m_xPropertyEditButton")->isEnabled());

    doc()->setPropertyName(1, QStringLiteral("Title"), true);
    for (const QString &name : comboNames)
        QCOMPARE(child<QComboBox>(m_widget.get(), name)->itemText(1), QStringLiteral("Title"));
    QCOMPARE(recorder.undoTexts.size(), 2);
}

void TestCardsColorLayoutWidget::editButtonsOpenTheirPropertyOnTheirPage_data()
{
    QTest::addColumn<int>("xProperty");
    QTest::addColumn<int>("rowColumnMode");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("page");
    QTest::newRow("X") << 2 << 0 << "m_xPropertyEditButton"
                       << "Status" << int(PropertyDialog::OrderingPage);
    QTest::newRow("card colour") << 0 << 0 << "m_bgColorPropertyEditButton"
                                 << "Cost" << int(PropertyDialog::ColorsPage);
    QTest::newRow("by column") << 2 << 1 << "m_bgXYColorEditButton"
                               << "Status" << int(PropertyDialog::ColorsPage);
    QTest::newRow("by row, no Y") << 2 << 2 << "m_bgXYColorEditButton"
                                  << "" << -1;
}

void TestCardsColorLayoutWidget::editButtonsOpenTheirPropertyOnTheirPage()
{
    QFETCH(int, xProperty);
    QFETCH(int, rowColumnMode);
    QFETCH(QString, button);
    QFETCH(QString, property);
    QFETCH(int, page);
    child<QComboBox>(m_widget.get(), "m_xPropertyComboBox")->setCurrentIndex(xProperty);
    child<QComboBox>(m_widget.get(), "m_bgColorPropertyComboBox")->setCurrentIndex(3);
    child<QComboBox>(m_widget.get(), "m_bgXYColorComboBox")->setCurrentIndex(rowColumnMode);
    auto *editButton = child<QToolButton>(m_widget.get(), button);
    QCOMPARE(editButton->isEnabled(), page >= 0);
    if (page < 0)
        return;
    QString shownName;
    int shownPage = -1;
    ModalAnswer answer(QStringLiteral("Cancel"), {}, [&](QWidget *dialog) {
        shownName = child<QLineEdit>(dialog, "m_nameEdit")->text();
        shownPage = child<QTabWidget>(dialog, "m_tabWidget")->currentIndex();
    });
    editButton->click();
    QVERIFY(answer.answered());
    QCOMPARE(shownName, property);
    QCOMPARE(shownPage, page);
}

void TestCardsColorLayoutWidget::tipChainNeedsTwoUserProperties_data()
{
    QTest::addColumn<int>("userProperties");
    QTest::newRow("one user property") << 1;
    QTest::newRow("two user properties") << 2;
}

void TestCardsColorLayoutWidget::tipChainNeedsTwoUserProperties()
{
    QFETCH(int, userProperties);
    while (doc()->propertyCount() > userProperties + 1)
        doc()->deleteProperty(doc()->propertyCount() - 1, true);
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget.get()));
    const bool chain = userProperties >= 2;

    child<QComboBox>(m_widget.get(), "m_xPropertyComboBox")->setCurrentIndex(1);
    QVERIFY(BalloonTip::wasShown(QStringLiteral("tip_x_layout"), false));
    QCOMPARE(BalloonTip::wasShown(QStringLiteral("tip_y_layout"), false), chain);
    child<QComboBox>(m_widget.get(), "m_yPropertyComboBox")->setCurrentIndex(1);
    QCOMPARE(BalloonTip::wasShown(QStringLiteral("tip_color"), false), chain);
    child<QComboBox>(m_widget.get(), "m_bgColorPropertyComboBox")->setCurrentIndex(1);
    QCOMPARE(BalloonTip::wasShown(QStringLiteral("tip_total"), false), chain);
    // The last step needs only X chosen.
    QVERIFY(!BalloonTip::wasShown(QStringLiteral("tip_edit_property"), false));
    child<QComboBox>(m_widget.get(), "m_totalPropertyComboBox")->setCurrentIndex(1);
    QVERIFY(BalloonTip::wasShown(QStringLiteral("tip_total"), false));
    QVERIFY(BalloonTip::wasShown(QStringLiteral("tip_edit_property"), false));
    QVERIFY(BalloonTip::currentBalloon());
}

TAVROLO_TEST_MAIN(TestCardsColorLayoutWidget)
#include "tst_cardscolorlayoutwidget.moc"
