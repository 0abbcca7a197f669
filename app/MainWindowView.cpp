// The main window's View menu and keyboard: the reaction to a newly shown pane, overlays, the
// toolbar, minimising and the keyboard shortcuts. The commands that change what the tabs show
// are ViewCommands'.

#include "app/MainWindow.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "properties/PropertiesView.h"
#include "table/TableView.h"
#include "ui_MainWindow.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QToolBar>

void MainWindow::connectViewCommands()
{
    // Full screen has no menu entry or toolbar button; its key works while the action is part
    // of the window.
    addAction(m_ui->m_viewFullScreenAction);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::onAboutToQuit);
}

void MainWindow::addShortcut(const QString &keyText, void (MainWindow::*slot)())
{
    auto *shortcut = new QShortcut(QKeySequence(keyText), this);
    connect(shortcut, &QShortcut::activated, this, slot);
}

void MainWindow::installShortcuts()
{
    addShortcut(QStringLiteral("Ctrl+B"), &MainWindow::onLayoutShortcut);
    addShortcut(QStringLiteral("Ctrl+K"), &MainWindow::onShowPropertiesShortcut);
    addShortcut(QStringLiteral("Ctrl+F"), &MainWindow::onFilterShortcut);
    addShortcut(QStringLiteral("Ctrl+S"), &MainWindow::onSearchShortcut);
    addShortcut(QStringLiteral("Ctrl+R"), &MainWindow::onStoredViewShortcut);
    addShortcut(QStringLiteral("Ctrl+["), &MainWindow::onStoredViewPrev);
    addShortcut(QStringLiteral("Ctrl+]"), &MainWindow::onStoredViewNext);
    addShortcut(QStringLiteral("Ctrl+1"), &MainWindow::onStoredView1);
    addShortcut(QStringLiteral("Ctrl+2"), &MainWindow::onStoredView2);
    addShortcut(QStringLiteral("Ctrl+3"), &MainWindow::onStoredView3);
    addShortcut(QStringLiteral("Ctrl+4"), &MainWindow::onStoredView4);
    addShortcut(QStringLiteral("Ctrl+5"), &MainWindow::onStoredView5);
    addShortcut(QStringLiteral("Ctrl+6"), &MainWindow::onStoredView6);
    addShortcut(QStringLiteral("Ctrl+7"), &MainWindow::onStoredView7);
    addShortcut(QStringLiteral("Ctrl+8"), &MainWindow::onStoredView8);
    addShortcut(QStringLiteral("Ctrl+9"), &MainWindow::onStoredView9);
    addShortcut(QStringLiteral("Ctrl+J"), &MainWindow::onAppearanceShortcut);
    addShortcut(QStringLiteral("Ctrl+G"), &MainWindow::onChartDisplayShortcut);
    addShortcut(QStringLiteral("Ctrl+M"), &MainWindow::onShowMinimized);
    addShortcut(QStringLiteral("Backspace"), &MainWindow::onEditDeleteAction);
    addShortcut(QStringLiteral("Ctrl+Backspace"), &MainWindow::onEditDeleteAction);
}

// The shown pane

void MainWindow::onVisibilityChanged()
{
    const bool cards = m_panes.cardsView->isVisible();
    m_ui->m_viewToolTipsAction->setEnabled(cards);
    m_ui->m_viewShowOverlays->setEnabled(cards);
    m_ui->m_editSelectAllAction->setEnabled(cards || m_panes.tableView->isVisible()
                                            || m_panes.propertiesView->isVisible());
    m_views->restoreLeftPaneOnFirstShow();
    updateTransposeStatus();
    m_views->updateZoomActions();
    onUpdateShowHideLeftPane();
    onUpdatePrinterStatus();
    onSelectionChanged();
}

// Ending the program without closing this window (the lone full-screen tab closed by the window
// manager, a quit from the system) gives closeEvent no chance to save: a modified plan that may
// be written is saved here. Nothing is dropped: a version another program wrote meanwhile is
// copied aside first.
void MainWindow::onAboutToQuit()
{
    if (!m_closeAccepted)
        m_fileGuard->saveOnQuit();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    QMainWindow::keyPressEvent(event);
    if (event->key() != Qt::Key_Escape)
        return;
    if (m_ui->m_viewZoomMagnifyAction->isChecked())
        m_ui->m_viewZoomMagnifyAction->setChecked(false);
    m_views->leaveFullScreen();
}

// Overlays, toolbar, minimising

void MainWindow::onOverlayToggled(bool on)
{
    settings()->setShowOverlay(on);
    m_panes.cardsScene->setOverlaysVisible(on);
}

void MainWindow::onToolbarVisibilityToggled(bool on)
{
    m_ui->m_mainToolBar->setVisible(on);
}

void MainWindow::onToolbarVisibilityChanged()
{
    const QSignalBlocker blocker(m_ui->m_viewToolBarAction);
    m_ui->m_viewToolBarAction->setChecked(m_ui->m_mainToolBar->isVisible());
}

void MainWindow::onShowMinimized()
{
    showMinimized();
}
