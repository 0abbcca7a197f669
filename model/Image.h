#pragma once

#include "common/TextHelpers.h"

#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>

// One entry of the plan's image library: a small picture, its name and, for a stock image,
// the resource path it came from.
class Image
{
public:
    static constexpr int MaxSide = 128;
    static constexpr int MaxNameLength = 128;
    // Pictures declaring a larger side are refused before decoding, so that a tiny file cannot
    // make the program allocate gigabytes.
    static constexpr int MaxDecodedSide = maximumPictureSide;

    Image() = default;
    Image(const QPixmap &pixmap, const QString &name, const QString &path);
    explicit Image(const QString &fileName);

    const QPixmap &pixmap() const { return m_pixmap; }
    const QString &name() const { return m_name; }
    const QString &path() const { return m_path; }
    QImage toImage() const { return m_pixmap.toImage(); }
    void setName(const QString &name);
    bool isNull() const;

    // Equal names and equal pixels.
    bool operator==(const Image &other) const;
    bool operator!=(const Image &other) const { return !(*this == other); }

    // The first image of the list with the same pixels as the pixmap, or -1.
    static int indexOf(const QPixmap &pixmap, const QList<Image> &images);
    static bool samePixels(const QPixmap &a, const QPixmap &b);

private:
    QPixmap m_pixmap;
    QString m_name;
    QString m_path;
};
