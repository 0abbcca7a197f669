#include "model/Image.h"

#include "common/core/PngPictureReader.h"
#include "common/core/TextHelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

const QString dragImageFileName = QStringLiteral("_TavroloTempDragImage.png");

// A stat never waits, so a pipe or a device is turned away before it is opened.
bool openRegularFile(QFile &file)
{
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
}

} // namespace

Image::Image(const QPixmap &pixmap, const QString &name, const QString &path)
    : m_pixmap(pixmap), m_name(elideText(name, MaxNameLength)), m_path(path)
{
    if (qMax(m_pixmap.width(), m_pixmap.height()) > MaxSide) {
        // A very long, thin picture would round to no pixels at all; keep at least one.
        const QSize size
            = m_pixmap.size().scaled(MaxSide, MaxSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        m_pixmap = m_pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
}

Image::Image(const QString &fileName)
{
    *this = fromNamedFile(fileName);
}

// Only the fitted picture is kept, so a photo is decoded at that size where it can be.
Image Image::fromNamedFile(const QString &fileName, PictureBudget *budget)
{
    QFile file(fileName);
    if (!openRegularFile(file))
        return Image();
    // Only a picture that comes in pays for the pixels it holds, by the bytes of it that are
    // there: a file's size is no more than a number in the file system, and the size of a
    // sparse file holds next to no bytes.
    return fromFile(readRasterPicture(&file, QSize(MaxSide, MaxSide), budget), fileName);
}

QList<Image> Image::fromNamedFiles(const QStringList &fileNames)
{
    PictureBudget budget = PictureBudget::forPictureFiles();
    QList<Image> images;
    images.reserve(fileNames.size());
    for (const QString &fileName : fileNames)
        images.append(fromNamedFile(fileName, &budget));
    return images;
}

Image Image::fromFile(const QImage &picture, const QString &fileName)
{
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
        return Image();
    const QFileInfo info(fileName);
    const QString name
        = info.fileName() == dragImageFileName ? QStringLiteral("image") : info.baseName();
    const QString path = fileName.startsWith(QLatin1String(":/")) ? fileName : QString();
    return Image(heldPixmap(picture), name, path);
}

QPixmap Image::heldPixmap(const QImage &picture)
{
    return QPixmap::fromImage(picture, Qt::NoFormatConversion);
}

Image Image::keptAsStored(const QByteArray &bytes, const QString &name, const QString &path)
{
    Image image(QPixmap(), name, path);
    image.m_encoded->png = bytes;
    image.m_encoded->done = true;
    return image;
}

Image Image::fromStored(const QImage &picture, const QByteArray &bytes, const QString &name,
                        const QString &path)
{
    Image image(heldPixmap(picture), name, path);
    if (image.m_pixmap.size() == picture.size()
        && PngPictureReader::holdsOnlyItsPicture(bytes, picture.size())) {
        image.m_encoded->png = bytes;
        image.m_encoded->done = true;
    }
    return image;
}

QByteArray Image::storedBytes() const
{
    if (!m_encoded->done) {
        m_encoded->png = pictureToPng(toImage());
        m_encoded->done = true;
    }
    return m_encoded->png;
}

void Image::setName(const QString &name)
{
    m_name = elideText(name, MaxNameLength);
}

bool Image::isNull() const
{
    return m_pixmap.isNull() || m_pixmap.width() == 0 || m_pixmap.height() == 0;
}

bool Image::operator==(const Image &other) const
{
    return m_name == other.m_name && samePixels(m_pixmap, other.m_pixmap)
        && (!isNull() || storedBytes() == other.storedBytes());
}

bool Image::samePixels(const QPixmap &a, const QPixmap &b)
{
    if (a.cacheKey() == b.cacheKey())
        return true;
    if (a.size() != b.size() || a.isNull() != b.isNull())
        return false;
    const QImage first = a.toImage();
    const QImage second = b.toImage();
    // A picture read back from a file may come in another pixel format than the one it was
    // made with; compare what is seen, not how it is stored.
    if (first.format() != second.format())
        return seenPixels(a) == seenPixels(b);
    return first == second;
}

QImage Image::seenPixels(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

uint Image::pixelHash(const QPixmap &pixmap)
{
    if (pixmap.isNull())
        return 0;
    const QImage seen = seenPixels(pixmap);
    uint hash = qHash(qMakePair(seen.width(), seen.height()));
    const size_t lineBytes = size_t(seen.width()) * sizeof(QRgb);
    if (size_t(seen.bytesPerLine()) == lineBytes)
        return qHashBits(seen.constBits(), lineBytes * size_t(seen.height()), hash);
    for (int y = 0; y < seen.height(); ++y)
        hash = qHashBits(seen.constScanLine(y), lineBytes, hash);
    return hash;
}

uint Image::pixelHash() const
{
    if (!m_encoded->pixelHashKnown) {
        m_encoded->pixelHash = pixelHash(m_pixmap);
        m_encoded->pixelHashKnown = true;
    }
    return m_encoded->pixelHash;
}

int Image::indexOf(const Image &image, const QList<Image> &images)
{
    if (!image.isNull())
        return indexOfPixels(
            image.pixmap(), [&image] { return image.pixelHash(); }, images);
    for (int i = 0; i < images.size(); ++i) {
        if (images.at(i).isNull() && images.at(i).storedBytes() == image.storedBytes())
            return i;
    }
    return -1;
}

int Image::indexOf(const QPixmap &pixmap, const QList<Image> &images)
{
    return indexOfPixels(
        pixmap, [&pixmap] { return pixelHash(pixmap); }, images);
}

template<typename Hash>
int Image::indexOfPixels(const QPixmap &pixmap, Hash hash, const QList<Image> &images)
{
    // The pixmap's hash is worked out at most once, and only when a picture of its size is met;
    // the entries keep theirs, so looking up one picture after another costs a comparison of
    // pixels only where they may be equal.
    bool hashed = false;
    uint pixmapHash = 0;
    for (int i = 0; i < images.size(); ++i) {
        const Image &entry = images.at(i);
        if (entry.pixmap().cacheKey() == pixmap.cacheKey())
            return i;
        if (entry.pixmap().size() != pixmap.size() || entry.pixmap().isNull() || pixmap.isNull())
            continue;
        if (!hashed) {
            pixmapHash = hash();
            hashed = true;
        }
        if (entry.pixelHash() == pixmapHash && samePixels(entry.pixmap(), pixmap))
            return i;
    }
    return -1;
}
