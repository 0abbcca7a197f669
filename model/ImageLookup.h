#pragma once

#include "model/Image.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QVector>

// Finds pictures in an image library as Image::indexOf does, for many pictures in turn, so that
// an edit of a library of thousands maps each old entry to its new place in time that grows with
// the library, not with its square. The library is read once: an entry that is still the same
// shared picture is found by its pixmap at once, and pixels are compared only between pictures
// of one size and one pixel hash.
class ImageLookup
{
public:
    explicit ImageLookup(const QList<Image> &images);

    // The index of the first entry showing what the image shows, or -1 (Image::indexOf).
    int indexOf(const Image &image);

private:
    // The first entry with the same pixels as a picture of that pixel hash, or -1.
    int firstShowing(const QPixmap &pixmap, uint hash);
    bool samePixels(const QPixmap &a, const QPixmap &b);
    // Image::seenPixels, made once for each picture compared.
    QImage seenPixels(const QPixmap &pixmap);

    QList<Image> m_images;
    // For each pixmap of the library, by its cache key, the first entry with the same pixels.
    QHash<qint64, int> m_firstOfPixmap;
    // The first entry of each different picture, by pixel hash, in library order.
    QHash<uint, QVector<int>> m_firstByHash;
    // The first entry without a picture of each different kept bytes, by the bytes' length.
    QHash<int, QVector<int>> m_keptByLength;
    // Pictures held in different formats are compared as seen; each is converted once.
    QHash<qint64, QImage> m_seen;
};
