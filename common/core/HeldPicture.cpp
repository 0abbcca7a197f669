#include "common/core/HeldPicture.h"

#include <array>

namespace {

// What holding a picture takes beside its pixels and colours: the picture's own record and the
// pixmap and library entry around it.
constexpr qint64 overheadBytes = 1024;
constexpr int mostColours = 256;

// The colours of a picture as they are found, looked up by hashing: twice as many places as
// colours, so that a look-up rarely takes more than one or two.
class ColourTable
{
public:
    ColourTable() { m_slots.fill(-1); }

    // The index of the colour, added where it is new; -1 once there would be more than allowed.
    int indexOf(QRgb colour)
    {
        quint32 slot = (colour * 2654435761u) >> (32 - slotBits);
        for (;;) {
            const int index = m_slots[slot];
            if (index < 0)
                break;
            if (m_colours.at(index) == colour)
                return index;
            slot = (slot + 1) & (slotCount - 1);
        }
        if (m_colours.size() == mostColours)
            return -1;
        m_slots[slot] = m_colours.size();
        m_colours.append(colour);
        return m_colours.size() - 1;
    }
    const QVector<QRgb> &colours() const { return m_colours; }

private:
    static constexpr int slotBits = 9;
    static constexpr quint32 slotCount = 1u << slotBits;
    std::array<int, slotCount> m_slots;
    QVector<QRgb> m_colours;
};

// The colour a table holds for a pixel as the picture stores it, given the picture's pixel in
// colours whose alpha is not applied, as the system converts it (which compares, saves and draws as
// the pixel does): where it comes back as it is.
bool tableColour(QRgb pixel, QRgb straight, QImage::Format format, QRgb *colour)
{
    if (format == QImage::Format_RGB32) {
        *colour = pixel | 0xff000000u;
        return true;
    }
    // Drawn, a table's colour has its alpha applied again: a picture with one whose colour would
    // not come back stays as it is.
    *colour = straight;
    return qPremultiply(straight) == pixel;
}

} // namespace

QImage heldCompactly(const QImage &picture)
{
    const QImage::Format format = picture.format();
    // A picture of one bit a pixel would be drawn as a mask in the pen's colour.
    if (format == QImage::Format_Mono || format == QImage::Format_MonoLSB)
        return picture.convertToFormat(QImage::Format_Indexed8);
    // The readers deliver their pictures in one of these two.
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)
        return picture;
    const int width = picture.width();
    const int height = picture.height();
    QImage indexed(picture.size(), QImage::Format_Indexed8);
    if (indexed.isNull())
        return picture;
    // The colours whose alpha is applied are taken apart as the system takes them apart.
    const QImage straight = format == QImage::Format_ARGB32_Premultiplied
        ? picture.convertToFormat(QImage::Format_ARGB32)
        : picture;
    ColourTable table;
    // Runs of one colour, as most of these pictures hold, are looked up once.
    QRgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        const auto *straightLine = reinterpret_cast<const QRgb *>(straight.constScanLine(y));
        uchar *indices = indexed.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = line[x];
            if (pixel != last || lastIndex < 0) {
                QRgb colour;
                if (!tableColour(pixel, straightLine[x], format, &colour))
                    return picture;
                lastIndex = table.indexOf(colour);
                if (lastIndex < 0)
                    return picture;
                last = pixel;
            }
            indices[x] = uchar(lastIndex);
        }
    }
    indexed.setColorTable(table.colours());
    return indexed;
}

qint64 heldPictureBytes(const QImage &picture)
{
    return picture.sizeInBytes() + picture.colorCount() * qint64(sizeof(QRgb)) + overheadBytes;
}

qint64 leastHeldPictureBytes(const QSize &size)
{
    // A row of one byte a pixel is held in whole words.
    return (qint64(size.width()) + 3) / 4 * 4 * size.height() + overheadBytes;
}
