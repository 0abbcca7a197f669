#include "SettingsStores.h"

#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"

#include <QDir>
#include <QFile>

QString SettingsStores::platformStoreFolder()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Brenmoor");
}

bool SettingsStores::start()
{
    m_appFolder = std::make_unique<QTemporaryDir>();
    Application::setAppDirOverride(m_appFolder->path());
    if (settings()->isIniFormat() && !app()->useSystemSettings())
        return false;
    settings()->clear();
    return true;
}

void SettingsStores::finish() const
{
    QFile::remove(platformStoreFolder());
}

QString SettingsStores::appFilePath(const QString &name) const
{
    return m_appFolder->filePath(name);
}

QString SettingsStores::blockStore(bool portable) const
{
    const QString blocker
        = portable ? appFilePath(QStringLiteral("not_a_folder")) : platformStoreFolder();
    QDir(blocker).removeRecursively();
    if (!QFile(blocker).open(QIODevice::WriteOnly))
        return QString();
    return blocker;
}
