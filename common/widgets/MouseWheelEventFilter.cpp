#include "common/widgets/MouseWheelEventFilter.h"

#include "common/widgets/Settings.h"
#include "common/widgets/WidgetContext.h"

#include <QComboBox>
#include <QEvent>

namespace {
// The "Does nothing" choice of the mouse wheel preference.
const int WheelDoesNothing = 3;
} // namespace

MouseWheelEventFilter::MouseWheelEventFilter(QObject *parent) : QObject(parent) { }

bool MouseWheelEventFilter::eventFilter(QObject *watched, QEvent *event)
{
    auto *combo = qobject_cast<QComboBox *>(watched);
    if (!combo)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        combo->setFocusPolicy(Qt::WheelFocus);
        break;
    case QEvent::FocusOut:
        combo->setFocusPolicy(Qt::StrongFocus);
        break;
    case QEvent::Wheel:
        if (WidgetContext::settings()->mouseWheelBehaviour() == WheelDoesNothing
            || combo->focusPolicy() != Qt::WheelFocus) {
            // Ignored, the wheel goes on to the enclosing pane, which scrolls.
            event->ignore();
            return true;
        }
        event->accept();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
