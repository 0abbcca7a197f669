#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/FilterDelay.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "leftpane/CardsFilterWidget.h"
#include "leftpane/CardsSearchWidget.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <memory>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

int beyondPause()
{
    return filterDelayMs() + 1500;
}

} // namespace

class TestCardsSearchWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void typedSearchIsNoEditOfThePlan_data();
    void typedSearchIsNoEditOfThePlan();
    void clearAppliesPendingTextFirst();
    void zoomChoiceAppliesAtOnce();
    void wholePlanChangeRunsStoredSearchBeforeOthersHearOfIt();

private:
    DelayedEditLineEdit *field() const
    {
        return child<DelayedEditLineEdit>(m_widget.get(), "m_searchEdit");
    }
    QPushButton *clearButton() const { return child<QPushButton>(m_widget.get(), "m_clearButton"); }

    std::unique_ptr<CardsSearchWidget> m_widget;
};

void TestCardsSearchWidget::init()
{
    // A quarter of the designed pause; the waits below are shares of it.
    setFilterDelayScale(0.25);
    settings()->clear();
    PlanFixture::fillPlan(*doc(), {{"Fix bug", "todo"}, {"New ui", "done"}});
    doc()->setSearch(QString(), false, false);
    m_widget = std::make_unique<CardsSearchWidget>();
    connect(doc(), &Document::changed, m_widget.get(), &CardsSearchWidget::onChangedDoc);
    doc()->emitChanged(EventType::AllChanged);
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget.get()));
}

void TestCardsSearchWidget::cleanup()
{
    m_widget.reset();
}

void TestCardsSearchWidget::typedSearchIsNoEditOfThePlan_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("text") << "Bug "
                          << "Bug";
    QTest::newRow("blanks") << "   "
                            << "";
}

void TestCardsSearchWidget::typedSearchIsNoEditOfThePlan()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    DocumentRecorder recorder(*doc());
    field()->setFocus();
    QTest::keyClicks(field(), typed);
    QVERIFY(clearButton()->isHidden());
    QTRY_COMPARE_WITH_TIMEOUT(recorder.changes.size(), 1, beyondPause());
    QCOMPARE(recorder.eventTypes(), QList<QList<int>>({{EventType::SearchChanged}}));
    QCOMPARE(recorder.undoTexts, QStringList());
    QCOMPARE(doc()->searchText(), stored);
    // Blanks can be cleared too, though they search for nothing.
    QVERIFY(clearButton()->isVisible());
    QVERIFY(field()->hasFocus());
}

void TestCardsSearchWidget::clearAppliesPendingTextFirst()
{
    QTest::keyClicks(field(), QStringLiteral("fix"));
    QTRY_COMPARE_WITH_TIMEOUT(doc()->searchText(), QStringLiteral("fix"), beyondPause());
    DocumentRecorder recorder(*doc());
    QTest::keyClicks(field(), QStringLiteral("ed"));
    clearButton()->click();
    QCOMPARE(doc()->searchText(), QStringLiteral("fixed"));
    QCOMPARE(field()->text(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(recorder.changes.size(), 2, beyondPause());
    QCOMPARE(doc()->searchText(), QString());
    QVERIFY(clearButton()->isHidden());
    QCOMPARE(recorder.undoTexts, QStringList());
}

void TestCardsSearchWidget::zoomChoiceAppliesAtOnce()
{
    field()->setText(QStringLiteral("ui"));
    DocumentRecorder recorder(*doc());
    child<QCheckBox>(m_widget.get(), "m_searchZoomCheckBox")->click();
    QCOMPARE(recorder.eventTypes(), QList<QList<int>>({{EventType::SearchChanged}}));
    QCOMPARE(doc()->searchText(), QStringLiteral("ui"));
    QVERIFY(doc()->searchFlag());
    child<QPushButton>(m_widget.get(), "m_rerunButton")->click();
    QCOMPARE(recorder.changes.size(), 2);
    QCOMPARE(recorder.undoTexts, QStringList());
}

// Undo and redo replace the whole plan; the stored search is run again at once, reported
// while the whole-plan change is still being delivered. A section after this one hears of
// the search first and must still reload from the new plan.
void TestCardsSearchWidget::wholePlanChangeRunsStoredSearchBeforeOthersHearOfIt()
{
    CardsFilterWidget filter;
    connect(doc(), &Document::changed, &filter, &CardsFilterWidget::onChangedDoc);
    DocumentRecorder recorder(*doc());
    QSignalSpy reported(field(), &DelayedEditLineEdit::delayedEditTextChanged);
    QTest::keyClicks(field(), QStringLiteral("pending"));

    doc()->setFilter(true, true, true, {FilterTerm(0, MatchType::Contains, "bug")}, false, false);
    doc()->setSearch(QStringLiteral("new"), true, false);
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(recorder.eventTypes(),
             QList<QList<int>>({{EventType::SearchChanged}, {EventType::AllChanged}}));
    QCOMPARE(field()->text(), QStringLiteral("new"));
    QVERIFY(child<QCheckBox>(m_widget.get(), "m_searchZoomCheckBox")->isChecked());
    QVERIFY(clearButton()->isVisible());
    QCOMPARE(child<QLabel>(&filter, "m_explainerLabel")->text(),
             QStringLiteral("SHOW (Any Property or Notes Contains \"bug\")"));

    // Neither the reload nor the typing before it comes back as a search of its own.
    QTest::qWait(2 * filterDelayMs());
    QCOMPARE(reported.count(), 0);
    QCOMPARE(recorder.changes.size(), 2);
    QCOMPARE(recorder.undoTexts, QStringList());
}

TAVROLO_TEST_MAIN(TestCardsSearchWidget)
#include "tst_cardssearchwidget.moc"
