// The main window's Edit menu: undo and redo by plan snapshots, the commands that add and edit
// cards and properties, find and replace, preferences, select all and delete; and the one-time
// tips that follow the first steps of a new user.

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
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsLeftPane.h"
#include "model/Document.h"
#include "properties/PropertiesView.h"
#include "properties/PropertyDialog.h"
#include "properties/PropertyOrderDialog.h"
#include "table/TableView.h"
#include "ui_MainWindow.h"

#include <algorithm>

#include <QComboBox>
#include <QSplitter>
#include <QTabBar>
#include <QToolBar>

namespace {

const int tipDurationMs = 10000;

// A one-time tip: shown once per user, the key remembering that it was.
struct Tip
{
    const char *key;
    const char *title;
    const char *text;
};

const Tip tabsTip
    = {"tip_tabs", QT_TRANSLATE_NOOP("MainWindow", "Change tab"),
       QT_TRANSLATE_NOOP("MainWindow", "View your plan as cards, charts or a table.")};
const Tip autoSaveTip
    = {"tip_no_save_button", QT_TRANSLATE_NOOP("MainWindow", "Changes are saved automatically"),
       QT_TRANSLATE_NOOP("MainWindow", "There is no 'save' button.")};
const Tip splitterTip
    = {"tip_splitter", QT_TRANSLATE_NOOP("MainWindow", "Resize splitter"),
       QT_TRANSLATE_NOOP("MainWindow",
                         "Drag this splitter all the way to the left to hide the left pane.")};
const Tip layoutTip
    = {"tip_x_layout", QT_TRANSLATE_NOOP("MainWindow", "Layout by column (X)"),
       QT_TRANSLATE_NOOP("MainWindow",
                         "Select from this drop-down list to order cards into columns "
                         "by property value.")};
const Tip addPropertyTip
    = {"tip_add_property", QT_TRANSLATE_NOOP("MainWindow", "Add a property"),
       QT_TRANSLATE_NOOP("MainWindow",
                         "Click here to add a new property, e.g. \"Priority\", "
                         "\"Name\" or \"Date due\".")};
const Tip addCardTip
    = {"tip_add_card", QT_TRANSLATE_NOOP("MainWindow", "Add a card"),
       QT_TRANSLATE_NOOP("MainWindow",
                         "Click here to add a new card. Cards typically represent tasks "
                         "or items to be prioritized, scheduled or tracked.")};

// Not forced: a modal dialog that does not hold the anchor keeps the tip for later.
void offerTip(QWidget *anchor, const Tip &tip)
{
    BalloonTip::showOnce(
        anchor, QLatin1String(tip.key), QCoreApplication::translate("MainWindow", tip.title),
        QCoreApplication::translate("MainWindow", tip.text), QString(), tipDurationMs, true, false);
}

} // namespace

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
    const bool animate = m_cardsScene->animate();
    m_cardsScene->setAnimate(false);
    *doc() = *snapshot;
    doc()->emitChanged(EventType::AllChanged);
    m_cardsScene->setAnimate(animate);
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
    return m_cardsView->isVisible();
}

bool MainWindow::isTableViewShown() const
{
    return m_tableView->isVisible();
}

bool MainWindow::isPropertiesViewShown() const
{
    return m_propertiesView->isVisible();
}

// The table's columns are numbered as the properties, with the hidden card-index column as
// the placeholder and the notes last; neither of those is a property to edit.
int MainWindow::tableSelectedProperty() const
{
    const QList<int> columns = m_tableView->selectedProperties();
    if (columns.size() != 1)
        return -1;
    const int property = columns.first();
    return property >= 1 && property < doc()->propertyCount() ? property : -1;
}

QList<TaskIndex> MainWindow::selectedTaskIndexes() const
{
    if (isTableViewShown())
        return m_tableView->selectedTasks();
    if (isCardsViewShown()) {
        QList<TaskIndex> tasks = m_cardsScene->selectedTaskIndexes();
        std::sort(tasks.begin(), tasks.end());
        return tasks;
    }
    return {};
}

QList<TaskIndex> MainWindow::visibleTaskIndexes() const
{
    if (isTableViewShown())
        return m_tableView->visibleTasks();
    if (isCardsViewShown()) {
        QList<TaskIndex> tasks = m_cardsScene->visibleTaskIndexes();
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
        m_cardsScene->selectTasks(tasks);
    else if (isTableViewShown())
        m_tableView->selectTasks(tasks);
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
    m_cardsScene->clearSelection();
    TaskDialog dialog(this, m_cardsScene, presets, {}, links, imageIndex);
    if (dialog.exec() == QDialog::Accepted) {
        const TaskIndex created = dialog.createdTaskIndex();
        if (created >= 0 && created < doc()->taskCount()) {
            if (m_cardsScene->cardItemForTask(created))
                m_cardsScene->selectTasks({created});
            if (!doc()->taskPassesFilter(created))
                warnHiddenByFilter(*doc(), 1, tr("new"));
        }
    }
    offerTipAfterAddingCard();
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
    TaskDialog dialog(this, m_cardsScene, {}, tasks, {}, -1);
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
        const QList<int> selected = m_propertiesView->selectedPropertyIndexes();
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
        m_tableView->selectVisibleRows();
    else if (isPropertiesViewShown())
        m_propertiesView->selectVisibleRows();
    else if (isCardsViewShown())
        m_cardsScene->selectAll();
}

void MainWindow::onEditDeleteAction()
{
    // Rows go without a question: Undo brings them back.
    if (isTableViewShown()) {
        const QList<TaskIndex> tasks = m_tableView->selectedTasks();
        if (tasks.isEmpty())
            return;
        m_tableView->clearSelection();
        doc()->deleteTasks(tasks, true);
        return;
    }
    if (isPropertiesViewShown()) {
        const QList<int> properties = m_propertiesView->selectedPropertyIndexes();
        if (properties.isEmpty())
            return;
        if (warningWithDontShowAgain(this, "show_warning_del_property",
                                     tr("Delete properties from all cards?"),
                                     QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
            != QMessageBox::Ok)
            return;
        m_propertiesView->clearSelection();
        doc()->deleteProperties(properties, true);
        return;
    }
    if (isCardsViewShown())
        m_cardsView->deleteSelected();
}

// One-time tips

// One tip after the card dialog, by how far the user has got; a tip seen already is not
// replaced by another.
void MainWindow::offerTipAfterAddingCard()
{
    const int cards = doc()->taskCount();
    if (cards >= 13)
        showTabsTip();
    else if (cards >= 11)
        showAutoSaveTip();
    else if (cards >= 9)
        onShowSplitterTipOnce();
    else if (cards >= 5)
        showLayoutTip();
    else if (cards >= 3)
        showAddPropertyTip();
}

void MainWindow::showTabsTip()
{
    if (auto *tabBar
        = m_ui->m_tabWidget->findChild<QTabBar *>(QStringLiteral("qt_tabwidget_tabbar")))
        offerTip(tabBar, tabsTip);
}

void MainWindow::showAutoSaveTip()
{
    offerTip(m_ui->m_mainToolBar, autoSaveTip);
}

// Only while the Cards left pane is open: there is nothing to drag away otherwise.
void MainWindow::onShowSplitterTipOnce()
{
    const QList<int> sizes = m_cardsSplitter->sizes();
    if (sizes.isEmpty() || sizes.first() <= 0 || m_cardsSplitter->count() < 2)
        return;
    offerTip(m_cardsSplitter->handle(1), splitterTip);
}

void MainWindow::showLayoutTip()
{
    offerTip(m_cardsLeftPane->colorLayoutWidget()->xPropertyCombo(), layoutTip);
}

void MainWindow::showAddPropertyTip()
{
    offerTip(m_ui->m_mainToolBar->widgetForAction(m_ui->m_editAddPropertyAction), addPropertyTip);
}

void MainWindow::showAddCardTip()
{
    offerTip(m_ui->m_mainToolBar->widgetForAction(m_ui->m_editAddTaskAction), addCardTip);
}

// Someone who has found the other tabs needs no tip about them.
void MainWindow::onTabChanged(int index)
{
    if (index > 0)
        BalloonTip::markShown(QLatin1String(tabsTip.key));
}
