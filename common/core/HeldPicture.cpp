#include "common/core/HeldPicture.h"

#include <algorithm>
#include <array>
#include <cstring>

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

// The picture of one byte a pixel with a colour for each index its pixels use. A BMP's table may be
// shorter than its indices: drawn or saved as it is, those past it would be read from memory past
// the table, and written as a PNG whose palette they pass. They show opaque black: the table's
// colours are opaque, so a pixel past it is no hole, and black is what the program shows for an
// index past a PNG's palette. A picture of one bit a pixel reaches here widened by the system's
// conversion, which gives a table of fewer than two colours white as its second (and black as its
// first where it has none): one declaring a single colour shows white past it.
QImage withEveryIndexCovered(QImage indexed)
{
    const int colours = indexed.colorCount();
    if (colours >= mostColours)
        return indexed;
    int most = 0;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar *line = indexed.constScanLine(y);
        most = qMax<int>(most, *std::max_element(line, line + indexed.width()));
    }
    if (most < colours)
        return indexed;
    QVector<QRgb> table = indexed.colorTable();
    table.resize(most + 1);
    std::fill(table.begin() + colours, table.end(), qRgb(0, 0, 0));
    indexed.setColorTable(table);
    return indexed;
}

} // namespace

QImage heldCompactly(const QImage &source)
{
    const QImage::Format format = source.format();
    // A picture of one bit a pixel would be drawn as a mask in the pen's colour.
    if (format == QImage::Format_Mono || format == QImage::Format_MonoLSB)
        return withEveryIndexCovered(source.convertToFormat(QImage::Format_Indexed8));
    if (format == QImage::Format_Indexed8)
        return withEveryIndexCovered(source);
    // Held as it is drawn, with its alpha applied, as its PNG reads back: a picture whose
    // transparent pixels carry a colour (a BMP's may) is then the same picture again once its plan
    // is saved and read.
    const bool straightAlpha = source.hasAlphaChannel()
        && source.pixelFormat().premultiplied() == QPixelFormat::NotPremultiplied;
    const QImage picture
        = straightAlpha ? source.convertToFormat(QImage::Format_ARGB32_Premultiplied) : source;
    if (picture.format() != QImage::Format_RGB32
        && picture.format() != QImage::Format_ARGB32_Premultiplied)
        return picture;
    const int width = picture.width();
    const int height = picture.height();
    QImage indexed(picture.size(), QImage::Format_Indexed8);
    if (indexed.isNull())
        return picture;
    // An opaque picture's pixels are colours whose alpha is applied, as any other's.
    const QRgb opaque = picture.format() == QImage::Format_RGB32 ? 0xff000000u : 0;
    ColourTable found;
    // Runs of one colour, as most of these pictures hold, are looked up once.
    QRgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        uchar *indices = indexed.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = line[x] | opaque;
            if (pixel != last || lastIndex < 0) {
                lastIndex = found.indexOf(pixel);
                if (lastIndex < 0)
                    return picture;
                last = pixel;
            }
            indices[x] = uchar(lastIndex);
        }
    }
    QVector<QRgb> table;
    if (!tableOfColours(found.colours(), &table))
        return picture;
    indexed.setColorTable(table);
    return indexed;
}

bool tableOfColours(const QVector<QRgb> &applied, QVector<QRgb> *table)
{
    if (applied.isEmpty()) {
        table->clear();
        return true;
    }
    QImage line(applied.size(), 1, QImage::Format_ARGB32_Premultiplied);
    if (line.isNull())
        return false;
    memcpy(line.scanLine(0), applied.constData(), size_t(applied.size()) * sizeof(QRgb));
    const QImage straight = line.convertToFormat(QImage::Format_ARGB32);
    const auto *colours = reinterpret_cast<const QRgb *>(straight.constScanLine(0));
    table->resize(applied.size());
    for (int i = 0; i < applied.size(); ++i) {
        // Drawn, a table's colour has its alpha applied again.
        if (qPremultiply(colours[i]) != applied.at(i))
            return false;
        (*table)[i] = colours[i];
    }
    return true;
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
