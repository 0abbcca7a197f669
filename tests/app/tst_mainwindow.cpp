#include "app/MainWindow.h"
#include "common/Accessors.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

namespace {

struct ActionRow
{
    const char *name;
    const char *text;
    const char *iconText; // null: the text without "&" and a trailing "..."
    const char *shortcut; // portable key text, empty for none
    const char *icon; // file under :/pngs/, null for none
    bool enabled;
    bool checkable;
    bool checked;
    bool iconInMenu;
    const char *toolTip;
    const char *statusTip;
};

const ActionRow actionRows[] = {
    {"m_fileNewAction", "&New", nullptr, "Ctrl+N", "new_32.png", true, false, false, true,
     "Create a new plan file.", "Create a new plan file."},
    {"m_fileOpenAction", "&Open...", nullptr, "Ctrl+O", "open_32.png", true, false, false, true,
     "Open a plan file.", "Open a plan file."},
    {"m_fileExitAction", "E&xit", nullptr, "", nullptr, true, false, false, true, "Exit Tavrolo.",
     "Exit Tavrolo."},
    {"m_editAddTaskAction", "Add &Card...", nullptr, "Ctrl+I", "task_32.png", true, false, false,
     true,
     "Add a new card. \nA card typically represents a task or an item you want to track or "
     "schedule.",
     "Add a new card."},
    {"m_editAddPropertyAction", "Add Proper&ty...", "Add Property", "Ctrl+Shift+I",
     "property_32.png", true, false, false, true,
     "Add a new property to all cards.\nA property might be 'name', 'priority', 'date due', "
     "'cost', 'person assigned to' or anything else relevant to your plan.",
     "Add a new property for all cards."},
    {"m_editDeleteAction", "&Delete", nullptr, "Del", "delete_32.png", false, false, false, true,
     "Delete the selected cards/properties.",
     "Delete the selected cards/properties. Select a card in the 'Cards' tab or a rows/columns in "
     "the 'Table' tab to enable."},
    {"m_helpTavroloAction", "Tavrolo &Help", nullptr, "F1", "help_32.png", true, false, false, true,
     "Tavrolo Help.", "Tavrolo Help."},
    {"m_helpAboutAction", "&About...", nullptr, "", nullptr, true, false, false, true,
     "About Tavrolo.", "About Tavrolo."},
    {"m_editPropertyAction", "Edit Propert&y...", nullptr, "", nullptr, false, false, false, true,
     "Edit the selected property (e.g. to rename it).",
     "Edit the selected property (e.g. to rename it). Select a single column in the 'Table' Tab to "
     "enable."},
    {"m_filePrintAction", "&Print...", nullptr, "Ctrl+P", "print_32.png", false, false, false, true,
     "Print the plan.", "Print the plan."},
    {"m_helpSupportAction", "&Support", nullptr, "", nullptr, true, false, false, true,
     "Contact support.", "Contact support."},
    {"m_viewZoomFitAction", "Zoom &Fit", nullptr, "Ctrl+=", "zoom_back_32.png", true, true, true,
     true, "Turn zoom to fit on/off. If on zooms automatically so all cards visible.",
     "Turn zoom to fit on/off. If on zooms automatically so all cards visible."},
    {"m_viewZoomInAction", "Zoom &In", nullptr, "Ctrl++", "zoom_in_32.png", true, false, false,
     true, "Zoom in.", "Zoom in."},
    {"m_viewZoomOutAction", "Zoom &Out", nullptr, "Ctrl+-", "zoom_out_32.png", true, false, false,
     true, "Zoom out.", "Zoom out."},
    {"m_viewZoomMagnifyAction", "&Magnify", nullptr, "Alt+M", "zoom_cursor_32.png", true, true,
     false, true, "Turn magnification under cursor on/off (toggle off or press Escape to cancel).",
     "Turn magnification under cursor on/off (toggle off or press Escape to cancel)."},
    {"m_viewTransposeAction", "&Swap X/Y", nullptr, "Ctrl+\\", "swap_row_col_32.png", true, false,
     false, true, "Swap columns and rows.", "Swap columns (X) and rows (Y)."},
    {"m_viewToolTipsAction", "Card &Tool Tips", nullptr, "Ctrl+T", nullptr, true, true, true, true,
     "Toggle card tool tips on/off (they never work in magnify mode).",
     "Toggle card tool tips on/off."},
    {"m_viewFullScreenAction", "F&ull screen", nullptr, "Ctrl+Shift+F", "fullscreen_32.png", true,
     true, false, true, "Turn full screen mode on/off (toggle off or press Escape to cancel).",
     "Turn full screen mode on/off (toggle off or press Escape to cancel)."},
    {"m_editUndoAction", "&Undo", nullptr, "Ctrl+Z", "undo_32.png", false, false, false, true,
     "Undo last change.", "Undo last change."},
    {"m_editRedoAction", "&Redo", nullptr, "Ctrl+Y", "redo_32.png", false, false, false, true,
     "Redo last undo.", "Redo last undo."},
    {"m_filePageSetup", "Page Set&up...", nullptr, "", nullptr, true, false, false, true,
     "Change printer page settings.", "Change printer page settings."},
    {"m_fileExportCardsPDFAction", "&PDF", nullptr, "", nullptr, true, false, false, true,
     "Export cards to PDF format.", "Export cards to PDF format."},
    {"m_fileExportCardsPNGAction", "P&NG", nullptr, "", nullptr, true, false, false, true,
     "Export cards to PNG (image) format.", "Export cards to PNG (image) format."},
    {"m_fileExportTableCSVAction", "&CSV", nullptr, "", nullptr, true, false, false, true,
     "Export the table to CSV (Comma Separated Value) format. Can be read by Excel.",
     "Export the table to CSV (Comma Separated Value) format. Can be read by Excel"},
    {"m_fileExportCardsJPGAction", "&JPG", nullptr, "", nullptr, true, false, false, true,
     "Export cards to JPG (image) format.", "Export cards to JPG (image) format."},
    {"m_editPreferencesAction", "&Preferences...", nullptr, "Ctrl+,", "prefs_32.png", true, false,
     false, true, "Edit application preferences.", "Edit application preferences."},
    {"m_helpFAQAction", "&FAQ Page", nullptr, "", nullptr, true, false, false, true,
     "Frequently Asked Questions web page", "Frequently Asked Questions web page"},
    {"m_helpCheckForUpdatesAction", "&Check for Updates", nullptr, "", "web_download_32.png", true,
     false, false, true, "Check for the latest version of the software.",
     "Check for the latest version of the software."},
    {"m_helpSubscribeToNewsletterAction", "Subscribe to &Newsletter", nullptr, "", nullptr, true,
     false, false, true, "Subscribe to our email newsletter.",
     "Subscribe to our email newsletter."},
    {"m_editDuplicateAction", "Dup&licate Card(s)...", nullptr, "Ctrl+D", "duplicate_32.png", true,
     false, false, true, "Duplicate selected cards.", "Duplicate selected cards."},
    {"m_editSelectAllAction", "Select &All", nullptr, "Ctrl+A", nullptr, true, false, false, true,
     "Select all visible cards/rows.", "Select all visible cards/rows."},
    {"m_fileDuplicateAction", "&Duplicate File...", nullptr, "Ctrl+U", "duplicate_file_32.png",
     false, false, false, true, "Make a copy of the current plan file.",
     "Make a copy of the current plan file."},
    {"m_viewShowLeftPaneAction", "&Left Pane", "Left Pane", "Ctrl+L", "left_pane_32.png", false,
     true, true, false, "Toogle Left pane visibility on/off.",
     "Toogle Left pane visibility on/off."},
    {"m_editOrderPropertiesAction", "Re-&order Properties...", nullptr, "", nullptr, false, false,
     false, true, "Change the order in which properties are shown.",
     "Change the order in which properties are shown."},
    {"m_fileExportTableTXTAction", "&TXT", nullptr, "", nullptr, true, false, false, true,
     "Export the table to TXT (text) format. Can be read by Excel.",
     "Export the table to TXT (text) format. Can be read by Excel."},
    {"m_editImagesAction", "Edit &Images...", nullptr, "", "pictures_32.png", true, false, false,
     true, "Edit the images available in this plan.", ""},
    {"m_editTaskAction", "&Edit Card(s)...", nullptr, "Ctrl+E", nullptr, true, false, false, true,
     "Edit the selected cards (or rows in the 'Table' panes).",
     "Edit the selected cards (or rows in the 'Table' panes)."},
    {"m_viewZoomSelectedAction", "&Zoom To Selected", "Zoom To", "Ctrl+/", "zoom_selected_32.png",
     true, false, false, true, "Zoom to the selected cards.", ""},
    {"m_viewShowOverlays", "I&con Overlay", nullptr, "Ctrl+.", nullptr, true, true, true, true,
     "Toggle add/edit/delete icon overlays on 'Cards' pane on/off.",
     "Toggle add/edit/delete icon overlays on the 'Cards' pane on/off."},
    {"m_fileExportChartsPDFAction", "&PDF", nullptr, "", nullptr, true, false, false, true,
     "Export charts to PDF format.", "Export charts to PDF format."},
    {"m_fileExportChartsPNGAction", "P&NG", nullptr, "", nullptr, true, false, false, true,
     "Export charts to PNG (image) format.", "Export charts to PNG (image) format."},
    {"m_fileExportChartsJPGAction", "&JPG", nullptr, "", nullptr, true, false, false, true,
     "Export charts to JPG (image) format.", "Export charts to JPG (image) format."},
    {"m_helpTipsTavroloAction", "Expert &Tips", nullptr, "", nullptr, true, false, false, true,
     "Tavrolo Expert Tips.", "Tavrolo Expert Tips."},
    {"m_viewToolBarAction", "Tool&bar", nullptr, "Ctrl+Shift+T", nullptr, true, true, true, true,
     "Toggle toolbar visibility on/off.", "Toggle toolbar visibility on/off."},
    {"m_editReplaceAction", "&Replace...", nullptr, "Ctrl+H", "replace_32.png", true, false, false,
     true, "Replace values in all cards.", "Replace values in all cards."},
    {"m_fileExportCardsSVGAction", "&SVG", nullptr, "", nullptr, true, false, false, true,
     "Export cards to SVG format.", ""},
    {"m_fileExportChartsSVGAction", "&SVG", nullptr, "", nullptr, true, false, false, true,
     "Export charts to SVG format.", ""},
};

QStringList entryNames(const QList<QAction *> &actions)
{
    QStringList names;
    for (const QAction *action : actions) {
        if (action->isSeparator())
            names << QStringLiteral("-");
        else if (action->menu())
            names << action->menu()->objectName();
        else if (action->iconText() == QLatin1String("_spacer"))
            names << QStringLiteral("spacer");
        else if (action->objectName().isEmpty())
            names << action->iconText();
        else
            names << action->objectName();
    }
    return names;
}

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
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
    void menusListTheirEntriesInOrder_data();
    void menusListTheirEntriesInOrder();
    void toolbarOffersFormActionsWithSpacersAndZoomSlider();
    void toolbarShowsTheActionsTheSettingsChoose_data();
    void toolbarShowsTheActionsTheSettingsChoose();
    void toolbarIconSizeAndTextFollowTheSettings_data();
    void toolbarIconSizeAndTextFollowTheSettings();
    void windowShowsTitleAndFourEmptyTabs();
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
    QCOMPARE(action->parent(), &window);
    QCOMPARE(action->text(), QString::fromUtf8(expected.text));
    QString iconText = QString::fromUtf8(expected.iconText ? expected.iconText : expected.text);
    if (!expected.iconText) {
        iconText.remove(QLatin1Char('&'));
        if (iconText.endsWith(QLatin1String("...")))
            iconText.chop(3);
    }
    QCOMPARE(action->iconText(), iconText);
    QCOMPARE(action->shortcut().toString(QKeySequence::PortableText),
             QString::fromLatin1(expected.shortcut));
    QCOMPARE(action->isEnabled(), expected.enabled);
    QCOMPARE(action->isCheckable(), expected.checkable);
    QCOMPARE(action->isChecked(), expected.checked);
    QCOMPARE(action->toolTip(), QString::fromUtf8(expected.toolTip));
    QCOMPARE(action->statusTip(), QString::fromUtf8(expected.statusTip));
    if (expected.icon) {
        const QImage resource(QStringLiteral(":/pngs/") + QString::fromLatin1(expected.icon));
        QVERIFY(!resource.isNull());
        QCOMPARE(iconImage(action->icon()), resource.convertToFormat(QImage::Format_ARGB32));
    } else {
        QVERIFY(action->icon().isNull());
    }
    const bool fullScreen = action == window.findChild<QAction *>("m_viewFullScreenAction");
    // The application object switches menu icons off for every action that does not ask.
    const bool menusShowIcons = !QCoreApplication::testAttribute(Qt::AA_DontShowIconsInMenus);
    QCOMPARE(action->isIconVisibleInMenu(), expected.iconInMenu && !fullScreen && menusShowIcons);
}

void TestMainWindow::menusListTheirEntriesInOrder_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("menu bar") << "menuBar" << QString()
                              << QStringList {"m_fileMenu", "m_editMenu", "m_viewMenu",
                                              "m_helpMenu"};
    QTest::newRow("file") << "m_fileMenu"
                          << "&File"
                          << QStringList {"m_fileNewAction",
                                          "m_fileOpenAction",
                                          "m_fileRecentDocs",
                                          "m_fileDuplicateAction",
                                          "-",
                                          "m_filePageSetup",
                                          "m_filePrintAction",
                                          "-",
                                          "m_fileExportMenu",
                                          "-",
                                          "m_fileExitAction"};
    QTest::newRow("recent files") << "m_fileRecentDocs"
                                  << "&Recent Files" << QStringList();
    QTest::newRow("export") << "m_fileExportMenu"
                            << "&Export"
                            << QStringList {"m_menuCards", "m_menuCharts", "m_menuTable"};
    QTest::newRow("export cards") << "m_menuCards"
                                  << "&Cards"
                                  << QStringList {"m_fileExportCardsPDFAction",
                                                  "m_fileExportCardsSVGAction",
                                                  "m_fileExportCardsPNGAction",
                                                  "m_fileExportCardsJPGAction"};
    QTest::newRow("export charts")
        << "m_menuCharts"
        << "C&harts"
        << QStringList {"m_fileExportChartsPDFAction", "m_fileExportChartsSVGAction",
                        "m_fileExportChartsPNGAction", "m_fileExportChartsJPGAction"};
    QTest::newRow("export table") << "m_menuTable"
                                  << "&Table"
                                  << QStringList {"m_fileExportTableCSVAction",
                                                  "m_fileExportTableTXTAction"};
    QTest::newRow("edit") << "m_editMenu"
                          << "&Edit"
                          << QStringList {"m_editUndoAction",
                                          "m_editRedoAction",
                                          "-",
                                          "m_editAddTaskAction",
                                          "m_editTaskAction",
                                          "m_editDuplicateAction",
                                          "-",
                                          "m_editAddPropertyAction",
                                          "m_editPropertyAction",
                                          "m_editOrderPropertiesAction",
                                          "-",
                                          "m_editImagesAction",
                                          "-",
                                          "m_editReplaceAction",
                                          "-",
                                          "m_editSelectAllAction",
                                          "-",
                                          "m_editDeleteAction",
                                          "-",
                                          "m_editPreferencesAction"};
    // Full screen has left the View menu, which therefore ends with its last separator.
    QTest::newRow("view") << "m_viewMenu"
                          << "&View"
                          << QStringList {"m_viewZoomFitAction",
                                          "m_viewZoomInAction",
                                          "m_viewZoomOutAction",
                                          "m_viewZoomSelectedAction",
                                          "m_viewZoomMagnifyAction",
                                          "-",
                                          "m_viewTransposeAction",
                                          "-",
                                          "m_viewToolBarAction",
                                          "m_viewShowLeftPaneAction",
                                          "m_viewShowOverlays",
                                          "m_viewToolTipsAction",
                                          "-"};
    QTest::newRow("help") << "m_helpMenu"
                          << "&Help"
                          << QStringList {"m_helpTavroloAction",
                                          "m_helpFAQAction",
                                          "m_helpTipsTavroloAction",
                                          "m_helpSupportAction",
                                          "-",
                                          "m_helpCheckForUpdatesAction",
                                          "m_helpSubscribeToNewsletterAction",
                                          "m_helpAboutAction"};
}

void TestMainWindow::menusListTheirEntriesInOrder()
{
    QFETCH(QString, menu);
    QFETCH(QString, title);
    QFETCH(QStringList, entries);
    MainWindow window;
    auto *widget = window.findChild<QWidget *>(menu);
    QVERIFY(widget);
    if (auto *asMenu = qobject_cast<QMenu *>(widget))
        QCOMPARE(asMenu->title(), title);
    QCOMPARE(entryNames(widget->actions()), entries);
}

void TestMainWindow::toolbarOffersFormActionsWithSpacersAndZoomSlider()
{
    MainWindow window;
    const QStringList expected {"m_fileNewAction",
                                "m_fileOpenAction",
                                "spacer",
                                "m_editAddTaskAction",
                                "m_editAddPropertyAction",
                                "m_editReplaceAction",
                                "m_editDeleteAction",
                                "spacer",
                                "m_editUndoAction",
                                "m_editRedoAction",
                                "spacer",
                                "m_viewShowLeftPaneAction",
                                "spacer",
                                "Zoom slider",
                                "m_viewZoomFitAction",
                                "m_viewZoomInAction",
                                "m_viewZoomOutAction",
                                "m_viewZoomSelectedAction",
                                "m_viewZoomMagnifyAction",
                                "spacer",
                                "m_viewTransposeAction",
                                "spacer",
                                "m_filePrintAction",
                                "spacer"};
    QCOMPARE(entryNames(window.availableToolBarActions()), expected);
    auto *toolBar = window.findChild<QToolBar *>("m_mainToolBar");
    QVERIFY(toolBar);
    QCOMPARE(toolBar->windowTitle(), QStringLiteral("Tool bar"));
    QCOMPARE(window.toolBarArea(toolBar), Qt::TopToolBarArea);
    for (QAction *action : toolBar->actions())
        QVERIFY2(!action->isSeparator(), "separators are replaced by spacers");
}

void TestMainWindow::toolbarShowsTheActionsTheSettingsChoose_data()
{
    QTest::addColumn<QStringList>("onKeys");
    QTest::addColumn<QStringList>("offKeys");
    QTest::addColumn<QStringList>("expected");
    const QStringList defaults {"m_editAddTaskAction",
                                "m_editAddPropertyAction",
                                "m_editDeleteAction",
                                "spacer",
                                "m_viewShowLeftPaneAction",
                                "spacer",
                                "Zoom slider",
                                "m_viewZoomFitAction",
                                "m_viewZoomInAction",
                                "m_viewZoomOutAction",
                                "m_viewZoomSelectedAction",
                                "m_viewZoomMagnifyAction",
                                "spacer",
                                "m_viewTransposeAction"};
    QTest::newRow("no settings") << QStringList() << QStringList() << defaults;
    const QStringList all {"new",      "open",    "add_card", "add_property", "replace",
                           "delete",   "undo",    "redo",     "left_pane",    "zoom_slider",
                           "zoom_fit", "zoom_in", "zoom_out", "zoom_to",      "magnify",
                           "swap_x_y", "print"};
    QTest::newRow("everything off") << QStringList() << all << QStringList();
    QTest::newRow("first and last only")
        << QStringList {"new", "print"} << all
        << QStringList {"m_fileNewAction", "spacer", "m_filePrintAction"};
    QStringList withUndo = defaults;
    withUndo.insert(3, "spacer");
    withUndo.insert(4, "m_editUndoAction");
    QTest::newRow("undo added") << QStringList {"undo"} << QStringList() << withUndo;
    QTest::newRow("one group left")
        << QStringList()
        << QStringList {"add_card", "add_property", "delete", "left_pane", "swap_x_y"}
        << QStringList(defaults.mid(6, 6));
}

void TestMainWindow::toolbarShowsTheActionsTheSettingsChoose()
{
    QFETCH(QStringList, onKeys);
    QFETCH(QStringList, offKeys);
    QFETCH(QStringList, expected);
    for (const QString &key : offKeys)
        settings()->setValue(QStringLiteral("toolbar_show_") + key, false);
    for (const QString &key : onKeys)
        settings()->setValue(QStringLiteral("toolbar_show_") + key, true);
    MainWindow window;
    auto *toolBar = window.findChild<QToolBar *>("m_mainToolBar");
    QCOMPARE(entryNames(toolBar->actions()), expected);
    // Rebuilding from the same settings gives the same toolbar.
    window.setupToolBar();
    QCOMPARE(entryNames(toolBar->actions()), expected);
}

void TestMainWindow::toolbarIconSizeAndTextFollowTheSettings_data()
{
    QTest::addColumn<QVariant>("iconSize");
    QTest::addColumn<QVariant>("showText");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("style");
    QTest::newRow("defaults") << QVariant() << QVariant() << 18 << int(Qt::ToolButtonTextUnderIcon);
    QTest::newRow("medium") << QVariant(1) << QVariant(true) << 24
                            << int(Qt::ToolButtonTextUnderIcon);
    QTest::newRow("large, icons only")
        << QVariant(2) << QVariant(false) << 32 << int(Qt::ToolButtonIconOnly);
    QTest::newRow("unknown size") << QVariant(7) << QVariant() << 24
                                  << int(Qt::ToolButtonTextUnderIcon);
    QTest::newRow("negative size")
        << QVariant(-1) << QVariant() << 24 << int(Qt::ToolButtonTextUnderIcon);
}

void TestMainWindow::toolbarIconSizeAndTextFollowTheSettings()
{
    QFETCH(QVariant, iconSize);
    QFETCH(QVariant, showText);
    QFETCH(int, pixels);
    QFETCH(int, style);
    if (iconSize.isValid())
        settings()->setValue(QStringLiteral("toolbar_icon_size"), iconSize);
    if (showText.isValid())
        settings()->setValue(QStringLiteral("show_toolbar_text"), showText);
    MainWindow window;
    auto *toolBar = window.findChild<QToolBar *>("m_mainToolBar");
    QCOMPARE(toolBar->iconSize(), QSize(pixels, pixels));
    QCOMPARE(int(toolBar->toolButtonStyle()), style);
}

void TestMainWindow::windowShowsTitleAndFourEmptyTabs()
{
    MainWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavrolo"));
    QVERIFY(!window.windowIcon().isNull());
    QVERIFY(!window.statusBar()->isVisibleTo(&window));
    auto *tabs = window.findChild<QTabWidget *>("m_tabWidget");
    QVERIFY(tabs);
    const QStringList titles {"Cards", "Charts", "Table", "Properties"};
    const QStringList pages {"m_cardsTab", "m_chartsTab", "m_tableTab", "m_propertiesTab"};
    QCOMPARE(tabs->count(), titles.size());
    for (int i = 0; i < tabs->count(); ++i) {
        QCOMPARE(tabs->tabText(i), titles.at(i));
        QCOMPARE(tabs->widget(i)->objectName(), pages.at(i));
        QVERIFY(tabs->tabIcon(i).isNull() || tabs->tabIcon(i).availableSizes().isEmpty());
    }
    QCOMPARE(tabs->currentIndex(), 0);
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
        if (action->icon().isNull())
            continue;
        QWidget *button = toolBar->widgetForAction(action);
        QVERIFY(button);
        if (!button->isVisible())
            continue; // moved into the toolbar's overflow menu on a narrow window
        // Only the icon's strip above the text, inside the button's frame.
        const QSize icon = toolBar->iconSize();
        const QRect area(button->mapTo(&window, QPoint((button->width() - icon.width()) / 2, 3)),
                         icon);
        const int pixels = shapePixels(shot.copy(area));
        QVERIFY2(pixels > 10, qPrintable(action->objectName()));
        ++drawn;
    }
    QVERIFY(drawn >= 10);
}

TAVROLO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
