#pragma once

#include "common/core/RasterPictureReader.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

// One entry of the plan's image library: a small picture, its name and, for a stock image,
// the resource path it came from.
class Image
{
public:
    static constexpr int MaxSide = 128;
    static constexpr int MaxNameLength = 128;
    // Pictures declaring a larger side are refused before decoding. A picture is read fitted to
    // MaxSide, never held at its full size (a phone's panorama, a page scanned at 600 dots an
    // inch), so that only the widest side a format holds bounds it.
    static constexpr int MaxDecodedSide = maximumFittedSide;

    Image() = default;
    Image(const QPixmap &pixmap, const QString &name, const QString &path);
    // A picture file, read as fromNamedFile reads it.
    explicit Image(const QString &fileName);
    // A picture file, read only from a regular file, links followed, which is known before
    // anything opens it (the open of a pipe waits until something writes to it, and a device
    // never ends), and only as readRasterPicture reads pictures, whatever the file's name. Stock
    // images, in the program's resources, are regular files too. budget as for readRasterPicture,
    // for picture files read together (those that another file names, those the user drops or
    // adds at once): a picture pays for its work with each byte of it that its decoder reads and
    // that is there, so that only the bytes of pictures pay for pixels and a large file of
    // anything else, a picture refused, or the holes of a file whose size the file system states
    // but whose bytes are not there, buy none. A photo comes out upright, as its camera says it
    // was held.
    static Image fromNamedFile(const QString &fileName, PictureBudget *budget = nullptr);
    // Picture files the user chose together (dropped, or added to the library), each read as
    // fromNamedFile reads it, with the budget they share: what their own bytes do not pay for
    // takes a few seconds of decoding in all, however many files declare large pictures in a few
    // bytes. A null entry for each file that gives no picture.
    static QList<Image> fromNamedFiles(const QStringList &fileNames);
    // An entry whose picture a plan file holds but that was not taken in (a bound refused it, or
    // it is no picture the program reads): it shows no picture and keeps the bytes it was read
    // from, so that the plan's next save writes them back unchanged, whatever refused them.
    static Image keptAsStored(const QByteArray &bytes, const QString &name, const QString &path);
    // An entry whose picture a plan file holds, as its reader took it in from the bytes: where the
    // picture came in as they hold it and they hold nothing else (a PNG of the library's size, as
    // this program writes it), the next save writes them back rather than encoding it afresh,
    // which for a library of thousands would hold the first save up for seconds.
    static Image fromStored(const QImage &picture, const QByteArray &bytes, const QString &name,
                            const QString &path);
    // The pixmap of a picture as the readers deliver it, in as few bytes as they hold it (a table
    // of colours where a picture has few), not widened to the screen's format: a library of
    // thousands of pictures is held as long as its plan is open.
    static QPixmap heldPixmap(const QImage &picture);

    const QPixmap &pixmap() const { return m_pixmap; }
    const QString &name() const { return m_name; }
    const QString &path() const { return m_path; }
    QImage toImage() const { return m_pixmap.toImage(); }
    // The bytes plan files hold for the entry: its picture as pictureToPng writes it, or for one
    // kept as stored the bytes it was read from; empty for no picture. Encoding takes a while and
    // the plan is saved after every change, so the bytes are made once, on the first save, and
    // shared with every copy of this entry (an undo snapshot, say). Nothing changes an entry's
    // picture but assigning another entry, which brings its own bytes.
    QByteArray storedBytes() const;
    void setName(const QString &name);
    bool isNull() const;

    // Equal names and equal pixels, and for entries kept as stored, equal bytes.
    bool operator==(const Image &other) const;
    bool operator!=(const Image &other) const { return !(*this == other); }

    // The first image of the list with the same pixels as the pixmap, or -1.
    static int indexOf(const QPixmap &pixmap, const QList<Image> &images);
    // The first image of the list showing what the entry shows: the same pixels, or for an entry
    // kept as stored, the same bytes kept; -1 for none.
    static int indexOf(const Image &image, const QList<Image> &images);
    // Whether the two show the same: pixels are compared as they are seen, whatever format
    // holds them.
    static bool samePixels(const QPixmap &a, const QPixmap &b);
    // The picture as it is seen, in one format for every picture: what samePixels compares
    // when two pictures are held in different formats.
    static QImage seenPixels(const QPixmap &pixmap);
    // A hash of seenPixels and the size, so that pictures that show the same hash alike;
    // 0 for no picture.
    static uint pixelHash(const QPixmap &pixmap);
    // The pixel hash of the entry's picture, worked out once and shared with every copy of the
    // entry: finding pictures among thousands compares pixels only where the hashes agree.
    uint pixelHash() const;

private:
    // The first image of the list with the same pixels as the pixmap, or -1; hash gives the
    // pixmap's pixel hash when it is first needed.
    template<typename Hash>
    static int indexOfPixels(const QPixmap &pixmap, Hash hash, const QList<Image> &images);

    // The library entry of a picture read from the file; a null entry for none.
    static Image fromFile(const QImage &picture, const QString &fileName);

    struct Encoded
    {
        QByteArray png;
        bool done = false;
        // pixelHash of the pixmap, once worked out (pixelHashKnown).
        uint pixelHash = 0;
        bool pixelHashKnown = false;
    };

    QPixmap m_pixmap;
    QSharedPointer<Encoded> m_encoded = QSharedPointer<Encoded>::create();
    QString m_name;
    QString m_path;
};
