#include "properties/PropertyOrderDialog.h"

#include "common/Accessors.h"
#include "common/DialogHelpers.h"
#include "common/UpdateBlocker.h"
#include "model/Document.h"
#include "ui_PropertyOrderDialog.h"

namespace {

// Each row's item keeps the index its property has in the plan. A plan file may hold two
// names that differ only in letter case, so a name does not always lead back to its property.
constexpr int PropertyIndexRole = Qt::UserRole;

} // namespace

PropertyOrderDialog::PropertyOrderDialog(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::PropertyOrderDialog)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    m_ui->m_upButton->setIcon(icon(QStringLiteral("arrow_up_32.png")));
    m_ui->m_downButton->setIcon(icon(QStringLiteral("arrow_down_32.png")));
    m_ui->m_topButton->setIcon(icon(QStringLiteral("arrow_top_32.png")));
    m_ui->m_bottomButton->setIcon(icon(QStringLiteral("arrow_bottom_32.png")));

    const Document *plan = doc();
    QTableWidget *table = m_ui->m_orderingTable;
    const QList<int> properties = plan->propertyIndexes(false);
    table->setRowCount(properties.size());
    for (int row = 0; row < properties.size(); ++row) {
        auto *item = new QTableWidgetItem(plan->propertyName(properties.at(row)));
        item->setData(PropertyIndexRole, properties.at(row));
        table->setItem(row, 0, item);
    }

    connect(table, &QTableWidget::itemSelectionChanged, this,
            &PropertyOrderDialog::onUpdateUpDownButtons);
    connect(m_ui->m_topButton, &QToolButton::clicked, this, &PropertyOrderDialog::onMoveTop);
    connect(m_ui->m_upButton, &QToolButton::clicked, this, &PropertyOrderDialog::onMoveUp);
    connect(m_ui->m_downButton, &QToolButton::clicked, this, &PropertyOrderDialog::onMoveDown);
    connect(m_ui->m_bottomButton, &QToolButton::clicked, this, &PropertyOrderDialog::onMoveBottom);
    connect(m_ui->m_alphaSortButton, &QPushButton::clicked, this,
            &PropertyOrderDialog::onAlphaSort);
    // Selecting runs onUpdateUpDownButtons, which also covers an empty list.
    onUpdateUpDownButtons();
    selectRows({0});
    table->setFocus();
}

PropertyOrderDialog::~PropertyOrderDialog()
{
    delete m_ui;
}

void PropertyOrderDialog::selectRows(const QList<int> &rows)
{
    QTableWidget *table = m_ui->m_orderingTable;
    const QAbstractItemView::SelectionMode mode = table->selectionMode();
    table->setSelectionMode(QAbstractItemView::MultiSelection);
    table->clearSelection();
    for (int row : rows) {
        if (row >= 0 && row < table->rowCount())
            table->selectRow(row);
    }
    table->setSelectionMode(mode);
}

void PropertyOrderDialog::swapRows(int first, int second)
{
    QTableWidget *table = m_ui->m_orderingTable;
    QTableWidgetItem *firstItem = table->takeItem(first, 0);
    QTableWidgetItem *secondItem = table->takeItem(second, 0);
    table->setItem(first, 0, secondItem);
    table->setItem(second, 0, firstItem);
}

void PropertyOrderDialog::onMoveTop()
{
    QTableWidget *table = m_ui->m_orderingTable;
    UpdateBlocker blocker(table);
    const QList<int> rows = selectedRows(table);
    QList<int> moved;
    for (int k = 0; k < rows.size(); ++k) {
        // The rows moved so far came from above this one and went above it again.
        const int row = rows.at(k);
        QTableWidgetItem *item = table->takeItem(row, 0);
        table->insertRow(k);
        table->setItem(k, 0, item);
        table->removeRow(row + 1);
        moved.append(k);
    }
    selectRows(moved);
}

void PropertyOrderDialog::onMoveUp()
{
    QTableWidget *table = m_ui->m_orderingTable;
    const QList<int> rows = selectedRows(table);
    if (rows.isEmpty() || rows.first() == 0)
        return;
    UpdateBlocker blocker(table);
    QList<int> moved;
    for (int row : rows) {
        swapRows(row - 1, row);
        moved.append(row - 1);
    }
    selectRows(moved);
}

void PropertyOrderDialog::onMoveDown()
{
    QTableWidget *table = m_ui->m_orderingTable;
    const QList<int> rows = selectedRows(table);
    if (rows.isEmpty() || rows.last() == table->rowCount() - 1)
        return;
    UpdateBlocker blocker(table);
    QList<int> moved;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        swapRows(*row, *row + 1);
        moved.prepend(*row + 1);
    }
    selectRows(moved);
}

void PropertyOrderDialog::onMoveBottom()
{
    QTableWidget *table = m_ui->m_orderingTable;
    UpdateBlocker blocker(table);
    const QList<int> rows = selectedRows(table);
    for (int k = 0; k < rows.size(); ++k) {
        // Each row moved before this one stood above it, so it has come up by k.
        const int row = rows.at(k) - k;
        QTableWidgetItem *item = table->takeItem(row, 0);
        const int last = table->rowCount();
        table->insertRow(last);
        table->setItem(last, 0, item);
        table->removeRow(row);
    }
    QList<int> moved;
    for (int row = table->rowCount() - rows.size(); row < table->rowCount(); ++row)
        moved.append(row);
    selectRows(moved);
}

void PropertyOrderDialog::onAlphaSort()
{
    m_ui->m_orderingTable->sortItems(0, Qt::AscendingOrder);
    m_ui->m_orderingTable->setFocus();
    onUpdateUpDownButtons();
}

void PropertyOrderDialog::onUpdateUpDownButtons()
{
    const QList<int> rows = selectedRows(m_ui->m_orderingTable);
    const bool canRise = !rows.isEmpty() && rows.first() != 0;
    const bool canSink = !rows.isEmpty() && rows.last() != m_ui->m_orderingTable->rowCount() - 1;
    m_ui->m_topButton->setEnabled(canRise);
    m_ui->m_upButton->setEnabled(canRise);
    m_ui->m_downButton->setEnabled(canSink);
    m_ui->m_bottomButton->setEnabled(canSink);
}

void PropertyOrderDialog::accept()
{
    QTableWidget *table = m_ui->m_orderingTable;
    PropertyReorderMap newToOld;
    newToOld.insert(0, 0);
    for (int row = 0; row < table->rowCount(); ++row)
        newToOld.insert(row + 1, table->item(row, 0)->data(PropertyIndexRole).toInt());
    doc()->reorderProperties(newToOld, true);
    QDialog::accept();
}
