#include "PlainTestMain.h"

#include <memory>

#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>

bool prepareTestHome(const QTemporaryDir &home)
{
    return home.isValid() && prepareTestHome(home.path());
}

bool prepareTestHome(const QString &home)
{
    if (home.isEmpty() || !QDir(home).exists())
        return false;
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home + QStringLiteral("/cache")).toUtf8());
    // Number and date texts follow the system locale; pin it so results match everywhere.
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir(home).mkpath(QStringLiteral("Documents"));
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
