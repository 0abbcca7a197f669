#include "leftpane/HeaderButton.h"

#include <QPainter>
#include <QPixmap>

HeaderButton::HeaderButton(QWidget *parent, const QString &text, bool open)
    : QPushButton(text, parent), m_open(open)
{
    setCheckable(false);
    setChecked(false);
    QFont bold = font();
    bold.setWeight(QFont::Bold);
    setFont(bold);
    // Connected before the concertina's handler, which therefore sees the new state.
    connect(this, &QPushButton::clicked, this, &HeaderButton::onToggled);
}

void HeaderButton::onToggled()
{
    m_open = !m_open;
    repaint();
}

void HeaderButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    const QPixmap arrow(m_open ? QStringLiteral(":/pngs/opened_mac.png")
                               : QStringLiteral(":/pngs/closed_mac.png"));
    QPainter painter(this);
    painter.drawPixmap(10, (height() - arrow.height()) / 2, arrow);
}
