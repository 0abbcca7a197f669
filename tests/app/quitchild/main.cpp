// The program as main runs it, on the plan file named by the first argument, with an edit not
// yet saved; tst_app_quitsignals starts it and sends it the signals that end a program from
// outside. The second argument, when given, says what else the user left it doing:
//   "cell"               the Table tab shown, the first card's name typed into its cell editor
//                        ("Typed in cell"), not entered
//   "full screen N"      tab N (0 Cards, 1 Charts, 2 Table, 3 Properties) alone in full screen
// It writes "edited" to its output once the edit is made.

#include "app/Application.h"
#include "app/MainLoop.h"
#include "app/MainWindow.h"
#include "harness/PlainTestMain.h"
#include "table/TableView.h"
#include "tests/app/MainWindowFixture.h"

#include <cstdio>

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

// The user's edit, and what they left the window doing; false when the window does not let it.
bool leaveEdited(MainWindow &window, const QString &doing)
{
    auto *tabs = window.findChild<QTabWidget *>();
    if (doing == QLatin1String("cell")) {
        tabs->setCurrentIndex(2);
        auto *table = window.findChild<TableView *>();
        table->setCurrentCell(0, 1);
        table->editItem(table->item(0, 1));
        auto *editor = qobject_cast<QLineEdit *>(table->cellWidget(0, 1));
        if (!editor)
            return false;
        editor->selectAll();
        editor->insert(QStringLiteral("Typed in cell"));
        return !window.isWindowModified();
    }
    addTypedCard(QStringLiteral("Edited"));
    if (doing.startsWith(QLatin1String("full screen "))) {
        tabs->setCurrentIndex(doing.section(QLatin1Char(' '), 2).toInt());
        window.findChild<QAction *>(QStringLiteral("m_viewFullScreenAction"))->setChecked(true);
        if (window.isVisible())
            return false;
    }
    return window.isWindowModified();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2 && argc != 3)
        return 2;
    const QString doing = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    MainLoopEnd end;
    {
        QTemporaryDir home;
        if (!prepareTestHome(home))
            return 2;
        QDir(home.path()).mkpath(QStringLiteral("app"));
        Application::setAppDirOverride(home.path() + QStringLiteral("/app"));
        int applicationArgc = 1;
        Application application(applicationArgc, argv);
        presetQuietStartup(QString::fromLocal8Bit(argv[1]));
        end = runMainWindow(application, [&doing](MainWindow &window) {
            std::puts(leaveEdited(window, doing) ? "edited" : "not edited");
            std::fflush(stdout);
        });
    }
    return endProgram(end);
}
