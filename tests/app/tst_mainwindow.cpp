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
    const char *text;
    const char *state; // e: enabled, c: checkable, x: checked
    const char *toolTip;
    const char *shortcut = ""; // portable key text
    const char *icon = nullptr; // :/pngs/<icon>_32.png
    const char *statusTip = nullptr; // null: the tool tip
};

const ActionRow actionRows[] = {
    {"m_fileNewAction", "&New", "e", "Create a new plan file.", "Ctrl+N", "new"},
    {"m_fileOpenAction", "&Open...", "e", "Open a plan file.", "Ctrl+O", "open"},
    {"m_fileExitAction", "E&xit", "e", "Exit Tavrolo."},
    {"m_editAddTaskAction", "Add &Card...", "e",
     "Add a new card. \nA card typically represents a task or an item you want to track or "
     "schedule.",
     "Ctrl+I", "task", "Add a new card."},
    {"m_editAddPropertyAction", "Add Proper&ty...", "e",
     "Add a new property to all cards.\nA property might be 'name', 'priority', 'date due', "
     "'cost', 'person assigned to' or anything else relevant to your plan.",
     "Ctrl+Shift+I", "property", "Add a new property for all cards."},
    {"m_editDeleteAction", "&Delete", "", "Delete the selected cards/properties.", "Del", "delete",
     "Delete the selected cards/properties. Select a card in the 'Cards' tab or a rows/columns in "
     "the 'Table' tab to enable."},
    {"m_helpTavroloAction", "Tavrolo &Help", "e", "Tavrolo Help.", "F1", "help"},
    {"m_editPropertyAction", "Edit Propert&y...", "",
     "Edit the selected property (e.g. to rename it).", "", nullptr,
     "Edit the selected property (e.g. to rename it). Select a single column in the 'Table' Tab to "
     "enable."},
    {"m_filePrintAction", "&Print...", "", "Print the plan.", "Ctrl+P", "print"},
    {"m_viewZoomFitAction", "Zoom &Fit", "ecx",
     "Turn zoom to fit on/off. If on zooms automatically so all cards visible.",
     "Ctrl+=", "zoom_back"},
    {"m_viewZoomInAction", "Zoom &In", "e", "Zoom in.", "Ctrl++", "zoom_in"},
    {"m_viewZoomOutAction", "Zoom &Out", "e", "Zoom out.", "Ctrl+-", "zoom_out"},
    {"m_viewZoomMagnifyAction", "&Magnify", "ec",
     "Turn magnification under cursor on/off (toggle off or press Escape to cancel).", "Alt+M",
     "zoom_cursor"},
    {"m_viewTransposeAction", "&Swap X/Y", "e", "Swap columns and rows.", "Ctrl+\\", "swap_row_col",
     "Swap columns (X) and rows (Y)."},
    {"m_viewToolTipsAction", "Card &Tool Tips", "ecx",
     "Toggle card tool tips on/off (they never work in magnify mode).", "Ctrl+T", nullptr,
     "Toggle card tool tips on/off."},
    {"m_viewFullScreenAction", "F&ull screen", "ec",
     "Turn full screen mode on/off (toggle off or press Escape to cancel).", "Ctrl+Shift+F",
     "fullscreen"},
    {"m_editUndoAction", "&Undo", "", "Undo last change.", "Ctrl+Z", "undo"},
    {"m_editRedoAction", "&Redo", "", "Redo last undo.", "Ctrl+Y", "redo"},
    {"m_fileExportTableCSVAction", "&CSV", "e",
     "Export the table to CSV (Comma Separated Value) format. Can be read by Excel.", "", nullptr,
     "Export the table to CSV (Comma Separated Value) format. Can be read by Excel"},
    {"m_editPreferencesAction", "&Preferences...", "e", "Edit application preferences.", "Ctrl+,",
     "prefs"},
    {"m_helpCheckForUpdatesAction", "&Check for Updates", "e",
     "Check for the latest version of the software.", "", "web_download"},
    {"m_editDuplicateAction", "Dup&licate Card(s)...", "e", "Duplicate selected cards.", "Ctrl+D",
     "duplicate"},
    {"m_editSelectAllAction", "Select &All", "e", "Select all visible cards/rows.", "Ctrl+A"},
    {"m_fileDuplicateAction", "&Duplicate File...", "", "Make a copy of the current plan file.",
     "Ctrl+U", "duplicate_file"},
    {"m_viewShowLeftPaneAction", "&Left Pane", "cx", "Toogle Left pane visibility on/off.",
     "Ctrl+L", "left_pane"},
    {"m_editOrderPropertiesAction", "Re-&order Properties...", "",
     "Change the order in which properties are shown."},
    {"m_editImagesAction", "Edit &Images...", "e", "Edit the images available in this plan.", "",
     "pictures", ""},
    {"m_editTaskAction", "&Edit Card(s)...", "e",
     "Edit the selected cards (or rows in the 'Table' panes).", "Ctrl+E"},
    {"m_viewZoomSelectedAction", "&Zoom To Selected", "e", "Zoom to the selected cards.", "Ctrl+/",
     "zoom_selected", ""},
    {"m_viewShowOverlays", "I&con Overlay", "ecx",
     "Toggle add/edit/delete icon overlays on 'Cards' pane on/off.", "Ctrl+.", nullptr,
     "Toggle add/edit/delete icon overlays on the 'Cards' pane on/off."},
    {"m_viewToolBarAction", "Tool&bar", "ecx", "Toggle toolbar visibility on/off.", "Ctrl+Shift+T"},
    {"m_editReplaceAction", "&Replace...", "e", "Replace values in all cards.", "Ctrl+H",
     "replace"},
    {"m_fileExportCardsSVGAction", "&SVG", "e", "Export cards to SVG format.", "", nullptr, ""},
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
    void actionsCarryTheirTextsTipsAndStates_data();
    void actionsCarryTheirTextsTipsAndStates();
    void menusAndToolbarListTheirEntriesInOrder_data();
    void menusAndToolbarListTheirEntriesInOrder();
    void toolbarIconsAreReallyDrawn();
};

// Every window starts from no preferences, except that the sample plans were already offered.
void TestMainWindow::init()
{
    settings()->clear();
    settings()->setValue(QStringLiteral("samples/samples_deployed_for_v241"), 1);
}

void TestMainWindow::actionsCarryTheirTextsTipsAndStates_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(actionRows)); ++i)
        QTest::newRow(actionRows[i].name) << i;
}

void TestMainWindow::actionsCarryTheirTextsTipsAndStates()
{
    QFETCH(int, row);
    const ActionRow &expected = actionRows[row];
    MainWindow window;
    auto *action = window.findChild<QAction *>(QString::fromLatin1(expected.name));
    QVERIFY(action);
    QCOMPARE(action->text(), QString::fromUtf8(expected.text));
    QCOMPARE(action->shortcut().toString(QKeySequence::PortableText),
             QString::fromLatin1(expected.shortcut));
    const QString state = QString::fromLatin1(expected.state);
    QCOMPARE(action->isEnabled(), state.contains(QLatin1Char('e')));
    QCOMPARE(action->isCheckable(), state.contains(QLatin1Char('c')));
    QCOMPARE(action->isChecked(), state.contains(QLatin1Char('x')));
    QCOMPARE(action->toolTip(), QString::fromUtf8(expected.toolTip));
    QCOMPARE(action->statusTip(),
             QString::fromUtf8(expected.statusTip ? expected.statusTip : expected.toolTip));
    // A missing icon compares as a null image. Both sides go through a pixmap: its
    // premultiplied pixels round faint edges differently on different processors.
    const QPixmap resource(QStringLiteral(":/pngs/%1_32.png").arg(expected.icon));
    QCOMPARE(resource.isNull(), !expected.icon);
    QCOMPARE(action->icon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
             resource.toImage().convertToFormat(QImage::Format_ARGB32));
}

void TestMainWindow::menusAndToolbarListTheirEntriesInOrder_data()
{
    QTest::addColumn<QString>("menu"); // "toolbar": every action the toolbar may show
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("entries");
    const auto row
        = [](const char *name, const char *menu, const char *title, const char *entries) {
              QTest::newRow(name) << QString(menu) << QString(title) << QString(entries);
          };
    row("menu bar", "menuBar", "", "fileMenu editMenu viewMenu helpMenu");
    row("file", "fileMenu", "&File",
        "fileNew fileOpen fileRecentDocs fileDuplicate - filePageSetup filePrint - fileExportMenu "
        "- fileExit");
    row("export", "fileExportMenu", "&Export", "menuCards menuCharts menuTable");
    row("edit", "editMenu", "&Edit",
        "editUndo editRedo - editAddTask editTask editDuplicate - editAddProperty editProperty "
        "editOrderProperties - editImages - editReplace - editSelectAll - editDelete - "
        "editPreferences");
    // Full screen is in neither the View menu (which so ends with a separator) nor the toolbar.
    row("view", "viewMenu", "&View",
        "viewZoomFit viewZoomIn viewZoomOut viewZoomSelected viewZoomMagnify - viewTranspose - "
        "viewToolBar viewShowLeftPane viewShowOverlays viewToolTips -");
    row("help", "helpMenu", "&Help",
        "helpTavrolo helpFAQ helpTipsTavrolo helpSupport - helpCheckForUpdates "
        "helpSubscribeToNewsletter helpAbout");
    row("toolbar", "toolbar", "",
        "fileNew fileOpen spacer editAddTask editAddProperty editReplace editDelete spacer "
        "editUndo editRedo spacer viewShowLeftPane spacer Zoom slider viewZoomFit viewZoomIn "
        "viewZoomOut viewZoomSelected viewZoomMagnify spacer viewTranspose spacer filePrint "
        "spacer");
}

void TestMainWindow::menusAndToolbarListTheirEntriesInOrder()
{
    QFETCH(QString, menu);
    QFETCH(QString, title);
    QFETCH(QString, entries);
    MainWindow window;
    if (menu == QLatin1String("toolbar")) {
        QCOMPARE(entryNames(window.availableToolBarActions()), entries);
        return;
    }
    auto *widget = window.findChild<QWidget *>(menu == "menuBar" ? menu : "m_" + menu);
    QVERIFY(widget);
    if (auto *asMenu = qobject_cast<QMenu *>(widget))
        QCOMPARE(asMenu->title(), title);
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
