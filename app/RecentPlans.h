#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
struct PlanFileState;

// The recent-files menu: the plans opened or saved last, newest first, at most ten, kept in the
// preference "recent_docs"; with the portable preferences file the paths are relative to the
// application folder, so that the list moves with the installation. The menu leaves out the
// open plan. The main window forwards its recent-files commands here and opens what
// openRequested asks for.
class RecentPlans : public QObject
{
    Q_OBJECT

public:
    RecentPlans(const PlanFileState &planFile, QMenu *menu, QObject *parent);

    QStringList entries() const { return m_recentDocs; }
    void load();
    // The path goes to the front of the list, in place of any other form of it.
    void add(const QString &path);
    void save();
    void rebuildMenu();
    // One of the menu's entries was chosen.
    void choose(QAction *entry);
    void clear();

signals:
    void openRequested(const QString &path);

private:
    const PlanFileState &m_planFile;
    QMenu *m_menu;
    QStringList m_recentDocs;
};
