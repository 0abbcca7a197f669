#include "common/app/Accessors.h"

#include "app/Application.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <unistd.h>

#include <QDir>
#include <QTableWidget>
#include <QVector>

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
    // What counts is what the user sees: a hidden column (the Table's card index) need not be
    // selected, and a row hidden by a filter is never taken, even where a Shift+click or a
    // drag reached over it.
    QVector<int> shownColumns;
    for (int column = 0; column < table->columnCount(); ++column) {
        if (!table->isColumnHidden(column))
            shownColumns.append(column);
    }
    if (shownColumns.isEmpty())
        return {};
    const int firstShown = shownColumns.first();
    const int lastShown = shownColumns.last();
    QList<int> rows;
    // Ranges over part of the width may make a whole row together (Ctrl+drags over its halves).
    QList<QTableWidgetSelectionRange> partial;
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    for (const QTableWidgetSelectionRange &range : ranges) {
        if (range.leftColumn() > firstShown || range.rightColumn() < lastShown) {
            partial.append(range);
            continue;
        }
        for (int row = range.topRow(); row <= range.bottomRow(); ++row) {
            if (!table->isRowHidden(row))
                rows.append(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const auto covered = [&](int row, int column) {
        return std::any_of(partial.cbegin(), partial.cend(),
                           [&](const QTableWidgetSelectionRange &range) {
                               return range.topRow() <= row && row <= range.bottomRow()
                                   && range.leftColumn() <= column && column <= range.rightColumn();
                           });
    };
    // Most partial selections leave a column untouched in every row: nothing to piece together.
    const bool everyColumnReached
        = std::all_of(shownColumns.cbegin(), shownColumns.cend(), [&](int column) {
              return std::any_of(
                  partial.cbegin(), partial.cend(), [&](const QTableWidgetSelectionRange &range) {
                      return range.leftColumn() <= column && column <= range.rightColumn();
                  });
          });
    if (!everyColumnReached)
        return rows;
    QList<int> pieced;
    for (const QTableWidgetSelectionRange &range : qAsConst(partial)) {
        for (int row = range.topRow(); row <= range.bottomRow(); ++row) {
            if (table->isRowHidden(row) || std::binary_search(rows.cbegin(), rows.cend(), row))
                continue;
            const bool whole = std::all_of(shownColumns.cbegin(), shownColumns.cend(),
                                           [&](int column) { return covered(row, column); });
            if (whole)
                pieced.append(row);
        }
    }
    rows += pieced;
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
