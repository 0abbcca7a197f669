#include "model/ImageLookup.h"

namespace {

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    // Copies of one entry share their bytes, which may be those of a large picture.
    return a.size() == b.size() && (a.constData() == b.constData() || a == b);
}

} // namespace

ImageLookup::ImageLookup(const QList<Image> &images) : m_images(images)
{
    for (int i = 0; i < m_images.size(); ++i) {
        const Image &image = m_images.at(i);
        if (image.isNull()) {
            if (indexOf(image) == -1)
                m_keptByLength[image.storedBytes().size()].append(i);
            continue;
        }
        const qint64 key = image.pixmap().cacheKey();
        if (m_firstOfPixmap.contains(key))
            continue;
        const uint hash = image.pixelHash();
        int first = firstShowing(image.pixmap(), hash);
        if (first == -1) {
            first = i;
            m_firstByHash[hash].append(i);
        }
        m_firstOfPixmap.insert(key, first);
    }
}

int ImageLookup::indexOf(const Image &image)
{
    if (image.isNull()) {
        const QByteArray bytes = image.storedBytes();
        for (const int kept : m_keptByLength.value(bytes.size())) {
            if (sameBytes(m_images.at(kept).storedBytes(), bytes))
                return kept;
        }
        return -1;
    }
    const auto found = m_firstOfPixmap.constFind(image.pixmap().cacheKey());
    if (found != m_firstOfPixmap.constEnd())
        return *found;
    return firstShowing(image.pixmap(), image.pixelHash());
}

int ImageLookup::firstShowing(const QPixmap &pixmap, uint hash)
{
    const auto found = m_firstByHash.constFind(hash);
    if (found == m_firstByHash.constEnd())
        return -1;
    for (const int first : *found) {
        if (samePixels(m_images.at(first).pixmap(), pixmap))
            return first;
    }
    return -1;
}

// Image::samePixels, but that a picture is converted at most once for all its comparisons.
bool ImageLookup::samePixels(const QPixmap &a, const QPixmap &b)
{
    if (a.size() != b.size())
        return false;
    // Pictures of 32 bits a pixel in one format compare their bits at once; pictures held in a
    // table of colours (as a plan file's come in) would be compared a pixel's colour at a time.
    const QImage::Format format = a.toImage().format();
    if (format == b.toImage().format() && a.depth() == 32)
        return Image::samePixels(a, b);
    return seenPixels(a) == seenPixels(b);
}

QImage ImageLookup::seenPixels(const QPixmap &pixmap)
{
    const qint64 key = pixmap.cacheKey();
    auto found = m_seen.find(key);
    if (found == m_seen.end())
        found = m_seen.insert(key, Image::seenPixels(pixmap));
    return *found;
}
