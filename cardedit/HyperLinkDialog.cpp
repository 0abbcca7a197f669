#include "cardedit/HyperLinkDialog.h"

#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/Settings.h"
#include "ui_HyperLinkDialog.h"

#include <QPushButton>
#include <QUrl>

HyperLinkDialog::HyperLinkDialog(QWidget *parent, const QString &url, const QString &name,
                                 bool addMode)
    : QDialog(parent), m_ui(new Ui::HyperLinkDialog), m_addMode(addMode)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    m_ui->m_urlEdit->setText(url);
    m_ui->m_nameEdit->setText(name);
    m_ui->m_nameEdit->setModified(false);
    if (!addMode) {
        QPushButton *deleteButton
            = m_ui->m_buttonBox->addButton(tr("Delete Link"), QDialogButtonBox::ResetRole);
        deleteButton->setToolTip(tr("Delete this hyperlink from the card."));
        connect(deleteButton, &QPushButton::clicked, this, &HyperLinkDialog::onDeleteClicked);
    }
    setWindowTitle(addMode ? tr("Add Link") : tr("Edit Link"));
    connect(m_ui->m_nameEdit, &QLineEdit::textEdited, this, &HyperLinkDialog::onNameEdit);
    connect(m_ui->m_urlEdit, &QLineEdit::textEdited, this, &HyperLinkDialog::onUrlEdit);
    connect(m_ui->m_buttonBox, &QDialogButtonBox::accepted, this, &HyperLinkDialog::accept);
    connect(m_ui->m_buttonBox, &QDialogButtonBox::rejected, this, &HyperLinkDialog::reject);
    updateOkButton();
    restoreSavedGeometry(this, settings()->read(Settings::Key::LinkWindowGeometry).toByteArray());
}

HyperLinkDialog::~HyperLinkDialog()
{
    settings()->write(Settings::Key::LinkWindowGeometry, saveGeometry());
    delete m_ui;
}

QString HyperLinkDialog::name() const
{
    return m_ui->m_nameEdit->text();
}

QString HyperLinkDialog::url() const
{
    return m_ui->m_urlEdit->text();
}

void HyperLinkDialog::updateOkButton()
{
    const bool complete = !name().trimmed().isEmpty() && !url().trimmed().isEmpty();
    m_ui->m_buttonBox->button(QDialogButtonBox::Ok)->setEnabled(complete);
}

void HyperLinkDialog::onDeleteClicked()
{
    m_deleted = true;
    reject();
}

void HyperLinkDialog::onNameEdit()
{
    updateOkButton();
}

void HyperLinkDialog::onUrlEdit()
{
    // Until the user names the link, its name is where it points: host and path, decoded.
    if (m_addMode && !m_ui->m_nameEdit->isModified()) {
        const QUrl parsed(url(), QUrl::TolerantMode);
        SignalBlocker blocker;
        blocker.add(m_ui->m_nameEdit);
        m_ui->m_nameEdit->setText(parsed.host(QUrl::FullyDecoded)
                                  + parsed.path(QUrl::FullyDecoded));
        m_ui->m_nameEdit->setModified(false);
    }
    updateOkButton();
}
