#include "properties/RowOrderButtons.h"

#include "common/app/Accessors.h"
#include "common/widgets/UpdateBlocker.h"

#include <QAbstractButton>
#include <QTableWidget>

RowOrderButtons::RowOrderButtons(QTableWidget *table, QAbstractButton *top, QAbstractButton *up,
                                 QAbstractButton *down, QAbstractButton *bottom,
                                 QAbstractButton *sortByName, QObject *parent)
    : QObject(parent), m_table(table), m_top(top), m_up(up), m_down(down), m_bottom(bottom)
{
    m_up->setIcon(icon(QStringLiteral("arrow_up_32.png")));
    m_down->setIcon(icon(QStringLiteral("arrow_down_32.png")));
    m_top->setIcon(icon(QStringLiteral("arrow_top_32.png")));
    m_bottom->setIcon(icon(QStringLiteral("arrow_bottom_32.png")));
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &RowOrderButtons::onUpdateButtons);
    connect(m_top, &QAbstractButton::clicked, this, &RowOrderButtons::onMoveTop);
    connect(m_up, &QAbstractButton::clicked, this, &RowOrderButtons::onMoveUp);
    connect(m_down, &QAbstractButton::clicked, this, &RowOrderButtons::onMoveDown);
    connect(m_bottom, &QAbstractButton::clicked, this, &RowOrderButtons::onMoveBottom);
    connect(sortByName, &QAbstractButton::clicked, this, &RowOrderButtons::onSortByName);
}

void RowOrderButtons::selectRows(const QList<int> &rows)
{
    const QAbstractItemView::SelectionMode mode = m_table->selectionMode();
    m_table->setSelectionMode(QAbstractItemView::MultiSelection);
    m_table->clearSelection();
    for (int row : rows) {
        if (row >= 0 && row < m_table->rowCount())
            m_table->selectRow(row);
    }
    m_table->setSelectionMode(mode);
}

void RowOrderButtons::swapRows(int first, int second)
{
    QTableWidgetItem *firstItem = m_table->takeItem(first, 0);
    QTableWidgetItem *secondItem = m_table->takeItem(second, 0);
    m_table->setItem(first, 0, secondItem);
    m_table->setItem(second, 0, firstItem);
}

void RowOrderButtons::onMoveTop()
{
    UpdateBlocker blocker(m_table);
    const QList<int> rows = selectedRows(m_table);
    QList<int> moved;
    for (int k = 0; k < rows.size(); ++k) {
        // The rows moved so far came from above this one and went above it again.
        const int row = rows.at(k);
        QTableWidgetItem *item = m_table->takeItem(row, 0);
        m_table->insertRow(k);
        m_table->setItem(k, 0, item);
        m_table->removeRow(row + 1);
        moved.append(k);
    }
    selectRows(moved);
}

void RowOrderButtons::onMoveUp()
{
    const QList<int> rows = selectedRows(m_table);
    if (rows.isEmpty() || rows.first() == 0)
        return;
    UpdateBlocker blocker(m_table);
    QList<int> moved;
    for (int row : rows) {
        swapRows(row - 1, row);
        moved.append(row - 1);
    }
    selectRows(moved);
}

void RowOrderButtons::onMoveDown()
{
    const QList<int> rows = selectedRows(m_table);
    if (rows.isEmpty() || rows.last() == m_table->rowCount() - 1)
        return;
    UpdateBlocker blocker(m_table);
    QList<int> moved;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        swapRows(*row, *row + 1);
        moved.prepend(*row + 1);
    }
    selectRows(moved);
}

void RowOrderButtons::onMoveBottom()
{
    UpdateBlocker blocker(m_table);
    const QList<int> rows = selectedRows(m_table);
    for (int k = 0; k < rows.size(); ++k) {
        // Each row moved before this one stood above it, so it has come up by k.
        const int row = rows.at(k) - k;
        QTableWidgetItem *item = m_table->takeItem(row, 0);
        const int last = m_table->rowCount();
        m_table->insertRow(last);
        m_table->setItem(last, 0, item);
        m_table->removeRow(row);
    }
    QList<int> moved;
    for (int row = m_table->rowCount() - rows.size(); row < m_table->rowCount(); ++row)
        moved.append(row);
    selectRows(moved);
}

void RowOrderButtons::onSortByName()
{
    m_table->sortItems(0, Qt::AscendingOrder);
    m_table->setFocus();
    onUpdateButtons();
}

void RowOrderButtons::onUpdateButtons()
{
    const QList<int> rows = selectedRows(m_table);
    const bool canRise = !rows.isEmpty() && rows.first() != 0;
    const bool canSink = !rows.isEmpty() && rows.last() != m_table->rowCount() - 1;
    m_top->setEnabled(canRise);
    m_up->setEnabled(canRise);
    m_down->setEnabled(canSink);
    m_bottom->setEnabled(canSink);
}
