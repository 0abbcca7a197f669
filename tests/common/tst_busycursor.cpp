#include "common/core/BusyCursor.h"
#include "harness/PlainTestMain.h"

#include <memory>
#include <vector>

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>

namespace {

// The override stack from the bottom, as cursor shapes; lifting and putting back the entries
// leaves it as it was.
QList<int> stackShapes()
{
    QList<QCursor> lifted;
    while (const QCursor *top = QGuiApplication::overrideCursor()) {
        lifted.prepend(*top);
        QGuiApplication::restoreOverrideCursor();
    }
    QList<int> shapes;
    for (const QCursor &cursor : qAsConst(lifted)) {
        shapes.append(cursor.shape());
        QGuiApplication::setOverrideCursor(cursor);
    }
    return shapes;
}

} // namespace

class TestBusyCursor : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void anySequenceLeavesTheStackAsFound_data();
    void anySequenceLeavesTheStackAsFound();
    void removingFindsEqualPixmapCursorsOnly();
};

void TestBusyCursor::cleanup()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void TestBusyCursor::anySequenceLeavesTheStackAsFound_data()
{
    // "B" starts a guard, "b" ends the newest; "H" pushes a hand, "h" removes that entry.
    QTest::addColumn<QString>("steps");
    QTest::newRow("hand inside a guard, removed after it") << "BHbh";
    QTest::newRow("hand before, removed inside") << "HBhb";
    QTest::newRow("hand before, removed after") << "HBbh";
    QTest::newRow("nested guards around a hand") << "BBHbhb";
    QTest::newRow("hand pushed inside, guard ends first") << "BHbBhb";
}

void TestBusyCursor::anySequenceLeavesTheStackAsFound()
{
    QFETCH(QString, steps);
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    std::vector<std::unique_ptr<BusyCursor>> guards;
    for (const QChar step : steps) {
        switch (step.unicode()) {
        case 'B':
            guards.push_back(std::make_unique<BusyCursor>());
            break;
        case 'b':
            guards.pop_back();
            break;
        case 'H':
            QGuiApplication::setOverrideCursor(QCursor(Qt::PointingHandCursor));
            break;
        default:
            QVERIFY(removeOverrideCursor(QCursor(Qt::PointingHandCursor)));
            break;
        }
        // The wait cursor stays on the stack exactly while a guard lives.
        QCOMPARE(stackShapes().contains(Qt::WaitCursor), !guards.empty());
    }
    QCOMPARE(stackShapes(), QList<int>({Qt::CrossCursor}));
}

void TestBusyCursor::removingFindsEqualPixmapCursorsOnly()
{
    QPixmap picture(32, 32);
    picture.fill(Qt::red);
    const QCursor zoom(picture, 16, 16);
    QGuiApplication::setOverrideCursor(zoom);
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QPixmap other(32, 32);
    other.fill(Qt::red);
    QVERIFY(!removeOverrideCursor(QCursor(other, 16, 16)));
    QCOMPARE(stackShapes(), QList<int>({Qt::BitmapCursor, Qt::WaitCursor}));
    QVERIFY(removeOverrideCursor(zoom));
    QCOMPARE(stackShapes(), QList<int>({Qt::WaitCursor}));
}

TAVROLO_GUI_TEST_MAIN(TestBusyCursor)
#include "tst_busycursor.moc"
