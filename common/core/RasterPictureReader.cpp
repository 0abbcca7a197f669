#include "common/core/RasterPictureReader.h"

#include <cstring>

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

QString imageToHex(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(bytes.toHex());
}

namespace {

// Progressive JPEG files hold about ten scans, and the decoder runs every scan over every block
// of the picture: a small scan repeated by the thousand costs minutes for a small file, and no
// count of pixels sees it. A hundred scans keep any file an encoder writes.
const int maximumJpegScans = 100;
const qint64 walkBlockSize = 64 * 1024;

// The bytes of a device from where it stands to the length it states, read a block at a time,
// without moving it for whoever reads it next: it is put back where it stood.
class ByteWalk
{
public:
    explicit ByteWalk(QIODevice *device)
        : m_device(device),
          m_start(device->pos()),
          m_left(qMax<qint64>(0, device->size() - m_start))
    { }
    ~ByteWalk() { m_device->seek(m_start); }
    ByteWalk(const ByteWalk &) = delete;
    ByteWalk &operator=(const ByteWalk &) = delete;

    // The next byte, -1 past the end.
    int next()
    {
        if (m_at == m_block.size() && !refill())
            return -1;
        return uchar(m_block.at(m_at++));
    }

    // Passes over bytes up to and including the next 0xFF; false when none is left.
    bool passNextFF()
    {
        for (;;) {
            const char *from = m_block.constData() + m_at;
            const void *found = memchr(from, 0xff, size_t(m_block.size() - m_at));
            if (found) {
                m_at += int(static_cast<const char *>(found) - from) + 1;
                return true;
            }
            if (!refill())
                return false;
        }
    }

    void skip(int count)
    {
        while (count > 0) {
            if (m_at == m_block.size() && !refill())
                return;
            const int step = qMin(count, m_block.size() - m_at);
            m_at += step;
            count -= step;
        }
    }

private:
    bool refill()
    {
        m_block = m_device->read(qMin(m_left, walkBlockSize));
        m_left -= m_block.size();
        m_at = 0;
        return !m_block.isEmpty();
    }

    QIODevice *m_device;
    const qint64 m_start;
    qint64 m_left;
    QByteArray m_block;
    int m_at = 0;
};

// The scans of a JPEG as its decoder finds them, counted to one past bound at most. Between
// segments, and in the coded data after a scan's header, the decoder looks for a 0xFF that,
// after any more 0xFF bytes, is followed by neither 0x00 (a 0xFF in the data) nor a marker that
// stands alone (a restart, the start of the picture, or one it does not know, which it passes
// over while it looks for a restart); every other marker opens a segment whose length it
// skips, so a thumbnail inside one is never seen as part of the picture. The walk may count a
// scan the decoder would not reach, never miss one it decodes: where the decoder gives up on a
// segment (a second start, a header of the wrong length) the walk goes on.
int jpegScans(ByteWalk &bytes, int bound)
{
    int scans = 0;
    while (bytes.passNextFF()) {
        int marker = bytes.next();
        while (marker == 0xff)
            marker = bytes.next();
        if (marker < 0 || marker == 0xd9) // the end of the data or of the picture
            break;
        if (marker < 0xc0 || (marker >= 0xd0 && marker <= 0xd8))
            continue;
        const int high = bytes.next();
        const int low = bytes.next();
        if (high < 0 || low < 0) // the data ends inside the length
            break;
        if (marker == 0xda && ++scans > bound)
            break;
        // A length that does not even hold itself is no reason for the decoder to stop: it
        // skips nothing past the length and looks for the next marker right there.
        const int length = high << 8 | low;
        if (length > 2)
            bytes.skip(length - 2);
    }
    return scans;
}

// A JPEG whose scans are more than bound is false; the bytes of any other picture are true. The
// device is walked from where it stands and put back there for the decoder; one that can't be
// put back (a pipe) would lose its bytes to the walk, so a JPEG on it is false.
bool scansWithinBound(QIODevice *device, int bound)
{
    if (device->peek(2) != QByteArrayLiteral("\xff\xd8"))
        return true;
    if (device->isSequential())
        return false;
    ByteWalk bytes(device);
    return jpegScans(bytes, bound) <= bound;
}

// A GIF's logical screen, which its decoder allocates whole whatever the size of its frames, as
// the reader's size() reports; an invalid size for any other picture.
QSize gifScreen(QIODevice *device)
{
    const QByteArray start = device->peek(10);
    if (start.size() < 10 || (!start.startsWith("GIF87a") && !start.startsWith("GIF89a")))
        return QSize();
    const auto *bytes = reinterpret_cast<const uchar *>(start.constData());
    return QSize(qFromLittleEndian<quint16>(bytes + 6), qFromLittleEndian<quint16>(bytes + 8));
}

bool overSideLimit(const QSize &size)
{
    return size.width() > maximumPictureSide || size.height() > maximumPictureSide;
}

// The reader is given the one format its bytes start with and asks no other handler.
QImage readLimitedPicture(QImageReader &reader, const QSize &fitInto, qint64 *areaBudget)
{
    // The reader opens its device and looks at its first bytes, nothing more, so that what the
    // bytes declare beyond the reader's size() is known before anything is decoded.
    if (!reader.canRead() || !scansWithinBound(reader.device(), maximumJpegScans))
        return QImage();
    const QSize declared = reader.size();
    if (!declared.isValid())
        return QImage();
    // The decoder draws a GIF on the whole of its screen, which the reader's size() may leave
    // out: the picture is the larger of the two.
    const QSize size = declared.expandedTo(gifScreen(reader.device()));
    if (overSideLimit(size))
        return QImage();
    // A picture of 16 bits a channel takes twice the bytes of others while it is decoded.
    const bool wide = QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel() > 32;
    const qint64 area = qint64(size.width()) * size.height() * (wide ? 2 : 1);
    if (area > maximumPictureArea || (areaBudget && area > *areaBudget))
        return QImage();
    const bool fit
        = fitInto.isValid() && (size.width() > fitInto.width() || size.height() > fitInto.height());
    const QSize fitted = size.scaled(fitInto, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    // The decoders scale wide pictures at their full precision, which takes more than
    // decoding them whole and narrowing them in place before scaling.
    if (fit && !wide)
        reader.setScaledSize(fitted);
    QImage image;
    if (!reader.read(&image))
        return QImage();
    // A format may declare one size and then deliver another.
    if (image.width() > maximumPictureSide || image.height() > maximumPictureSide
        || qint64(image.width()) * image.height() > maximumPictureArea)
        return QImage();
    if (fit && wide) {
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (areaBudget)
        *areaBudget -= area;
    return image;
}

} // namespace

QByteArray rasterFormat(const QByteArray &start)
{
    if (start.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (start.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    if (start.startsWith("GIF87a") || start.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (start.startsWith("BM"))
        return QByteArrayLiteral("bmp");
    return QByteArray();
}

QImage readRasterPicture(QIODevice *device, const QSize &fitInto, qint64 *areaBudget)
{
    const QByteArray format = rasterFormat(device->peek(8));
    if (format.isEmpty())
        return QImage();
    QImageReader reader(device, format);
    // Only that format's handler: no other is asked whether it knows the bytes.
    reader.setAutoDetectImageFormat(false);
    return readLimitedPicture(reader, fitInto, areaBudget);
}

QImage imageFromHex(const QString &text, const QSize &fitInto, qint64 *areaBudget)
{
    if (text.isEmpty())
        return QImage();
    QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readRasterPicture(&buffer, fitInto, areaBudget);
}
