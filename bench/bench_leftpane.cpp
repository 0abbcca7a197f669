#include "BenchTools.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"
#include "leftpane/CardsAppearanceWidget.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsFilterWidget.h"
#include "leftpane/CardsLeftPane.h"
#include "leftpane/CardsSearchWidget.h"
#include "leftpane/CardsShowPropertiesWidget.h"
#include "leftpane/CardsSliceWidget.h"
#include "model/Document.h"

#include <algorithm>
#include <functional>
#include <memory>

#include <QComboBox>
#include <QElapsedTimer>

namespace {

const int largeCards = BenchTools::CardsPlanCards;
const int largeProperties = BenchTools::CardsPlanProperties;
const int runs = BenchTools::Runs;

using BenchTools::medianMs;
using BenchTools::print;
const BenchTools::MsReport report {52, 3};

// The large plan with four properties shown on the cards.
void fillLargePlan(Document &plan)
{
    BenchTools::fillCardsPlan(
        plan, [](int p) { return p <= 4 ? PropertyVisibility::Text : PropertyVisibility::Hidden; });
}

Events eventsOf(int type)
{
    Events events;
    events.add(type);
    return events;
}

} // namespace

// The assembled Cards left pane on a large plan, wired as the main window wires it: the real
// Cards scene first, then the Cards view (not shown), then the six sections in the pane's
// order. A basic filter edit is timed from the field's delayed report to the end of the
// scene's re-layout, the two pauses skipped; each section's own handling of the reports that
// must not walk the cards is timed alone, and the layout section's combos are watched for
// refills.
class BenchLeftPane : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void basicFilterEdit();
    void reportsThatMustNotWalkTheCards();

private:
    std::unique_ptr<CardsScene> m_scene;
    std::unique_ptr<CardsView> m_view;
    std::unique_ptr<CardsLeftPane> m_pane;
};

void BenchLeftPane::initTestCase()
{
    fillLargePlan(*doc());
    // A stored view and a stored appearance, so that matching them has something to compare.
    settings()->loadCardsAppearances();
    doc()->setXProperty(3, false);
    doc()->addStoredView(QStringLiteral("Stored"), true, false);
    doc()->setXProperty(1, false);
    m_scene = std::make_unique<CardsScene>(doc());
    m_view = std::make_unique<CardsView>(m_scene.get());
    m_pane = std::make_unique<CardsLeftPane>(nullptr, m_scene.get(), m_view.get());
    connect(doc(), &Document::changed, m_scene.get(), &CardsScene::onChangedDoc);
    connect(doc(), &Document::changed, m_view.get(), &CardsView::onChangedDoc);
    m_pane->connectToDocument();
    doc()->emitChanged(EventType::AllChanged);
    print(QStringLiteral("Plan: %1 cards x %2 properties, X text of 50 values, numeric Y, "
                         "real CardsScene and CardsView (not shown, no animation), the whole "
                         "Cards left pane connected")
              .arg(largeCards)
              .arg(largeProperties));
}

void BenchLeftPane::cleanupTestCase()
{
    m_pane.reset();
    m_view.reset();
    m_scene.reset();
}

void BenchLeftPane::basicFilterEdit()
{
    CardsFilterWidget *filter = m_pane->filterWidget();
    auto *field = filter->findChild<DelayedEditLineEdit *>(QStringLiteral("m_basicLineEdit"));
    QVERIFY(field);
    const auto edit = [&](const QString &text) {
        // Typing: the field's own pause is running when the timing starts.
        field->setText(text);
        QElapsedTimer timer;
        timer.start();
        field->flush();
        // The section's pause, skipped.
        QMetaObject::invokeMethod(filter, "onTimeOut", Qt::DirectConnection);
        return timer.nsecsElapsed() / 1e6;
    };
    // Basic words are alternatives: a card matching any of them is shown.
    const QStringList texts
        = {QStringLiteral("text"),    QStringLiteral("1234"),   QStringLiteral("Value 7"),
           QStringLiteral("nothing"), QStringLiteral("bug ui"), QString()};
    QSignalSpy layouts(m_scene.get(), &CardsScene::redrawing);
    for (const QString &text : texts) {
        QVector<double> figures;
        for (int i = 0; i < runs; ++i) {
            // From no filter, so every run changes what is shown.
            edit(QString());
            figures.append(edit(text));
        }
        std::sort(figures.begin(), figures.end());
        const int shown = m_scene->visibleTaskIndexes().size();
        // Every edit, the timed one and the one before it, laid the scene out once.
        QCOMPARE(layouts.count(), 2 * runs);
        layouts.clear();
        report(QStringLiteral("basic filter \"%1\" (%2 of %3 shown)")
                   .arg(text)
                   .arg(shown)
                   .arg(largeCards),
               figures.at(figures.size() / 2), 150);
    }
    QCOMPARE(doc()->filterTerms().size(), 0);
}

// Layout settings, what cards show, the filter, the Cards appearance and the search text:
// at most a look at the current and stored views or appearances, never a walk over the cards.
void BenchLeftPane::reportsThatMustNotWalkTheCards()
{
    auto *x = m_pane->colorLayoutWidget()->findChild<QComboBox *>(
        QStringLiteral("m_xPropertyComboBox"));
    QVERIFY(x);
    QSignalSpy refills(x->model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy resets(x->model(), &QAbstractItemModel::modelReset);
    const QList<QPair<QString, std::function<void(const Events &)>>> sections
        = {{QStringLiteral("Stored Views"),
            [this](const Events &e) { m_pane->sliceWidget()->onChangedDoc(e); }},
           {QStringLiteral("Layout/Color"),
            [this](const Events &e) { m_pane->colorLayoutWidget()->onChangedDoc(e); }},
           {QStringLiteral("Search"),
            [this](const Events &e) { m_pane->searchWidget()->onChangedDoc(e); }},
           {QStringLiteral("Filter"),
            [this](const Events &e) { m_pane->filterWidget()->onChangedDoc(e); }},
           {QStringLiteral("Show Properties"),
            [this](const Events &e) { m_pane->showPropertiesWidget()->onChangedDoc(e); }},
           {QStringLiteral("Appearance"),
            [this](const Events &e) { m_pane->appearanceWidget()->onChangedDoc(e); }}};
    const QList<int> types
        = {EventType::CardsLayoutChanged, EventType::CardContentChanged, EventType::FilterChanged,
           EventType::CardsAppearanceChanged, EventType::SearchChanged};
    double slowest = 0;
    for (int type : types) {
        const Events events = eventsOf(type);
        for (const auto &section : sections) {
            const double ms = medianMs([&] { section.second(events); });
            slowest = std::max(slowest, ms);
            report(QStringLiteral("event %1: %2 section").arg(type).arg(section.first), ms);
        }
    }
    print(QStringLiteral("  slowest section on these events: %1 ms; X combo refilled %2 times")
              .arg(slowest, 0, 'f', 3)
              .arg(refills.count() + resets.count()));
    QCOMPARE(refills.count() + resets.count(), 0);
    // For comparison: what a whole-plan change costs the sections that rebuild on it.
    const Events all = eventsOf(EventType::AllChanged);
    report(QStringLiteral("event 0: Layout/Color section (refills its combos)"),
           medianMs([&] { m_pane->colorLayoutWidget()->onChangedDoc(all); }));
    report(QStringLiteral("event 0: Show Properties section (rebuilds its rows)"),
           medianMs([&] { m_pane->showPropertiesWidget()->onChangedDoc(all); }));
    report(QStringLiteral("event 0: Appearance section"),
           medianMs([&] { m_pane->appearanceWidget()->onChangedDoc(all); }));
}

TAVROLO_TEST_MAIN(BenchLeftPane)
#include "bench_leftpane.moc"
