#include "common/Accessors.h"

#include "app/Application.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <unistd.h>

#include <QDir>
#include <QTableWidget>

Application *app()
{
    return static_cast<Application *>(QCoreApplication::instance());
}

Document *doc()
{
    return app()->document();
}

Settings *settings()
{
    return app()->settings();
}

MainWindow *mainWindow()
{
    return app()->mainWindow();
}

QIcon icon(const QString &name)
{
    return app()->icon(name);
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

QList<int> selectedRows(const QTableWidget *table)
{
    QList<int> rows;
    const int lastColumn = table->columnCount() - 1;
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    for (const QTableWidgetSelectionRange &range : ranges) {
        if (range.leftColumn() != 0 || range.rightColumn() != lastColumn)
            continue;
        for (int row = range.topRow(); row <= range.bottomRow(); ++row)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int sumOfList(const QList<int> &values)
{
    return std::accumulate(values.cbegin(), values.cend(), 0);
}

int randomInt(int n)
{
    const float scaled = static_cast<float>(std::rand()) * static_cast<float>(n) * 0x1p-31f;
    const int result = static_cast<int>(scaled);
    return result >= n ? n - 1 : result;
}

void sleepMicroseconds(unsigned int microseconds)
{
    usleep(microseconds);
}
