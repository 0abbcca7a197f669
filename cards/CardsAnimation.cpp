#include "cards/CardsAnimation.h"

#include "cards/CardItem.h"

#include <algorithm>

namespace {

// The steps between two values are those of Qt's own property animations, so that a card
// glides as it always has.
int step(int from, int to, double progress)
{
    return std::min(255, std::max(0, int(from + (to - from) * progress)));
}

QColor step(const QColor &from, const QColor &to, double progress)
{
    return QColor(step(from.red(), to.red(), progress), step(from.green(), to.green(), progress),
                  step(from.blue(), to.blue(), progress), step(from.alpha(), to.alpha(), progress));
}

} // namespace

CardsAnimation::CardsAnimation(const QVector<Change> &changes, int duration, QObject *parent)
    : QAbstractAnimation(parent), m_to(changes), m_duration(std::max(0, duration))
{
    m_from.reserve(changes.size());
    for (const Change &change : changes) {
        Change from = change;
        from.position = change.item->pos();
        from.background = change.item->bgColor();
        from.highlight = change.item->highlightColor();
        from.opacity = change.item->opacity();
        m_from.append(from);
    }
}

void CardsAnimation::apply(const Change &change)
{
    CardItem *item = change.item;
    if (change.parts & Change::Position)
        item->setPos(change.position);
    if (change.parts & Change::Background)
        item->setBgColor(change.background);
    if (change.parts & Change::Highlight)
        item->setHighlightColor(change.highlight);
    if (change.parts & Change::Opacity)
        item->setOpacity(change.opacity);
}

void CardsAnimation::updateCurrentTime(int currentTime)
{
    // The last frame lands exactly on the new values, not on a rounding of them.
    if (currentTime >= m_duration) {
        for (const Change &change : qAsConst(m_to))
            apply(change);
        return;
    }
    const double progress = m_easing.valueForProgress(double(currentTime) / m_duration);
    for (int i = 0; i < m_to.size(); ++i) {
        const Change &from = m_from.at(i);
        const Change &to = m_to.at(i);
        CardItem *item = to.item;
        if (to.parts & Change::Position)
            item->setPos(from.position + (to.position - from.position) * progress);
        if (to.parts & Change::Background)
            item->setBgColor(step(from.background, to.background, progress));
        if (to.parts & Change::Highlight)
            item->setHighlightColor(step(from.highlight, to.highlight, progress));
        if (to.parts & Change::Opacity)
            item->setOpacity(from.opacity + (to.opacity - from.opacity) * progress);
    }
}
