#include "common/Accessors.h"
#include "common/DatePopup.h"
#include "common/DialogHelpers.h"
#include "common/MouseWheelEventFilter.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialog>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Whether the target took the wheel; the application passes a wheel that was not taken on
// to the enclosing widgets, so that the pane around scrolls.
bool sendWheel(QWidget *target, int steps)
{
    const QPoint local = target->rect().center();
    QWheelEvent wheel(local, target->mapToGlobal(local), QPoint(), QPoint(0, 120 * steps),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
    return wheel.isAccepted();
}

QModelIndex dayCell(QTableView *view, int day)
{
    QAbstractItemModel *model = view->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex index = model->index(row, column);
            // Only the middle of the month shows each day number exactly once.
            if (model->data(index).toString() == QString::number(day))
                return index;
        }
    }
    return QModelIndex();
}

} // namespace

class TestSmallWidgets : public QObject
{
    Q_OBJECT
private slots:
    void datePopupReportsClickedDay_data();
    void datePopupReportsClickedDay();
    void wheelChangesOnlyFocusedCombo_data();
    void wheelChangesOnlyFocusedCombo();
    void preparedDialogFollowsTransparency_data();
    void preparedDialogFollowsTransparency();
};

void TestSmallWidgets::datePopupReportsClickedDay_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("selected");
    const QDate date(2021, 3, 10);
    QTest::newRow("with a date") << date << date;
    QTest::newRow("without a date") << QDate() << QDate::currentDate();
}

void TestSmallWidgets::datePopupReportsClickedDay()
{
    QFETCH(QDate, date);
    QFETCH(QDate, selected);
    QPointer<DatePopup> popup = new DatePopup(nullptr, 4, date);
    QSignalSpy spy(popup.data(), &DatePopup::datePicked);
    QCOMPARE(popup->selectedDate(), selected);
    popup->show();
    QVERIFY(QTest::qWaitForWindowExposed(popup));

    auto *view = popup->findChild<QTableView *>();
    QVERIFY(view);
    const QModelIndex cell = dayCell(view, 15);
    QVERIFY(cell.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(cell).center());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).toInt(), 4);
    QCOMPARE(spy.first().at(1).toDate(), QDate(selected.year(), selected.month(), 15));
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
    QTest::newRow("wheel does nothing, not focused") << 3 << false << false;
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
    auto *other = new QComboBox;
    layout->addWidget(combo);
    layout->addWidget(other);
    MouseWheelEventFilter filter(&pane);
    combo->installEventFilter(&filter);
    other->installEventFilter(&filter);
    combo->setFocusPolicy(Qt::StrongFocus);
    pane.show();
    QApplication::setActiveWindow(&pane);
    QVERIFY(QTest::qWaitForWindowActive(&pane));
    (focused ? combo : other)->setFocus();
    QTRY_VERIFY((focused ? combo : other)->hasFocus());
    QCOMPARE(combo->focusPolicy(), focused ? Qt::WheelFocus : Qt::StrongFocus);

    QCOMPARE(sendWheel(combo, -1), changes);
    QCOMPARE(combo->currentIndex(), changes ? 2 : 1);
    settings()->setMouseWheelBehaviour(0);
}

void TestSmallWidgets::preparedDialogFollowsTransparency_data()
{
    QTest::addColumn<int>("transparency");
    QTest::addColumn<double>("opacity");
    QTest::newRow("opaque") << 0 << 1.0;
    QTest::newRow("default") << 5 << 0.95;
    QTest::newRow("half") << 50 << 0.5;
}

void TestSmallWidgets::preparedDialogFollowsTransparency()
{
    QFETCH(int, transparency);
    QFETCH(double, opacity);
    settings()->setWindowTransparency(transparency);
    QDialog dialog;
    dialog.setWindowFlags(dialog.windowFlags() | Qt::WindowContextHelpButtonHint);
    prepareDialog(&dialog);
    QVERIFY(qAbs(dialog.windowOpacity() - opacity) < 0.01);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    settings()->remove(Settings::keyName(Settings::Key::WindowTransparency));
}

TAVROLO_TEST_MAIN(TestSmallWidgets)
#include "tst_smallwidgets.moc"
