#include "common/core/SavedWindowShapes.h"
#include "harness/TestMain.h"

#include <functional>
#include <limits>

#include <QDataStream>
#include <QDockWidget>
#include <QMainWindow>
#include <QToolBar>

namespace {

QByteArray stateOf(QMainWindow &window)
{
    return window.saveState(0);
}

// A window like the program's: one tool bar along the top.
QByteArray programState(bool toolBarShown)
{
    QMainWindow window;
    QToolBar *toolBar = window.addToolBar(QStringLiteral("Main"));
    toolBar->setObjectName(QStringLiteral("m_mainToolBar"));
    toolBar->setVisible(toolBarShown);
    return stateOf(window);
}

QByteArray streamed(const std::function<void(QDataStream &)> &write)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    write(out);
    return bytes;
}

QByteArray geometryOf(const QRect &frame, const QRect &normal, const QRect &inner)
{
    return streamed([&](QDataStream &out) {
        out << quint32(0x1D9D0CB) << quint16(3) << quint16(0) << frame << normal << qint32(0)
            << quint8(0) << quint8(0) << qint32(1400) << inner;
    });
}

} // namespace

class TestSavedWindowShapes : public QObject
{
    Q_OBJECT

private slots:
    void onlyStatesTheWindowWritesAreRestored_data();
    void onlyStatesTheWindowWritesAreRestored();
    void onlyGeometriesOfThisDesktopAreRestored_data();
    void onlyGeometriesOfThisDesktopAreRestored();
};

void TestSavedWindowShapes::onlyStatesTheWindowWritesAreRestored_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<bool>("restorable");
    const QByteArray own = programState(true);
    QTest::newRow("the window's own, tool bar shown") << own << true;
    QTest::newRow("the window's own, tool bar hidden") << programState(false) << true;
    {
        QMainWindow window;
        auto *left = new QToolBar(QStringLiteral("Left"), &window);
        left->setObjectName(QStringLiteral("left"));
        window.addToolBar(Qt::LeftToolBarArea, left);
        window.addToolBar(QStringLiteral("Top"))->setObjectName(QStringLiteral("top"));
        window.addToolBar(QStringLiteral("Second"))->setObjectName(QStringLiteral("second"));
        QTest::newRow("tool bars on two sides") << stateOf(window) << true;
    }
    {
        QMainWindow window;
        auto *dock = new QDockWidget(QStringLiteral("Dock"), &window);
        dock->setObjectName(QStringLiteral("dock"));
        window.addDockWidget(Qt::LeftDockWidgetArea, dock);
        QTest::newRow("a dock widget the window never has") << stateOf(window) << false;
    }
    // Thirteen bytes: the mark, version 0 and the tool-bar part claiming 2^31 - 1 lines.
    QTest::newRow("two thousand million tool-bar lines")
        << QByteArray::fromHex("000000ff00000000fc7fffffff") << false;
    QTest::newRow("seventeen empty tool-bar lines") << streamed([](QDataStream &out) {
        out << qint32(0xff) << qint32(0) << quint8(0xfc) << qint32(17);
        for (int line = 0; line < 17; ++line)
            out << qint32(2) << qint32(0);
    }) << false;
    QTest::newRow("cut short") << own.left(own.size() - 3) << false;
}

// The window's state from the preferences is handed to Qt, which restores it without bounds,
// only when the program could have written it.
void TestSavedWindowShapes::onlyStatesTheWindowWritesAreRestored()
{
    QFETCH(QByteArray, state);
    QFETCH(bool, restorable);
    QCOMPARE(isRestorableWindowState(state, 0), restorable);
}

void TestSavedWindowShapes::onlyGeometriesOfThisDesktopAreRestored_data()
{
    QTest::addColumn<QByteArray>("geometry");
    QTest::addColumn<bool>("restorable");
    const QRect window(40, 30, 1200, 700);
    QWidget widget;
    widget.setGeometry(window);
    QTest::newRow("a window's own") << widget.saveGeometry() << true;
    QTest::newRow("from a desktop twice as large")
        << geometryOf(QRect(3000, 0, 2800, 1800), QRect(3000, 0, 2800, 1800), window) << true;
    QTest::newRow("a window 100,000 pixels a side")
        << geometryOf(QRect(0, 0, 100000, 100000), QRect(0, 0, 100000, 100000), window) << false;
    const int most = std::numeric_limits<int>::max();
    const int least = std::numeric_limits<int>::min();
    QTest::newRow("edges that overflow into a small width")
        << geometryOf(QRect(QPoint(most - 10, 0), QPoint(least + 10, 500)), window, window)
        << false;
    QTest::newRow("cut short") << widget.saveGeometry().left(60) << false;
}

void TestSavedWindowShapes::onlyGeometriesOfThisDesktopAreRestored()
{
    QFETCH(QByteArray, geometry);
    QFETCH(bool, restorable);
    QCOMPARE(isRestorableGeometry(geometry, QRect(0, 0, 1600, 1000)), restorable);
}

TAVROLO_TEST_MAIN(TestSavedWindowShapes)
#include "tst_savedwindowshapes.moc"
