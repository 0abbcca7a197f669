#include "properties/RowOrderButtons.h"

#include "common/app/Accessors.h"

#include <numeric>

#include <QAbstractButton>
#include <QItemSelectionModel>
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
    // One selection of whole rows, neighbours joined, instead of a row at a time: the list
    // may hold a property's every value, and each selected row would cost a pass over the
    // ones selected before it.
    QItemSelection selection;
    int current = -1;
    for (int row : rows) {
        if (row < 0 || row >= m_table->rowCount())
            continue;
        const QModelIndex index = m_table->model()->index(row, 0);
        if (!selection.isEmpty() && selection.last().bottom() == row - 1)
            selection.last() = QItemSelectionRange(selection.last().topLeft(), index);
        else
            selection.append(QItemSelectionRange(index));
        current = row;
    }
    QItemSelectionModel *model = m_table->selectionModel();
    // The last row listed is the current one, where the keyboard goes on from.
    if (current != -1)
        model->setCurrentIndex(m_table->model()->index(current, 0), QItemSelectionModel::NoUpdate);
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void RowOrderButtons::arrange(const QVector<int> &order)
{
    QVector<QTableWidgetItem *> items(order.size());
    {
        // The views hear of the new order once, with the repaint below.
        const QSignalBlocker modelSignals(m_table->model());
        for (int row = 0; row < order.size(); ++row)
            items[row] = m_table->takeItem(row, 0);
        for (int row = 0; row < order.size(); ++row)
            m_table->setItem(row, 0, items.at(order.at(row)));
    }
    m_table->viewport()->update();
}

QVector<int> RowOrderButtons::unchangedOrder() const
{
    QVector<int> order(m_table->rowCount());
    std::iota(order.begin(), order.end(), 0);
    return order;
}

QVector<int> RowOrderButtons::otherRows(const QList<int> &rows) const
{
    QVector<int> others;
    others.reserve(m_table->rowCount() - rows.size());
    for (int row = 0, next = 0; row < m_table->rowCount(); ++row) {
        if (next < rows.size() && rows.at(next) == row)
            ++next;
        else
            others.append(row);
    }
    return others;
}

// The rows moved keep their order among themselves, and so do the others.
void RowOrderButtons::onMoveTop()
{
    const QList<int> rows = selectedRows(m_table);
    arrange(rows.toVector() + otherRows(rows));
    QList<int> moved;
    for (int k = 0; k < rows.size(); ++k)
        moved.append(k);
    selectRows(moved);
}

void RowOrderButtons::onMoveUp()
{
    const QList<int> rows = selectedRows(m_table);
    if (rows.isEmpty() || rows.first() == 0)
        return;
    QVector<int> order = unchangedOrder();
    QList<int> moved;
    for (int row : rows) {
        std::swap(order[row - 1], order[row]);
        moved.append(row - 1);
    }
    arrange(order);
    selectRows(moved);
}

void RowOrderButtons::onMoveDown()
{
    const QList<int> rows = selectedRows(m_table);
    if (rows.isEmpty() || rows.last() == m_table->rowCount() - 1)
        return;
    QVector<int> order = unchangedOrder();
    QList<int> moved;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        std::swap(order[*row], order[*row + 1]);
        moved.prepend(*row + 1);
    }
    arrange(order);
    selectRows(moved);
}

void RowOrderButtons::onMoveBottom()
{
    const QList<int> rows = selectedRows(m_table);
    arrange(otherRows(rows) + rows.toVector());
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
