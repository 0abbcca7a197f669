#include "table/BaseTableView.h"

#include "common/app/Accessors.h"
#include "common/core/FileHelpers.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/FullScreenHint.h"
#include "common/widgets/LongTextDelegate.h"
#include "common/widgets/UpdateBlocker.h"
#include "model/Document.h"

#include <algorithm>

#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace {

// How long the full-screen exit note stays; tests shorten it.
int fullScreenExitMessageMs = 5000;

QList<int> sortedDistinct(QList<int> list)
{
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

} // namespace

BaseTableView::BaseTableView(QWidget *parent) : QTableWidget(parent), m_fullScreenExitMessage(false)
{
    // Signal arguments named by their aliases, for spies and queued connections.
    qRegisterMetaType<TaskIndex>("TaskIndex");
    qRegisterMetaType<QList<PropertyIndexAndValue>>("QList<PropertyIndexAndValue>");
    setAcceptDrops(true);
    setItemDelegate(new LongTextDelegate(this));
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(fullScreenExitMessageMs);
    connect(&m_hideTimer, &QTimer::timeout, this, &BaseTableView::onHideFullScreenExitMessage);
}

int BaseTableView::setFullScreenExitMessageMs(int milliseconds)
{
    const int previous = fullScreenExitMessageMs;
    fullScreenExitMessageMs = milliseconds;
    return previous;
}

void BaseTableView::showEvent(QShowEvent *event)
{
    QTableWidget::showEvent(event);
    emit visibilityChanged();
}

bool BaseTableView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool wasEditing = state() == EditingState;
    const bool edited = QTableWidget::edit(index, trigger, event);
    if (edited && !wasEditing && state() == EditingState) {
        m_editedIndex = index;
        m_editor = indexWidget(index);
    }
    return edited;
}

// The editor's presence decides, not the view's state: a drag that crosses the table or drops
// on it puts the view back in its state of no editing while the editor stays open with its text.
void BaseTableView::commitOpenEditor()
{
    if (!m_editor || !m_editedIndex.isValid() || indexWidget(m_editedIndex) != m_editor)
        return;
    QWidget *editor = m_editor;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void BaseTableView::keyPressEvent(QKeyEvent *event)
{
    QTableWidget::keyPressEvent(event);
    if (event->key() == Qt::Key_Escape)
        emit escapeKeyPressed();
}

void BaseTableView::mousePressEvent(QMouseEvent *event)
{
    QTableWidget::mousePressEvent(event);
    onHideFullScreenExitMessage();
}

void BaseTableView::dragEnterEvent(QDragEnterEvent *event)
{
    QTableWidget::dragEnterEvent(event);
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void BaseTableView::dragMoveEvent(QDragMoveEvent *event)
{
    QTableWidget::dragMoveEvent(event);
    event->acceptProposedAction();
}

void BaseTableView::dropEvent(QDropEvent *event)
{
    QTableWidget::dropEvent(event);
    if (!event->mimeData()->hasUrls())
        return;
    emit droppedFiles(event->mimeData()->urls(), -1, {});
    event->acceptProposedAction();
}

void BaseTableView::showFullScreenExitMessage()
{
    if (m_fullScreenExitMessage)
        return;
    m_fullScreenExitMessage = true;
    viewport()->update();
    m_hideTimer.start();
}

void BaseTableView::onHideFullScreenExitMessage()
{
    m_hideTimer.stop();
    if (!m_fullScreenExitMessage)
        return;
    m_fullScreenExitMessage = false;
    viewport()->update();
}

void BaseTableView::drawFullScreenExitMessage()
{
    if (m_fullScreenExitMessage)
        drawFullScreenHint(this);
}

void BaseTableView::drawCenteredMessage(const QString &text)
{
    if (text.isEmpty())
        return;
    drawCenteredHint(viewport(), viewport()->rect(), text);
}

QString BaseTableView::emptyPlanHint()
{
    const Document *plan = doc();
    if (plan->taskCount() == 0) {
        QString hint = plan->propertyCount() > 1 ? tr("Add cards") : tr("Add cards and properties");
        // Without its own folder dataFolder names the Documents folder, which holds no samples.
        const QString samples = dataFolder(false);
        if (QDir(samples).exists() && QFileInfo(samples).fileName() == QLatin1String("Tavrolo"))
            hint += tr("\nor open a sample from:\n'%1'").arg(QDir::toNativeSeparators(samples));
        return hint;
    }
    if (plan->propertyCount() <= 2)
        return tr("Add properties");
    return QString();
}

void BaseTableView::selectVisibleRows()
{
    UpdateBlocker blocker(this);
    clearSelection();
    const int lastColumn = columnCount() - 1;
    if (lastColumn < 0)
        return;
    // Runs of visible rows go in as one range each: one selection change for the whole table
    // instead of one per row.
    QItemSelection selection;
    int row = 0;
    while (row < rowCount()) {
        if (isRowHidden(row)) {
            ++row;
            continue;
        }
        const int first = row;
        while (row + 1 < rowCount() && !isRowHidden(row + 1))
            ++row;
        selection.select(model()->index(first, 0), model()->index(row, lastColumn));
        ++row;
    }
    selectionModel()->select(selection, QItemSelectionModel::Select);
}

QList<int> BaseTableView::selectedRows() const
{
    return ::selectedRows(this);
}

QList<int> BaseTableView::selectedColumns() const
{
    QList<int> columns;
    const int lastRow = rowCount() - 1;
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    for (const QTableWidgetSelectionRange &range : ranges) {
        if (range.topRow() != 0 || range.bottomRow() != lastRow)
            continue;
        for (int column = range.leftColumn(); column <= range.rightColumn(); ++column)
            columns.append(column);
    }
    return sortedDistinct(columns);
}
