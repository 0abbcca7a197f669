#include "common/core/SavedWindowShapes.h"

#include <QDataStream>
#include <QSize>
#include <QString>

namespace {

// The marks QMainWindow::saveState writes before its version, its dock areas and its tool-bar
// areas (the tool bars with their geometry).
constexpr qint32 mainWindowStateMark = 0xff;
constexpr quint8 dockAreasMark = 0xfd;
constexpr quint8 toolBarAreasMark = 0xfc;
constexpr int toolBarAreaCount = 4;

// The geometry's mark and the lengths of its versions 1 to 3: each version adds to the one
// before it.
constexpr quint32 geometryMark = 0x1D9D0CB;
constexpr int geometryLengths[] = {46, 50, 66};

bool isDockCorner(qint32 corner)
{
    return corner == Qt::LeftDockWidgetArea || corner == Qt::RightDockWidgetArea
        || corner == Qt::TopDockWidgetArea || corner == Qt::BottomDockWidgetArea;
}

// The dock areas of a window without dock widgets: none, the central widget's size and the
// four corners' areas.
bool readDockAreas(QDataStream &in)
{
    qint32 docks = -1;
    QSize central;
    in >> docks >> central;
    if (docks != 0)
        return false;
    for (int corner = 0; corner < 4; ++corner) {
        qint32 area = 0;
        in >> area;
        if (!isDockCorner(area))
            return false;
    }
    return in.status() == QDataStream::Ok;
}

// The place and size of a floating tool bar as QToolBarAreaLayout packs them into two words:
// the lowest bit of the first marks a floating tool bar, then come x and y, each offset by
// 0x7fff, in 16 bits of their word, and above them the width (15 bits left) and the height.
bool isFloatingToolBar(quint32 first)
{
    return first & 1;
}

QRect floatingToolBarRect(quint32 first, quint32 second)
{
    first >>= 1;
    const int x = int(first & 0xffff) - 0x7fff;
    const int y = int(second & 0xffff) - 0x7fff;
    return QRect(x, y, int(first >> 16 & 0xffff), int(second >> 16 & 0xffff));
}

bool readToolBar(QDataStream &in, const QRect &desktop)
{
    QString name;
    quint8 shownAndOrientation = 0;
    qint32 position = 0;
    qint32 size = 0;
    quint32 packedGeometry[2] = {0, 0};
    in >> name >> shownAndOrientation >> position >> size >> packedGeometry[0] >> packedGeometry[1];
    if (in.status() != QDataStream::Ok || name.size() > maximumStoredToolBarNameLength
        || shownAndOrientation > 3)
        return false;
    if (!isFloatingToolBar(packedGeometry[0]))
        return true;
    const QRect floating = floatingToolBarRect(packedGeometry[0], packedGeometry[1]);
    return !floating.isEmpty() && desktop.contains(floating);
}

bool readToolBarAreas(QDataStream &in, const QRect &desktop)
{
    qint32 lines = -1;
    in >> lines;
    if (in.status() != QDataStream::Ok || lines < 0 || lines > maximumStoredToolBarLines)
        return false;
    for (int line = 0; line < lines; ++line) {
        qint32 area = -1;
        qint32 toolBars = -1;
        in >> area >> toolBars;
        if (in.status() != QDataStream::Ok || area < 0 || area >= toolBarAreaCount || toolBars < 0
            || toolBars > maximumStoredToolBarsPerLine)
            return false;
        for (int toolBar = 0; toolBar < toolBars; ++toolBar) {
            if (!readToolBar(in, desktop))
                return false;
        }
    }
    return true;
}

bool fitsDesktop(const QRect &rect, const QRect &desktop)
{
    // Read as the four edges they are stored as: widths are taken in 64 bits, so that edges
    // far apart can't overflow into a small window.
    const qint64 width = qint64(rect.right()) - rect.left() + 1;
    const qint64 height = qint64(rect.bottom()) - rect.top() + 1;
    return width > 0 && height > 0 && width <= 2 * qint64(desktop.width())
        && height <= 2 * qint64(desktop.height());
}

} // namespace

bool isRestorableWindowState(const QByteArray &state, int version, const QRect &desktop)
{
    QDataStream in(state);
    qint32 mark = 0;
    qint32 storedVersion = -1;
    in >> mark >> storedVersion;
    if (in.status() != QDataStream::Ok || mark != mainWindowStateMark || storedVersion != version)
        return false;
    bool docksRead = false;
    bool toolBarsRead = false;
    while (!in.atEnd()) {
        quint8 part = 0;
        in >> part;
        if (part == dockAreasMark && !docksRead) {
            docksRead = true;
            if (!readDockAreas(in))
                return false;
        } else if (part == toolBarAreasMark && !toolBarsRead) {
            toolBarsRead = true;
            if (!readToolBarAreas(in, desktop))
                return false;
        } else {
            return false;
        }
    }
    return in.status() == QDataStream::Ok;
}

bool isRestorableGeometry(const QByteArray &geometry, const QRect &desktop)
{
    QDataStream in(geometry);
    quint32 mark = 0;
    quint16 majorVersion = 0;
    quint16 minorVersion = 0;
    QRect frame;
    QRect normal;
    in >> mark >> majorVersion >> minorVersion >> frame >> normal;
    if (in.status() != QDataStream::Ok || mark != geometryMark || majorVersion < 1
        || majorVersion > 3 || geometry.size() != geometryLengths[majorVersion - 1])
        return false;
    if (!fitsDesktop(frame, desktop) || !fitsDesktop(normal, desktop))
        return false;
    if (majorVersion < 3)
        return true;
    qint32 screen = 0;
    quint8 maximized = 0;
    quint8 fullScreen = 0;
    qint32 screenWidth = 0;
    QRect inner;
    in >> screen >> maximized >> fullScreen >> screenWidth >> inner;
    return in.status() == QDataStream::Ok && fitsDesktop(inner, desktop);
}
