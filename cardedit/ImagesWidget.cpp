#include "cardedit/ImagesWidget.h"

#include "common/core/BusyCursor.h"
#include "common/core/TextHelpers.h"
#include "common/widgets/DialogHelpers.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

ImagesWidget::ImagesWidget(QWidget *parent) : QTreeWidget(parent)
{
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

QStringList ImagesWidget::imageFilePaths(const QMimeData *data)
{
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isFile() && isImageFile(info.suffix().toLower()))
            paths.append(info.filePath());
    }
    return paths;
}

void ImagesWidget::keyPressEvent(QKeyEvent *event)
{
    QTreeWidget::keyPressEvent(event);
    if (event->key() != Qt::Key_Delete && event->key() != Qt::Key_Backspace)
        return;
    // Backspace is also "any key", so it may just have opened the name editor; the rows it
    // was opened on are about to go.
    if (QWidget *editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    emit deleteKeyPressed();
}

void ImagesWidget::paintEvent(QPaintEvent *event)
{
    QTreeWidget::paintEvent(event);
    if (isEnabled() && topLevelItemCount() == 0)
        drawHint(tr("Click '+' or 'Stock Images...'\nto add images\nor drag image files "
                    "here.\n\nYou can also drag\nimage files straight on to cards\nin the "
                    "'Cards' pane."));
}

void ImagesWidget::drawHint(const QString &text)
{
    drawCenteredHint(viewport(), QRect(0, 0, width(), height()), text);
}

void ImagesWidget::dragEnterEvent(QDragEnterEvent *event)
{
    QTreeWidget::dragEnterEvent(event);
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void ImagesWidget::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeWidget::dragMoveEvent(event);
    event->acceptProposedAction();
}

void ImagesWidget::dropEvent(QDropEvent *event)
{
    QTreeWidget::dropEvent(event);
    QStringList paths;
    {
        BusyCursor busy;
        paths = imageFilePaths(event->mimeData());
    }
    if (!paths.isEmpty())
        emit droppedImageFiles(paths);
}
