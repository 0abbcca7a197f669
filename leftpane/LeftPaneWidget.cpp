#include "leftpane/LeftPaneWidget.h"

#include "model/Events.h"

LeftPaneWidget::LeftPaneWidget(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy = sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Minimum);
    policy.setHorizontalStretch(0);
    setSizePolicy(policy);
}

void LeftPaneWidget::followStyle(const Events &events)
{
    if (events.any(EventFlag::UiStyleChanged))
        setIcons();
}
