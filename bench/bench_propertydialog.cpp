#include "BenchTools.h"
#include "PaintCounter.h"
#include "common/app/Accessors.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"

#include <algorithm>
#include <malloc.h>
#include <memory>

#include <QElapsedTimer>
#include <QItemSelection>
#include <QLabel>
#include <QPair>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTableWidget>

// Opening the property dialog on a plan of 10,000 cards and 30 properties (ten each of text,
// numbers and dates, all Automatic). The dialog lists the property's values, detects its type
// once and fills a colour row per text value; it should open within 150 ms for a text
// property of 50 values and for a numeric one. A text property whose every card holds another
// value (10,000 colour rows) is timed for the record. Each run opens the dialog on a fresh
// copy of the plan, so no type or range the plan has cached helps it.
//
// Then the dialog as a user meets it on a plan of 10,000 and of 50,000 cards whose Name is
// another text on every card (beside a status, an owner, a cost and a date), each size in a
// fresh process of its own so that its memory figures are its own: the gear of Name (the dialog
// built, shown and painted on its first page), then its Colors tab shown until painted, and the
// Ordering/Grouping tab likewise; with the resident memory the dialog added and what is left of
// it once the dialog is gone; then, for the record, the other per-value lists. The Name property is
// given no stored colours, so the dialog picks a colour for every value, as it does for a freshly
// imported plan.
class BenchPropertyDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void openDialog_data();
    void openDialog();
    void distinctValuesInFreshProcesses();
    void distinctValuesDialog();

private:
    Document m_plan;
};

namespace {

using BenchTools::print;
using BenchTools::threadMilliseconds;

const char cardsVariable[] = "TAVROLO_BENCH_PROPERTYDIALOG_CARDS";

constexpr int Cards = 10000;
constexpr int PerKind = BenchTools::MixedPerKind;
// Property indexes: text 1-10 (1 a distinct text per card, 2 fifty values), numbers 11-20,
// dates 21-30.
constexpr int DistinctText = 1;
constexpr int FiftyValues = 2;
constexpr int FirstNumber = 1 + PerKind;
constexpr int FirstDate = FirstNumber + PerKind;

QString textValue(QRandomGenerator &random, int property, int card)
{
    if (property == DistinctText)
        return QStringLiteral("item %1 %2").arg(card).arg(random.bounded(1000000));
    if (property == FiftyValues)
        return QStringLiteral("value %1").arg(random.bounded(50));
    static const QStringList words {"open",  "doing", "done",  "blocked", "later",
                                    "alpha", "beta",  "gamma", ""};
    return words.at(random.bounded(words.size()));
}

// Name (another text on every card), Status (4 values), Owner (40), Cost (a number) and Due (a
// date), all Automatic, as a plan imported from a spreadsheet.
void fillNamedPlan(Document &plan, int cards)
{
    plan.clear(false);
    for (const char *name : {"Name", "Status", "Owner", "Cost", "Due"})
        plan.addProperty(QString::fromLatin1(name), QString(), PropertyType::Automatic, {},
                         PropertyVisibility::Text, PropertyAppearance(), false);
    QRandomGenerator random(20261207);
    static const QStringList statuses {"To do", "In progress", "Done", "Blocked"};
    for (int card = 0; card < cards; ++card) {
        const QDate due = QDate(2024, 1, 1).addDays(random.bounded(900));
        plan.addTaskWithValues(
            {{1, QStringLiteral("Task %1 %2").arg(card).arg(random.bounded(1000000))},
             {2, statuses.at(random.bounded(statuses.size()))},
             {3, QStringLiteral("Person %1").arg(random.bounded(40))},
             {4, QString::number(random.bounded(100000) / 100.0)},
             {5, QStringLiteral("%1/%2/%3").arg(due.day()).arg(due.month()).arg(due.year())}},
            QString(), {}, -1, false);
    }
}

// Milliseconds of CPU and of wall clock the work takes.
template<typename Work>
QPair<double, double> timed(Work work)
{
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = threadMilliseconds();
    work();
    return {threadMilliseconds() - cpuStart, timer.nsecsElapsed() / 1e6};
}

// Runs the work, then the event loop until the widget has painted.
template<typename Work>
QPair<double, double> untilPainted(QWidget *widget, Work work)
{
    PaintCounter paints(widget);
    return timed([&] {
        work();
        if (!paints.waitBeyond(0))
            qWarning("nothing was painted");
    });
}

} // namespace

void BenchPropertyDialog::initTestCase()
{
    // A child process measures the dialog alone.
    if (!qEnvironmentVariableIsEmpty(cardsVariable))
        return;
    BenchTools::fillMixedPlan(m_plan, Cards, 20261207, textValue, [](int) { return QString(); });
}

void BenchPropertyDialog::openDialog_data()
{
    QTest::addColumn<int>("property");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("colorRows");
    // In milliseconds; 0 for a figure printed for the record.
    QTest::addColumn<int>("target");
    QTest::newRow("text property, 50 values") << FiftyValues << 1 << 9 << 50 << 150;
    QTest::newRow("numeric property") << FirstNumber << 2 << 9 << 2 << 150;
    QTest::newRow("date property") << FirstDate << 2 << 9 << 6 << 0;
    QTest::newRow("text property, 10,000 distinct values") << DistinctText << 1 << 3 << Cards << 0;
}

void BenchPropertyDialog::openDialog()
{
    QFETCH(int, property);
    QFETCH(int, page);
    QFETCH(int, runs);
    QFETCH(int, colorRows);
    QFETCH(int, target);
    QList<double> wall;
    QList<double> cpu;
    for (int run = 0; run < runs; ++run) {
        *doc() = m_plan;
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadMilliseconds();
        {
            PropertyDialog dialog(nullptr, property, page);
            cpu.append(threadMilliseconds() - cpuStart);
            wall.append(double(timer.nsecsElapsed()) / 1e6);
            const auto *colors
                = dialog.findChild<QTableWidget *>(QStringLiteral("m_colorsTableWidget"));
            QCOMPARE(colors->rowCount(), colorRows);
        }
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    // The fastest run shows the cost itself; the median what a busy machine makes of it.
    const QByteArray goal = target > 0 ? QByteArray("target ") + QByteArray::number(target) + " ms"
                                       : QByteArray("for the record");
    qInfo("open the property dialog, %-38s CPU %7.1f ms fastest, %7.1f ms median; wall %7.1f ms "
          "median (%s)",
          QTest::currentDataTag(), cpu.first(), cpu.at(cpu.size() / 2), wall.at(wall.size() / 2),
          goal.constData());
}

void BenchPropertyDialog::distinctValuesInFreshProcesses()
{
    if (!qEnvironmentVariableIsEmpty(cardsVariable))
        QSKIP("a child process runs one size");
    for (const int cards : {10000, 50000}) {
        qputenv(cardsVariable, QByteArray::number(cards));
        QCOMPARE(BenchTools::runChild({QStringLiteral("distinctValuesDialog")}), 0);
    }
    qunsetenv(cardsVariable);
}

void BenchPropertyDialog::distinctValuesDialog()
{
    const int cards = qEnvironmentVariableIntValue(cardsVariable);
    if (cards <= 0)
        QSKIP("run by distinctValuesInFreshProcesses");
    fillNamedPlan(*doc(), cards);
    const QString size = QStringLiteral("%1k").arg(cards / 1000);
    const double before = BenchTools::residentMebibytes();
    const auto figures = [&](const QString &what, const QPair<double, double> &ms) {
        print(QStringLiteral("%1 distinct values: %2 CPU %3 ms, wall %4 ms; dialog adds %5 MiB")
                  .arg(size, -4)
                  .arg(what, -36)
                  .arg(ms.first, 7, 'f', 1)
                  .arg(ms.second, 7, 'f', 1)
                  .arg(BenchTools::residentMebibytes() - before, 6, 'f', 1));
    };
    // The gear of Name: the dialog built, shown and painted on its first page.
    std::unique_ptr<PropertyDialog> dialog;
    const auto open = [&] {
        return timed([&] {
            dialog.reset(new PropertyDialog(nullptr, 1, PropertyDialog::PredefinedValuesPage));
            PaintCounter painted(dialog->findChild<QTabWidget *>(QStringLiteral("m_tabWidget")));
            dialog->show();
            if (!painted.waitBeyond(0))
                qWarning("the dialog was not painted");
        });
    };
    const auto close = [&] {
        dialog.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    };
    const auto tab = [&](const char *table, int page) {
        auto *tabs = dialog->findChild<QTabWidget *>(QStringLiteral("m_tabWidget"));
        auto *view = dialog->findChild<QTableWidget *>(QString::fromLatin1(table));
        return untilPainted(view->viewport(), [&] { tabs->setCurrentIndex(page); });
    };

    figures(QStringLiteral("open, first page painted"), open());
    QCOMPARE(dialog->findChild<QTableWidget *>(QStringLiteral("m_colorsTableWidget"))->rowCount(),
             cards);
    figures(QStringLiteral("Colors tab painted"),
            tab("m_colorsTableWidget", PropertyDialog::ColorsPage));
    figures(QStringLiteral("Ordering/Grouping tab painted"),
            tab("m_orderingTable", PropertyDialog::OrderingPage));
    print(QStringLiteral("%1 distinct values: peak memory of the process %2 MiB")
              .arg(size, -4)
              .arg(BenchTools::peakMebibytes(), 0, 'f', 0));
    close();
    print(QStringLiteral("%1 distinct values: closed, %2 MiB of the dialog left in the process")
              .arg(size, -4)
              .arg(BenchTools::residentMebibytes() - before, 0, 'f', 1));

    // For the record, the other lists at this size: the default colours given to every value,
    // every 50th value moved in the value order
    // (the list repainted after each move), the list sorted, the pre-defined list given every
    // value, the plan taking them with OK, and the dialog opened on them.
    figures(QStringLiteral("open again"), open());
    tab("m_colorsTableWidget", PropertyDialog::ColorsPage);
    // The colours the dialog picked are the default ones already: the rows need no repaint.
    figures(QStringLiteral("\"Set Default Colors\""), timed([&] {
                dialog->findChild<QPushButton *>(QStringLiteral("m_defaultColorsButton"))->click();
            }));
    tab("m_orderingTable", PropertyDialog::OrderingPage);
    auto *ordering = dialog->findChild<QTableWidget *>(QStringLiteral("m_orderingTable"));
    QItemSelection every50th;
    for (int row = 1; row < cards; row += 50)
        every50th.select(ordering->model()->index(row, 0), ordering->model()->index(row, 0));
    ordering->selectionModel()->select(every50th, QItemSelectionModel::ClearAndSelect);
    const auto move = [&](const char *button, const QString &what) {
        figures(what, untilPainted(ordering->viewport(), [&] {
                    dialog->findChild<QAbstractButton *>(QString::fromLatin1(button))->click();
                }));
    };
    move("m_bottomButton", QStringLiteral("every 50th value to the bottom"));
    move("m_upButton", QStringLiteral("every 50th value up"));
    move("m_topButton", QStringLiteral("every 50th value to the top"));
    move("m_alphaSortButton", QStringLiteral("value order sorted alphabetically"));
    tab("m_predefinedValuesTable", PropertyDialog::PredefinedValuesPage);
    figures(QStringLiteral("first page after \"Add current values\""),
            untilPainted(
                dialog->findChild<QTableWidget *>(QStringLiteral("m_predefinedValuesTable"))
                    ->viewport(),
                [&] {
                    dialog->findChild<QPushButton *>(QStringLiteral("m_addCurrentValuesButton"))
                        ->click();
                }));
    figures(QStringLiteral("OK"), timed([&] { dialog->accept(); }));
    QCOMPARE(doc()->predefinedValues(1).size(), cards);
    close();
    figures(QStringLiteral("open on as many pre-defined values"), open());
    close();
    // What the process holds after all this once the allocator hands back the pages it keeps
    // for reuse: the plan's own caches and its new pre-defined values and colours.
    malloc_trim(0);
    print(QStringLiteral("%1 distinct values: at the end, %2 MiB more than before the first "
                         "opening once freed memory is handed back")
              .arg(size, -4)
              .arg(BenchTools::residentMebibytes() - before, 0, 'f', 1));
}

TAVROLO_TEST_MAIN(BenchPropertyDialog)
#include "bench_propertydialog.moc"
