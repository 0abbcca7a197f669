#include "common/Accessors.h"
#include "harness/TestMain.h"

#include <QTableWidget>

using Ranges = QList<QTableWidgetSelectionRange>;
Q_DECLARE_METATYPE(Ranges)

class TestAccessors : public QObject
{
    Q_OBJECT

private slots:
    void selectedRowsTakesFullWidthRangesOnly_data();
    void selectedRowsTakesFullWidthRangesOnly();
};

void TestAccessors::selectedRowsTakesFullWidthRangesOnly_data()
{
    QTest::addColumn<Ranges>("ranges");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("partial width") << Ranges {{1, 1, 4, 3}} << QList<int>();
    QTest::newRow("overlapping, out of order")
        << Ranges {{5, 0, 6, 3}, {1, 0, 5, 3}} << QList<int> {1, 2, 3, 4, 5, 6};
    QTest::newRow("mixed") << Ranges {{0, 0, 0, 3}, {2, 0, 2, 2}} << QList<int> {0};
}

void TestAccessors::selectedRowsTakesFullWidthRangesOnly()
{
    QFETCH(Ranges, ranges);
    QFETCH(QList<int>, rows);
    QTableWidget table(8, 4);
    table.setSelectionMode(QAbstractItemView::MultiSelection);
    for (const QTableWidgetSelectionRange &range : ranges)
        table.setRangeSelected(range, true);
    QCOMPARE(selectedRows(&table), rows);
}

TAVROLO_TEST_MAIN(TestAccessors)
#include "tst_accessors.moc"
