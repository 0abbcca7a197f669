#include "app/Application.h"
#include "app/MainWindow.h"

#include <QFont>

int main(int argc, char *argv[])
{
    QFont::insertSubstitution(QStringLiteral(".Lucida Grande UI"), QStringLiteral("Lucida Grande"));
    QFont::insertSubstitution(QStringLiteral(".Helvetica Neue DeskInterface"),
                              QStringLiteral("Helvetica Neue"));
    Application application(argc, argv);
    MainWindow window;
    window.show();
    QObject::connect(&application, &QApplication::lastWindowClosed, &application,
                     &QApplication::quit);
    return application.exec();
}
