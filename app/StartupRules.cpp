#include "app/StartupRules.h"

#include "common/core/Version.h"

#include <QDir>
#include <QFileInfo>

QString planArgument(const QStringList &arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument.isEmpty() || argument.startsWith(QLatin1Char('-')))
            continue;
        return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(argument).absoluteFilePath()));
    }
    return QString();
}

QString samplesOfferKey(int major, int minor, int patch)
{
    return QStringLiteral("samples/samples_deployed_for_v%1%2%3").arg(major).arg(minor).arg(patch);
}

QString samplesOfferKey()
{
    return samplesOfferKey(versionMajor, versionMinor, versionPatch);
}
