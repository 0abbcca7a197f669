// The main window's Edit menu: undo and redo by plan snapshots, the commands that add and edit
// cards and properties, find and replace, preferences, select all and delete.

#include "app/Application.h"
#include "app/MainWindow.h"
#include "cardedit/DuplicateDialog.h"
#include "cardedit/ImagesDialog.h"
#include "cardedit/ReplaceDialog.h"
#include "cardedit/TaskDialog.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Prompts.h"
#include "common/widgets/Settings.h"
#include "dialogs/PreferencesDialog.h"
#include "model/Document.h"
#include "properties/PropertiesView.h"
#include "properties/PropertyDialog.h"
#include "properties/PropertyOrderDialog.h"
#include "table/TableView.h"
#include "ui_MainWindow.h"

#include <algorithm>

// Undo and redo

void MainWindow::onAboutToChange(const QString &name)
{
    saveUndoState(name);
}

void MainWindow::saveUndoState(const QString &name)
{
    m_undoHistory.record(*doc(), name);
    updateUndoRedoActions();
}

void MainWindow::onEditUndoAction()
{
    restoreSnapshot(m_undoHistory.undo(*doc()));
    updateUndoRedoActions();
}

void MainWindow::onEditRedoAction()
{
    restoreSnapshot(m_undoHistory.redo());
    updateUndoRedoActions();
}

// The panes learn of the restored plan as of one replaced whole, without animation: the cards
// jump to their places. A restore that changed the plan is a change to save like any other, or
// an undone edit would come back with the next opening.
void MainWindow::restoreSnapshot(const Document *snapshot)
{
    if (!snapshot)
        return;
    const bool changes = *doc() != *snapshot;
    const bool animate = m_panes.cardsScene->animate();
    m_panes.cardsScene->setAnimate(false);
    *doc() = *snapshot;
    doc()->emitChanged(EventType::AllChanged);
    m_panes.cardsScene->setAnimate(animate);
    if (changes)
        noteModification();
}

void MainWindow::clearUndoHistory()
{
    m_undoHistory.clear();
    updateUndoRedoActions();
}

void MainWindow::updateUndoRedoActions()
{
    QAction *undo = m_ui->m_editUndoAction;
    undo->setEnabled(m_undoHistory.canUndo());
    undo->setText(m_undoHistory.canUndo() ? tr("&Undo %1").arg(m_undoHistory.undoName())
                                          : tr("&Undo"));
    // The toolbar shows the short form.
    undo->setIconText(tr("&Undo"));
    QAction *redo = m_ui->m_editRedoAction;
    redo->setEnabled(m_undoHistory.canRedo());
    redo->setText(m_undoHistory.canRedo() ? tr("&Redo %1").arg(m_undoHistory.redoName())
                                          : tr("&Redo"));
    redo->setIconText(tr("&Redo"));
}

// Which pane a command applies to

bool MainWindow::isCardsViewShown() const
{
    return m_panes.cardsView->isVisible();
}

bool MainWindow::isTableViewShown() const
{
    return m_panes.tableView->isVisible();
}

bool MainWindow::isPropertiesViewShown() const
{
    return m_panes.propertiesView->isVisible();
}

// The table's columns are numbered as the properties, with the hidden card-index column as
// the placeholder and the notes last; neither of those is a property to edit.
int MainWindow::tableSelectedProperty() const
{
    const QList<int> columns = m_panes.tableView->selectedProperties();
    if (columns.size() != 1)
        return -1;
    const int property = columns.first();
    return property >= 1 && property < doc()->propertyCount() ? property : -1;
}

QList<TaskIndex> MainWindow::selectedTaskIndexes() const
{
    if (isTableViewShown())
        return m_panes.tableView->selectedTasks();
    if (isCardsViewShown()) {
        QList<TaskIndex> tasks = m_panes.cardsScene->selectedTaskIndexes();
        std::sort(tasks.begin(), tasks.end());
        return tasks;
    }
    return {};
}

QList<TaskIndex> MainWindow::visibleTaskIndexes() const
{
    if (isTableViewShown())
        return m_panes.tableView->visibleTasks();
    if (isCardsViewShown()) {
        QList<TaskIndex> tasks = m_panes.cardsScene->visibleTaskIndexes();
        std::sort(tasks.begin(), tasks.end());
        return tasks;
    }
    return {};
}

bool MainWindow::isCardsOrTableShown() const
{
    return isCardsViewShown() || isTableViewShown();
}

void MainWindow::selectTasks(const QList<TaskIndex> &tasks)
{
    if (isCardsViewShown())
        m_panes.cardsScene->selectTasks(tasks);
    else if (isTableViewShown())
        m_panes.tableView->selectTasks(tasks);
}

// Cards

void MainWindow::onEditAddTaskAction()
{
    addTask({}, {}, -1);
}

void MainWindow::onNewTask(const QList<PropertyIndexAndValue> &presets)
{
    addTask(presets, {}, -1);
}

void MainWindow::addTask(const QList<PropertyIndexAndValue> &presets, const QList<HyperLink> &links,
                         int imageIndex)
{
    BalloonTip::hideBalloon();
    // The placeholder property counts as one.
    if (doc()->propertyCount() <= 1) {
        criticalMessage(this, tr("Add at least 1 property (e.g. \"Name\") before you add cards."));
        return;
    }
    if (!isActiveWindow())
        activateWindow();
    m_panes.cardsScene->clearSelection();
    TaskDialog dialog(this, m_panes.cardsScene, presets, {}, links, imageIndex);
    if (dialog.exec() == QDialog::Accepted) {
        const TaskIndex created = dialog.createdTaskIndex();
        if (created >= 0 && created < doc()->taskCount()) {
            if (m_panes.cardsScene->cardItemForTask(created))
                m_panes.cardsScene->selectTasks({created});
            if (!doc()->taskPassesFilter(created))
                warnHiddenByFilter(*doc(), 1, tr("new"));
        }
    }
    m_tips->offerAfterAddingCard();
}

void MainWindow::onEditTaskAction()
{
    const QList<TaskIndex> tasks = selectedTaskIndexes();
    if (!tasks.isEmpty())
        editTasks(tasks);
}

void MainWindow::onEditTask(TaskIndex task)
{
    editTasks({task});
}

void MainWindow::editTasks(const QList<TaskIndex> &tasks)
{
    TaskDialog dialog(this, m_panes.cardsScene, {}, tasks, {}, -1);
    dialog.exec();
}

void MainWindow::onEditDuplicateAction()
{
    const QList<TaskIndex> tasks = selectedTaskIndexes();
    if (tasks.isEmpty())
        return;
    DuplicateDialog dialog(this, tasks.size(), isCardsViewShown());
    if (dialog.exec() != QDialog::Accepted)
        return;
    BusyCursor busy;
    doc()->duplicateTasks(tasks, dialog.count(), true);
}

void MainWindow::onEditImagesAction()
{
    ImagesDialog dialog(this);
    dialog.exec();
}

void MainWindow::onEditReplaceAction()
{
    if (m_replaceDialog)
        return;
    ReplaceDialog::CardSelection selection;
    selection.canSelect = [this] { return isCardsOrTableShown(); };
    selection.select = [this](const QList<TaskIndex> &tasks) { selectTasks(tasks); };
    m_replaceDialog = new ReplaceDialog(this, selection);
    connect(m_replaceDialog, &ReplaceDialog::closing, this, &MainWindow::onReplaceDlgClosing);
    m_replaceDialog->show();
    m_replaceDialog->activateWindow();
}

void MainWindow::onReplaceDlgClosing()
{
    m_replaceDialog = nullptr;
}

// Properties

void MainWindow::onEditAddPropertyAction()
{
    BalloonTip::hideBalloon();
    PropertyDialog dialog(this, -1, PropertyDialog::PredefinedValuesPage);
    dialog.exec();
    onSelectionChanged();
    if (doc()->propertyCount() >= 2)
        showAddCardTip();
}

void MainWindow::onEditPropertyAction()
{
    int property = -1;
    if (isTableViewShown()) {
        property = tableSelectedProperty();
    } else if (isPropertiesViewShown()) {
        const QList<int> selected = m_panes.propertiesView->selectedPropertyIndexes();
        if (selected.size() == 1)
            property = selected.first();
    }
    if (property < 0)
        return;
    PropertyDialog dialog(this, property, PropertyDialog::PredefinedValuesPage);
    dialog.exec();
}

void MainWindow::onEditOrderPropertiesAction()
{
    PropertyOrderDialog dialog(this);
    dialog.exec();
}

// Preferences

void MainWindow::onEditPreferencesAction()
{
    // What the dialog changed is applied by onSettingChanged as the dialog closes.
    PreferencesDialog dialog(this, availableToolBarActions(), toolBarActions());
    if (dialog.exec() == QDialog::Accepted && dialog.toolbarChanged())
        setupToolBar();
}

// The one place the window follows the preferences: the Preferences dialog, a move of the
// preferences to another store and anyone else who writes them end up here, once per change.
void MainWindow::onSettingChanged(Settings::Key key)
{
    using Key = Settings::Key;
    switch (key) {
    case Key::ValueFormats: {
        // The types, bins and chart choices were all made with the formats before.
        Document *plan = doc();
        plan->clearActualTypeCache();
        if (plan->chartShowProperty() > 0) {
            const int roles[]
                = {plan->chartShowProperty(), plan->chartByProperty(), plan->chartPerProperty()};
            for (int property : roles)
                plan->resetInvalidChartProperties(property);
        }
        plan->emitChanged(EventType::CardsLayoutChanged);
        plan->emitChanged(EventType::ChartsSettingsChanged);
        break;
    }
    case Key::ShowToolbarText:
        applyToolBarTextStyle();
        break;
    case Key::BackupTimedOn:
    case Key::BackupInterval:
        m_fileGuard->restartBackupTimer();
        break;
    case Key::CheckPlanUpdates:
        m_fileGuard->restartOutsideChecks();
        break;
    case Key::UiStyle:
        doc()->emitChanged(EventType::UiStyleChanged);
        break;
    case Key::ToolbarIconSize:
        applyToolBarIconSize();
        break;
    default:
        break;
    }
}

// Select all and delete

void MainWindow::onEditSelectAllAction()
{
    BusyCursor busy;
    if (isTableViewShown())
        m_panes.tableView->selectVisibleRows();
    else if (isPropertiesViewShown())
        m_panes.propertiesView->selectVisibleRows();
    else if (isCardsViewShown())
        m_panes.cardsScene->selectAll();
}

void MainWindow::onEditDeleteAction()
{
    // Rows go without a question: Undo brings them back.
    if (isTableViewShown()) {
        const QList<TaskIndex> tasks = m_panes.tableView->selectedTasks();
        if (tasks.isEmpty())
            return;
        m_panes.tableView->clearSelection();
        doc()->deleteTasks(tasks, true);
        return;
    }
    if (isPropertiesViewShown()) {
        const QList<int> properties = m_panes.propertiesView->selectedPropertyIndexes();
        if (properties.isEmpty())
            return;
        if (warningWithDontShowAgain(this, "show_warning_del_property",
                                     tr("Delete properties from all cards?"),
                                     QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
            != QMessageBox::Ok)
            return;
        m_panes.propertiesView->clearSelection();
        doc()->deleteProperties(properties, true);
        return;
    }
    if (isCardsViewShown())
        m_panes.cardsView->deleteSelected();
}
