#include "common/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
// Live guards of the whole program; only the GUI thread touches it.
int s_busyDepth = 0;
} // namespace

BusyCursor::BusyCursor()
{
    ++s_busyDepth;
    updateCursor();
}

BusyCursor::~BusyCursor()
{
    --s_busyDepth;
    updateCursor();
}

void BusyCursor::updateCursor()
{
    if (s_busyDepth >= 1) {
        if (!QGuiApplication::overrideCursor())
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}
