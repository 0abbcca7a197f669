#include "properties/PropertyOrderDialog.h"

#include "common/app/Accessors.h"
#include "common/widgets/DialogHelpers.h"
#include "model/Document.h"
#include "properties/RowOrderButtons.h"
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

    const Document *plan = doc();
    QTableWidget *table = m_ui->m_orderingTable;
    const QList<int> properties = plan->propertyIndexes(false);
    table->setRowCount(properties.size());
    for (int row = 0; row < properties.size(); ++row) {
        auto *item = new QTableWidgetItem(plan->propertyName(properties.at(row)));
        item->setData(PropertyIndexRole, properties.at(row));
        table->setItem(row, 0, item);
    }

    auto *orderButtons
        = new RowOrderButtons(table, m_ui->m_topButton, m_ui->m_upButton, m_ui->m_downButton,
                              m_ui->m_bottomButton, m_ui->m_alphaSortButton, this);
    // Selecting updates the buttons; updating them first also covers an empty list.
    orderButtons->onUpdateButtons();
    orderButtons->selectRows({0});
    table->setFocus();
}

PropertyOrderDialog::~PropertyOrderDialog()
{
    delete m_ui;
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
