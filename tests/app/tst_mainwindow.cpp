#include "MainWindowFixture.h"
#include "cards/CardsScene.h"
#include "common/core/TextHelpers.h"
#include "common/core/UrlOpener.h"
#include "harness/FileFaults.h"
#include "harness/ShapePixels.h"
#include "harness/TestMain.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolBar>

namespace {

struct ActionRow
{
    const char *name;
    const char *state; // e: enabled, c: checkable, x: checked
    const char *shortcut; // portable key text
};

// With a plan of one property open and no pane that has a selection, before the window is shown:
// the zoom commands wait for the Cards view to be shown.
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
    {"m_viewZoomFitAction", "cx", "Ctrl+="},
    {"m_viewZoomInAction", "", "Ctrl++"},
    {"m_viewZoomOutAction", "", "Ctrl+-"},
    {"m_viewZoomMagnifyAction", "c", "Alt+M"},
    {"m_viewTransposeAction", "", "Ctrl+\\"},
    {"m_viewToolTipsAction", "ecx", "Ctrl+T"},
    {"m_viewFullScreenAction", "ec", "Ctrl+Shift+F"},
    {"m_editUndoAction", "", "Ctrl+Z"},
    {"m_editRedoAction", "", "Ctrl+Y"},
    {"m_fileExportTableCSVAction", "e", ""},
    {"m_editPreferencesAction", "e", "Ctrl+,"},
    {"m_helpCheckForUpdatesAction", "e", ""},
    {"m_editDuplicateAction", "", "Ctrl+D"},
    {"m_editSelectAllAction", "e", "Ctrl+A"},
    {"m_fileDuplicateAction", "e", "Ctrl+U"},
    {"m_viewShowLeftPaneAction", "cx", "Ctrl+L"},
    {"m_editOrderPropertiesAction", "", ""},
    {"m_editImagesAction", "e", ""},
    {"m_editTaskAction", "", "Ctrl+E"},
    {"m_viewZoomSelectedAction", "", "Ctrl+/"},
    {"m_viewShowOverlays", "ec", "Ctrl+."},
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

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void actionsCarryTheirShortcutsAndStates_data();
    void actionsCarryTheirShortcutsAndStates();
    void menusAndToolbarListTheirEntriesInOrder_data();
    void menusAndToolbarListTheirEntriesInOrder();
    void toolbarIconsAreReallyDrawn();
    void titleNamesTheVersionAndThePlanFile();
    void theWindowFitsTheScreen_data();
    void theWindowFitsTheScreen();
    void aPlanOfALaterVersionOpensWritableAfterOneWarning();
    void helpPagesOpenWithTheVersionQuery_data();
    void helpPagesOpenWithTheVersionQuery();
    void installPageOpensAtTheFirstExitOfAVersion();
    void planArgumentSkipsOptionsAndResolvesRelativePaths_data();
    void planArgumentSkipsOptionsAndResolvesRelativePaths();

private:
    QTemporaryDir m_folder;
    QString m_plan;
};

void TestMainWindow::initTestCase()
{
    m_plan = QDir::toNativeSeparators(m_folder.filePath("Plan.tv"));
    QVERIFY(writeTestPlan(m_plan, 3));
}

// Every window starts from no preferences, except those that keep the start-up quiet.
void TestMainWindow::init()
{
    presetQuietStartup(m_plan);
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
    window.show();
    // Wider than the test's screen, which the window fits itself into when it is first shown.
    window.resize(1449, 557);
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

// The form is wider than many screens; the toolbar's end must not be cut off. A stored geometry
// is kept where it still fits.
void TestMainWindow::theWindowFitsTheScreen_data()
{
    QTest::addColumn<QRect>("stored"); // null for none
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::newRow("first window, no stored geometry") << QRect();
    QTest::newRow("stored wider and taller than the screen")
        << QRect(area.left() + 50, area.top() + 20, area.width() + 600, area.height() + 100);
    QTest::newRow("stored where no screen is now")
        << QRect(area.right() + 3000, area.bottom() + 2000, area.width() / 2, area.height() / 2);
    QTest::newRow("stored inside the screen stays")
        << QRect(area.left() + 20, area.top() + 40, area.width() * 3 / 4, area.height() * 3 / 4);
}

void TestMainWindow::theWindowFitsTheScreen()
{
    QFETCH(QRect, stored);
    if (!stored.isNull()) {
        QWidget probe;
        probe.setGeometry(stored);
        settings()->write(Settings::Key::Geometry, probe.saveGeometry());
    }
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(area.contains(window.frameGeometry()));
    if (area.contains(stored))
        QCOMPARE(window.geometry(), stored);
    // The toolbar's last button is inside the window.
    auto *toolBar = window.findChild<QToolBar *>("m_mainToolBar");
    QVERIFY(window.rect().contains(toolBar->geometry()));
}

void TestMainWindow::titleNamesTheVersionAndThePlanFile()
{
    MainWindow window;
    QCOMPARE(window.fileName(), m_plan);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavrolo v2.4.1 : %1[*]").arg(m_plan));
    QVERIFY(!window.isWindowModified());
    // A plan opened read-only says so.
    QVERIFY(window.openFile(m_plan, true));
    QCOMPARE(window.windowTitle(),
             QStringLiteral("Tavrolo v2.4.1 : %1 [read-only][*]").arg(m_plan));
}

// The warning comes once the plan is shown, and the plan stays the user's to change.
void TestMainWindow::aPlanOfALaterVersionOpensWritableAfterOneWarning()
{
    const QString later = QDir::toNativeSeparators(m_folder.filePath("Later.tv"));
    QVERIFY(writeTestPlan(later, 4));
    QByteArray text = readBytes(later);
    QVERIFY(text.contains("<version value=\"14\"/>"));
    writeBytes(later, text.replace("<version value=\"14\"/>", "<version value=\"15\"/>"));
    MainWindow window;
    int cardsShown = -1;
    ModalAnswer warning(QStringLiteral("OK"), {}, [&](QWidget *) {
        cardsShown = window.findChild<CardsScene *>()->cardItems(false, false).size();
    });
    QVERIFY(window.openFile(later, false));
    QVERIFY(warning.answered());
    QCOMPARE(warning.shownText(),
             QStringLiteral("This plan was saved using a later version of Tavrolo. Making changes "
                            "with this version of Tavrolo may lose some of the data."));
    QCOMPARE(cardsShown, 4);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavrolo v2.4.1 : %1[*]").arg(later));
    doc()->addTask(true);
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(later), 5);
}

void TestMainWindow::helpPagesOpenWithTheVersionQuery_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("page"); // without the query
    const QString site = webSiteUrl();
    QTest::newRow("help, F1") << "m_helpTavroloAction" << site + "/help/v24/index.html";
    QTest::newRow("tips") << "m_helpTipsTavroloAction" << site + "/help/v24/tips.html";
    QTest::newRow("support") << "m_helpSupportAction" << site + "/support.html";
    QTest::newRow("newsletter") << "m_helpSubscribeToNewsletterAction" << site + "/subscribe.html";
    QTest::newRow("questions") << "m_helpFAQAction" << site + "/faq.html";
}

void TestMainWindow::helpPagesOpenWithTheVersionQuery()
{
    QFETCH(QString, action);
    QFETCH(QString, page);
    MainWindow window;
    QList<QUrl> opened;
    bool accept = true;
    const UrlOpenerFunction previous = setUrlOpener([&](const QUrl &url) {
        opened << url;
        return accept;
    });
    window.findChild<QAction *>(action)->trigger();
    QCOMPARE(opened, QList<QUrl> {QUrl(page + "?v=2_4_1")});
    // Without a browser the message names the page without the query.
    accept = false;
    ModalAnswer answer(QStringLiteral("OK"));
    window.findChild<QAction *>(action)->trigger();
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownText(),
             QStringLiteral("Unable to access: %1. Please check you have a working Internet "
                            "connection.")
                 .arg(page));
    // An address with a query of its own keeps it, and a fragment stays last.
    opened.clear();
    accept = true;
    QVERIFY(openUrlWithVersion("http://pages.example/guide?lang=de#start"));
    setUrlOpener(previous);
    QCOMPARE(opened, QList<QUrl> {QUrl("http://pages.example/guide?lang=de&v=2_4_1#start")});
}

void TestMainWindow::installPageOpensAtTheFirstExitOfAVersion()
{
    settings()->remove(Settings::installPageKey());
    QList<QUrl> opened;
    const UrlOpenerFunction previous = setUrlOpener([&](const QUrl &url) {
        opened << url;
        return true;
    });
    const int sessions = settings()->read(Settings::Key::Sessions).toInt();
    {
        MainWindow window;
    }
    {
        MainWindow window;
    }
    setUrlOpener(previous);
    QCOMPARE(opened, QList<QUrl> {QUrl(webSiteUrl() + "/mac_install.html?v=2_4_1")});
    QCOMPARE(settings()->read(Settings::Key::Sessions).toInt(), sessions + 2);
    QCOMPARE(settings()->read(Settings::Key::LastPlan).toString(), m_plan);
}

void TestMainWindow::planArgumentSkipsOptionsAndResolvesRelativePaths_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("plan");
    const QString here = QDir::currentPath();
    const auto native = [](const QString &path) { return QDir::toNativeSeparators(path); };
    QTest::newRow("none") << QStringList {"tavrolo"} << QString();
    QTest::newRow("absolute") << QStringList {"tavrolo", "/plans/a.tv"} << native("/plans/a.tv");
    QTest::newRow("relative, against the folder started in")
        << QStringList {"tavrolo", "samples/Project plan.tv"}
        << native(here + "/samples/Project plan.tv");
    QTest::newRow("options first")
        << QStringList {"tavrolo", "-style", "--reverse", "../b.tv", "c.tv"}
        << native(QDir::cleanPath(here + "/../b.tv"));
    QTest::newRow("only options") << QStringList {"tavrolo", "-platform"} << QString();
}

void TestMainWindow::planArgumentSkipsOptionsAndResolvesRelativePaths()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, plan);
    QCOMPARE(planArgument(arguments), plan);
}

TAVROLO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
