#pragma once

#include <QObject>

// Keeps the mouse wheel from changing a combo box that the user has not focused, so that
// scrolling a pane over its combo boxes scrolls the pane. Install it on each combo box.
class MouseWheelEventFilter : public QObject
{
public:
    explicit MouseWheelEventFilter(QObject *parent);

    bool eventFilter(QObject *watched, QEvent *event) override;
};
