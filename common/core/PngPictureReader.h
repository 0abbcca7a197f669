#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

class DecodingWork;

// A PNG decoded by the program itself, row by row into the picture it is fitted to: each row, of
// whatever depth, palette or transparency, is summed into the cells it lands in, and no copy of
// the whole picture exists at any depth, so a blank page scanned at 600 dots an inch costs what
// its rows do, not the 32 bits a pixel a copy of it would take; read at its own size, each row is
// written into the picture. An interlaced picture's passes are summed where their pixels lie. Its
// work is counted as its rows come: their bytes, their pixels where they are taken one by one, and
// each row's own cost, so that it stops once it has taken what it may.
class PngPictureReader
{
public:
    // The PNG's bytes, its texts left out, all read before it is decoded: the work has been told
    // what they pay for before it counts the rows.
    PngPictureReader(const QByteArray &png, DecodingWork *work);
    ~PngPictureReader();
    PngPictureReader(const PngPictureReader &) = delete;
    PngPictureReader &operator=(const PngPictureReader &) = delete;

    // Reads its header; false where the bytes are no PNG it can decode.
    bool readHead();
    QSize size() const;
    bool hasAlpha() const;
    // The least work its rows take, known from its header: that of their bytes and their own,
    // were every row one colour.
    qint64 rowsWork() const;
    // Decodes the picture into one of fitted size; a null image where its data are broken or cut
    // short, or its work passed what it may take.
    QImage read(const QSize &fitted);

    // The bytes of the rows of a picture of the given header's fields as the file stores them,
    // before they are compressed, each pass's in an interlaced one, and each row's byte naming
    // its filter; -1 where the fields are none a decoder takes, or a side is wider than any
    // picture may be (maximumFittedSide).
    static qint64 storedRowsBytes(quint32 width, quint32 height, int depth, int colourType,
                                  bool interlaced);

    // Whether the bytes are a PNG of the given size that holds what draws it (its header, palette,
    // transparency, data and end, in that order) and beside that nothing but its density, in no
    // more bytes than its rows stored plainly and a little beside: bytes that may stand for the
    // picture read from them, as the system's writer would have written it, and that show no
    // other picture anywhere else.
    static bool holdsOnlyItsPicture(const QByteArray &png, const QSize &size);

private:
    struct Private;
    Private *d;
};
