#pragma once

#include "model/Events.h"
#include "model/ModelTypes.h"
#include "table/BaseTableView.h"
#include "table/DeferredRefresh.h"

#include <QBrush>
#include <QHash>
#include <QStringList>
#include <QVector>

class SmartSortTableWidgetItem;

// The Table tab: the plan as a spreadsheet, a row per card and a column per property, the
// notes last. Column 0 holds each row's card index and is hidden; rows move when sorted, so a
// row's card is always read from it. Cells are edited in place and every edit goes to the plan
// as one undoable change; the table follows the plan only through Document::changed.
//
// The main window hands Document::changed to onChangedDoc through a DeferredRefresh (a table
// out of sight waits until it is shown) and reads selectedTasks, selectedProperties and
// visibleTasks for its commands, each only while the table is shown; selectTasks selects cards;
// the Filter section calls setSearch, and removes its filter on removeFilterRequested.
//
// Listens to what adds, removes or moves rows and columns (rebuildsOn) and to what changes
// cells, headers, colours and fonts in place (changesInPlaceOn).
class TableView : public BaseTableView
{
    Q_OBJECT

public:
    static constexpr EventMask rebuildsOn = EventFlag::AllChanged | EventFlag::TaskAdded
        | EventFlag::TasksDeleted | EventFlag::PropertyAdded | EventFlag::PropertyDeleted
        | EventFlag::PropertiesReordered;
    static constexpr EventMask changesInPlaceOn = EventFlag::PropertyChanged
        | EventFlag::ValueChanged | EventFlag::TaskNotesChanged | EventFlag::UiStyleChanged
        | EventFlag::TableAppearanceChanged;
    static constexpr EventMask listensTo = rebuildsOn | changesInPlaceOn;

    explicit TableView(QWidget *parent = nullptr);

    // The card a row shows; the row number itself for a row without an index cell.
    TaskIndex taskIndex(int row) const;
    // The row showing the card, or -1 when none does.
    int rowOfTask(TaskIndex task) const;
    QList<TaskIndex> selectedTasks() const;
    // Column numbers are property indexes; the notes column stands for the property count.
    QList<int> selectedProperties() const;
    // The cards of the rows the filter leaves visible, ascending.
    QList<TaskIndex> visibleTasks() const;
    // Selects the rows of the cards, skipping rows the filter hides.
    void selectTasks(const QList<TaskIndex> &tasks);
    // Filters the rows: with showMatching the rows containing any term stay, otherwise they go.
    // No terms show every row.
    void setSearch(bool showMatching, const QStringList &terms);
    int notesColumn() const { return columnCount() - 1; }

    // How the table catches up with an event type while hidden, by the masks above.
    static DeferredRefresh::Kind refreshKind(int eventType);

    // The plan's colour setting when it names an entry of the colouring list (0 off, 1 every
    // property, p + 1 rows by property p); a setting from a damaged file that names none is off.
    static int tableColorSetting();

    // The column and order of the user's sort, kept across refreshes.
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

signals:
    // The user asked to remove the filter that hides a card just added; the Filter section
    // holds it.
    void removeFilterRequested();

public slots:
    void onChangedDoc(const Events &events);
    void onCellChanged(int row, int column);
    void onFilter();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    int sizeHintForColumn(int column) const override;
    using BaseTableView::edit;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onSortIndicatorChanged(int column, Qt::SortOrder order);

private:
    // What a catch-up of a hidden table keeps of the user's view through the changes it folds
    // into one rebuild, by the cards and columns as they were shown.
    struct KeptView
    {
        int notesColumn = -1;
        QVector<int> columnWidths;
        TaskIndex currentTask = -1;
        int currentColumn = -1;
        bool currentSelected = false;
        QList<TaskIndex> selectedTasks;
        int horizontalScroll = 0;
        int verticalScroll = 0;
    };
    KeptView keptView() const;
    void restoreView(const KeptView &kept, const DeferredRefresh &catchUp);
    // The column now of a column as the table showed it before the catch-up.
    int columnNow(const DeferredRefresh &catchUp, int oldNotesColumn, int column) const;

    // The handling of the events of one notification, in list order. A catch-up rebuild
    // follows the sort, and the widths kept, through the changes it took in.
    void rebuild(const DeferredRefresh *catchUp = nullptr, const KeptView *kept = nullptr);
    void appendTaskRow(TaskIndex task);
    void removeTasks(const QList<TaskIndex> &deleted);
    void insertPropertyColumn(int property);
    void changeColumnHeader(int property);
    void removePropertyColumn(int property);
    void changeValue(TaskIndex task, int property);
    void changeNotes(TaskIndex task);
    // After a rebuild: the sort column of the property named sortProperty, or of the notes
    // when the sort was on the old notes column.
    void followSort(const QString &sortProperty, int oldNotesColumn);
    // After a catch-up rebuild: the sort column of the same property, followed by the waiting.
    void followSort(const DeferredRefresh &catchUp, int oldNotesColumn);
    bool sortColumnMayChange(const Events &events) const;
    void restoreSort();

    void setCardIndexCell(int row, TaskIndex task);
    void setCellForTask(const QString &text, TaskIndex task, int column);
    void setCell(const QString &text, TaskIndex task, int row, int column);
    SmartSortTableWidgetItem *cellAt(int row, int column) const;
    void colorCell(SmartSortTableWidgetItem *cell, TaskIndex task, int column);
    void colorCellByValue(SmartSortTableWidgetItem *cell, TaskIndex task, int property);
    void resetCellColors(SmartSortTableWidgetItem *cell);
    void recolorColumns(const QList<int> &columns, int onlyRow = -1);
    void recolorAll();
    QList<int> columnsColoredBy(int property) const;
    const QBrush &brush(const QColor &color);
    void applyTableFont();
    void resizeToContents();
    void fitRowHeightsBesideNotes();
    void fitRowHeights();

    void filterRow(int row, const QStringList &lowerTerms);
    QStringList lowerTerms() const;
    bool isLastCell(const QModelIndex &index) const;
    void addTaskFromLastCell();
    void makeTaskCurrent(TaskIndex task);

    bool m_showMatching;
    QStringList m_searchTerms;

    // The user's sort: Qt's header forgets it when the columns go in a rebuild.
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_refreshing = false;
    // Row of each card as last seen; checked on every use and renewed when it is stale.
    mutable QVector<int> m_rowOfTask;
    // What a refresh of cells in place repaints at its end.
    QVector<int> m_repaintRows;
    bool m_repaintAll = false;
    // Brushes by colour, so the cells of one colour share one brush.
    QHash<QRgb, QBrush> m_brushes;
};
