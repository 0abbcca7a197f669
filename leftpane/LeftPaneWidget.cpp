#include "leftpane/LeftPaneWidget.h"

LeftPaneWidget::LeftPaneWidget(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy = sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Minimum);
    policy.setHorizontalStretch(0);
    setSizePolicy(policy);
}
