#include "common/BusyCursor.h"
#include "common/SignalBlocker.h"
#include "common/UpdateBlocker.h"
#include "harness/TestMain.h"

#include <memory>

#include <QLineEdit>

class TestGuards : public QObject
{
    Q_OBJECT

private slots:
    void objectAddedTwiceIsUnblockedOnce();
    void objectBlockedElsewhereStaysBlocked();
    void deletedObjectIsSkipped();
    void updateBlockerLeavesSuspendedWidgetSuspended();
    void nestedBusyCursorsEndWithTheOuterOne();
    void busyCursorKeepsAForeignCursorUntilTheEnd();
};

void TestGuards::objectAddedTwiceIsUnblockedOnce()
{
    QLineEdit edit;
    QSignalSpy spy(&edit, &QLineEdit::textChanged);
    {
        SignalBlocker outer;
        outer.add(&edit);
        {
            SignalBlocker inner;
            inner.add(&edit);
            outer.add(&edit);
        }
        // The inner guard must not have released what the outer one holds.
        edit.setText(QStringLiteral("filled from the plan"));
        QCOMPARE(spy.count(), 0);
    }
    QVERIFY(!edit.signalsBlocked());
    edit.setText(QStringLiteral("typed"));
    QCOMPARE(spy.count(), 1);
}

void TestGuards::objectBlockedElsewhereStaysBlocked()
{
    QLineEdit edit;
    edit.blockSignals(true);
    {
        SignalBlocker blocker;
        blocker.add(&edit);
    }
    QVERIFY(edit.signalsBlocked());
}

void TestGuards::deletedObjectIsSkipped()
{
    auto blocker = std::make_unique<SignalBlocker>();
    auto *first = new QObject;
    QObject second;
    blocker->add(first);
    blocker->add(&second);
    delete first;
    blocker.reset(); // must not touch the deleted object
    QVERIFY(!second.signalsBlocked());
}

void TestGuards::updateBlockerLeavesSuspendedWidgetSuspended()
{
    QWidget widget;
    {
        UpdateBlocker outer(&widget);
        QVERIFY(!widget.updatesEnabled());
        {
            UpdateBlocker inner(&widget);
        }
        QVERIFY(!widget.updatesEnabled());
        UpdateBlocker none(nullptr);
    }
    QVERIFY(widget.updatesEnabled());
}

void TestGuards::nestedBusyCursorsEndWithTheOuterOne()
{
    QVERIFY(!QGuiApplication::overrideCursor());
    {
        BusyCursor outer;
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            BusyCursor inner;
        }
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestGuards::busyCursorKeepsAForeignCursorUntilTheEnd()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    {
        BusyCursor busy;
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

TAVROLO_TEST_MAIN(TestGuards)
#include "tst_guards.moc"
