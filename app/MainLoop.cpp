#include "app/MainLoop.h"

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/QuitSignals.h"

MainLoopEnd runMainWindow(Application &application, const std::function<void(MainWindow &)> &ready)
{
    // The plan is saved when the session manager asks for it (PlanFileCommands); closing the
    // windows on top of that would quit before the session manager says so, and ask again.
    QGuiApplication::setFallbackSessionManagementEnabled(false);
    MainWindow window;
    window.show();
    QObject::connect(&application, &QApplication::lastWindowClosed, &application,
                     &QApplication::quit);
    QuitSignals quitSignals;
    MainLoopEnd end;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &window, [&] {
        if (!window.onQuitRequested())
            return;
        end.quitSignal = quitSignals.lastSignal();
        // Another window still shown would keep the program running for good.
        QCoreApplication::quit();
    });
    if (ready)
        ready(window);
    end.exitCode = application.exec();
    return end;
}

int endProgram(const MainLoopEnd &end)
{
    QuitSignals::endBySignal(end.quitSignal);
    return end.exitCode;
}
