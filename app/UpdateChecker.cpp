#include "app/UpdateChecker.h"

#include "app/CheckUpdatesDlg.h"
#include "app/HttpLoader.h"
#include "app/UpdateRules.h"
#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/core/TextHelpers.h"
#include "common/core/Version.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"

#include <algorithm>

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QDomDocument>
#include <QUrl>

namespace {

const int updateRounds = 5;

QString &serverAddressOverride()
{
    static QString address;
    return address;
}

QString productName()
{
    return QStringLiteral("Tavrolo");
}

// Only a web page is handed to the desktop: another scheme could open a local file or start
// a program registered for it.
bool isWebPage(const QString &address)
{
    const QUrl url(address, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

// Three whole numbers joined by points; empty parts (".2..4.1.") do not count.
bool readVersion(const QString &text, int numbers[3])
{
    const QStringList parts = text.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        numbers[i] = parts.at(i).toInt(&ok, 10);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

UpdateChecker::UpdateChecker(QAction *checkCommand, QWidget *window)
    : QObject(window), m_checkCommand(checkCommand), m_window(window)
{ }

QString UpdateChecker::updateServerAddress()
{
    if (!serverAddressOverride().isEmpty())
        return serverAddressOverride();
    QUrl site(webSiteUrl());
    site.setScheme(QStringLiteral("https"));
    return site.toString();
}

void UpdateChecker::setUpdateServerAddress(const QString &address)
{
    serverAddressOverride() = address;
}

void UpdateChecker::startAutomaticCheck()
{
    const Settings *preferences = settings();
    if (isUpdateCheckDue(preferences->read(Settings::Key::Sessions).toInt(),
                         preferences->autoUpdateInterval(), preferences->lastUpdatedCheck(),
                         QDate::currentDate())) {
        QCoreApplication::postEvent(m_window, new QEvent(checkDueEvent));
        return;
    }
    emit noCheckDue();
}

// Every slot of the window may run while the answer is awaited: the command is disabled
// meanwhile, and a window closed during the wait ends the check without a word.
void UpdateChecker::checkForUpdates(bool automatic)
{
    if (m_checking)
        return;
    m_checking = true;
    m_cancelled = false;
    m_checkCommand->setEnabled(false);
    QString answer;
    {
        BusyCursor busy;
        // A failed check postpones the next automatic one all the same.
        settings()->setLastUpdatedCheck(QDate::currentDate());
        settings()->sync();
        QPointer<CheckUpdatesDlg> busyWindow = new CheckUpdatesDlg(m_window);
        busyWindow->setMessage(automatic
                                   ? tr("Automatically checking for %1 software "
                                        "updates\n(you can change this in the Preferences "
                                        "window)")
                                         .arg(productName())
                                   : tr("Checking for %1 software updates").arg(productName()));
        busyWindow->updateGeometry();
        busyWindow->show();
        busyWindow->setFixedSize(busyWindow->size());
        answer = HttpLoader::download(updateServerAddress() + QStringLiteral("/updates.php"),
                                      updateQueryParameters(automatic, *settings()), updateRounds,
                                      &m_loader);
        delete busyWindow;
    }
    m_checking = false;
    m_checkCommand->setEnabled(true);
    if (m_cancelled)
        return;
    showAnswer(answer);
}

void UpdateChecker::cancel()
{
    if (!m_checking)
        return;
    m_cancelled = true;
    if (m_loader)
        m_loader->cancel();
}

void UpdateChecker::showAnswer(const QString &answer)
{
    if (answer.isEmpty()) {
        criticalMessage(m_window,
                        tr("Unable to retrieve updates information. Please ensure you have "
                           "a working Internet connection and your firewall is not "
                           "blocking %1. You can check for updates manually at:\n%2")
                            .arg(productName(), webSiteUrl()));
        return;
    }
    QDomDocument xml;
    QString error;
    int line = 0;
    int column = 0;
    if (!xml.setContent(answer, &error, &line, &column)) {
        qWarning().noquote() << QStringLiteral("errMsg=") + error;
        qWarning().noquote() << QStringLiteral("errLine=") + QString::number(line);
        qWarning().noquote() << QStringLiteral("errCol=") + QString::number(column);
        criticalMessage(m_window, tr("Unable to retrieve update information."));
        return;
    }
    const QDomElement latest = xml.documentElement()
                                   .firstChildElement(QStringLiteral("mac"))
                                   .firstChildElement(QStringLiteral("latest"));
    const QString version = fromPercentEncoding(latest.attribute(QStringLiteral("version")));
    const QString url = fromPercentEncoding(latest.attribute(QStringLiteral("url")));
    int numbers[3] = {0, 0, 0};
    if (!isWebPage(url) || !readVersion(version, numbers)) {
        criticalMessage(m_window, tr("Unable to retrieve latest version information."));
        return;
    }
    const int running[3] = {versionMajor, versionMinor, versionPatch};
    const bool newer = std::lexicographical_compare(running, running + 3, numbers, numbers + 3);
    const bool equal = std::equal(numbers, numbers + 3, running);
    if (newer) {
        const QString text = tr("New version available!\nYou are using v%1. The latest "
                                "production version is v%2.")
                                 .arg(runningVersionText(), version)
            + tr("\nClick \"OK\" to go to the download page and find out more.");
        if (messageBox(m_window, QMessageBox::Information, text,
                       QMessageBox::Ok | QMessageBox::Cancel)
                == QMessageBox::Ok
            && !openUrlWithVersion(url))
            messageBox(m_window, QMessageBox::Critical,
                       tr("Unable to access via web browser\n'%1'").arg(url));
    } else if (equal) {
        const QString text = tr("You are using v%1. This is the latest production version.")
                                 .arg(runningVersionText());
        if (settings()->read(Settings::Key::ShowInfoLatestVersion).toBool()) {
            informationWithDontShowAgain(m_window, "show_info_latest_version", text);
        } else {
            // The user asked for no box: a glimpse of the answer in the busy window.
            CheckUpdatesDlg glimpse(m_window);
            glimpse.setMessage(text);
            glimpse.show();
            glimpse.setFixedSize(glimpse.size());
            QCoreApplication::processEvents();
            sleepMicroseconds(2000);
        }
    } else {
        messageBox(m_window, QMessageBox::Information,
                   tr("You are using v%1. The latest production version is v%2.")
                       .arg(runningVersionText(), version));
    }
}
