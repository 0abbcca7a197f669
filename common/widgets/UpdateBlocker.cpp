#include "common/widgets/UpdateBlocker.h"

#include <QWidget>

UpdateBlocker::UpdateBlocker(QWidget *widget) : m_widget(widget), m_blocked(false)
{
    if (m_widget && m_widget->updatesEnabled()) {
        m_widget->setUpdatesEnabled(false);
        m_blocked = true;
    }
}

UpdateBlocker::~UpdateBlocker()
{
    if (m_widget && m_blocked)
        m_widget->setUpdatesEnabled(true);
}
