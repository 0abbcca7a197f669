#include "cardedit/DuplicateDialog.h"

#include "common/widgets/DialogHelpers.h"
#include "ui_DuplicateDialog.h"

DuplicateDialog::DuplicateDialog(QWidget *parent, int selectedCount, bool cards)
    : QDialog(parent), m_ui(new Ui::DuplicateDialog), m_cards(cards), m_selectedCount(selectedCount)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    m_ui->m_label1->setText(
        tr("Duplicate the %1 selected %2").arg(m_selectedCount).arg(noun(m_selectedCount)));
    connect(m_ui->m_spinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &DuplicateDialog::onSpinBoxChanged);
    onSpinBoxChanged();
}

DuplicateDialog::~DuplicateDialog()
{
    delete m_ui;
}

int DuplicateDialog::count() const
{
    return m_ui->m_spinBox->value();
}

QString DuplicateDialog::noun(int number) const
{
    const QString word = m_cards ? tr("card") : tr("row");
    return number >= 2 ? word + QLatin1Char('s') : word;
}

void DuplicateDialog::onSpinBoxChanged()
{
    const int created = m_selectedCount * count();
    m_ui->m_label2->setText(tr("%1 to create %2 new %3")
                                .arg(m_selectedCount < 2 ? tr("time") : tr("times each"))
                                .arg(created)
                                .arg(noun(created)));
}
