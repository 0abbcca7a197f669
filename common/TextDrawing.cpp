#include "common/TextDrawing.h"

#include "app/Application.h"
#include "common/Accessors.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QSpacerItem>

void keyForValue(int &index, const QMap<int, int> &map)
{
    if (index <= 0)
        return;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (it.value() == index) {
            index = it.key();
            return;
        }
    }
    index = -1;
}

void cutAtEncodedNewline(QString &text)
{
    const int at = text.indexOf(QLatin1String("%0A"), 0, Qt::CaseInsensitive);
    if (at >= 0)
        text.truncate(at);
}

QString absolutePath(const QString &path)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    QString portable = path;
    // A portable settings file may have been written on another system.
    portable.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::toNativeSeparators(QDir::cleanPath(app()->appDir().absoluteFilePath(portable)));
}

QString relativePath(const QString &path)
{
    if (QDir::isRelativePath(path))
        return path;
    const QString relative = app()->appDir().relativeFilePath(QDir::fromNativeSeparators(path));
    return QDir::toNativeSeparators(relative);
}

bool isSpacerAction(const QAction *action)
{
    return action->isSeparator() || action->iconText() == QLatin1String("_spacer");
}

void wrapWithSpacers(QWidget *widget, QBoxLayout *layout, int topHeight, int bottomHeight,
                     int position)
{
    auto *column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    if (topHeight > 0)
        column->addItem(new QSpacerItem(0, topHeight, QSizePolicy::Fixed, QSizePolicy::Fixed));
    column->addWidget(widget);
    if (bottomHeight > 0)
        column->addItem(new QSpacerItem(0, bottomHeight, QSizePolicy::Fixed, QSizePolicy::Fixed));
    layout->insertLayout(position, column, 0);
}
