#include "cardedit/HyperLinkDialog.h"
#include "cardedit/ReplaceDialog.h"
#include "cardedit/TaskDialog.h"
#include "common/app/Accessors.h"
#include "common/core/SavedWindowShapes.h"
#include "common/widgets/Settings.h"
#include "dialogs/PreferencesDialog.h"
#include "harness/TestMain.h"
#include "properties/PropertyDialog.h"

#include <functional>
#include <limits>
#include <memory>

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

// The program's window with its one tool bar, its geometry packed in two words.
QByteArray toolBarState(quint32 first, quint32 second, const QSize &central = QSize())
{
    return streamed([&](QDataStream &out) {
        out << qint32(0xff) << qint32(0);
        if (central.isValid()) {
            // The dock areas: no dock widget, the central widget's size, the four corners.
            out << quint8(0xfd) << qint32(0) << central << qint32(Qt::TopDockWidgetArea)
                << qint32(Qt::TopDockWidgetArea) << qint32(Qt::BottomDockWidgetArea)
                << qint32(Qt::BottomDockWidgetArea);
        }
        out << quint8(0xfc) << qint32(1) << qint32(2) << qint32(1)
            << QStringLiteral("m_mainToolBar") << quint8(1) << qint32(0) << qint32(-1) << first
            << second;
    });
}

// The tool bar floating at the rectangle, packed as QToolBarAreaLayout packs it: a floating
// bit, then x and y offset by 0x7fff, width and height.
QByteArray floatingToolBarState(const QRect &rect, const QSize &central = QSize())
{
    const quint32 first = (quint32(rect.width()) << 16 | quint32(rect.x() + 0x7fff)) << 1 | 1;
    const quint32 second = quint32(rect.height()) << 16 | quint32(rect.y() + 0x7fff);
    return toolBarState(first, second, central);
}

// The dialogs that keep their geometry in the preferences, built as the program builds them.
std::unique_ptr<QWidget> makeDialog(Settings::Key key)
{
    switch (key) {
    case Settings::Key::TaskWindowGeometry:
        return std::make_unique<TaskDialog>(nullptr, nullptr, QList<PropertyIndexAndValue> {},
                                            QList<TaskIndex> {});
    case Settings::Key::PropertyWindowGeometry:
        return std::make_unique<PropertyDialog>(nullptr, -1, PropertyDialog::PredefinedValuesPage);
    case Settings::Key::LinkWindowGeometry:
        return std::make_unique<HyperLinkDialog>(nullptr, QString(), QString(), true);
    case Settings::Key::ReplaceWindowGeometry:
        return std::make_unique<ReplaceDialog>(nullptr);
    default:
        return std::make_unique<PreferencesDialog>(nullptr);
    }
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
    void dialogsRestoreOnlyGeometriesOfThisDesktop_data();
    void dialogsRestoreOnlyGeometriesOfThisDesktop();
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
    QTest::newRow("a part the window never writes after its own")
        << own + QByteArray(1, char(0xfe)) << false;
    QTest::newRow("a floating tool bar of 300 x 40")
        << floatingToolBarState(QRect(200, 150, 300, 40)) << true;
    // Held the start for seconds and gigabytes, or crashed in the backing store.
    QTest::newRow("a floating tool bar of 32767 x 65535")
        << floatingToolBarState(QRect(0, 0, 32767, 65535)) << false;
    QTest::newRow("a floating tool bar off the desktop")
        << floatingToolBarState(QRect(1400, 150, 300, 40)) << false;
    // Only the lowest bit of the first word says whether the bar floats.
    QTest::newRow("a docked tool bar, the words of a floating one's geometry all set")
        << toolBarState(0xfffffffe, 0xffffffff) << true;
    QTest::newRow("a floating tool bar at the far corner of the packing")
        << floatingToolBarState(QRect(-0x7fff, -0x7fff, 1, 1)) << false;
    // The desktop bounds a floating bar, whatever the size of the window.
    QTest::newRow("a floating tool bar in the desktop's far corner, beside a small window")
        << floatingToolBarState(QRect(1300, 940, 280, 40), QSize(400, 300)) << true;
    QTest::newRow("a floating tool bar off the desktop, within the window's central size")
        << floatingToolBarState(QRect(2000, 1200, 300, 40), QSize(5000, 5000)) << false;
    QTest::newRow("a floating tool bar twice the desktop's size")
        << floatingToolBarState(QRect(0, 0, 3000, 1900)) << false;
}

// The window's state from the preferences is handed to Qt, which restores it without bounds,
// only when the program could have written it.
void TestSavedWindowShapes::onlyStatesTheWindowWritesAreRestored()
{
    QFETCH(QByteArray, state);
    QFETCH(bool, restorable);
    QCOMPARE(isRestorableWindowState(state, 0, QRect(0, 0, 1600, 1000)), restorable);
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

void TestSavedWindowShapes::dialogsRestoreOnlyGeometriesOfThisDesktop_data()
{
    QTest::addColumn<Settings::Key>("key");
    QTest::addColumn<bool>("huge");
    const QList<QPair<const char *, Settings::Key>> dialogs
        = {{"card", Settings::Key::TaskWindowGeometry},
           {"property", Settings::Key::PropertyWindowGeometry},
           {"link", Settings::Key::LinkWindowGeometry},
           {"replace", Settings::Key::ReplaceWindowGeometry},
           {"preferences", Settings::Key::PrefsWindowGeometry}};
    for (const auto &dialog : dialogs) {
        QTest::addRow("%s dialog, its own", dialog.first) << dialog.second << false;
        QTest::addRow("%s dialog, 100,000 pixels a side", dialog.first) << dialog.second << true;
    }
}

// Each dialog restores its geometry only when it fits this desktop, so that a preferences file
// handed on can't make it ask for a window of gigabytes.
void TestSavedWindowShapes::dialogsRestoreOnlyGeometriesOfThisDesktop()
{
    QFETCH(Settings::Key, key);
    QFETCH(bool, huge);
    const QSize stored = huge ? QSize(100000, 100000) : QSize(790, 530);
    {
        QWidget probe;
        probe.setGeometry(QRect(QPoint(4, 4), stored));
        settings()->write(key, probe.saveGeometry());
    }
    const std::unique_ptr<QWidget> dialog = makeDialog(key);
    if (huge)
        QVERIFY(dialog->width() < 10000 && dialog->height() < 10000);
    else
        QCOMPARE(dialog->size(), stored);
    settings()->remove(Settings::keyName(key));
}

TAVROLO_TEST_MAIN(TestSavedWindowShapes)
#include "tst_savedwindowshapes.moc"
