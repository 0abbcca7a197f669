#include "app/MainWindow.h"
#include "common/Accessors.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QToolBar>

namespace {

struct ActionRow
{
    const char *name;
    const char *state; // e: enabled, c: checkable, x: checked
    const char *shortcut; // portable key text
};

const ActionRow actionRows[] = {
    {"m_fileNewAction", "e", "Ctrl+N"},
    {"m_fileOpenAction", "e", "Ctrl+O"},
    {"m_fileExitAction", "e", ""},
    {"m_editAddTaskAction", "e", "Ctrl+I"},
    {"m_editAddPropertyAction", "e", "Ctrl+Shift+I"},
    {"m_editDeleteAction", "", "Del"},
    {"m_helpTavroloAction", "e", "F1"},
    {"m_editPropertyAction", "", ""},
    {"m_filePrintAction", "", "Ctrl+P"},
    {"m_viewZoomFitAction", "ecx", "Ctrl+="},
    {"m_viewZoomInAction", "e", "Ctrl++"},
    {"m_viewZoomOutAction", "e", "Ctrl+-"},
    {"m_viewZoomMagnifyAction", "ec", "Alt+M"},
    {"m_viewTransposeAction", "e", "Ctrl+\\"},
    {"m_viewToolTipsAction", "ecx", "Ctrl+T"},
    {"m_viewFullScreenAction", "ec", "Ctrl+Shift+F"},
    {"m_editUndoAction", "", "Ctrl+Z"},
    {"m_editRedoAction", "", "Ctrl+Y"},
    {"m_fileExportTableCSVAction", "e", ""},
    {"m_editPreferencesAction", "e", "Ctrl+,"},
    {"m_helpCheckForUpdatesAction", "e", ""},
    {"m_editDuplicateAction", "e", "Ctrl+D"},
    {"m_editSelectAllAction", "e", "Ctrl+A"},
    {"m_fileDuplicateAction", "", "Ctrl+U"},
    {"m_viewShowLeftPaneAction", "cx", "Ctrl+L"},
    {"m_editOrderPropertiesAction", "", ""},
    {"m_editImagesAction", "e", ""},
    {"m_editTaskAction", "e", "Ctrl+E"},
    {"m_viewZoomSelectedAction", "e", "Ctrl+/"},
    {"m_viewShowOverlays", "ecx", "Ctrl+."},
    {"m_viewToolBarAction", "ecx", "Ctrl+Shift+T"},
    {"m_editReplaceAction", "e", "Ctrl+H"},
    {"m_fileExportCardsSVGAction", "e", ""},
};

// Object names without "m_" and "Action" in order; "-" for a separator, "spacer" for a toolbar
// spacer.
QString entryNames(const QList<QAction *> &actions)
{
    QStringList names;
    for (const QAction *action : actions) {
        const QString name = action->menu() ? action->menu()->objectName() : action->objectName();
        if (action->isSeparator())
            names << QStringLiteral("-");
        else if (action->iconText() == QLatin1String("_spacer"))
            names << QStringLiteral("spacer");
        else if (name.isEmpty())
            names << action->iconText();
        else
            names << QString(name).remove(QRegularExpression("^m_|Action$"));
    }
    return names.join(QLatin1Char(' '));
}

// Counts the pixels that stand out from the top-left one, which is the toolbar's background.
int shapePixels(const QImage &image)
{
    const QRgb background = image.pixel(0, 0);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAbs(qGray(image.pixel(x, y)) - qGray(background)) > 12 ? 1 : 0;
    return count;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void actionsCarryTheirShortcutsAndStates_data();
    void actionsCarryTheirShortcutsAndStates();
    void menusAndToolbarListTheirEntriesInOrder_data();
    void menusAndToolbarListTheirEntriesInOrder();
    void toolbarIconsAreReallyDrawn();
};

// Every window starts from no preferences, except that the sample plans were already offered.
void TestMainWindow::init()
{
    settings()->clear();
    settings()->setValue(MainWindow::samplesOfferKey(), 1);
}

void TestMainWindow::actionsCarryTheirShortcutsAndStates_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(actionRows)); ++i)
        QTest::newRow(actionRows[i].name) << i;
}

void TestMainWindow::actionsCarryTheirShortcutsAndStates()
{
    QFETCH(int, row);
    const ActionRow &expected = actionRows[row];
    MainWindow window;
    auto *action = window.findChild<QAction *>(QString::fromLatin1(expected.name));
    QVERIFY(action);
    QCOMPARE(action->shortcut().toString(QKeySequence::PortableText),
             QString::fromLatin1(expected.shortcut));
    const QString state = QString::fromLatin1(expected.state);
    QCOMPARE(action->isEnabled(), state.contains(QLatin1Char('e')));
    QCOMPARE(action->isCheckable(), state.contains(QLatin1Char('c')));
    QCOMPARE(action->isChecked(), state.contains(QLatin1Char('x')));
}

void TestMainWindow::menusAndToolbarListTheirEntriesInOrder_data()
{
    QTest::addColumn<QString>("menu"); // "toolbar": every action the toolbar may show
    QTest::addColumn<QString>("entries");
    const auto row = [](const char *name, const char *menu, const char *entries) {
        QTest::newRow(name) << QString(menu) << QString(entries);
    };
    row("menu bar", "menuBar", "fileMenu editMenu viewMenu helpMenu");
    row("file", "fileMenu",
        "fileNew fileOpen fileRecentDocs fileDuplicate - filePageSetup filePrint - fileExportMenu "
        "- fileExit");
    row("export", "fileExportMenu", "menuCards menuCharts menuTable");
    row("edit", "editMenu",
        "editUndo editRedo - editAddTask editTask editDuplicate - editAddProperty editProperty "
        "editOrderProperties - editImages - editReplace - editSelectAll - editDelete - "
        "editPreferences");
    // Full screen is in neither the View menu (which so ends with a separator) nor the toolbar.
    row("view", "viewMenu",
        "viewZoomFit viewZoomIn viewZoomOut viewZoomSelected viewZoomMagnify - viewTranspose - "
        "viewToolBar viewShowLeftPane viewShowOverlays viewToolTips -");
    row("help", "helpMenu",
        "helpTavrolo helpFAQ helpTipsTavrolo helpSupport - helpCheckForUpdates "
        "helpSubscribeToNewsletter helpAbout");
    row("toolbar", "toolbar",
        "fileNew fileOpen spacer editAddTask editAddProperty editReplace editDelete spacer "
        "editUndo editRedo spacer viewShowLeftPane spacer Zoom slider viewZoomFit viewZoomIn "
        "viewZoomOut viewZoomSelected viewZoomMagnify spacer viewTranspose spacer filePrint "
        "spacer");
}

void TestMainWindow::menusAndToolbarListTheirEntriesInOrder()
{
    QFETCH(QString, menu);
    QFETCH(QString, entries);
    MainWindow window;
    if (menu == QLatin1String("toolbar")) {
        QCOMPARE(entryNames(window.availableToolBarActions()), entries);
        return;
    }
    auto *widget = window.findChild<QWidget *>(menu == "menuBar" ? menu : "m_" + menu);
    QVERIFY(widget);
    QCOMPARE(entryNames(widget->actions()), entries);
}

void TestMainWindow::toolbarIconsAreReallyDrawn()
{
    MainWindow window;
    window.resize(1449, 557);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage shot = window.grab().toImage();
    auto *toolBar = window.findChild<QToolBar *>("m_mainToolBar");
    int drawn = 0;
    for (QAction *action : toolBar->actions()) {
        QWidget *button = toolBar->widgetForAction(action);
        // Buttons moved into the toolbar's overflow menu on a narrow window are not drawn.
        if (action->icon().isNull() || !button || !button->isVisible())
            continue;
        // Only the icon's strip above the text, inside the button's frame.
        const QSize icon = toolBar->iconSize();
        const QRect area(button->mapTo(&window, QPoint((button->width() - icon.width()) / 2, 3)),
                         icon);
        QVERIFY2(shapePixels(shot.copy(area)) > 10, qPrintable(action->objectName()));
        ++drawn;
    }
    QVERIFY(drawn >= 10);
}

TAVROLO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
