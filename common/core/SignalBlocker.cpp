#include "common/core/SignalBlocker.h"

SignalBlocker::~SignalBlocker()
{
    for (const QPointer<QObject> &object : qAsConst(m_objects)) {
        if (object)
            object->blockSignals(false);
    }
}

void SignalBlocker::add(QObject *object)
{
    // An object blocked by somebody else stays that one's to unblock; this is also what
    // makes nested guards work.
    if (!object || object->signalsBlocked())
        return;
    m_objects.append(QPointer<QObject>(object));
    object->blockSignals(true);
}
