#include "common/app/Accessors.h"
#include "common/core/FileHelpers.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "table/BaseTableView.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardPaths>

class TestBaseTableView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void droppedFilesNameNoCardAndNoPresets();
    void textOnlyDragIsRefusedOnEnter();
    void escapeIsHandledAndAnnounced();
    void secondFullScreenNoteStartsNoSecondCountdown();
    void clickRemovesFullScreenNote();
    void onlyWholeRowsAndColumnsAreListed();
    void selectingVisibleRowsSkipsHiddenOnes();
    void rowsCountByTheirShownCells();
    void emptyPlanHint_data();
    void emptyPlanHint();
};

namespace {

void fillTable(QTableWidget &table, int rows, int columns)
{
    table.setRowCount(rows);
    table.setColumnCount(columns);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            table.setItem(r, c, new QTableWidgetItem(QStringLiteral("%1,%2").arg(r).arg(c)));
    }
}

QString samplesFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/Tavrolo");
}

} // namespace

void TestBaseTableView::init()
{
    doc()->clear(false);
    QDir(samplesFolder()).removeRecursively();
}

void TestBaseTableView::droppedFilesNameNoCardAndNoPresets()
{
    BaseTableView table;
    fillTable(table, 3, 2);
    table.resize(300, 200);
    table.show();
    QSignalSpy dropped(&table, &BaseTableView::droppedFiles);

    QMimeData data;
    const QList<QUrl> urls {QUrl::fromLocalFile(QStringLiteral("/tmp/plan.tv")),
                            QUrl(QStringLiteral("https://example.org/"))};
    data.setUrls(urls);
    // Dropped right onto a row: the row is no card as far as the main window is concerned.
    const QPoint onRow = table.visualRect(table.model()->index(1, 0)).center();
    // A drop goes to the widget that accepted the drag when it entered.
    QDragEnterEvent enter(onRow, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(onRow, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table.viewport(), &drop);

    QCOMPARE(dropped.count(), 1);
    QCOMPARE(dropped.first().at(0).value<QList<QUrl>>(), urls);
    QCOMPARE(dropped.first().at(1).toInt(), -1);
    QVERIFY(dropped.first().at(2).value<QList<PropertyIndexAndValue>>().isEmpty());
    QVERIFY(drop.isAccepted());
}

void TestBaseTableView::textOnlyDragIsRefusedOnEnter()
{
    BaseTableView table;
    fillTable(table, 3, 2);
    table.show();

    QMimeData text;
    text.setText(QStringLiteral("plain"));
    QDragEnterEvent textEnter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table.viewport(), &textEnter);
    QVERIFY(!textEnter.isAccepted());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/cards.csv"))});
    QDragEnterEvent filesEnter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton,
                               Qt::NoModifier);
    QCoreApplication::sendEvent(table.viewport(), &filesEnter);
    QVERIFY(filesEnter.isAccepted());

    // Once inside, a move is taken whatever it carries.
    QDragMoveEvent textMove(QPoint(6, 6), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table.viewport(), &textMove);
    QVERIFY(textMove.isAccepted());
}

void TestBaseTableView::escapeIsHandledAndAnnounced()
{
    BaseTableView table;
    fillTable(table, 3, 2);
    table.show();
    table.setFocus();
    table.setCurrentCell(1, 1);
    QSignalSpy escape(&table, &BaseTableView::escapeKeyPressed);

    QTest::keyClick(&table, Qt::Key_Escape);
    QCOMPARE(escape.count(), 1);
    QCOMPARE(table.currentRow(), 1);

    // Other keys keep their usual meaning and are not announced.
    QTest::keyClick(&table, Qt::Key_Down);
    QCOMPARE(table.currentRow(), 2);
    QCOMPARE(escape.count(), 1);
}

void TestBaseTableView::secondFullScreenNoteStartsNoSecondCountdown()
{
    // A fifth of the note's 5000 ms, and every wait a fifth of what it was.
    const int designed = BaseTableView::setFullScreenExitMessageMs(1000);
    BaseTableView table;
    BaseTableView::setFullScreenExitMessageMs(designed);
    table.show();
    QElapsedTimer clock;
    clock.start();
    table.showFullScreenExitMessage();
    QVERIFY(table.isFullScreenExitMessageShown());
    QTest::qWait(400);
    table.showFullScreenExitMessage();

    // A restarted countdown would keep the note for 1000 ms after the second call.
    QTRY_VERIFY_WITH_TIMEOUT(!table.isFullScreenExitMessageShown(), 900);
    // Qt's coarse timers may fire up to 5 % early.
    QVERIFY(clock.elapsed() >= 940);
}

void TestBaseTableView::clickRemovesFullScreenNote()
{
    BaseTableView table;
    fillTable(table, 3, 2);
    table.show();
    table.showFullScreenExitMessage();
    QTest::mouseClick(table.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(!table.isFullScreenExitMessageShown());

    // Shown again after the click: the earlier note's countdown is gone and cannot cut it short.
    QTest::qWait(100);
    table.showFullScreenExitMessage();
    table.onHideFullScreenExitMessage();
    table.showFullScreenExitMessage();
    QTest::qWait(200);
    QVERIFY(table.isFullScreenExitMessageShown());
}

void TestBaseTableView::onlyWholeRowsAndColumnsAreListed()
{
    BaseTableView table;
    fillTable(table, 4, 3);
    table.setSelectionMode(QAbstractItemView::ExtendedSelection);

    table.setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 0), true);
    table.setRangeSelected(QTableWidgetSelectionRange(2, 1, 3, 2), true);
    QVERIFY(table.selectedRows().isEmpty());
    QVERIFY(table.selectedColumns().isEmpty());

    table.setRangeSelected(QTableWidgetSelectionRange(3, 0, 3, 2), true);
    table.setRangeSelected(QTableWidgetSelectionRange(1, 0, 1, 2), true);
    QCOMPARE(table.selectedRows(), QList<int>({1, 3}));

    table.clearSelection();
    table.setRangeSelected(QTableWidgetSelectionRange(0, 2, 3, 2), true);
    table.setRangeSelected(QTableWidgetSelectionRange(0, 0, 3, 0), true);
    QCOMPARE(table.selectedColumns(), QList<int>({0, 2}));
}

void TestBaseTableView::selectingVisibleRowsSkipsHiddenOnes()
{
    BaseTableView table;
    fillTable(table, 6, 3);
    table.setSelectionMode(QAbstractItemView::ExtendedSelection);
    table.setRowHidden(0, true);
    table.setRowHidden(3, true);
    table.setRowHidden(4, true);
    table.setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 2), true);

    table.selectVisibleRows();

    QCOMPARE(table.selectedRows(), QList<int>({1, 2, 5}));
}

// A hidden column need not be selected for its row to count; a hidden row never counts, even
// inside a range; a row selected in pieces counts once all its shown cells are.
void TestBaseTableView::rowsCountByTheirShownCells()
{
    BaseTableView table;
    fillTable(table, 6, 4);
    table.setSelectionMode(QAbstractItemView::ExtendedSelection);
    table.setColumnHidden(0, true);
    table.setRowHidden(2, true);

    table.setRangeSelected(QTableWidgetSelectionRange(0, 1, 3, 3), true);
    QCOMPARE(table.selectedRows(), QList<int>({0, 1, 3}));

    table.clearSelection();
    table.setRangeSelected(QTableWidgetSelectionRange(4, 1, 5, 1), true);
    table.setRangeSelected(QTableWidgetSelectionRange(4, 2, 4, 3), true);
    table.setRangeSelected(QTableWidgetSelectionRange(5, 3, 5, 3), true);
    QCOMPARE(table.selectedRows(), QList<int>({4}));
}

void TestBaseTableView::emptyPlanHint_data()
{
    QTest::addColumn<int>("properties");
    QTest::addColumn<int>("cards");
    QTest::addColumn<bool>("samplesFolder");
    QTest::addColumn<QString>("hint");

    QTest::newRow("nothing") << 0 << 0 << false << "Add cards and properties";
    QTest::newRow("nothing, samples") << 0 << 0 << true << "Add cards and properties%1";
    QTest::newRow("one property") << 1 << 0 << false << "Add cards";
    QTest::newRow("one property, samples") << 1 << 0 << true << "Add cards%1";
    QTest::newRow("cards, no property") << 0 << 2 << true << "Add properties";
    QTest::newRow("cards, one property") << 1 << 2 << false << "Add properties";
    QTest::newRow("cards, two properties") << 2 << 2 << true << "";
}

void TestBaseTableView::emptyPlanHint()
{
    QFETCH(int, properties);
    QFETCH(int, cards);
    QFETCH(bool, samplesFolder);
    QFETCH(QString, hint);

    Document *plan = doc();
    for (int p = 0; p < properties; ++p)
        plan->addProperty(QStringLiteral("P%1").arg(p), QString(), PropertyType::Automatic, {},
                          PropertyVisibility::Text, PropertyAppearance(), false);
    for (int c = 0; c < cards; ++c)
        plan->addTask(false);
    if (samplesFolder)
        QVERIFY(QDir().mkpath(::samplesFolder()));

    const QString folderLines = QStringLiteral("\nor open a sample from:\n'%1'")
                                    .arg(QDir::toNativeSeparators(dataFolder(false)));
    QCOMPARE(BaseTableView::emptyPlanHint(),
             hint.contains(QLatin1String("%1")) ? hint.arg(folderLines) : hint);
}

TAVROLO_TEST_MAIN(TestBaseTableView)
#include "tst_basetableview.moc"
