#include "app/MainLoop.h"

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/QuitSignals.h"

int runMainWindow(Application &application, const std::function<void(MainWindow &)> &ready)
{
    // The plan is saved when the session manager asks for it (PlanFileCommands); closing the
    // windows on top of that would quit before the session manager says so, and ask again.
    QGuiApplication::setFallbackSessionManagementEnabled(false);
    MainWindow window;
    window.show();
    QObject::connect(&application, &QApplication::lastWindowClosed, &application,
                     &QApplication::quit);
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &window,
                     &MainWindow::onQuitRequested);
    if (ready)
        ready(window);
    return application.exec();
}
