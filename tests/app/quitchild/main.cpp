// The program as main runs it, on the plan file named by the one argument, with a card added
// and not yet saved; tst_app_quitsignals starts it and sends it the signals that end a program
// from outside. It writes "edited" to its output once the edit is made.

#include "app/Application.h"
#include "app/MainLoop.h"
#include "app/MainWindow.h"
#include "harness/PlainTestMain.h"
#include "tests/app/MainWindowFixture.h"

#include <cstdio>

#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    QTemporaryDir home;
    if (!prepareTestHome(home))
        return 2;
    QDir(home.path()).mkpath(QStringLiteral("app"));
    Application::setAppDirOverride(home.path() + QStringLiteral("/app"));
    int applicationArgc = 1;
    Application application(applicationArgc, argv);
    presetQuietStartup(QString::fromLocal8Bit(argv[1]));
    return runMainWindow(application, [](MainWindow &window) {
        addTypedCard(QStringLiteral("Edited"));
        std::puts(window.isWindowModified() ? "edited" : "not edited");
        std::fflush(stdout);
    });
}
