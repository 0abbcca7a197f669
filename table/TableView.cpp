#include "table/TableView.h"

#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/core/Colors.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/LongTextDelegate.h"
#include "common/widgets/Prompts.h"
#include "common/widgets/UpdateBlocker.h"
#include "model/Document.h"
#include "table/SmartSortTableWidgetItem.h"

#include <algorithm>
#include <memory>
#include <optional>

#include <QApplication>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QtMath>

namespace {

constexpr int MaximumColumnWidth = 300;
constexpr int MinimumColumnWidth = 100;
constexpr int MinimumNotesWidth = 200;

const QColor &darkStyleTextColor()
{
    static const QColor color(QStringLiteral("#C0C0C0"));
    return color;
}

bool isDarkStyle()
{
    return app()->uiStyle() == UiStyle::Dark;
}

bool isTableEvent(int type)
{
    return eventMask(type) & TableView::listensTo;
}

// Natural widths of one-line texts in the table's font, without laying out each text. Shaping
// printable ASCII gives each character's glyph its advance, adjusted by the pair it forms with
// the next one (kerning), so the width of such a text is the sum of the advances and of the
// pairs' adjustments, each measured once. A pair that becomes one glyph (a ligature) and any
// other character send the text to a full measurement.
class TextWidths
{
public:
    explicit TextWidths(const QFont &font) : m_font(font), m_metrics(font)
    {
        for (int c = FirstPrintable; c <= LastPrintable; ++c)
            m_advance[c] = m_metrics.horizontalAdvance(QChar(c));
        m_pairs.fill(Unknown, 128 * 128);
    }

    const QFont &font() const { return m_font; }

    // The width, or -1 when the text cannot be told this way.
    qreal simpleWidth(const QString &text)
    {
        const int length = text.size();
        qreal width = 0;
        for (int i = 0; i < length; ++i) {
            const ushort code = text.at(i).unicode();
            if (code < FirstPrintable || code > LastPrintable)
                return -1;
            width += m_advance[code];
            if (i + 1 < length) {
                const ushort next = text.at(i + 1).unicode();
                if (next < FirstPrintable || next > LastPrintable)
                    return -1;
                const qreal adjustment = pairAdjustment(code, next);
                if (adjustment == Ligature)
                    return -1;
                width += adjustment;
            }
        }
        return width;
    }

    qreal width(const QString &text)
    {
        const qreal simple = simpleWidth(text);
        return simple >= 0 ? simple : m_metrics.horizontalAdvance(text);
    }

private:
    enum : ushort { FirstPrintable = 32, LastPrintable = 126 };
    static constexpr qreal Unknown = 1e9;
    static constexpr qreal Ligature = 2e9;

    qreal pairAdjustment(ushort a, ushort b)
    {
        qreal &adjustment = m_pairs[a * 128 + b];
        if (adjustment == Unknown) {
            const QString pair = QString(QChar(a)) + QChar(b);
            QTextLayout layout(pair, m_font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            int glyphs = 0;
            const QList<QGlyphRun> runs = layout.glyphRuns();
            for (const QGlyphRun &run : runs)
                glyphs += run.glyphIndexes().size();
            adjustment = glyphs == 2
                ? m_metrics.horizontalAdvance(pair) - m_advance[a] - m_advance[b]
                : Ligature;
        }
        return adjustment;
    }

    QFont m_font;
    QFontMetricsF m_metrics;
    qreal m_advance[128] = {};
    QVector<qreal> m_pairs;
};

// The widths in the font the table shows; a new font starts afresh. Fonts outlive no
// application object, so the widths go with it.
TextWidths &textWidths(const QFont &font)
{
    static std::unique_ptr<TextWidths> widths;
    if (!widths) {
        static bool cleanUpAdded = false;
        if (!cleanUpAdded)
            qAddPostRoutine([] { widths.reset(); });
        cleanUpAdded = true;
    }
    if (!widths || widths->font() != font)
        widths = std::make_unique<TextWidths>(font);
    return *widths;
}

bool hasLineBreakOrControl(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() < 32 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    });
}

// Sizes one-line cells from the text widths above instead of laying each text out. Fitting
// the columns asks for a thousand cells of each column, fitting the rows for every cell; laid
// out, that takes seconds on a large plan. The size of a one-line text cell is its text's
// width plus the style's margins, and the height of a line: both are taken from the style
// once, on the first such cell, and are the same for every one-line text in the font. Other
// cells (several lines, other characters, no text) are sized by the style as always.
class TableItemDelegate : public LongTextDelegate
{
public:
    using LongTextDelegate::LongTextDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QVariant display = index.data(Qt::DisplayRole);
        if (display.type() != QVariant::String || display.isNull())
            return QStyledItemDelegate::sizeHint(option, index);
        const QString text = display.toString();
        TextWidths &widths = textWidths(option.font);
        const qreal width = widths.simpleWidth(text);
        if (width < 0)
            return QStyledItemDelegate::sizeHint(option, index);
        const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
        if ((option.features & QStyleOptionViewItem::WrapText) && option.rect.isValid()) {
            const int margin
                = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, option.widget) + 1;
            if (width > option.rect.width() - 2 * margin)
                return QStyledItemDelegate::sizeHint(option, index);
        }
        if (m_font != option.font || m_style != style) {
            const QSize measured = QStyledItemDelegate::sizeHint(option, index);
            m_font = option.font;
            m_style = style;
            m_extraWidth = measured.width() - qCeil(width);
            m_lineHeight = measured.height();
            return measured;
        }
        return QSize(qCeil(width) + m_extraWidth, m_lineHeight);
    }

private:
    mutable QFont m_font;
    mutable const QStyle *m_style = nullptr;
    mutable int m_extraWidth = 0;
    mutable int m_lineHeight = 0;
};

} // namespace

TableView::TableView(QWidget *parent) : BaseTableView(parent), m_showMatching(true)
{
    // Cells the table makes itself (typing into a cell without an item) sort like the others.
    setItemPrototype(new SmartSortTableWidgetItem(QString()));
    setItemDelegate(new TableItemDelegate(this));
    setAlternatingRowColors(true);
    setSortingEnabled(true);
    sortByColumn(0, Qt::AscendingOrder);
    connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            &TableView::onSortIndicatorChanged);
    connect(this, &QTableWidget::cellChanged, this, &TableView::onCellChanged);
}

DeferredRefresh::Kind TableView::refreshKind(int eventType)
{
    return DeferredRefresh::kindOf(eventType, rebuildsOn, changesInPlaceOn);
}

int TableView::tableColorSetting()
{
    const Document *plan = doc();
    const int setting = plan->tableColor();
    return setting >= 0 && setting <= plan->propertyCount() ? setting
                                                            : TableAppearance::CellColorOff;
}

TaskIndex TableView::taskIndex(int row) const
{
    const QTableWidgetItem *cell = item(row, 0);
    return cell ? cell->text().toInt() : row;
}

int TableView::rowOfTask(TaskIndex task) const
{
    if (task < 0)
        return -1;
    const int rows = rowCount();
    if (task < m_rowOfTask.size()) {
        const int row = m_rowOfTask.at(task);
        if (row >= 0 && row < rows && taskIndex(row) == task)
            return row;
    }
    // Stale after a sort or a change of rows: read every row's card once, then look up again.
    m_rowOfTask.fill(-1, rows);
    int found = -1;
    for (int row = 0; row < rows; ++row) {
        const TaskIndex shown = taskIndex(row);
        if (shown >= 0 && shown < rows && m_rowOfTask.at(shown) < 0)
            m_rowOfTask[shown] = row;
        if (shown == task && found < 0)
            found = row;
    }
    return found;
}

QList<TaskIndex> TableView::selectedTasks() const
{
    QList<TaskIndex> tasks;
    const QList<int> rows = selectedRows();
    for (int row : rows)
        tasks.append(taskIndex(row));
    return tasks;
}

QList<int> TableView::selectedProperties() const
{
    return selectedColumns();
}

QList<TaskIndex> TableView::visibleTasks() const
{
    QList<TaskIndex> tasks;
    for (int row = 0; row < rowCount(); ++row) {
        if (!isRowHidden(row))
            tasks.append(taskIndex(row));
    }
    std::sort(tasks.begin(), tasks.end());
    return tasks;
}

void TableView::selectTasks(const QList<TaskIndex> &tasks)
{
    UpdateBlocker updates(this);
    clearSelection();
    const int lastColumn = columnCount() - 1;
    if (lastColumn < 0)
        return;
    QItemSelection selection;
    for (TaskIndex task : tasks) {
        const int row = rowOfTask(task);
        if (row < 0 || isRowHidden(row))
            continue;
        selection.select(model()->index(row, 0), model()->index(row, lastColumn));
    }
    selectionModel()->select(selection, QItemSelectionModel::Select);
}

void TableView::setSearch(bool showMatching, const QStringList &terms)
{
    m_showMatching = showMatching;
    m_searchTerms = terms;
    onFilter();
}

// Filtering

QStringList TableView::lowerTerms() const
{
    QStringList terms;
    for (const QString &term : m_searchTerms)
        terms.append(term.toLower());
    return terms;
}

void TableView::onFilter()
{
    BusyCursor busy;
    UpdateBlocker updates(this);
    const QStringList terms = lowerTerms();
    for (int row = 0; row < rowCount(); ++row)
        filterRow(row, terms);
}

void TableView::filterRow(int row, const QStringList &lowerTerms)
{
    bool show = true;
    if (!lowerTerms.isEmpty()) {
        bool matches = false;
        // The index column is never searched; the notes are.
        for (int column = 1; column < columnCount() && !matches; ++column) {
            const QTableWidgetItem *cell = item(row, column);
            if (!cell)
                continue;
            const QString text = cell->text().toLower();
            for (const QString &term : lowerTerms) {
                if (text.contains(term)) {
                    matches = true;
                    break;
                }
            }
        }
        show = matches == m_showMatching;
    }
    if (isRowHidden(row) != show)
        return;
    // A row going out of sight leaves the selection. One coming back into sight is deselected
    // too: whatever selection it holds came from a Shift+click or a drag that reached over it
    // while it was hidden, not from the user's choice.
    if (selectionModel()->hasSelection()) {
        const QItemSelection rowCells(model()->index(row, 0),
                                      model()->index(row, columnCount() - 1));
        selectionModel()->select(rowCells, QItemSelectionModel::Deselect);
    }
    setRowHidden(row, !show);
}

// Refreshing from the plan

bool TableView::sortColumnMayChange(const Events &events) const
{
    for (const Event &event : events.events) {
        switch (event.type) {
        case EventType::AllChanged:
        case EventType::PropertiesReordered:
        case EventType::TaskAdded:
        case EventType::PropertyAdded:
        case EventType::PropertyDeleted:
            return true;
        case EventType::TasksDeleted:
            // The remaining rows get new indexes in column 0.
            if (m_sortColumn == 0)
                return true;
            break;
        case EventType::ValueChanged:
            if (event.propertyIndex == m_sortColumn)
                return true;
            break;
        case EventType::TaskNotesChanged:
            if (m_sortColumn == notesColumn())
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

void TableView::onSortIndicatorChanged(int column, Qt::SortOrder order)
{
    if (m_refreshing || column < 0 || column >= columnCount())
        return;
    m_sortColumn = column;
    m_sortOrder = order;
}

void TableView::restoreSort()
{
    if (m_sortColumn < 0 || m_sortColumn >= columnCount()) {
        m_sortColumn = 0;
        m_sortOrder = Qt::AscendingOrder;
    }
    horizontalHeader()->setSortIndicator(m_sortColumn, m_sortOrder);
    setSortingEnabled(true);
}

void TableView::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    const QList<Event> &list = events.events;
    BusyCursor busy;
    // Sorting moves rows as cells change, so it is suspended while the sort column changes,
    // and switched on again at the end, which sorts once. Otherwise the rows stay where they
    // are.
    const bool resort = isSortingEnabled() && sortColumnMayChange(events);
    // Values and notes changed in place repaint their rows; anything more repaints the whole
    // table once, at the end.
    const bool inPlace = !resort && std::all_of(list.cbegin(), list.cend(), [](const Event &event) {
        return event.type == EventType::ValueChanged || event.type == EventType::TaskNotesChanged
            || !isTableEvent(event.type);
    });
    std::optional<UpdateBlocker> updates;
    if (!inPlace)
        updates.emplace(this);
    m_repaintRows.clear();
    m_repaintAll = false;
    // Cells set from the plan must never come back as edits.
    SignalBlocker signalBlocker;
    signalBlocker.add(this);
    m_brushes.clear();
    // A hidden table catching up with changes folded into one rebuild keeps the user's view,
    // as a table in sight keeps it through those changes one by one; not through a whole new
    // plan or moved properties, for which a table in sight is built anew too.
    const auto *catchUp = qobject_cast<const DeferredRefresh *>(events.source);
    std::optional<KeptView> kept;
    if (catchUp && events.containsType(EventType::AllChanged)
        && !catchUp->waitedFor(EventFlag::AllChanged | EventFlag::PropertiesReordered))
        kept = keptView();
    m_refreshing = true;
    if (resort)
        setSortingEnabled(false);
    TaskIndex added = -1;
    for (int i = 0; i < list.size(); ++i) {
        const Event &event = list.at(i);
        switch (event.type) {
        case EventType::AllChanged:
        case EventType::PropertiesReordered:
            rebuild(catchUp, kept ? &*kept : nullptr);
            break;
        case EventType::TaskAdded:
            appendTaskRow(event.taskIndex);
            added = event.taskIndex;
            break;
        case EventType::TasksDeleted: {
            // A run of deletions removes its rows first and renumbers the rest once.
            QList<TaskIndex> run;
            for (; i < list.size() && list.at(i).type == EventType::TasksDeleted; ++i)
                run.append(list.at(i).taskIndex);
            --i;
            removeTasks(run);
            break;
        }
        case EventType::PropertyAdded:
            insertPropertyColumn(event.propertyIndex);
            break;
        case EventType::PropertyChanged:
            changeColumnHeader(event.propertyIndex);
            break;
        case EventType::PropertyDeleted:
            removePropertyColumn(event.propertyIndex);
            break;
        case EventType::ValueChanged:
            changeValue(event.taskIndex, event.propertyIndex);
            break;
        case EventType::TaskNotesChanged:
            changeNotes(event.taskIndex);
            break;
        case EventType::UiStyleChanged:
            applyTableFont();
            break;
        case EventType::TableAppearanceChanged:
            applyTableFont();
            resizeToContents();
            break;
        default:
            break;
        }
    }
    if (resort)
        restoreSort();
    if (kept)
        restoreView(*kept, *catchUp);
    m_refreshing = false;
    if (inPlace) {
        if (m_repaintAll) {
            viewport()->update();
        } else {
            for (int row : qAsConst(m_repaintRows))
                viewport()->update(0, rowViewportPosition(row), viewport()->width(),
                                   rowHeight(row));
        }
    }
    // Only now, sorted, is the new card's row known.
    if (added >= 0 && rowCount() > 0 && columnCount() > 0)
        makeTaskCurrent(added);
}

void TableView::rebuild(const DeferredRefresh *catchUp, const KeptView *kept)
{
    const Document *plan = doc();
    // Columns may come back in another order (properties re-ordered, or an undo of an added,
    // deleted or moved property): the sort stays with its property, found by its name, which
    // is unique. The index and notes columns keep their roles.
    const int oldNotesColumn = columnCount() - 1;
    QString sortProperty;
    if (m_sortColumn > 0 && m_sortColumn < oldNotesColumn) {
        if (const QTableWidgetItem *header = horizontalHeaderItem(m_sortColumn))
            sortProperty = header->text();
    }
    clear();
    setRowCount(0);
    setColumnCount(0);
    applyTableFont();
    const int properties = plan->propertyCount();
    const int tasks = plan->taskCount();
    const int notes = properties;
    setRowCount(tasks);
    setColumnCount(properties + 1);
    for (int p = 0; p < properties; ++p)
        setHorizontalHeaderItem(p, new SmartSortTableWidgetItem(plan->propertyName(p)));
    setHorizontalHeaderItem(notes, new SmartSortTableWidgetItem(tr("Notes")));
    {
        // One repaint at the end instead of a change signal per cell. Sorting is off, so the
        // rows are in card order: row t shows card t.
        const QSignalBlocker modelSignals(model());
        for (TaskIndex t = 0; t < tasks; ++t) {
            setCardIndexCell(t, t);
            for (int p = 1; p < properties; ++p)
                setItem(t, p, new SmartSortTableWidgetItem(plan->value(t, p)));
            setItem(t, notes, new SmartSortTableWidgetItem(plan->taskNotes(t)));
        }
        recolorAll();
    }
    setColumnHidden(0, true);
    if (catchUp)
        followSort(*catchUp, oldNotesColumn);
    else
        followSort(sortProperty, oldNotesColumn);
    onFilter();
    resizeColumnsToContents();
    // Only a new font fits a table in sight to its contents again.
    if (kept && !catchUp->waitedFor(EventFlag::TableAppearanceChanged)) {
        for (int column = 1; column < kept->columnWidths.size(); ++column) {
            const int now = columnNow(*catchUp, kept->notesColumn, column);
            if (now > 0)
                setColumnWidth(now, kept->columnWidths.at(column));
        }
    }
    fitRowHeightsBesideNotes();
}

void TableView::followSort(const DeferredRefresh &catchUp, int oldNotesColumn)
{
    if (m_sortColumn == 0)
        return;
    const int now = columnNow(catchUp, oldNotesColumn, m_sortColumn);
    if (now > 0 && now < columnCount()) {
        m_sortColumn = now;
    } else {
        // The rows were sorted by a property that went; back to card order.
        m_sortColumn = 0;
        m_sortOrder = Qt::AscendingOrder;
    }
}

int TableView::columnNow(const DeferredRefresh &catchUp, int oldNotesColumn, int column) const
{
    return column == oldNotesColumn ? notesColumn() : catchUp.propertyNow(column);
}

TableView::KeptView TableView::keptView() const
{
    KeptView kept;
    kept.notesColumn = columnCount() - 1;
    for (int column = 0; column < columnCount(); ++column)
        kept.columnWidths.append(columnWidth(column));
    const QModelIndex current = currentIndex();
    if (current.isValid()) {
        kept.currentTask = taskIndex(current.row());
        kept.currentColumn = current.column();
        kept.currentSelected = selectionModel()->isSelected(current);
    }
    kept.selectedTasks = selectedTasks();
    kept.horizontalScroll = horizontalScrollBar()->value();
    kept.verticalScroll = verticalScrollBar()->value();
    return kept;
}

void TableView::restoreView(const KeptView &kept, const DeferredRefresh &catchUp)
{
    QList<TaskIndex> selected;
    for (TaskIndex task : kept.selectedTasks) {
        const TaskIndex now = catchUp.taskNow(task);
        if (now >= 0)
            selected.append(now);
    }
    selectTasks(selected);
    const int row = rowOfTask(catchUp.taskNow(kept.currentTask));
    // A column that went leaves the current cell in the next one to its left, as in sight.
    int column = -1;
    for (int old = kept.currentColumn; old > 0 && column <= 0; --old)
        column = columnNow(catchUp, kept.notesColumn, old);
    // As elsewhere, a row the filter hides takes no typing.
    if (row >= 0 && !isRowHidden(row) && column > 0) {
        selectionModel()->setCurrentIndex(model()->index(row, column),
                                          kept.currentSelected ? QItemSelectionModel::Select
                                                               : QItemSelectionModel::NoUpdate);
    }
    // The scroll bars take in the rows and columns of the rebuild only at the next layout.
    executeDelayedItemsLayout();
    horizontalScrollBar()->setValue(kept.horizontalScroll);
    verticalScrollBar()->setValue(kept.verticalScroll);
}

void TableView::followSort(const QString &sortProperty, int oldNotesColumn)
{
    if (m_sortColumn > 0 && m_sortColumn == oldNotesColumn) {
        m_sortColumn = notesColumn();
        return;
    }
    if (sortProperty.isEmpty())
        return;
    for (int p = 1; p < notesColumn(); ++p) {
        if (horizontalHeaderItem(p) && horizontalHeaderItem(p)->text() == sortProperty) {
            m_sortColumn = p;
            return;
        }
    }
    // Gone by that name. With as many columns as before it was renamed (an undone rename, or
    // a plan of the same shape): its column stays. Otherwise the columns moved and the number
    // would name another property: back to card order.
    if (oldNotesColumn != notesColumn()) {
        m_sortColumn = 0;
        m_sortOrder = Qt::AscendingOrder;
    }
}

void TableView::appendTaskRow(TaskIndex task)
{
    const Document *plan = doc();
    // A card that is not the next row means the table missed a change: build it anew.
    if (task != rowCount() || columnCount() != plan->propertyCount() + 1) {
        rebuild();
        return;
    }
    const int row = rowCount();
    insertRow(row);
    setCardIndexCell(row, task);
    for (int p = 1; p < plan->propertyCount(); ++p)
        setCell(plan->value(task, p), task, row, p);
    setCell(plan->taskNotes(task), task, row, notesColumn());
    filterRow(row, lowerTerms());
}

void TableView::removeTasks(const QList<TaskIndex> &deleted)
{
    // Each index counts the cards left after the deletions before it; turn them into the
    // indexes the rows show now.
    QList<TaskIndex> removed;
    for (TaskIndex task : deleted) {
        TaskIndex original = task;
        for (TaskIndex earlier : qAsConst(removed)) {
            if (earlier > original)
                break;
            ++original;
        }
        removed.insert(std::upper_bound(removed.begin(), removed.end(), original), original);
    }
    QList<int> rows;
    for (TaskIndex task : qAsConst(removed)) {
        const int row = rowOfTask(task);
        if (row >= 0)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    // Adjacent rows go in one removal, from the bottom up.
    for (int last = rows.size() - 1; last >= 0;) {
        int first = last;
        while (first > 0 && rows.at(first - 1) == rows.at(first) - 1)
            --first;
        model()->removeRows(rows.at(first), last - first + 1);
        last = first - 1;
    }
    if (removed.isEmpty())
        return;
    for (int row = 0; row < rowCount(); ++row) {
        const TaskIndex task = taskIndex(row);
        const int below
            = std::lower_bound(removed.cbegin(), removed.cend(), task) - removed.cbegin();
        if (below > 0)
            setCardIndexCell(row, task - below);
    }
}

void TableView::insertPropertyColumn(int property)
{
    const Document *plan = doc();
    if (property + 1 != columnCount() || property >= plan->propertyCount()) {
        // The table missed a change; a column in the wrong place would store edits under
        // another property.
        rebuild();
        return;
    }
    if (m_sortColumn >= property)
        ++m_sortColumn;
    insertColumn(property);
    setHorizontalHeaderItem(property, new SmartSortTableWidgetItem(plan->propertyName(property)));
    const QString defaultValue = plan->propertyDefaultValue(property);
    for (TaskIndex t = 0; t < plan->taskCount(); ++t)
        setCellForTask(defaultValue, t, property);
    onFilter();
    // The top row the filter shows, never one it hides, where typing would go unseen.
    int top = 0;
    while (top < rowCount() && isRowHidden(top))
        ++top;
    if (top < rowCount() && columnCount() > 0) {
        setCurrentCell(top, columnCount() - 1);
        scrollTo(model()->index(top, columnCount() - 1));
        if (isVisible())
            setFocus();
    }
}

void TableView::changeColumnHeader(int property)
{
    if (property < 0 || property >= columnCount())
        return;
    setHorizontalHeaderItem(property, new SmartSortTableWidgetItem(doc()->propertyName(property)));
    if (tableColorSetting() != TableAppearance::CellColorOff)
        recolorColumns(columnsColoredBy(property));
}

void TableView::removePropertyColumn(int property)
{
    if (property <= 0 || property >= notesColumn()) {
        rebuild();
        return;
    }
    if (m_sortColumn == property) {
        // The rows were sorted by the values that went; back to card order.
        m_sortColumn = 0;
        m_sortOrder = Qt::AscendingOrder;
    } else if (m_sortColumn > property) {
        --m_sortColumn;
    }
    QTableWidget::removeColumn(property);
    recolorAll();
    onFilter();
}

void TableView::changeValue(TaskIndex task, int property)
{
    if (property <= 0 || property >= notesColumn())
        return;
    const int row = rowOfTask(task);
    if (row < 0)
        return;
    setCell(doc()->value(task, property), task, row, property);
    const int setting = tableColorSetting();
    if (setting != TableAppearance::CellColorOff) {
        const QList<int> columns = columnsColoredBy(property);
        recolorColumns(columns, row);
        // Numbers are coloured on a scale from the smallest to the largest value, so one value
        // can change every colour of its column. Rows coloured by another property keep theirs.
        const bool colouredByThis
            = setting == TableAppearance::CellColorAllProperties || setting == property + 1;
        if (colouredByThis && doc()->detectActualPropertyType(property) == ActualType::Numeric)
            recolorColumns(columns);
    }
    filterRow(row, lowerTerms());
}

void TableView::changeNotes(TaskIndex task)
{
    const int row = rowOfTask(task);
    if (row < 0 || columnCount() < 2)
        return;
    setCell(doc()->taskNotes(task), task, row, notesColumn());
    filterRow(row, lowerTerms());
}

// Cells

void TableView::setCardIndexCell(int row, TaskIndex task)
{
    auto *cell = new SmartSortTableWidgetItem(QString::number(task));
    cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
    setItem(row, 0, cell);
}

void TableView::setCellForTask(const QString &text, TaskIndex task, int column)
{
    const int row = rowOfTask(task);
    // No row shows the card: writing anyway would give another card's row its text.
    if (row >= 0)
        setCell(text, task, row, column);
}

void TableView::setCell(const QString &text, TaskIndex task, int row, int column)
{
    auto *cell = new SmartSortTableWidgetItem(text);
    colorCell(cell, task, column);
    setItem(row, column, cell);
}

// Colours

const QBrush &TableView::brush(const QColor &color)
{
    const QRgb key = color.rgba();
    auto found = m_brushes.find(key);
    if (found == m_brushes.end())
        found = m_brushes.insert(key, QBrush(color));
    return found.value();
}

SmartSortTableWidgetItem *TableView::cellAt(int row, int column) const
{
    // Every cell is made by the table or from its prototype.
    return dynamic_cast<SmartSortTableWidgetItem *>(item(row, column));
}

void TableView::colorCell(SmartSortTableWidgetItem *cell, TaskIndex task, int column)
{
    const int setting = tableColorSetting();
    const bool allProperties = setting == TableAppearance::CellColorAllProperties;
    if (setting == TableAppearance::CellColorOff
        || (allProperties && column >= doc()->propertyCount()))
        resetCellColors(cell);
    else
        colorCellByValue(cell, task, allProperties ? column : setting - 1);
}

void TableView::colorCellByValue(SmartSortTableWidgetItem *cell, TaskIndex task, int property)
{
    if (!cell)
        return;
    const QColor color = doc()->valueColor(task, property);
    cell->setColors(brush(color), brush(contrastingTextColor(color, false)));
}

void TableView::resetCellColors(SmartSortTableWidgetItem *cell)
{
    // No brush is no colour of the cell's own: the defaults show.
    cell->setColors(QBrush(), isDarkStyle() ? brush(darkStyleTextColor()) : QBrush());
}

QList<int> TableView::columnsColoredBy(int property) const
{
    if (property >= 1 && tableColorSetting() == property + 1) {
        QList<int> columns;
        for (int column = 1; column < columnCount(); ++column)
            columns.append(column);
        return columns;
    }
    return {property};
}

void TableView::recolorColumns(const QList<int> &columns, int onlyRow)
{
    // The cells report no change of colour; the refresh repaints them.
    if (onlyRow >= 0)
        m_repaintRows.append(onlyRow);
    else
        m_repaintAll = true;
    const int setting = tableColorSetting();
    const int first = onlyRow >= 0 ? onlyRow : 0;
    const int end = onlyRow >= 0 ? onlyRow + 1 : rowCount();
    for (int row = first; row < end; ++row) {
        const TaskIndex task = taskIndex(row);
        if (setting > TableAppearance::CellColorAllProperties) {
            // The whole row takes one colour: look it up once.
            const QColor color = doc()->valueColor(task, setting - 1);
            const QBrush &background = brush(color);
            const QBrush &foreground = brush(contrastingTextColor(color, false));
            for (int column : columns) {
                if (SmartSortTableWidgetItem *cell = cellAt(row, column))
                    cell->setColors(background, foreground);
            }
            continue;
        }
        for (int column : columns) {
            if (SmartSortTableWidgetItem *cell = cellAt(row, column))
                colorCell(cell, task, column);
        }
    }
}

void TableView::recolorAll()
{
    QList<int> columns;
    for (int column = 1; column < columnCount(); ++column)
        columns.append(column);
    recolorColumns(columns);
}

// Font and sizes

void TableView::applyTableFont()
{
    UpdateBlocker updates(this);
    const Document *plan = doc();
    QFont tableFont = plan->tableFont();
    if (plan->tableFontSize() > 0)
        tableFont.setPointSize(plan->tableFontSize());
    setFont(tableFont);
    recolorAll();
}

int TableView::sizeHintForColumn(int column) const
{
    const int hint = std::min(BaseTableView::sizeHintForColumn(column), MaximumColumnWidth);
    return std::max(hint, column == notesColumn() ? MinimumNotesWidth : MinimumColumnWidth);
}

void TableView::resizeToContents()
{
    resizeColumnsToContents();
    fitRowHeightsBesideNotes();
}

void TableView::fitRowHeightsBesideNotes()
{
    if (columnCount() > 0) {
        // Long notes would make rows tall; the row heights leave them out.
        setColumnHidden(notesColumn(), true);
        fitRowHeights();
        setColumnHidden(notesColumn(), false);
    } else {
        fitRowHeights();
    }
}

void TableView::fitRowHeights()
{
    // Measuring every cell of a large plan takes seconds. A row whose cells each hold one line
    // of text is as high as any other such row with the same kinds of cells, so one row of each
    // kind is measured and the others take its height. A row with a cell that may take more
    // lines (a line break, or wider than its column, where the text wraps) is measured on its
    // own. Rows hidden by the filter keep their heights, as when every row is fitted. All rows
    // are measured before any is resized: each resize makes the next row's position a walk
    // over all rows.
    const int rows = rowCount();
    const int columns = columnCount();
    TextWidths &widths = textWidths(font());
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int gridLine = showGrid() ? 1 : 0;
    QVector<qreal> lineWidth(columns, -1);
    for (int column = 0; column < columns; ++column) {
        if (!isColumnHidden(column))
            lineWidth[column] = columnWidth(column) - gridLine - 2 * textMargin;
    }
    const auto mayWrap = [&](const QString &text, qreal width) {
        if (hasLineBreakOrControl(text))
            return true;
        const qreal simple = widths.simpleWidth(text);
        // Other texts are measured whole, which may differ from their layout by a little.
        return simple >= 0 ? simple > width : widths.width(text) > width - 1;
    };
    QHeaderView *header = verticalHeader();
    const auto measure
        = [&](int row) { return std::max(sizeHintForRow(row), header->sectionSizeHint(row)); };
    enum Kind { NoDisplay = 1, OneLine = 2 };
    int heightOfKind[4] = {-1, -1, -1, -1};
    QVector<int> heights(rows, -1);
    for (int row = 0; row < rows; ++row) {
        if (isRowHidden(row))
            continue;
        int kind = 0;
        bool alone = false;
        for (int column = 0; column < columns && !alone; ++column) {
            if (lineWidth.at(column) < 0)
                continue;
            const QTableWidgetItem *cell = item(row, column);
            if (!cell)
                continue;
            const QVariant display = cell->data(Qt::DisplayRole);
            if (display.isNull()) {
                kind |= NoDisplay;
                continue;
            }
            kind |= OneLine;
            alone = mayWrap(display.toString(), lineWidth.at(column));
        }
        if (alone) {
            heights[row] = measure(row);
        } else {
            if (heightOfKind[kind] < 0)
                heightOfKind[kind] = measure(row);
            heights[row] = heightOfKind[kind];
        }
    }
    // The commonest height becomes the header's default: sorting keeps track of every row of
    // another height, which for thousands of rows costs more than the sort itself. Rows the
    // filter hides keep the height they had.
    QHash<int, int> counts;
    for (int height : qAsConst(heights)) {
        if (height >= 0)
            ++counts[height];
    }
    int common = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (common < 0 || it.value() > counts.value(common))
            common = it.key();
    }
    if (common >= 0)
        header->setDefaultSectionSize(common);
    for (int row = 0; row < rows; ++row) {
        if (heights.at(row) >= 0)
            header->resizeSection(row, heights.at(row));
    }
}

// Editing

void TableView::onCellChanged(int row, int column)
{
    const QTableWidgetItem *cell = item(row, column);
    if (!cell)
        return;
    // Storing the text refreshes the table, which replaces this cell: read everything first
    // and go by the row and column only.
    const TaskIndex task = taskIndex(row);
    QString text = cell->text();
    const int last = columnCount() - 1;
    if (column > 0 && column < last)
        doc()->setValue(task, column, text, true);
    else if (column > 0 && column == last)
        doc()->setTaskNotes(task, text, true);
}

bool TableView::isLastCell(const QModelIndex &index) const
{
    if (!index.isValid() || index.column() != columnCount() - 1)
        return false;
    // The last row in sight: the rows the filter hides below it are out of the user's reach.
    int lastShown = rowCount() - 1;
    while (lastShown >= 0 && isRowHidden(lastShown))
        --lastShown;
    return index.row() == lastShown;
}

void TableView::makeTaskCurrent(TaskIndex task)
{
    const int row = rowOfTask(task);
    // A card the filter hides stays out of reach: made current, it would take what the user
    // types next without showing it. The cell the user is on stays current.
    if (row < 0 || isRowHidden(row) || columnCount() < 2)
        return;
    setCurrentCell(row, 1);
    scrollTo(model()->index(row, 1));
    // A table on a tab out of sight takes no keyboard focus from the view the user works in.
    if (isVisible())
        setFocus();
}

void TableView::addTaskFromLastCell()
{
    const TaskIndex task = doc()->addTask(true);
    const int row = rowOfTask(task);
    if (row >= 0 && isRowHidden(row)) {
        // The user types on for the new card: the cell left behind must not take it, which
        // would write over a card of the user's. Set so, no cell becomes current when the
        // table regains the focus either.
        setCurrentIndex(QModelIndex());
        warnHiddenByFilter(*doc(), 1, tr("new"), [this] { emit removeFilterRequested(); });
    }
    // Sorted, the new card need not land in the last row: follow the card.
    makeTaskCurrent(task);
}

void TableView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Tab) {
        if (event->modifiers() & Qt::ControlModifier) {
            event->ignore();
            return;
        }
        if (isLastCell(currentIndex())) {
            addTaskFromLastCell();
            event->accept();
            return;
        }
    }
    BaseTableView::keyPressEvent(event);
}

bool TableView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool editing = BaseTableView::edit(index, trigger, event);
    // The item delegate takes Tab in an open editor to commit and move on, wrapping round to
    // the first cell; on the last cell it should add a card as it does without an editor.
    if (editing) {
        if (QWidget *editor = indexWidget(index))
            editor->installEventFilter(this);
    }
    return editing;
}

bool TableView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *editor = qobject_cast<QWidget *>(watched);
        if (key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ControlModifier) && editor
            && editor == indexWidget(currentIndex()) && isLastCell(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
            addTaskFromLastCell();
            return true;
        }
    }
    return BaseTableView::eventFilter(watched, event);
}

void TableView::paintEvent(QPaintEvent *event)
{
    BaseTableView::paintEvent(event);
    drawCenteredMessage(emptyPlanHint());
    drawFullScreenExitMessage();
}
