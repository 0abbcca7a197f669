#include "model/Document.h"

#include <algorithm>

// The current view, the named stored views, the filter and the search.

void Document::addStoredView(const QString &name, bool withAppearance, bool undoable)
{
    announceChange(QStringLiteral("Add Stored View"), undoable);
    deleteStoredView(name, false);
    m_currentView.name = name;
    m_currentView.storeAppearance = withAppearance;
    if (withAppearance)
        m_currentView.appearance = m_cardsAppearance;
    const Slice stored = m_currentView;
    // Names do not count in view equality: the same settings under another name go too.
    m_storedViews.removeAll(stored);
    m_storedViews.append(stored);
    std::stable_sort(m_storedViews.begin(), m_storedViews.end());
    notifyChange(EventType::StoredViewsChanged, -1, -1, undoable);
}

void Document::deleteStoredView(const QString &name, bool undoable)
{
    announceChange(QStringLiteral("Delete View"), undoable);
    const QList<Slice> before = m_storedViews;
    for (const Slice &view : before) {
        if (view.name == name)
            m_storedViews.removeAll(view);
    }
    notifyChange(EventType::StoredViewsChanged, -1, -1, undoable);
}

void Document::changeView(const QString &name, bool undoable)
{
    announceChange(QStringLiteral("Change View"), undoable);
    for (const Slice &view : qAsConst(m_storedViews)) {
        if (view.name != name)
            continue;
        m_currentView = view;
        if (m_currentView.storeAppearance)
            m_cardsAppearance = view.appearance;
        break;
    }
    Events events;
    events.add(EventType::ViewChanged);
    if (m_currentView.storeAppearance)
        events.add(EventType::CardsAppearanceChanged);
    notifyChange(events, undoable);
}

bool Document::hasStoredView(const QString &name) const
{
    return std::any_of(m_storedViews.cbegin(), m_storedViews.cend(),
                       [&](const Slice &view) { return view.name == name; });
}

QString Document::currentStoredViewName() const
{
    for (const Slice &view : m_storedViews) {
        if (view == m_currentView)
            return view.name;
    }
    return QString();
}

QString Document::viewDescription() const
{
    const Slice &view = m_currentView;
    QStringList parts;
    if (view.xProperty > 0 && view.yProperty > 0)
        parts << QStringLiteral("%1 vs %2")
                     .arg(propertyName(view.xProperty), propertyName(view.yProperty));
    else if (view.xProperty > 0)
        parts << propertyName(view.xProperty);
    else if (view.yProperty > 0)
        parts << propertyName(view.yProperty);
    if (view.cardColorProperty > 0)
        parts << propertyName(view.cardColorProperty);
    if (view.totalProperty > 0)
        parts << propertyName(view.totalProperty);
    if (!view.filterTerms.isEmpty()) {
        const QString &firstValue = view.filterTerms.first().value;
        const QString showOrHide
            = view.filterShowsMatching ? QStringLiteral("Show") : QStringLiteral("Hide");
        if (!view.filterBasic)
            parts << QStringLiteral("Filtered");
        else if (!firstValue.isEmpty())
            parts << showOrHide + QStringLiteral(" \"") + firstValue + QLatin1Char('"');
    }
    const QString description = parts.join(QLatin1Char('/'));
    return description.isEmpty() ? QStringLiteral("unnamed") : description;
}

void Document::setFilter(bool basic, bool showMatching, bool matchAny,
                         const QList<FilterTerm> &terms, bool undoable, bool fullRefresh,
                         QObject *source)
{
    announceChange(QStringLiteral("Change Filter"), undoable);
    m_currentView.filterBasic = basic;
    m_currentView.filterShowsMatching = showMatching;
    m_currentView.filterMatchAny = matchAny;
    m_currentView.filterTerms = terms;
    Events events(source);
    events.add(fullRefresh ? EventType::ViewChanged : EventType::FilterChanged);
    notifyChange(events, undoable);
}

void Document::clearFilter(bool undoable)
{
    announceChange(QStringLiteral("Clear Filter"), undoable);
    m_currentView.filterTerms.clear();
    notifyChange(EventType::ViewChanged, -1, -1, undoable);
}

bool Document::allTasksFilteredOut() const
{
    for (TaskIndex task = 0; task < taskCount(); ++task) {
        if (taskPassesFilter(task))
            return false;
    }
    return true;
}

int Document::filteredOutTaskCount() const
{
    int count = 0;
    for (TaskIndex task = 0; task < taskCount(); ++task) {
        if (!taskPassesFilter(task))
            ++count;
    }
    return count;
}

void Document::setSearch(const QString &text, bool flag, bool notify, QObject *source)
{
    m_searchText = text.trimmed();
    m_searchFlag = flag;
    Events events(source);
    events.add(EventType::SearchChanged);
    notifyChange(events, notify);
}

void Document::emitChanged(int type)
{
    notifyChange(type, -1, -1, true);
}
