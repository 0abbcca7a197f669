#include "TestMain.h"

#include "app/Application.h"

#include <memory>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

int runTavroloTest(int argc, char *argv[], QObject *(*makeTest)())
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toUtf8());
    // Number and date texts follow the system locale; pin it so results match everywhere.
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir(home.path()).mkpath(QStringLiteral("Documents"));
    // The application folder decides whether the portable settings file is used; keep it
    // in the throw-away home rather than beside the test program.
    QDir(home.path()).mkpath(QStringLiteral("app"));
    Application::setAppDirOverride(home.path() + QStringLiteral("/app"));

    Application application(argc, argv);
    QLocale::setDefault(QLocale::c());
    std::unique_ptr<QObject> test(makeTest());
    return QTest::qExec(test.get(), argc, argv);
}
