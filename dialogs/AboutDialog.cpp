#include "dialogs/AboutDialog.h"

#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/core/Colors.h"
#include "common/core/TextHelpers.h"
#include "common/core/UrlOpener.h"
#include "common/core/Version.h"
#include "common/widgets/DialogHelpers.h"
#include "ui_AboutDialog.h"

#include <QUrl>

namespace {

const char productName[] = "Tavrolo";

QString qtLicenceUrl()
{
    return webSiteUrl() + QStringLiteral("/qt_licensing.html");
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent), m_ui(new Ui::AboutDialog)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    setMinimumWidth(400);
    // Closed with the window's close button or Escape.
    m_ui->m_buttonBox->hide();
    setWindowTitle(tr("About %1").arg(QLatin1String(productName)));
    connect(m_ui->m_LGPLLabel, &QLabel::linkActivated, this,
            [](const QString &link) { openUrl(QUrl(link)); });
    m_ui->m_productLineEdit->setText(QLatin1String(productName));
    m_ui->m_versionLineEdit->setText(
        QStringLiteral("v%1.%2.%3").arg(versionMajor).arg(versionMinor).arg(versionPatch));
    m_ui->m_buildLineEdit->setText(
        QStringLiteral("%1 %2").arg(QLatin1String(__DATE__), QLatin1String(__TIME__)));
    // The Qt version this program was built with, and the licence that version comes under.
    m_ui->m_LGPLLabel->setText(tr("%1 uses Qt v%2 under LGPL v3 licensing (<a href=\"%3\" "
                                  "style=\"color: %4;\">details</a>).")
                                   .arg(QLatin1String(productName), QLatin1String(QT_VERSION_STR),
                                        qtLicenceUrl(), accentColor(app()->uiStyle()).name()));
    adjustSize();
}

AboutDialog::~AboutDialog()
{
    delete m_ui;
}
