#include "common/core/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QList>

namespace {
// Live guards of the whole program; only the GUI thread touches it.
int s_busyDepth = 0;

QCursor waitCursor()
{
    return QCursor(Qt::WaitCursor);
}
} // namespace

BusyCursor::BusyCursor()
{
    if (s_busyDepth++ == 0)
        QGuiApplication::setOverrideCursor(waitCursor());
}

BusyCursor::~BusyCursor()
{
    if (--s_busyDepth == 0)
        removeOverrideCursor(waitCursor());
}

bool removeOverrideCursor(const QCursor &cursor)
{
    // Qt offers only the top of the stack: lift the entries above the wanted one and put them
    // back. Nothing is shown in between, as no event is processed.
    QList<QCursor> above;
    bool found = false;
    while (const QCursor *top = QGuiApplication::overrideCursor()) {
        const bool match = *top == cursor;
        if (!match)
            above.prepend(*top);
        QGuiApplication::restoreOverrideCursor();
        if (match) {
            found = true;
            break;
        }
    }
    for (const QCursor &entry : qAsConst(above))
        QGuiApplication::setOverrideCursor(entry);
    return found;
}
