#include "common/Accessors.h"
#include "common/DatePopup.h"
#include "common/MouseWheelEventFilter.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

#include <QComboBox>
#include <QTableView>
#include <QVBoxLayout>

class TestSmallWidgets : public QObject
{
    Q_OBJECT
private slots:
    void datePopupReportsClickedDay();
    void wheelChangesOnlyFocusedCombo_data();
    void wheelChangesOnlyFocusedCombo();
};

void TestSmallWidgets::datePopupReportsClickedDay()
{
    QPointer<DatePopup> popup = new DatePopup(nullptr, 4, QDate(2021, 3, 10));
    QSignalSpy spy(popup.data(), &DatePopup::datePicked);
    popup->show();
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    auto *view = popup->findChild<QTableView *>();
    QAbstractItemModel *model = view->model();
    // Only the middle of the month shows each day number exactly once.
    QModelIndex cell;
    for (int row = 0; row < model->rowCount() && !cell.isValid(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            if (model->index(row, column).data().toString() == "15")
                cell = model->index(row, column);
        }
    }
    QVERIFY(cell.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(cell).center());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).toInt(), 4);
    QCOMPARE(spy.first().at(1).toDate(), QDate(2021, 3, 15));
    QTRY_VERIFY(!popup);
}

void TestSmallWidgets::wheelChangesOnlyFocusedCombo_data()
{
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("changes");
    QTest::newRow("focused") << 0 << true << true;
    QTest::newRow("not focused") << 0 << false << false;
    QTest::newRow("zooming wheel, focused") << 1 << true << true;
    QTest::newRow("wheel does nothing, focused") << 3 << true << false;
}

void TestSmallWidgets::wheelChangesOnlyFocusedCombo()
{
    QFETCH(int, behaviour);
    QFETCH(bool, focused);
    QFETCH(bool, changes);
    settings()->setMouseWheelBehaviour(behaviour);
    QWidget pane;
    auto *layout = new QVBoxLayout(&pane);
    auto *combo = new QComboBox;
    combo->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    combo->setCurrentIndex(1);
    combo->setFocusPolicy(Qt::StrongFocus);
    auto *other = new QComboBox;
    layout->addWidget(combo);
    layout->addWidget(other);
    MouseWheelEventFilter filter(&pane);
    combo->installEventFilter(&filter);
    other->installEventFilter(&filter);
    pane.show();
    QApplication::setActiveWindow(&pane);
    QVERIFY(QTest::qWaitForWindowActive(&pane));
    (focused ? combo : other)->setFocus();
    QTRY_VERIFY((focused ? combo : other)->hasFocus());

    // A wheel the combo box does not take goes on to the pane around it, which scrolls.
    const QPoint centre = combo->rect().center();
    QWheelEvent wheel(centre, combo->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
    QCOMPARE(wheel.isAccepted(), changes);
    QCOMPARE(combo->currentIndex(), changes ? 2 : 1);
    settings()->setMouseWheelBehaviour(0);
}

TAVROLO_TEST_MAIN(TestSmallWidgets)
#include "tst_smallwidgets.moc"
