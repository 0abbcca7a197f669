#include "cardedit/LineEditDialog.h"
#include "cards/CardItem.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "common/core/TextHelpers.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/MessageBoxes.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"

#include <algorithm>

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPair>
#include <QSet>

namespace {

const int maxLinkNameLength = 64;

// Menu texts built from names: a "&" would otherwise mark a shortcut and vanish ("R&D").
QString menuText(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QIcon resourceIcon(const char *name)
{
    return QIcon(QStringLiteral(":/pngs/") + QLatin1String(name));
}

} // namespace

// Posting

void CardsView::postCommand(CommandEvent type)
{
    QCoreApplication::postEvent(this, new QEvent(QEvent::Type(int(type))));
}

void CardsView::onPostAddColLeft()
{
    postCommand(CommandEvent::AddColLeft);
}

void CardsView::onPostAddColRight()
{
    postCommand(CommandEvent::AddColRight);
}

void CardsView::onPostAddRowAbove()
{
    postCommand(CommandEvent::AddRowAbove);
}

void CardsView::onPostAddRowBelow()
{
    postCommand(CommandEvent::AddRowBelow);
}

void CardsView::onPostDeleteCol()
{
    postCommand(CommandEvent::DeleteCol);
}

void CardsView::onPostDeleteRow()
{
    postCommand(CommandEvent::DeleteRow);
}

void CardsView::onPostRenameCol()
{
    postCommand(CommandEvent::RenameCol);
}

void CardsView::onPostRenameRow()
{
    postCommand(CommandEvent::RenameRow);
}

void CardsView::onPostHideCol()
{
    postCommand(CommandEvent::HideCol);
}

void CardsView::onPostHideOtherCols()
{
    postCommand(CommandEvent::HideOtherCols);
}

void CardsView::onPostShowAllCols()
{
    postCommand(CommandEvent::ShowAllCols);
}

void CardsView::onPostHideRow()
{
    postCommand(CommandEvent::HideRow);
}

void CardsView::onPostHideOtherRows()
{
    postCommand(CommandEvent::HideOtherRows);
}

void CardsView::onPostShowAllRows()
{
    postCommand(CommandEvent::ShowAllRows);
}

void CardsView::onPostShowColIfEmpty()
{
    postCommand(CommandEvent::ToggleColAlwaysShown);
}

void CardsView::onPostShowRowIfEmpty()
{
    postCommand(CommandEvent::ToggleRowAlwaysShown);
}

void CardsView::onPostAddCardAtMouseLocation()
{
    // The cell of this gesture's press, wherever the view has scrolled by the time it runs.
    m_addCardPosition = mapToScene(m_pressPosition);
    postCommand(CommandEvent::AddCardAtMouseLocation);
}

void CardsView::onPostEditColProperties()
{
    postCommand(CommandEvent::EditColProperties);
}

void CardsView::onPostEditRowProperties()
{
    postCommand(CommandEvent::EditRowProperties);
}

// Menus

void CardsView::releaseOnHeader(const QMouseEvent *event, bool column)
{
    const int property = axisProperty(column);
    if (property < 1)
        return;
    if (document()->actualPropertyType(property) != ActualType::Text) {
        postCommand(column ? CommandEvent::EditColProperties : CommandEvent::EditRowProperties);
        return;
    }
    const int index = m_pressedHeaderIndex;
    if (index < 0 || index >= axisLabels(column).size())
        return;
    m_scene->showHeaderFrame(column ? m_scene->columnRect(index, true)
                                    : m_scene->rowRect(index, true));
    if (event->button() == Qt::RightButton)
        runHeaderMenu(column);
}

void CardsView::runHeaderMenu(bool column)
{
    const Document &doc = *document();
    const int property = axisProperty(column);
    m_menuHeader
        = {column, property, m_pressedHeaderIndex, axisLabels(column).at(m_pressedHeaderIndex)};
    const bool predefined = doc.isPredefinedValue(property, m_menuHeader.label);
    const int shown = column ? m_scene->shownColumnCount() : m_scene->shownRowCount();
    const int hidden = column ? m_scene->hiddenColumnCount() : m_scene->hiddenRowCount();

    QMenu menu;
    menu.addAction(icon(QStringLiteral("settings_16.png")),
                   tr("Edit Property '%1'...").arg(menuText(doc.propertyName(property))), this,
                   column ? &CardsView::onPostEditColProperties
                          : &CardsView::onPostEditRowProperties);
    menu.addSeparator();
    if (column) {
        menu.addAction(resourceIcon("insert_left_32.png"), tr("Add Column Left"), this,
                       &CardsView::onPostAddColLeft);
        menu.addAction(resourceIcon("insert_right_32.png"), tr("Add Column Right"), this,
                       &CardsView::onPostAddColRight);
        menu.addSeparator();
        menu.addAction(tr("Rename Column"), this, &CardsView::onPostRenameCol);
    } else {
        menu.addAction(resourceIcon("insert_above_32.png"), tr("Add Row Above"), this,
                       &CardsView::onPostAddRowAbove);
        menu.addAction(resourceIcon("insert_below_32.png"), tr("Add Row Below"), this,
                       &CardsView::onPostAddRowBelow);
        menu.addSeparator();
        menu.addAction(tr("Rename Row"), this, &CardsView::onPostRenameRow);
    }
    menu.addSeparator();
    QAction *showIfEmpty = menu.addAction(
        column ? tr("Show this column if empty") : tr("Show this row if empty"), this,
        column ? &CardsView::onPostShowColIfEmpty : &CardsView::onPostShowRowIfEmpty);
    showIfEmpty->setCheckable(true);
    showIfEmpty->setChecked(predefined);
    menu.addSeparator();
    menu.addAction(column ? tr("Hide this column") : tr("Hide this row"), this,
                   column ? &CardsView::onPostHideCol : &CardsView::onPostHideRow);
    menu.addAction(column ? tr("Hide other columns") : tr("Hide other rows"), this,
                   column ? &CardsView::onPostHideOtherCols : &CardsView::onPostHideOtherRows)
        ->setEnabled(shown > 1);
    menu.addAction(column ? tr("Show all columns") : tr("Show all rows"), this,
                   column ? &CardsView::onPostShowAllCols : &CardsView::onPostShowAllRows)
        ->setEnabled(hidden > 0);
    menu.addSeparator();
    if (column)
        menu.addAction(resourceIcon("column_delete_32.png"), tr("Delete Column"), this,
                       &CardsView::onPostDeleteCol);
    else
        menu.addAction(resourceIcon("row_delete_32.png"), tr("Delete Row"), this,
                       &CardsView::onPostDeleteRow);
    // The frame stays around the header while the menu is open.
    menu.exec(QCursor::pos());
}

QList<HyperLink> CardsView::selectedLinks() const
{
    const Document &doc = *document();
    QList<HyperLink> links;
    // Equal links (same name, same address) are listed once, however many cards carry them.
    QSet<QPair<QString, QUrl>> seen;
    const QList<CardItem *> selected = m_scene->cardItems(true, false);
    for (const CardItem *card : selected) {
        const QList<HyperLink> cardLinks = doc.taskLinks(card->taskIndex());
        for (const HyperLink &link : cardLinks) {
            const QPair<QString, QUrl> key(link.name(), link.url());
            if (seen.contains(key))
                continue;
            seen.insert(key);
            links.append(link);
        }
    }
    std::stable_sort(links.begin(), links.end());
    return links;
}

void CardsView::runCardMenu(int count)
{
    QMenu menu;
    menu.addAction(count == 1 ? tr("Edit 1 Card...") : tr("Edit %1 Cards...").arg(count), this,
                   &CardsView::onPostEditCards);
    menu.addAction(resourceIcon("duplicate_32.png"),
                   count == 1 ? tr("Duplicate 1 Card...") : tr("Duplicate %1 Cards...").arg(count),
                   this, &CardsView::onPostDuplicateCards);
    m_linkMap.clear();
    const QList<HyperLink> links = selectedLinks();
    if (!links.isEmpty()) {
        menu.addSeparator();
        const QIcon linkIcon = resourceIcon("link_32.png");
        for (const HyperLink &link : links) {
            QAction *entry
                = menu.addAction(linkIcon, menuText(elideText(link.name(), maxLinkNameLength)));
            m_linkMap.insert(entry, link);
        }
        connect(&menu, &QMenu::triggered, this, &CardsView::onHyperlinkSelected);
    }
    menu.addSeparator();
    menu.addAction(resourceIcon("zoom_selected_32.png"), tr("Zoom Selected"), this,
                   qOverload<>(&CardsView::onZoomSelected));
    menu.addSeparator();
    menu.addAction(resourceIcon("delete_32.png"),
                   count == 1 ? tr("Delete 1 Card") : tr("Delete %1 Cards").arg(count), this,
                   &CardsView::onEditDelete);
    menu.exec(QCursor::pos());
    // The entries die with the menu; their addresses must not stay keys of the map.
    m_linkMap.clear();
}

void CardsView::runEmptyCellMenu(const QPointF &scenePoint)
{
    int column = -1;
    int row = -1;
    if (!m_scene->cellAt(scenePoint, &column, &row, nullptr, 0))
        return;
    QMenu menu;
    menu.addAction(tr("Add Card..."), this, &CardsView::onPostAddCardAtMouseLocation);
    menu.exec(QCursor::pos());
}

// Commands

void CardsView::customEvent(QEvent *event)
{
    switch (static_cast<CommandEvent>(int(event->type()))) {
    case CommandEvent::AddColLeft:
        onAddColLeft();
        break;
    case CommandEvent::AddColRight:
        onAddColRight();
        break;
    case CommandEvent::EditColProperties:
        onEditColProperties();
        break;
    case CommandEvent::EditRowProperties:
        onEditRowProperties();
        break;
    case CommandEvent::AddRowAbove:
        onAddRowAbove();
        break;
    case CommandEvent::AddRowBelow:
        onAddRowBelow();
        break;
    case CommandEvent::DeleteCol:
        onDeleteCol();
        break;
    case CommandEvent::DeleteRow:
        onDeleteRow();
        break;
    case CommandEvent::RenameCol:
        onRenameCol();
        break;
    case CommandEvent::RenameRow:
        onRenameRow();
        break;
    case CommandEvent::HideCol:
        onHideCol();
        break;
    case CommandEvent::HideOtherCols:
        onHideOtherCols();
        break;
    case CommandEvent::ShowAllCols:
        onShowAllCols();
        break;
    case CommandEvent::HideRow:
        onHideRow();
        break;
    case CommandEvent::HideOtherRows:
        onHideOtherRows();
        break;
    case CommandEvent::ShowAllRows:
        onShowAllRows();
        break;
    case CommandEvent::EditCards:
        onEditCards();
        break;
    case CommandEvent::DuplicateCards:
        onDuplicateCards();
        break;
    case CommandEvent::AddCardAtMouseLocation:
        onAddCardAtMouseLocation();
        break;
    case CommandEvent::AltClickTip:
        BalloonTip::showOnce(this, QStringLiteral("tip_alt_click"), tr("Alt+Left-click"),
                             tr("Alt+Left-click a cell to add a card to that cell."), QString(),
                             10000, true, false);
        break;
    case CommandEvent::ToggleColAlwaysShown:
        onToggleColAlwaysShown();
        break;
    case CommandEvent::ToggleRowAlwaysShown:
        onToggleRowAlwaysShown();
        break;
    }
}

int CardsView::axisProperty(bool column) const
{
    return column ? document()->xProperty() : document()->yProperty();
}

QStringList CardsView::axisLabels(bool column) const
{
    return column ? m_scene->columnLabels() : m_scene->rowLabels();
}

bool CardsView::menuHeader(bool column, MenuHeader *header) const
{
    // A command that arrives after the grid changed, or after another header's press, must not
    // act on whatever stands at that index now.
    const MenuHeader &menu = m_menuHeader;
    if (menu.column != column || menu.property < 1 || axisProperty(column) != menu.property
        || document()->actualPropertyType(menu.property) != ActualType::Text)
        return false;
    const QStringList labels = axisLabels(column);
    if (menu.index < 0 || menu.index >= labels.size() || labels.at(menu.index) != menu.label)
        return false;
    *header = menu;
    return true;
}

QList<TaskIndex> CardsView::tasksWithValue(int property, const QString &value) const
{
    const Document &doc = *document();
    QList<TaskIndex> tasks;
    for (TaskIndex task = 0; task < doc.taskCount(); ++task) {
        if (doc.value(task, property) == value)
            tasks.append(task);
    }
    return tasks;
}

void CardsView::onAddColLeft()
{
    addValueAt(true, 0);
}

void CardsView::onAddColRight()
{
    addValueAt(true, 1);
}

void CardsView::onAddRowAbove()
{
    addValueAt(false, 0);
}

void CardsView::onAddRowBelow()
{
    addValueAt(false, 1);
}

void CardsView::addValueAt(bool column, int offset)
{
    MenuHeader header;
    if (menuHeader(column, &header))
        addValue(header.property, header.index + offset, column ? tr("column") : tr("row"));
}

void CardsView::addValue(int property, int position, const QString &kindWord)
{
    QString text;
    for (;;) {
        LineEditDialog dialog(this, tr("Add %1").arg(kindWord), tr("New %1 value").arg(kindWord),
                              text);
        if (dialog.exec() != QDialog::Accepted)
            return;
        text = dialog.text();
        Document &doc = *document();
        if (property < 1 || property >= doc.propertyCount())
            return;
        if (!doc.values(property).contains(text)) {
            doc.insertPredefinedValue(property, text, position, true);
            return;
        }
        criticalMessage(this, tr("A '%1' %2 already exists.").arg(text, kindWord));
    }
}

void CardsView::onEditColProperties()
{
    editAxisProperty(true);
}

void CardsView::onEditRowProperties()
{
    editAxisProperty(false);
}

void CardsView::editAxisProperty(bool column)
{
    PropertyDialog dialog(this, axisProperty(column), PropertyDialog::OrderingPage);
    dialog.exec();
}

void CardsView::onDeleteCol()
{
    deleteValue(true);
}

void CardsView::onDeleteRow()
{
    deleteValue(false);
}

void CardsView::deleteValue(bool column)
{
    MenuHeader header;
    if (!menuHeader(column, &header))
        return;
    Document &doc = *document();
    const QString name = doc.propertyName(header.property);
    const int count = tasksWithValue(header.property, header.label).size();
    if (count > 0) {
        const QString text = column
            ? tr("Deleting this column will also delete the %1 card(s) with %2=%3.")
            : tr("Deleting this row will also delete the %1 card(s) with %2=%3.");
        if (warningWithDontShowAgain(this, column ? "show_warning_del_col" : "show_warning_del_row",
                                     text.arg(QString::number(count), name, header.label),
                                     QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
            != QMessageBox::Ok)
            return;
    }
    QCoreApplication::processEvents();
    // Events delivered just now (a reload, a drop, an undo) may have changed the plan: the cards
    // are those holding the value the user confirmed now, and none if the axis changed.
    if (axisProperty(column) != header.property || doc.propertyName(header.property) != name)
        return;
    const QList<TaskIndex> tasks = tasksWithValue(header.property, header.label);
    if (!tasks.isEmpty())
        doc.deleteTasks(tasks, true);
    doc.removePredefinedValue(header.property, header.label, true);
}

void CardsView::onRenameCol()
{
    renameValue(true);
}

void CardsView::onRenameRow()
{
    renameValue(false);
}

void CardsView::renameValue(bool column)
{
    MenuHeader header;
    if (!menuHeader(column, &header))
        return;
    Document &doc = *document();
    const QString old = header.label;
    const int count = tasksWithValue(header.property, old).size();
    if (count > 0) {
        const QString text = column
            ? tr("Renaming this column will also update the %1 card(s) with %2=%3.")
            : tr("Renaming this row will also update the %1 card(s) with %2=%3.");
        if (warningWithDontShowAgain(
                this, column ? "show_warning_rename_col" : "show_warning_rename_row",
                text.arg(QString::number(count), doc.propertyName(header.property), old),
                QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
            != QMessageBox::Ok)
            return;
    }
    for (;;) {
        LineEditDialog dialog(this, tr("Rename %1").arg(old), tr("New value"), old);
        if (dialog.exec() != QDialog::Accepted || axisProperty(column) != header.property)
            return;
        const QString renamed = dialog.text();
        if (!axisLabels(column).contains(renamed)) {
            doc.renameValue(header.property, old, renamed, true);
            return;
        }
        criticalMessage(
            this,
            (column ? tr("'%1' column already exists.") : tr("'%1' row already exists."))
                .arg(renamed));
    }
}

void CardsView::onHideCol()
{
    hideValues(true, false);
}

void CardsView::onHideOtherCols()
{
    hideValues(true, true);
}

void CardsView::onHideRow()
{
    hideValues(false, false);
}

void CardsView::onHideOtherRows()
{
    hideValues(false, true);
}

void CardsView::hideValues(bool column, bool others)
{
    MenuHeader header;
    if (!menuHeader(column, &header))
        return;
    Document &doc = *document();
    const bool show = doc.filterShowsMatching();
    // Showing matching cards, each term keeps the cards of other values (all must match);
    // hiding matching cards, each term hides the cards of its value (any may match).
    const int match = show ? MatchType::IsNot : MatchType::Is;
    QList<FilterTerm> terms = doc.filterTerms();
    if (!others) {
        terms.append(FilterTerm(header.property, match, header.label));
    } else {
        const QStringList labels = axisLabels(column);
        for (int i = 0; i < labels.size(); ++i) {
            const bool shown = column ? m_scene->isColumnShown(i) : m_scene->isRowShown(i);
            if (i != header.index && shown)
                terms.append(FilterTerm(header.property, match, labels.at(i)));
        }
    }
    doc.setFilter(false, show, !show, terms, true, true);
}

void CardsView::onShowAllCols()
{
    showAllValues(true);
}

void CardsView::onShowAllRows()
{
    showAllValues(false);
}

void CardsView::showAllValues(bool column)
{
    Document &doc = *document();
    const int property = axisProperty(column);
    if (property < 1)
        return;
    const bool show = doc.filterShowsMatching();
    const bool any = doc.filterMatchAny();
    const auto without = [](QList<FilterTerm> terms, int termProperty) {
        terms.erase(std::remove_if(terms.begin(), terms.end(),
                                   [termProperty](const FilterTerm &term) {
                                       return term.propertyIndex == termProperty;
                                   }),
                    terms.end());
        return terms;
    };
    const QList<FilterTerm> kept = without(doc.filterTerms(), property);
    doc.setFilter(false, show, any, kept, true, true);
    // Terms on any property may hide whole columns too; they go only while some still hide.
    const int hidden = column ? m_scene->hiddenColumnCount() : m_scene->hiddenRowCount();
    if (hidden > 0)
        doc.setFilter(false, show, any, without(kept, 0), true, true);
}

void CardsView::onToggleColAlwaysShown()
{
    toggleAlwaysShown(true);
}

void CardsView::onToggleRowAlwaysShown()
{
    toggleAlwaysShown(false);
}

void CardsView::toggleAlwaysShown(bool column)
{
    MenuHeader header;
    if (!menuHeader(column, &header))
        return;
    Document &doc = *document();
    if (doc.isPredefinedValue(header.property, header.label)) {
        doc.removePredefinedValue(header.property, header.label, true);
        return;
    }
    // Not an undo step, but a change of the plan all the same: reported, so that the plan is
    // marked modified and saved, and laid out with the column kept.
    doc.addPredefinedValue(header.property, header.label, false);
    doc.emitChanged(EventType::CardsLayoutChanged);
}

void CardsView::onAddCardAtMouseLocation()
{
    int column = -1;
    int row = -1;
    if (m_scene->cellAt(m_addCardPosition, &column, &row, nullptr, 0))
        m_scene->onAddCardClicked(column, row);
}

void CardsView::onEditCards()
{
    emit editSelectedCards();
}

void CardsView::onDuplicateCards()
{
    emit duplicateSelectedCards();
}

void CardsView::onEditDelete()
{
    emit deleteSelectedCards();
}
