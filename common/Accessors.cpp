#include "common/Accessors.h"

#include "app/Application.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <unistd.h>

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
    // Found by class name so that this library does not depend on the window's own.
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        if (widget->inherits("MainWindow"))
            return reinterpret_cast<MainWindow *>(widget);
    }
    return nullptr;
}

QIcon icon(const QString &name)
{
    return app()->icon(name);
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
