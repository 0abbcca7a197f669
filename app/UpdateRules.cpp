#include "app/UpdateRules.h"

#include "common/core/TextHelpers.h"
#include "common/core/Version.h"
#include "common/widgets/Settings.h"

namespace {

const int neverIntervalIndex = 3;

} // namespace

bool isUpdateCheckDue(int sessions, int intervalIndex, const QDate &lastCheck, const QDate &today)
{
    if (sessions < 2 || intervalIndex == neverIntervalIndex)
        return false;
    if (!lastCheck.isValid())
        return true;
    return lastCheck.daysTo(today) >= Settings::autoUpdateIntervalDays(intervalIndex);
}

QMap<QString, QString> updateQueryParameters(bool automatic, const Settings &preferences)
{
    QMap<QString, QString> parameters;
    parameters.insert(QStringLiteral("f"),
                      automatic ? QString::number(
                          Settings::autoUpdateIntervalDays(preferences.autoUpdateInterval()))
                                : QStringLiteral("m"));
    parameters.insert(QStringLiteral("p"), osVersionText());
    parameters.insert(QStringLiteral("s"),
                      QString::number(preferences.read(Settings::Key::Sessions).toInt()));
    parameters.insert(QStringLiteral("v"), runningVersionText());
    return parameters;
}

QString runningVersionText()
{
    return QStringLiteral("%1.%2.%3").arg(versionMajor).arg(versionMinor).arg(versionPatch);
}
