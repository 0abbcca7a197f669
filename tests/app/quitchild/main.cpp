// The program as main builds it, on the plan file named by the one argument, with a card added
// and not yet saved; tst_app_quitsignals starts it and sends it the signals that end a program
// from outside. It writes "edited" to its output once the edit is made.

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/QuitSignals.h"
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
    // From here on as in main.
    MainWindow window;
    window.show();
    QObject::connect(&application, &QApplication::lastWindowClosed, &application,
                     &QApplication::quit);
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &window,
                     &MainWindow::onQuitRequested);
    addTypedCard(QStringLiteral("Edited"));
    if (!window.isWindowModified())
        return 2;
    std::puts("edited");
    std::fflush(stdout);
    return application.exec();
}
