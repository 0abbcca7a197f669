#include "dialogs/GettingStartedDialog.h"

#include "common/app/Accessors.h"
#include "common/core/TextHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "ui_GettingStartedDialog.h"

#include <cstdlib>

#include <QCloseEvent>

namespace {

// From the third run on the guide is taken to be known.
const int guideOfferedRuns = 3;

} // namespace

// The window keeps its full opacity: it is the first thing a new user sees.
GettingStartedDialog::GettingStartedDialog(QWidget *parent, bool offerSamplePlan)
    : QDialog(parent), m_ui(new Ui::GettingStartedDialog)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const int runs = settings()->read(Settings::Key::Sessions).toInt();
    const int showGuide = settings()->read(Settings::Key::ShowGettingStarted).toInt();
    if (showGuide == 0 || runs >= guideOfferedRuns)
        m_ui->m_quickStartButton->hide();
    m_ui->m_openTavroloButton->setText(runs == 0 && offerSamplePlan ? tr("Open a sample plan")
                                                                    : tr("Open an existing plan"));
    adjustSize();
    connect(m_ui->m_quickStartButton, &QPushButton::clicked, this,
            &GettingStartedDialog::onQuickStart);
    connect(m_ui->m_openTavroloButton, &QPushButton::clicked, this,
            &GettingStartedDialog::onOpenPlan);
    connect(m_ui->m_openCSVButton, &QPushButton::clicked, this, &GettingStartedDialog::onOpenCSV);
    connect(m_ui->m_newButton, &QPushButton::clicked, this, &GettingStartedDialog::onNewPlan);
}

GettingStartedDialog::~GettingStartedDialog()
{
    delete m_ui;
}

void GettingStartedDialog::onOpenPlan()
{
    m_openPlan = true;
    m_openCSV = false;
    accept();
}

void GettingStartedDialog::onOpenCSV()
{
    m_openPlan = false;
    m_openCSV = true;
    accept();
}

void GettingStartedDialog::onNewPlan()
{
    m_openPlan = false;
    m_openCSV = false;
    accept();
}

// The dialog stays open, so the user still makes a choice after reading.
void GettingStartedDialog::onQuickStart()
{
    const QString url = quickStartUrl();
    if (openUrlWithVersion(url)) {
        settings()->write(Settings::Key::ShowGettingStarted, 0);
        return;
    }
    criticalMessage(this,
                    tr("Unable to access: %1. Please check you have a working Internet "
                       "connection.")
                        .arg(url));
}

void GettingStartedDialog::closeEvent(QCloseEvent *event)
{
    const int answer = warningMessage(this, tr("Exit Tavrolo?"),
                                      QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::NoButton);
    if (answer != QMessageBox::Ok) {
        event->ignore();
        return;
    }
    // The process ends here, before the event loop could write what was set just now (the run
    // counter, the guide choice).
    settings()->sync();
    std::exit(0);
}
