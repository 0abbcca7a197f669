#include "leftpane/SliceDialog.h"

#include "common/app/Accessors.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "model/Document.h"
#include "ui_SliceDialog.h"

#include <QLineEdit>

SliceDialog::SliceDialog(QWidget *parent) : QDialog(parent), m_ui(new Ui::SliceDialog)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    const Document *plan = doc();
    m_ui->m_storeAppearanceCheckBox->setChecked(settings()->storeAppearanceInView());
    QComboBox *combo = m_ui->m_nameComboBox;
    int equal = -1;
    const QList<Slice> views = plan->storedViews();
    for (const Slice &view : views) {
        combo->addItem(view.name);
        if (equal < 0 && view == plan->currentView())
            equal = combo->count() - 1;
    }
    const QString description = plan->viewDescription();
    if (equal < 0) {
        combo->insertItem(0, description);
        equal = 0;
    }
    combo->setCurrentIndex(equal);
    combo->lineEdit()->selectAll();
    m_ui->m_nameEdit->setText(description);
    m_ui->m_nameEdit->selectAll();
    // A single name to choose from is no choice: the plain field proposes the description.
    const bool useCombo = combo->count() >= 2;
    m_ui->m_nameEdit->setHidden(useCombo);
    combo->setHidden(!useCombo);
}

SliceDialog::~SliceDialog()
{
    delete m_ui;
}

void SliceDialog::accept()
{
    const QString name = m_ui->m_nameEdit->isHidden()
        ? m_ui->m_nameComboBox->currentText().trimmed()
        : m_ui->m_nameEdit->text().trimmed();
    if (name.isEmpty()) {
        criticalMessage(this, tr("Please enter a name for the stored view."));
        return;
    }
    if (doc()->hasStoredView(name)
        && warningWithDontShowAgain(this, "show_warning_overwrite_stored_view_name",
                                    tr("Overwrite existing view name '%1'?").arg(name),
                                    QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
            != QMessageBox::Ok)
        return;
    const bool withAppearance = m_ui->m_storeAppearanceCheckBox->isChecked();
    doc()->addStoredView(name, withAppearance, true);
    settings()->setStoreAppearanceInView(withAppearance);
    QDialog::accept();
}
