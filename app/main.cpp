#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/QuitSignals.h"

#include <QFont>

int main(int argc, char *argv[])
{
    QFont::insertSubstitution(QStringLiteral(".Lucida Grande UI"), QStringLiteral("Lucida Grande"));
    QFont::insertSubstitution(QStringLiteral(".Helvetica Neue DeskInterface"),
                              QStringLiteral("Helvetica Neue"));
    Application application(argc, argv);
    // The plan is saved when the session manager asks for it (PlanFileCommands); closing the
    // windows on top of that would quit before the session manager says so, and ask again.
    QGuiApplication::setFallbackSessionManagementEnabled(false);
    MainWindow window;
    window.show();
    QObject::connect(&application, &QApplication::lastWindowClosed, &application,
                     &QApplication::quit);
    // A logout, a shutdown, a closed terminal or Ctrl+C ends the program as File > Exit does.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &window,
                     &MainWindow::onQuitRequested);
    return application.exec();
}
