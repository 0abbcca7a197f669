#include "leftpane/LeftPane.h"

#include "leftpane/Concertina.h"
#include "leftpane/HeaderButton.h"
#include "leftpane/LeftPaneWidget.h"

#include <algorithm>

#include <QKeyEvent>

LeftPane::LeftPane(QWidget *parent) : QScrollArea(parent)
{
    setWidgetResizable(true);
    m_concertina = new Concertina(this);
    setWidget(m_concertina);
    connect(m_concertina, &Concertina::sizeChanged, this, &LeftPane::onSizeChanged);
    connect(m_concertina, &Concertina::childOpened, this, &LeftPane::onChildOpened);
}

void LeftPane::setChildOpen(QWidget *panel, bool open)
{
    m_concertina->setChildOpen(panel, open);
}

QSize LeftPane::sizeHint() const
{
    return QScrollArea::sizeHint();
}

void LeftPane::onSizeChanged()
{
    // Hidden panels are closed sections and do not count: closing a wide section lets the
    // pane become narrower. Visibility is taken within the pane, so the width is right
    // already when the pane computes it before it is first shown.
    int width = 0;
    const QList<LeftPaneWidget *> panels = findChildren<LeftPaneWidget *>();
    for (const LeftPaneWidget *panel : panels) {
        if (panel->isVisibleTo(this))
            width = std::max(width, panel->sizeHint().width() + 10);
    }
    const QList<HeaderButton *> headers = findChildren<HeaderButton *>();
    for (const HeaderButton *header : headers) {
        if (header->isVisibleTo(this))
            width = std::max(width, header->sizeHint().width() + 10);
    }
    setMinimumWidth(width);
}

void LeftPane::onChildOpened(QWidget *w)
{
    if (w)
        ensureWidgetVisible(w, 50, 50);
}

void LeftPane::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        emit escapeKeyPressed();
    // Not the scroll area's handling: arrows and page keys must not scroll the pane, and the
    // key travels on to the parent widgets.
    QWidget::keyPressEvent(event);
}
