#include "app/RecentPlans.h"

#include "app/PlanFileNames.h"
#include "app/PlanFileState.h"
#include "common/app/Accessors.h"
#include "common/core/FileHelpers.h"
#include "common/widgets/Settings.h"

#include <algorithm>

#include <QAction>
#include <QDir>
#include <QMenu>

namespace {

const int maximumRecentDocs = 10;

} // namespace

RecentPlans::RecentPlans(const PlanFileState &planFile, QMenu *menu, QObject *parent)
    : QObject(parent), m_planFile(planFile), m_menu(menu)
{ }

void RecentPlans::load()
{
    m_recentDocs = settings()->read(Settings::Key::RecentDocs).toStringList();
}

void RecentPlans::add(const QString &path)
{
    QString entry = nativeAbsolutePath(path);
    // The same file may be listed in the other form, from before the preferences moved.
    const QString file = canonicalPath(entry);
    m_recentDocs.erase(std::remove_if(m_recentDocs.begin(), m_recentDocs.end(),
                                      [&file](const QString &listed) {
                                          return canonicalPath(absolutePath(listed)) == file;
                                      }),
                       m_recentDocs.end());
    if (settings()->isIniFormat())
        entry = relativePath(entry);
    m_recentDocs.prepend(entry);
    while (m_recentDocs.size() > maximumRecentDocs)
        m_recentDocs.removeLast();
    save();
    rebuildMenu();
}

void RecentPlans::save()
{
    settings()->write(Settings::Key::RecentDocs, m_recentDocs);
}

void RecentPlans::rebuildMenu()
{
    // The entry being chosen may be the one asking for the rebuild.
    const QList<QAction *> previous = m_menu->actions();
    for (QAction *action : previous) {
        m_menu->removeAction(action);
        action->deleteLater();
    }
    int added = 0;
    for (const QString &entry : qAsConst(m_recentDocs)) {
        // Entries may be relative to the application folder; the open plan is not offered.
        if (absolutePath(entry) == m_planFile.fileName)
            continue;
        // A "&" in a path is shown as it is, not taken for a shortcut marker.
        QAction *action = m_menu->addAction(
            QDir::toNativeSeparators(entry).replace(QLatin1Char('&'), QStringLiteral("&&")));
        // Some platform themes add shortcut markers to menu texts; the path travels apart.
        action->setData(entry);
        connect(action, &QAction::triggered, this, [this, action] { choose(action); });
        ++added;
    }
    if (added > 0) {
        m_menu->addSeparator();
        QAction *clearing = m_menu->addAction(tr("&Clear Menu"));
        connect(clearing, &QAction::triggered, this, &RecentPlans::clear);
    }
    m_menu->setEnabled(added > 0);
}

void RecentPlans::choose(QAction *entry)
{
    if (entry)
        emit openRequested(entry->data().toString());
}

void RecentPlans::clear()
{
    m_recentDocs.clear();
    save();
    rebuildMenu();
}
