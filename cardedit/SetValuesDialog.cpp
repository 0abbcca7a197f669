#include "cardedit/SetValuesDialog.h"

#include "common/widgets/DialogHelpers.h"
#include "ui_SetValuesDialog.h"

SetValuesDialog::SetValuesDialog(QWidget *parent, const QList<Row> &rows)
    : QDialog(parent), m_ui(new Ui::SetValuesDialog), m_rows(rows)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    setWindowTitle(m_rows.size() == 1 ? tr("Set %1 Value").arg(m_rows.first().first)
                                      : tr("Set Property Values"));
    if (!m_rows.isEmpty()) {
        m_ui->m_label1->setText(tr("%1:").arg(m_rows.at(0).first));
        m_ui->m_lineEdit1->setText(*m_rows.at(0).second);
        m_ui->m_lineEdit1->selectAll();
    }
    if (m_rows.size() >= 2) {
        m_ui->m_label2->setText(tr("%1:").arg(m_rows.at(1).first));
        m_ui->m_lineEdit2->setText(*m_rows.at(1).second);
    } else {
        // The row's layout items are ours once taken; the widgets stay with the dialog.
        const QFormLayout::TakeRowResult row = m_ui->m_formLayout->takeRow(m_ui->m_lineEdit2);
        delete row.labelItem;
        delete row.fieldItem;
        m_ui->m_label2->hide();
        m_ui->m_lineEdit2->hide();
    }
    adjustSize();
}

SetValuesDialog::~SetValuesDialog()
{
    delete m_ui;
}

void SetValuesDialog::accept()
{
    if (!m_rows.isEmpty())
        *m_rows.at(0).second = m_ui->m_lineEdit1->text();
    if (m_rows.size() >= 2)
        *m_rows.at(1).second = m_ui->m_lineEdit2->text();
    QDialog::accept();
}
