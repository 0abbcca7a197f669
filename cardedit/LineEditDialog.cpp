#include "cardedit/LineEditDialog.h"

#include "common/widgets/DialogHelpers.h"
#include "ui_LineEditDialog.h"

LineEditDialog::LineEditDialog(QWidget *parent, const QString &title, const QString &label,
                               const QString &text)
    : QDialog(parent), m_ui(new Ui::LineEditDialog)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    setWindowTitle(title);
    m_ui->m_label->setText(tr("%1:").arg(label));
    m_ui->m_lineEdit->setText(text);
}

LineEditDialog::~LineEditDialog()
{
    delete m_ui;
}

QString LineEditDialog::text() const
{
    return m_ui->m_lineEdit->text();
}
