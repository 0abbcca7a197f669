#include "FuzzSupport.h"

#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>

namespace {

QTemporaryDir *scratch = nullptr;

// Broken inputs make Qt warn about every bad picture and font; the fuzzer's own report is
// what matters, so the warnings are dropped.
void dropMessage(QtMsgType, const QMessageLogContext &, const QString &) { }

} // namespace

void initializeFuzzApplication(int *argc, char ***argv)
{
    scratch = new QTemporaryDir;
    std::atexit([] { delete scratch; });
    const QString home = scratch->path();
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toUtf8());
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir(home).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", (home + QStringLiteral("/runtime")).toUtf8());
    qInstallMessageHandler(dropMessage);
    // Lives for the whole process, as in the program.
    new QGuiApplication(*argc, *argv);
    QLocale::setDefault(QLocale::c());
}
