#pragma once

// GIF files written out byte by byte, since the system writes none: ordinary ones as a drawing
// program writes them, and ones whose codes, colours or screen are made up to test or cost
// their decoder.

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QVector>
#include <QtEndian>
#include <QtGlobal>

namespace HostileGifs {

// The codes in the blocks the format keeps them in, after the least code size and before the
// empty block that ends them.
inline QByteArray dataBlocks(const QByteArray &packed, int leastCodeSize)
{
    QByteArray blocks(1, char(leastCodeSize));
    for (int at = 0; at < packed.size(); at += 255)
        blocks += char(qMin(255, packed.size() - at)) + packed.mid(at, 255);
    return blocks + '\0';
}

// The codes of GIF's compression for the colour indices, at the least code size given, in the
// blocks the format keeps them in.
inline QByteArray gifData(const QByteArray &indices, int leastCodeSize)
{
    const int clear = 1 << leastCodeSize;
    QHash<quint32, int> codes; // a code and the index after it -> the code of both
    int next = clear + 2;
    int width = leastCodeSize + 1;
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](int code) {
        bits |= quint32(code) << count;
        for (count += width; count >= 8; count -= 8) {
            packed += char(bits & 0xff);
            bits >>= 8;
        }
    };
    put(clear);
    int prefix = -1;
    for (const char index : indices) {
        const quint32 key = quint32(prefix) << 8 | uchar(index);
        if (prefix < 0) {
            prefix = uchar(index);
            continue;
        }
        const auto known = codes.constFind(key);
        if (known != codes.constEnd()) {
            prefix = known.value();
            continue;
        }
        put(prefix);
        if (next < 4096) {
            codes.insert(key, next++);
            // The decoder widens its codes one code after the table outgrows them.
            if (next > (1 << width) && width < 12)
                ++width;
        } else {
            put(clear);
            codes.clear();
            next = clear + 2;
            width = leastCodeSize + 1;
        }
        prefix = uchar(index);
    }
    if (prefix >= 0)
        put(prefix);
    put(clear + 1);
    if (count > 0)
        packed += char(bits & 0xff);
    return dataBlocks(packed, leastCodeSize);
}

// The codes given, whatever they mean, each as wide as a decoder reading them expects: one bit
// more than the least code size after each clear code, widening once the table it builds, one
// entry for each code after the first, outgrows them, up to 12 bits.
inline QByteArray gifCodes(const QVector<int> &codes, int leastCodeSize)
{
    const int clear = 1 << leastCodeSize;
    int width = leastCodeSize + 1;
    int next = clear + 2;
    bool first = true;
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    for (const int code : codes) {
        bits |= quint32(code) << count;
        for (count += width; count >= 8; count -= 8) {
            packed += char(bits & 0xff);
            bits >>= 8;
        }
        if (code == clear) {
            width = leastCodeSize + 1;
            next = clear + 2;
            first = true;
        } else if (first) {
            first = false;
        } else if (next < 4096 && ++next >= (1 << width) && width < 12) {
            ++width;
        }
    }
    if (count > 0)
        packed += char(bits & 0xff);
    return dataBlocks(packed, leastCodeSize);
}

// The colours as a table holds them, three bytes each.
inline QByteArray colourBytes(const QVector<QRgb> &colours)
{
    QByteArray bytes;
    for (const QRgb colour : colours)
        bytes += char(qRed(colour)) + QByteArray(1, char(qGreen(colour))) + char(qBlue(colour));
    return bytes;
}

// The flags of a table of count colours, a power of two from 2 to 256.
inline int tableFlags(int count)
{
    int bits = 0;
    while ((2 << bits) < count)
        ++bits;
    return 0x80 | bits;
}

// The rows of a picture of the given width in the order an interlaced GIF stores them.
inline QByteArray interlaced(const QByteArray &indices, int width)
{
    const int height = indices.size() / width;
    QByteArray rows;
    const int starts[4] = {0, 4, 2, 1};
    const int steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = starts[pass]; y < height; y += steps[pass])
            rows += indices.mid(y * width, width);
    }
    return rows;
}

// A GIF of a screen, with its colours where given and the background index, and one picture at
// the place given, with its own colours where given, whose data (least code size, blocks and
// the empty block) follow. Between the screen and the picture, the extensions given.
inline QByteArray gif(const QSize &screen, const QVector<QRgb> &screenColours, int background,
                      const QRect &picture, const QVector<QRgb> &ownColours, const QByteArray &data,
                      bool interlacedRows = false, const QByteArray &extensions = QByteArray())
{
    QByteArray head("GIF89a\0\0\0\0\0\0\0", 13);
    qToLittleEndian(quint16(screen.width()), head.data() + 6);
    qToLittleEndian(quint16(screen.height()), head.data() + 8);
    if (!screenColours.isEmpty())
        head[10] = char(tableFlags(screenColours.size()));
    head[11] = char(background);
    QByteArray descriptor("\x2c\0\0\0\0\0\0\0\0\0", 10);
    qToLittleEndian(quint16(picture.x()), descriptor.data() + 1);
    qToLittleEndian(quint16(picture.y()), descriptor.data() + 3);
    qToLittleEndian(quint16(picture.width()), descriptor.data() + 5);
    qToLittleEndian(quint16(picture.height()), descriptor.data() + 7);
    descriptor[9] = char((ownColours.isEmpty() ? 0 : tableFlags(ownColours.size()))
                         | (interlacedRows ? 0x40 : 0));
    return head + colourBytes(screenColours) + extensions + descriptor + colourBytes(ownColours)
        + data + ';';
}

// The graphic control extension that makes the index transparent.
inline QByteArray transparentIndex(int index)
{
    return QByteArray::fromHex("21f904010000") + char(index) + '\0';
}

// A GIF of one pixel whose codes, once its table is built up to its last entry, each give that
// entry's 4,091 pixels, the given number of times: its decoder walks every one, drawn or not, and
// no encoder writes more codes than pixels.
inline QByteArray longData(int codes)
{
    QVector<int> given {4, 0};
    for (int code = 6; code < 4096; ++code)
        given << code;
    for (int i = 0; i < codes; ++i)
        given << 4095;
    return gif(QSize(1, 1), {qRgb(0, 0, 0), qRgb(255, 255, 255), 0, 0}, 0, QRect(0, 0, 1, 1), {},
               gifCodes(given, 2));
}

// A GIF of the picture, of at most 256 colours, as a drawing program writes it.
inline QByteArray encodedGif(const QImage &image)
{
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QVector<QRgb> colours = indexed.colorTable();
    int bits = 1;
    while ((1 << bits) < colours.size())
        ++bits;
    colours.resize(1 << bits);
    QByteArray indices;
    for (int y = 0; y < indexed.height(); ++y)
        indices.append(reinterpret_cast<const char *>(indexed.constScanLine(y)), indexed.width());
    return gif(image.size(), colours, 0, image.rect(), {}, gifData(indices, qMax(2, bits)));
}

} // namespace HostileGifs
