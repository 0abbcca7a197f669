#include "app/CheckUpdatesDlg.h"

#include "common/widgets/DialogHelpers.h"
#include "ui_CheckUpdatesDlg.h"

CheckUpdatesDlg::CheckUpdatesDlg(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint),
      m_ui(new Ui::CheckUpdatesDlg)
{
    m_ui->setupUi(this);
    prepareDialog(this);
}

CheckUpdatesDlg::~CheckUpdatesDlg()
{
    delete m_ui;
}

void CheckUpdatesDlg::setMessage(const QString &text)
{
    m_ui->m_label->setText(text);
}

QString CheckUpdatesDlg::message() const
{
    return m_ui->m_label->text();
}
