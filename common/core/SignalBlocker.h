#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

// Silences the signals of the objects added to it until the end of the scope, so that a
// pane filling its widgets from the plan is not mistaken for the user's choice.
class SignalBlocker
{
public:
    SignalBlocker() = default;
    ~SignalBlocker();
    SignalBlocker(const SignalBlocker &) = delete;
    SignalBlocker &operator=(const SignalBlocker &) = delete;

    void add(QObject *object);

private:
    QList<QPointer<QObject>> m_objects;
};
