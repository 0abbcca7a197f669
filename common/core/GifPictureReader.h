#pragma once

#include <memory>

#include <QImage>
#include <QSize>

class DecodingWork;
class QIODevice;

// The first picture of a GIF, decoded by the program itself as it streams from the device: the
// bytes before it (comments, other extensions) are passed over, never held, and every pixel its
// codes give is counted as work as it is given, so that data longer than its picture, whose codes
// each give thousands of pixels, stop once they have taken what they may. The screen outside the
// picture, and what of the picture its data leave out, take the screen's background colour, or
// stay transparent where the file gives a transparent colour or no screen colours.
class GifPictureReader
{
public:
    GifPictureReader(QIODevice *device, DecodingWork *work);
    ~GifPictureReader();
    GifPictureReader(const GifPictureReader &) = delete;
    GifPictureReader &operator=(const GifPictureReader &) = delete;

    // Reads up to the first picture's data; false where there is no first picture to decode.
    bool readHead();
    // The picture as it comes out, known after readHead(): its screen, or where the screen has no
    // width or height, or one wider or higher than any picture may be, the picture's own extent
    // from the screen's corner.
    QSize size() const;
    // Decodes the first picture into a picture of fitted size; a null image where nothing of it
    // could be decoded, or its work passed what it may take.
    QImage read(const QSize &fitted);
    // The bytes of the device it has taken, from where the device stood: up to the end of the
    // first picture's data at most.
    qint64 bytesTaken() const;

private:
    class Private;
    std::unique_ptr<Private> d;
};
