// Files, links and pictures dropped on the Cards view, handed to the main window with the card
// and cell they landed on; and the view drawn as a document for printing and export.

#include "cards/CardItem.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/core/RasterPictureReader.h"
#include "model/Document.h"
#include "model/Image.h"

#include <QBuffer>
#include <QDir>
#include <QDragEnterEvent>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>

namespace {

const char dragImageName[] = "_TavroloTempDragImage.png";

// The picture a drag carries: the first of its image formats whose bytes hold one, read as a
// picture file is read and fitted as the card's picture will be. The picture Qt decodes as the
// drag's image data is never asked for: Qt takes any format it knows, with no bound, and a few
// bytes can hold the program for seconds or end it.
QImage carriedPicture(const QMimeData *data)
{
    const QStringList formats = data->formats();
    for (const QString &format : formats) {
        if (!format.startsWith(QLatin1String("image/")))
            continue;
        QByteArray bytes = data->data(format);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const QImage picture = readRasterPicture(&buffer, QSize(Image::MaxSide, Image::MaxSide));
        if (!picture.isNull())
            return picture;
    }
    return QImage();
}

} // namespace

// A folder only this user can enter, made on the first picture drop and removed when the
// program ends: in the shared temporary folder another user could plant a link under the
// name, whose target the picture would overwrite, and two running copies would overwrite each
// other's picture.
QString CardsView::dragImagePath()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/tavrolo-XXXXXX"));
    if (!folder.isValid())
        return QString();
    return QDir::toNativeSeparators(folder.filePath(QString::fromLatin1(dragImageName)));
}

void CardsView::dragEnterEvent(QDragEnterEvent *event)
{
    GraphicsView::dragEnterEvent(event);
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CardsView::dragMoveEvent(QDragMoveEvent *event)
{
    GraphicsView::dragMoveEvent(event);
    event->acceptProposedAction();
}

void CardsView::dragLeaveEvent(QDragLeaveEvent *event)
{
    GraphicsView::dragLeaveEvent(event);
    stopAutoScroll(true);
}

void CardsView::dropEvent(QDropEvent *event)
{
    GraphicsView::dropEvent(event);
    const QMimeData *data = event->mimeData();
    QList<QUrl> urls;
    if (data->hasImage()) {
        // A picture dragged from a web page comes as the picture and its address; the
        // picture is what the user sees and wants.
        const QImage image = carriedPicture(data);
        if (!image.isNull()) {
            const QString path = dragImagePath();
            if (!path.isEmpty() && image.save(path, "PNG"))
                urls.append(QUrl::fromLocalFile(path));
            else
                qWarning().noquote() << QStringLiteral("can't save to ") + path;
        }
    } else if (data->hasUrls()) {
        urls = data->urls();
    }
    if (!urls.isEmpty()) {
        const QPoint point = event->pos();
        const CardItem *card = cardItemAt(point);
        const TaskIndex task = card ? card->taskIndex() : -1;
        QList<PropertyIndexAndValue> presets;
        int column = -1;
        int row = -1;
        QRectF cell;
        if (m_scene->cellAt(mapToScene(point), &column, &row, &cell, 0))
            presets = m_scene->cellPresets(column, row);
        emit droppedFiles(urls, task, presets);
        event->acceptProposedAction();
    }
    stopAutoScroll(true);
}

// The header type is changed for the drawing only, without undo or notice, and put back.
void CardsView::renderScene(QPainter *painter)
{
    const QList<QGraphicsItem *> selected = m_scene->selectedItems();
    if (!selected.isEmpty())
        m_scene->clearSelection();
    Document *plan = document();
    const int headerType = plan->cardsHeaderType();
    plan->setCardsHeaderType(HeaderType::Fixed, false);
    GraphicsView::renderScene(painter);
    plan->setCardsHeaderType(headerType, false);
    if (!selected.isEmpty()) {
        for (QGraphicsItem *item : selected)
            item->setSelected(true);
        m_scene->update(QRectF());
    }
}
