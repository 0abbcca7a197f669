#include "cards/CardsScene.h"
#include "common/Accessors.h"
#include "common/DelayedEditLineEdit.h"
#include "harness/TestMain.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsFilterWidget.h"
#include "leftpane/CardsSearchWidget.h"
#include "model/Document.h"

#include <algorithm>
#include <memory>

#include <QComboBox>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

const int largeCards = 10000;
const int largeProperties = 30;
const int runs = 7;

void print(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

template<typename Work>
double medianMs(Work work, int count = runs)
{
    QVector<double> figures;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        figures.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(figures.begin(), figures.end());
    return figures.at(figures.size() / 2);
}

void report(const QString &what, double ms, double target = 0)
{
    const QString goal
        = target > 0 ? QStringLiteral(" (target %1 ms)").arg(target, 0, 'f', 0) : QString();
    print(QStringLiteral("%1: %2 ms%3").arg(what, -52).arg(ms, 0, 'f', 3).arg(goal));
}

// 10,000 cards of 30 properties: X a text of 50 values, Y a number in 10 bins, card colour by
// X, four properties shown on the cards, the card count as total.
void fillLargePlan(Document &plan)
{
    plan.clear(false);
    for (int p = 1; p <= largeProperties; ++p) {
        plan.addProperty(QStringLiteral("P%1").arg(p), QString(),
                         p == 2 ? PropertyType::Numeric : PropertyType::Text, {},
                         p <= 4 ? PropertyVisibility::Text : PropertyVisibility::Hidden,
                         PropertyAppearance(), false);
    }
    plan.editablePropertyAppearance(2).setBinSize(100);
    for (TaskIndex t = 0; t < largeCards; ++t) {
        QList<PropertyIndexAndValue> values;
        for (int p = 1; p <= largeProperties; ++p) {
            if (p == 1)
                values.append({p, QStringLiteral("Value %1").arg(t % 50)});
            else if (p == 2)
                values.append({p, QString::number((t * 37) % 1000)});
            else
                values.append({p, QStringLiteral("Card %1 text %2").arg(t).arg(p)});
        }
        plan.addTaskWithValues(values, QString(), {}, -1, false);
    }
    plan.setXProperty(1, false);
    plan.setYProperty(2, false);
    plan.setCardColorProperty(1, false);
    plan.setTotalProperty(plan.propertyCount(), false);
}

Events eventsOf(int type)
{
    Events events;
    events.add(type);
    return events;
}

} // namespace

// The Cards left pane's sections on a large plan, wired to the real Cards scene as the main
// window wires them: the scene first, then the sections in the pane's order. A basic filter
// edit is timed from the field's delayed report to the end of the scene's re-layout, the two
// pauses skipped; the sections' own handling of the filter and search reports is timed
// alone, and the layout section's combos are watched for refills.
class BenchLeftPane : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void basicFilterEdit();
    void filterAndSearchReportsCostTheSectionsNothing();

private:
    std::unique_ptr<CardsScene> m_scene;
    std::unique_ptr<CardsColorLayoutWidget> m_layout;
    std::unique_ptr<CardsSearchWidget> m_search;
    std::unique_ptr<CardsFilterWidget> m_filter;
};

void BenchLeftPane::initTestCase()
{
    fillLargePlan(*doc());
    m_scene = std::make_unique<CardsScene>(doc());
    m_layout = std::make_unique<CardsColorLayoutWidget>(nullptr, m_scene.get());
    m_search = std::make_unique<CardsSearchWidget>();
    m_filter = std::make_unique<CardsFilterWidget>();
    connect(doc(), &Document::changed, m_scene.get(), &CardsScene::onChangedDoc);
    connect(doc(), &Document::changed, m_layout.get(), &CardsColorLayoutWidget::onChangedDoc);
    connect(doc(), &Document::changed, m_search.get(), &CardsSearchWidget::onChangedDoc);
    connect(doc(), &Document::changed, m_filter.get(), &CardsFilterWidget::onChangedDoc);
    doc()->emitChanged(EventType::AllChanged);
    print(QStringLiteral("Plan: %1 cards x %2 properties, X text of 50 values, numeric Y, "
                         "real CardsScene without a view (no animation)")
              .arg(largeCards)
              .arg(largeProperties));
}

void BenchLeftPane::cleanupTestCase()
{
    m_filter.reset();
    m_search.reset();
    m_layout.reset();
    m_scene.reset();
}

void BenchLeftPane::basicFilterEdit()
{
    auto *field = m_filter->findChild<DelayedEditLineEdit *>(QStringLiteral("m_basicLineEdit"));
    QVERIFY(field);
    const auto edit = [&](const QString &text) {
        // Typing: the field's own pause is running when the timing starts.
        field->setText(text);
        QElapsedTimer timer;
        timer.start();
        field->flush();
        // The section's pause, skipped.
        QMetaObject::invokeMethod(m_filter.get(), "onTimeOut", Qt::DirectConnection);
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

void BenchLeftPane::filterAndSearchReportsCostTheSectionsNothing()
{
    auto *x = m_layout->findChild<QComboBox *>(QStringLiteral("m_xPropertyComboBox"));
    QVERIFY(x);
    QSignalSpy refills(x->model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy resets(x->model(), &QAbstractItemModel::modelReset);
    const QList<int> types = {EventType::FilterChanged, EventType::SearchChanged};
    for (int type : types) {
        const Events events = eventsOf(type);
        report(QStringLiteral("event %1: Layout/Color section").arg(type),
               medianMs([&] { m_layout->onChangedDoc(events); }));
        report(QStringLiteral("event %1: Search section").arg(type),
               medianMs([&] { m_search->onChangedDoc(events); }));
        report(QStringLiteral("event %1: Filter section").arg(type),
               medianMs([&] { m_filter->onChangedDoc(events); }));
    }
    print(QStringLiteral("  X combo refilled %1 times on these events")
              .arg(refills.count() + resets.count()));
    QCOMPARE(refills.count() + resets.count(), 0);
    // For comparison: what a whole-plan change costs the sections (the search section runs
    // the stored search again, which the view answers).
    const Events all = eventsOf(EventType::AllChanged);
    report(QStringLiteral("event 0: Layout/Color section (refills its combos)"),
           medianMs([&] { m_layout->onChangedDoc(all); }));
    report(QStringLiteral("event 0: Filter section"),
           medianMs([&] { m_filter->onChangedDoc(all); }));
}

TAVROLO_TEST_MAIN(BenchLeftPane)
#include "bench_leftpane.moc"
