#include "charts/ChartsAppearanceWidget.h"
#include "charts/ChartsDisplayWidget.h"
#include "charts/ChartsFilterWidget.h"
#include "charts/ChartsLeftPane.h"
#include "common/app/Accessors.h"
#include "common/widgets/ColorButton.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/FilterDelay.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "leftpane/HeaderButton.h"
#include "model/Document.h"
#include "model/PlanFixture.h"

#include <algorithm>
#include <functional>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

using namespace PlanFixture;

namespace {

QStringList items(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

using Action = std::function<void(QWidget *pane)>;

} // namespace

Q_DECLARE_METATYPE(Action)

// The Charts left pane connected to the application's plan as the main window connects it,
// shown, with every section open.
class TestChartsLeftPane : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showOffersNumbersThenCardsOnce_data();
    void showOffersNumbersThenCardsOnce();
    void eachControlIsOneUndoStep_data();
    void eachControlIsOneUndoStep();
    void filterHeaderFollowsTheCheckBoxAndUndo();
    void typedTitleIsWrittenBeforeAnotherControl();

private:
    std::unique_ptr<ChartsLeftPane> m_pane;
};

// Name and Status (text), Cost (automatic, numbers), Due (date), Hours (numeric) and a numeric
// property named "<cards>".
void TestChartsLeftPane::init()
{
    settings()->clear();
    Document &plan = *doc();
    PlanFixture::fillPlan(plan, {{"Fix bug", "todo", "3", "1/2/2030"}});
    addProperty(plan, QStringLiteral("Hours"), PropertyType::Numeric);
    addProperty(plan, QStringLiteral("<cards>"), PropertyType::Numeric);
    m_pane = std::make_unique<ChartsLeftPane>(nullptr, nullptr, nullptr);
    m_pane->connectToDocument();
    plan.emitChanged(EventType::AllChanged);
    m_pane->setChildOpen(m_pane->filterWidget(), true);
    m_pane->setChildOpen(m_pane->appearanceWidget(), true);
    m_pane->resize(300, 900);
    m_pane->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
}

void TestChartsLeftPane::cleanup()
{
    m_pane.reset();
}

void TestChartsLeftPane::showOffersNumbersThenCardsOnce_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("property");
    QTest::addColumn<bool>("editable");
    QTest::newRow("Cost") << 1 << int(Cost) << true;
    QTest::newRow("Hours") << 2 << 5 << true;
    QTest::newRow("a property named <cards>") << 3 << 6 << true;
    QTest::newRow("the card count") << 4 << 7 << false;
    QTest::newRow("placeholder") << 0 << 0 << false;
}

void TestChartsLeftPane::showOffersNumbersThenCardsOnce()
{
    QFETCH(int, item);
    QFETCH(int, property);
    QFETCH(bool, editable);
    auto *show = child<QComboBox>(m_pane.get(), "m_showComboBox");
    QCOMPARE(items(show), QStringList({"<select>", "Cost", "Hours", "<cards>", "<cards>"}));
    QCOMPARE(items(child<QComboBox>(m_pane.get(), "m_byComboBox")),
             QStringList({"<select>", "Name", "Status"}));
    QCOMPARE(items(child<QComboBox>(m_pane.get(), "m_perComboBox")),
             QStringList({"<select>", "Name", "Status"}));

    show->setCurrentIndex(item == 0 ? 1 : 0);
    show->setCurrentIndex(item);
    QCOMPARE(doc()->chartShowProperty(), property);
    QCOMPARE(show->currentIndex(), item);
    QCOMPARE(child<QToolButton>(m_pane.get(), "m_showEditButton")->isEnabled(), editable);

    // A property added later takes the count's place: the card count stays chosen and last.
    addProperty(*doc(), QStringLiteral("Extra"), PropertyType::Numeric);
    doc()->emitChanged(EventType::PropertyAdded);
    QCOMPARE(show->count(), 6);
    QCOMPARE(show->currentIndex(), item == 4 ? 5 : item);
    QCOMPARE(doc()->chartShowProperty(), item == 4 ? doc()->propertyCount() : property);
}

void TestChartsLeftPane::eachControlIsOneUndoStep_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("undoText");
    QTest::addColumn<QList<int>>("events");
    const auto combo = [](const char *name, int index) {
        return Action([=](QWidget *pane) { child<QComboBox>(pane, name)->setCurrentIndex(index); });
    };
    const auto click = [](const char *name) {
        return Action([=](QWidget *pane) { child<QAbstractButton>(pane, name)->click(); });
    };
    const QList<int> settings = {EventType::ChartsSettingsChanged};
    const QList<int> looks = {EventType::ChartsAppearanceChanged};
    const QList<int> moves = {EventType::ChartsAppearanceChanged, EventType::ChartsSettingsChanged};
    QTest::newRow("By") << combo("m_byComboBox", 2) << "Set Chart By Property" << settings;
    QTest::newRow("Per") << combo("m_perComboBox", 1) << "Set Chart Per Property" << settings;
    QTest::newRow("hide zero") << click("m_hideZeroBarsCheckBox") << "Set Charts Hide Zero Bars"
                               << settings;
    QTest::newRow("hide empty") << click("m_hideEmptyChartsCheckBox") << "Set Charts Hide Empty"
                                << settings;
    QTest::newRow("filtering") << click("m_useCardsPaneFilterCheckBox") << "Set Charts Filtering"
                               << settings;
    QTest::newRow("value text") << combo("m_valueTextComboBox", 1) << "Set Charts Show Value Text"
                                << looks;
    QTest::newRow("legend") << combo("m_showLegendComboBox", 3) << "Set Charts Show Legend"
                            << moves;
    QTest::newRow("gradient") << Action(
        [](QWidget *pane) { child<QSpinBox>(pane, "m_gradientSpinBox")->stepUp(); })
                              << "Set Charts Gradient" << looks;
    QTest::newRow("title size") << Action(
        [](QWidget *pane) { child<QSpinBox>(pane, "m_titleSizeSpinBox")->stepDown(); })
                                << "Set Charts Title Size" << moves;
    QTest::newRow("Default") << click("m_defaultButton") << "Set Charts Appearance"
                             << QList<int>({EventType::ChartsSettingsChanged,
                                            EventType::ChartsAppearanceChanged});
}

void TestChartsLeftPane::eachControlIsOneUndoStep()
{
    QFETCH(Action, action);
    QFETCH(QString, undoText);
    QFETCH(QList<int>, events);
    DocumentRecorder recorder(*doc());
    action(m_pane.get());
    QCOMPARE(recorder.undoTexts, QStringList({undoText}));
    QCOMPARE(recorder.eventTypes(), QList<QList<int>>({events}));
}

void TestChartsLeftPane::filterHeaderFollowsTheCheckBoxAndUndo()
{
    DocumentRecorder recorder(*doc());
    const QList<HeaderButton *> headers = m_pane->findChildren<HeaderButton *>();
    HeaderButton *header = *std::find_if(headers.begin(), headers.end(), [](HeaderButton *button) {
        return button->text().startsWith(QLatin1String("Filter"));
    });
    child<QCheckBox>(m_pane.get(), "m_useCardsPaneFilterCheckBox")->click();
    QVERIFY(doc()->chartsFiltering());
    QCOMPARE(header->text(), QStringLiteral("Filter*"));
    // Undo puts the copy from before back and reports the whole plan.
    *doc() = *recorder.snapshots.front();
    doc()->emitChanged(EventType::AllChanged);
    QVERIFY(!child<QCheckBox>(m_pane.get(), "m_useCardsPaneFilterCheckBox")->isChecked());
    QCOMPARE(header->text(), QStringLiteral("Filter"));
}

void TestChartsLeftPane::typedTitleIsWrittenBeforeAnotherControl()
{
    DocumentRecorder recorder(*doc());
    auto *title = child<DelayedEditLineEdit>(m_pane.get(), "m_titleEdit");
    title->setFocus();
    QTest::keyClicks(title, QStringLiteral("{show_property}"));
    // Before the pause ends, another control: the title goes first, as typed.
    child<QSpinBox>(m_pane.get(), "m_gradientSpinBox")->stepUp();
    QCOMPARE(recorder.undoTexts, QStringList({"Set Charts Title", "Set Charts Gradient"}));
    QCOMPARE(doc()->chartsTitle(), QStringLiteral("{show_property}"));
    QCOMPARE(title->text(), QStringLiteral("{show_property}"));
    QTest::qWait(filterDelayMs() + 300);
    QCOMPARE(recorder.undoTexts.size(), 2);
    auto *background = child<ColorButton>(m_pane.get(), "m_backgroundColorButton");
    QCOMPARE(background->color(), doc()->chartBackgroundColor());
}

TAVROLO_TEST_MAIN(TestChartsLeftPane)
#include "tst_chartsleftpane.moc"
