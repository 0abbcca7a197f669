#include "leftpane/StoredAppearanceDialog.h"

#include "common/app/Accessors.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "model/Document.h"
#include "ui_StoredAppearanceDialog.h"

#include <QLineEdit>

StoredAppearanceDialog::StoredAppearanceDialog(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::StoredAppearanceDialog)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    QStringList names = settings()->cardsAppearanceNames();
    names.sort(Qt::CaseSensitive);
    m_ui->m_nameComboBox->addItems(names);
    // Storing again proposes the name the appearance is stored under already.
    m_ui->m_nameComboBox->setEditText(
        settings()->findCardsAppearanceName(doc()->cardsAppearance()));
    m_ui->m_nameComboBox->lineEdit()->selectAll();
}

StoredAppearanceDialog::~StoredAppearanceDialog()
{
    delete m_ui;
}

QString StoredAppearanceDialog::name() const
{
    return m_ui->m_nameComboBox->currentText().trimmed();
}

void StoredAppearanceDialog::accept()
{
    const QString typed = name();
    if (typed.isEmpty()) {
        criticalMessage(this, tr("Please enter a name for the stored appearance."));
        return;
    }
    if (settings()->hasCardsAppearance(typed)
        && warningWithDontShowAgain(this, "show_warning_overwrite_appearance_name",
                                    tr("Overwrite existing appearance name '%1'?").arg(typed),
                                    QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
            != QMessageBox::Ok)
        return;
    QDialog::accept();
}
