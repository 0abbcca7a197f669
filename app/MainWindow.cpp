#include "app/MainWindow.h"

#include "app/Application.h"
#include "common/Accessors.h"
#include "common/BusyCursor.h"
#include "common/DialogHelpers.h"
#include "common/FileHelpers.h"
#include "common/Settings.h"
#include "common/UpdateBlocker.h"
#include "common/Version.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>

namespace {

const char planExtension[] = "tv";

} // namespace

QString MainWindow::samplesOfferKey(int major, int minor, int patch)
{
    return QStringLiteral("samples/samples_deployed_for_v%1%2%3").arg(major).arg(minor).arg(patch);
}

QString MainWindow::samplesOfferKey()
{
    return samplesOfferKey(versionMajor, versionMinor, versionPatch);
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    app()->registerMainWindow(this);
    m_ui.setupUi(this);
    // The tab labels say enough; the form's tab icons are only there for the designer.
    for (int i = 0; i < m_ui.m_tabWidget->count(); ++i)
        m_ui.m_tabWidget->setTabIcon(i, QIcon(QPixmap()));
    setUnifiedTitleAndToolBarOnMac(true);
    m_ui.statusBar->hide();
    removeFullScreenAction();
    replaceToolBarSeparatorsWithSpacers();
    removeLastHelpSeparator();
    m_ui.m_viewFullScreenAction->setIconVisibleInMenu(false);
    applyToolBarIconSize();
    applyToolBarTextStyle();
    createZoomSlider();
    setContentsMargins(0, 0, 0, 0);
    m_ui.horizontalLayout->setContentsMargins(0, 0, 0, 0);
    m_availableToolBarActions = m_ui.m_mainToolBar->actions();
    setupToolBar();
    QDir::setCurrent(dataFolder(true));
    offerSamplePlans();
}

MainWindow::~MainWindow()
{
    app()->unregisterMainWindow(this);
}

// Full screen is reached by its shortcut and the Escape key only, so it takes no room
// in the View menu or on the toolbar.
void MainWindow::removeFullScreenAction()
{
    m_ui.m_viewMenu->removeAction(m_ui.m_viewFullScreenAction);
    m_ui.m_mainToolBar->removeAction(m_ui.m_viewFullScreenAction);
}

// Toolbar groups are spread over the window's width rather than split by lines.
void MainWindow::replaceToolBarSeparatorsWithSpacers()
{
    const QList<QAction *> actions = m_ui.m_mainToolBar->actions();
    for (QAction *action : actions) {
        if (!action->isSeparator())
            continue;
        auto *spacer = new QWidget;
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        QAction *spacerAction = m_ui.m_mainToolBar->insertWidget(action, spacer);
        spacerAction->setIconText(QStringLiteral("_spacer"));
        delete action;
    }
}

// Where the platform moves About into its application menu, the Help menu would end with a
// separator of its own.
void MainWindow::removeLastHelpSeparator()
{
    const QList<QAction *> actions = m_ui.m_helpMenu->actions();
    for (int i = actions.size() - 1; i >= 0; --i) {
        if (actions.at(i)->isSeparator()) {
            delete actions.at(i);
            return;
        }
    }
}

void MainWindow::createZoomSlider()
{
    m_zoomSlider = new QSlider(Qt::Horizontal, this);
    m_zoomSlider->setMinimumWidth(100);
    m_zoomSlider->setMaximumWidth(150);
    m_zoomSlider->setRange(-10, 10);
    m_zoomSlider->setPageStep(2);
    m_zoomSlider->setValue(0);
    m_zoomSlider->setSliderPosition(0);
    m_zoomSlider->setToolTip(tr("Zoom in/out."));
    m_zoomSlider->setFocusPolicy(Qt::NoFocus);
    m_zoomSliderAction = m_ui.m_mainToolBar->insertWidget(m_ui.m_viewZoomFitAction, m_zoomSlider);
    m_zoomSliderAction->setIconText(QStringLiteral("Zoom slider"));
}

void MainWindow::applyToolBarIconSize()
{
    static const int sizes[] = {18, 24, 32};
    const int index = settings()->toolbarIconSize();
    const int size = index >= 0 && index < 3 ? sizes[index] : 24;
    m_ui.m_mainToolBar->setIconSize(QSize(size, size));
}

void MainWindow::applyToolBarTextStyle()
{
    const Qt::ToolButtonStyle style
        = settings()->showToolbarText() ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly;
    if (m_ui.m_mainToolBar->toolButtonStyle() != style)
        m_ui.m_mainToolBar->setToolButtonStyle(style);
}

bool MainWindow::isDefaultToolBarAction(const QAction *action) const
{
    const QAction *defaults[] = {
        m_ui.m_editAddTaskAction,      m_ui.m_editAddPropertyAction, m_ui.m_editDeleteAction,
        m_ui.m_viewShowLeftPaneAction, m_zoomSliderAction,           m_ui.m_viewZoomFitAction,
        m_ui.m_viewZoomInAction,       m_ui.m_viewZoomOutAction,     m_ui.m_viewZoomSelectedAction,
        m_ui.m_viewZoomMagnifyAction,  m_ui.m_viewTransposeAction};
    return std::find(std::begin(defaults), std::end(defaults), action) != std::end(defaults);
}

// A spacer only ever stands between two shown actions, so the toolbar never begins or ends
// with empty room and never shows two gaps in a row.
void MainWindow::setupToolBar()
{
    UpdateBlocker blocker(m_ui.m_mainToolBar);
    const QList<QAction *> shown = m_ui.m_mainToolBar->actions();
    for (QAction *action : shown)
        m_ui.m_mainToolBar->removeAction(action);
    QAction *last = nullptr;
    for (QAction *action : qAsConst(m_availableToolBarActions)) {
        if (isSpacerAction(action)) {
            if (!last || isSpacerAction(last))
                continue;
        } else {
            const QString key = Settings::toolbarShowKey(action);
            if (!settings()->value(key, isDefaultToolBarAction(action)).toBool())
                continue;
        }
        m_ui.m_mainToolBar->addAction(action);
        last = action;
    }
    if (last && isSpacerAction(last))
        m_ui.m_mainToolBar->removeAction(last);
}

void MainWindow::offerSamplePlans()
{
    const QString key = samplesOfferKey();
    if (settings()->value(key, 0).toInt() != 0)
        return;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tavrolo"),
                    tr("Tavrolo would like to copy some sample plans to '%1'. No existing files "
                       "will be overwritten. Is that OK?")
                        .arg(dataFolder(false)),
                    QMessageBox::NoButton, nullptr);
    QPushButton *copyButton = box.addButton(tr("Copy samples"), QMessageBox::AcceptRole);
    box.addButton(tr("No thanks"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == copyButton) {
        BusyCursor busy;
        QString from = bundleSamplesFolder();
        QString to = dataFolder(true);
        if (QFileInfo(from).isDir() && QFileInfo(to).isDir())
            copyFolder(from, to, false);
    }
    settings()->setValue(key, 1);
}

// Installed and built programs keep their sample plans in a "samples" folder beside them.
QString MainWindow::bundleSamplesFolder() const
{
    return app()->appDir().absoluteFilePath(QStringLiteral("samples"));
}

bool MainWindow::hasSamplePlans() const
{
    const QDir folder(dataFolder(false));
    if (!folder.exists())
        return false;
    const QStringList plans
        = folder.entryList({QStringLiteral("*.%1").arg(QLatin1String(planExtension))},
                           QDir::Files | QDir::Readable | QDir::NoSymLinks, QDir::Unsorted);
    return !plans.isEmpty();
}
