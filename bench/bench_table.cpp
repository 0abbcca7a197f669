#include "common/Accessors.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "table/TableView.h"

#include <algorithm>
#include <malloc.h>

#include <QElapsedTimer>
#include <QHeaderView>
#include <QTextStream>

namespace {

const int largeCards = 10000;
const int largeProperties = 30;
// The columns of the large plan.
enum { Status = 1, Cost = 2, Due = 3, Title = 4 };

void print(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

template<typename Work>
double medianMs(Work work, int count)
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

void report(const QString &what, double figure, double target, const QString &unit = "ms")
{
    print(QStringLiteral("%1: %2 %3 (target %4 %3)")
              .arg(what, -56)
              .arg(figure, 0, 'f', 1)
              .arg(unit)
              .arg(target, 0, 'f', 0));
}

// Bytes the program holds on the heap.
double heapMegabytes()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

// 10,000 cards of 30 properties: a status of 5 values, a cost, a due date, a title, and 26
// texts of a card number and the property; one card in 50 has notes of two lines, one in 100 a
// title of two lines.
void fillLargePlan(Document &plan)
{
    plan.clear(false);
    for (int p = 1; p <= largeProperties; ++p) {
        const int type = p == Cost ? PropertyType::Numeric
            : p == Due             ? PropertyType::Date
                                   : PropertyType::Text;
        plan.addProperty(QStringLiteral("P%1").arg(p), QString(), type, {},
                         PropertyVisibility::Hidden, PropertyAppearance(), false);
    }
    const QStringList statuses {"To do", "Doing", "Waiting", "Review", "Done"};
    for (TaskIndex t = 0; t < largeCards; ++t) {
        QList<PropertyIndexAndValue> values;
        values.append({Status, statuses.at(t % statuses.size())});
        values.append({Cost, QString::number((t * 37) % 1000)});
        values.append({Due, QStringLiteral("%1/%2/2024").arg(1 + t % 28).arg(1 + t % 12)});
        values.append({Title,
                       t % 100 == 7 ? QStringLiteral("Plan the\nwork %1").arg(t)
                                    : QStringLiteral("Task number %1").arg(t, 5, 10, QChar('0'))});
        for (int p = Title + 1; p <= largeProperties; ++p)
            values.append({p, QStringLiteral("Card %1 p%2").arg(t, 5, 10, QChar('0')).arg(p)});
        const QString notes = t % 50 == 3 ? QStringLiteral("First line\nsecond line") : QString();
        plan.addTaskWithValues(values, notes, {}, -1, false);
    }
}

Events allChanged()
{
    Events events;
    events.add(EventType::AllChanged);
    return events;
}

} // namespace

// The Table pane on a large plan: the whole rebuild and its memory, one value edit with and
// without a filter and coloured rows, and sorting by a numeric column.
class BenchTable : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void rebuild();
    void valueEdit();
    void sortNumericColumn();

private:
    double m_emptyTableMb = 0;
};

void BenchTable::initTestCase()
{
    fillLargePlan(*doc());
    print(QStringLiteral("Plan: %1 cards x %2 properties").arg(largeCards).arg(largeProperties));
}

void BenchTable::rebuild()
{
    const double before = heapMegabytes();
    {
        TableView table;
        table.resize(1400, 900);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        const double empty = heapMegabytes();
        table.onChangedDoc(allChanged());
        const double built = heapMegabytes();
        report(QStringLiteral("heap of the built table above the empty table"), built - empty, 80,
               QStringLiteral("MB"));
        report(QStringLiteral("rebuild (event 0), table shown"),
               medianMs([&] { table.onChangedDoc(allChanged()); }, 5), 400);
        int measured = 0;
        const int single = table.rowHeight(0);
        for (int row = 0; row < table.rowCount(); ++row)
            measured += table.rowHeight(row) != single ? 1 : 0;
        print(QStringLiteral("  %1 rows higher than one line").arg(measured));
    }
    {
        TableView hidden;
        report(QStringLiteral("rebuild (event 0), table not shown"),
               medianMs([&] { hidden.onChangedDoc(allChanged()); }, 5), 400);
    }
    print(QStringLiteral("  heap %1 MB before, %2 MB after the tables went")
              .arg(before, 0, 'f', 1)
              .arg(heapMegabytes(), 0, 'f', 1));
}

void BenchTable::valueEdit()
{
    TableView table;
    connect(doc(), &Document::changed, &table, &TableView::onChangedDoc);
    table.resize(1400, 900);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    doc()->emitChanged(EventType::AllChanged);
    int round = 0;
    // Typed into a cell and shown: the plan's change, the table's refresh and the repaint.
    const auto edit = [&](int property) {
        return medianMs(
            [&] {
                QString text = QStringLiteral("Edited %1").arg(++round);
                doc()->setValue(5000 + round % 100, property, text, true);
                QCoreApplication::processEvents();
            },
            21);
    };
    report(QStringLiteral("one value edit (event 6) shown"), edit(Title + 3), 20);
    table.setSearch(true, {QStringLiteral("card"), QStringLiteral("edited")});
    QCoreApplication::processEvents();
    report(QStringLiteral("one value edit shown, filtered by two terms"), edit(Title + 3), 20);
    table.setSearch(true, {});
    doc()->setTableColor(Status + 1, true);
    QCoreApplication::processEvents();
    report(QStringLiteral("one value edit shown, rows coloured by a text property"),
           edit(Title + 3), 20);
    report(QStringLiteral("  the same, editing the colouring property"), edit(Status), 20);
    report(
        QStringLiteral("  the same, editing the sort column"),
        [&] {
            table.sortByColumn(Title + 3, Qt::AscendingOrder);
            return edit(Title + 3);
        }(),
        0);
    doc()->setTableColor(0, true);
    disconnect(doc(), &Document::changed, &table, &TableView::onChangedDoc);
}

void BenchTable::sortNumericColumn()
{
    TableView table;
    table.resize(1400, 900);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    table.onChangedDoc(allChanged());
    Qt::SortOrder order = Qt::AscendingOrder;
    report(QStringLiteral("sort by a numeric column"),
           medianMs(
               [&] {
                   order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
                   table.sortByColumn(Cost, order);
               },
               7),
           100);
    QCOMPARE(table.item(0, Cost)->text(), QStringLiteral("999"));
    report(QStringLiteral("sort by a text column"),
           medianMs(
               [&] {
                   order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
                   table.sortByColumn(Title, order);
               },
               7),
           100);
    report(QStringLiteral("sort by a date column"),
           medianMs(
               [&] {
                   order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
                   table.sortByColumn(Due, order);
               },
               7),
           100);
}

TAVROLO_TEST_MAIN(BenchTable)
#include "bench_table.moc"
