#include "model/Document.h"
#include "model/ImageLookup.h"

int Document::addImage(const Image &image, bool undoable)
{
    announceChange(QStringLiteral("Add Image"), undoable);
    m_images.append(image);
    notifyChange(EventType::ImagesChanged, -1, -1, undoable);
    return m_images.size() - 1;
}

void Document::addImages(const QStringList &fileNames, TaskIndex task, bool undoable)
{
    announceChange(QStringLiteral("Add Images"), undoable);
    Events events;
    events.add(EventType::ImagesChanged);
    const QList<Image> images = Image::fromNamedFiles(fileNames);
    for (const Image &image : images) {
        if (image.isNull())
            continue;
        int index = Image::indexOf(image.pixmap(), m_images);
        if (index == -1) {
            m_images.append(image);
            index = m_images.size() - 1;
        }
        if (task == -1 || !isValidTask(task))
            continue;
        if (m_tasks.at(task).imageIndex() != index)
            m_tasks[task].setImageIndex(index);
        events.add(EventType::TaskImageChanged, task, -1);
    }
    notifyChange(events, undoable);
}

void Document::editImages(const QList<Image> &images, bool undoable)
{
    if (images == m_images)
        return;
    announceChange(QStringLiteral("Edit Images"), undoable);
    // Where each old picture went: found by its pixels, so a renamed picture stays on its cards,
    // and one kept as its plan file stored it by its bytes. The library may hold thousands.
    ImageLookup lookup(images);
    QList<int> newIndexOf;
    newIndexOf.reserve(m_images.size());
    for (const Image &old : qAsConst(m_images))
        newIndexOf.append(lookup.indexOf(old));
    m_images = images;
    Events events;
    events.add(EventType::ImagesChanged);
    for (TaskIndex task = 0; task < m_tasks.size(); ++task) {
        const int index = m_tasks.at(task).imageIndex();
        if (index == -1)
            continue;
        // A card pointing past the old library (a damaged file) had no picture and gets none.
        const int mapped = index >= 0 && index < newIndexOf.size() ? newIndexOf.at(index) : -1;
        if (mapped == index)
            continue;
        m_tasks[task].setImageIndex(mapped);
        events.add(EventType::TaskImageChanged, task, -1);
    }
    notifyChange(events, undoable);
}

int Document::findImage(const QPixmap &pixmap) const
{
    // Stored pictures are scaled down; compare the pixmap as it would be stored.
    const Image image(pixmap, QString(), QString());
    return Image::indexOf(image.pixmap(), m_images);
}

void Document::removeImageAt(int index)
{
    if (index >= 0 && index < m_images.size())
        m_images.removeAt(index);
}
