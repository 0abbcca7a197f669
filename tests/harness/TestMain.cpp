#include "TestMain.h"

#include "app/Application.h"

#include <memory>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

int runTavroloTest(int argc, char *argv[], QObject *(*makeTest)())
{
    QTemporaryDir home;
    if (!prepareTestHome(home))
        return 1;
    // The application folder decides whether the portable settings file is used; keep it
    // in the throw-away home rather than beside the test program.
    QDir(home.path()).mkpath(QStringLiteral("app"));
    Application::setAppDirOverride(home.path() + QStringLiteral("/app"));

    // The application sees only the program's name: the test's own arguments (function names,
    // QtTest options) would otherwise be taken for a plan to open at start-up.
    int applicationArgc = 1;
    Application application(applicationArgc, argv);
    QLocale::setDefault(QLocale::c());
    std::unique_ptr<QObject> test(makeTest());
    return QTest::qExec(test.get(), argc, argv);
}
