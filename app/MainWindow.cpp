#include "app/MainWindow.h"

#include <QIcon>
#include <QPixmap>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
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
    createZoomSlider();
    setContentsMargins(0, 0, 0, 0);
    m_ui.horizontalLayout->setContentsMargins(0, 0, 0, 0);
    m_availableToolBarActions = m_ui.m_mainToolBar->actions();
}

MainWindow::~MainWindow() = default;

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
