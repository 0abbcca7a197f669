#include "common/BusyCursor.h"
#include "common/SignalBlocker.h"
#include "common/UpdateBlocker.h"
#include "harness/TestMain.h"

#include <QLineEdit>

class TestGuards : public QObject
{
    Q_OBJECT

private slots:
    void nestedSignalBlockersReleaseOnlyTheirOwn();
    void nestedUpdateAndCursorGuardsEndWithTheOuterOne();
};

void TestGuards::nestedSignalBlockersReleaseOnlyTheirOwn()
{
    QLineEdit edit;
    QLineEdit blockedElsewhere;
    blockedElsewhere.blockSignals(true);
    QSignalSpy spy(&edit, &QLineEdit::textChanged);
    {
        SignalBlocker outer;
        outer.add(&edit);
        outer.add(&blockedElsewhere);
        auto *deleted = new QObject;
        outer.add(deleted);
        delete deleted; // the guard must not touch it at its end
        {
            SignalBlocker inner;
            inner.add(&edit);
        }
        edit.setText(QStringLiteral("filled from the plan"));
        QCOMPARE(spy.count(), 0);
    }
    QVERIFY(blockedElsewhere.signalsBlocked());
    edit.setText(QStringLiteral("typed"));
    QCOMPARE(spy.count(), 1);
}

void TestGuards::nestedUpdateAndCursorGuardsEndWithTheOuterOne()
{
    QWidget widget;
    {
        UpdateBlocker outer(&widget);
        BusyCursor busy;
        {
            UpdateBlocker inner(&widget);
            BusyCursor nested;
        }
        QVERIFY(!widget.updatesEnabled());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QVERIFY(widget.updatesEnabled());
    QVERIFY(!QGuiApplication::overrideCursor());

    // A cursor somebody else set stays until the guard ends.
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    {
        BusyCursor busy;
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

TAVROLO_TEST_MAIN(TestGuards)
#include "tst_guards.moc"
