#pragma once

class QWidget;

// Suspends a widget's repaints during a long series of changes and restores them at the end
// of the scope, unless they were already off when the guard began.
class UpdateBlocker
{
public:
    explicit UpdateBlocker(QWidget *widget);
    virtual ~UpdateBlocker();
    UpdateBlocker(const UpdateBlocker &) = delete;
    UpdateBlocker &operator=(const UpdateBlocker &) = delete;

private:
    QWidget *m_widget;
    bool m_blocked;
};
