#include "PlainTestMain.h"

#include <memory>

#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>

bool prepareTestHome(const QTemporaryDir &home)
{
    if (!home.isValid())
        return false;
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
    return true;
}

int runPlainTest(int argc, char *argv[], QObject *(*makeTest)(), bool gui)
{
    QTemporaryDir home;
    if (!prepareTestHome(home))
        return 1;
    std::unique_ptr<QCoreApplication> application(gui ? new QGuiApplication(argc, argv)
                                                      : new QCoreApplication(argc, argv));
    QLocale::setDefault(QLocale::c());
    std::unique_ptr<QObject> test(makeTest());
    return QTest::qExec(test.get(), argc, argv);
}
