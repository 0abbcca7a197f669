#pragma once

// Plan files and pictures built to cost the reader as much as possible for their size: small
// files declaring huge counts, shapes whose cost grows with the square of the file, deep or
// overlapping nesting, and pictures declaring far more pixels than their bytes hold. The
// storage tests read them at a size just past each limit; the benchmark at several sizes.

#include "HostileGifs.h"

#include <array>
#include <functional>

#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QtEndian>
#include <QtGlobal>

namespace HostilePlans {

inline QByteArray plan(const QByteArray &body)
{
    return "<!DOCTYPE tavrolo>\n<root>\n" + body + "\n</root>\n";
}

inline QByteArray container(const char *tag, const QByteArray &piece, int count)
{
    return '<' + QByteArray(tag) + '>' + piece.repeated(count) + "</" + QByteArray(tag) + '>';
}

// Every card holds a value for every property.
inline QByteArray cardsTimesProperties(int n)
{
    return plan(container("properties", "<property/>", n) + container("cards", "<card/>", n));
}

// Every view holds a visibility for every property.
inline QByteArray viewsTimesProperties(int n)
{
    return plan(container("properties", "<property/>", n)
                + container("stored_views", "<stored_view/>", n));
}

// Lists far longer than the plan's properties: visibilities, card values, text orders.
inline QByteArray longLists(int n)
{
    const QByteArray list = "<property_visibility value=\"" + QByteArray("2,").repeated(n) + "\"/>";
    return plan("<view>" + list + "</view>"
                + container("properties",
                            "<property><text_order value=\"" + QByteArray(",").repeated(n)
                                + "\"/></property>",
                            2)
                + container("cards", "<card value=\"" + QByteArray(",").repeated(n) + "\"/>", 4)
                + container("stored_views", "<stored_view>" + list + "</stored_view>", 4));
}

// An element with very many attributes: the parser compares each with all the others.
inline QByteArray manyAttributes(int n)
{
    QByteArray attributes;
    for (int i = 0; i < n; ++i)
        attributes += " a" + QByteArray::number(i, 36) + "=\"\"";
    return plan("<view" + attributes + "/>");
}

// A view whose fields sit among very many other children: each field is looked up among
// them all.
inline QByteArray manyFieldSiblings(int n)
{
    return plan("<view>" + QByteArray("<a/>").repeated(n) + "</view>");
}

// The smallest nodes the parser accepts, each taking some hundreds of bytes in the tree,
// inside a list, where many children are allowed.
inline QByteArray denseNodes(int n)
{
    return plan(container("cards", "<a/>x", n));
}

inline QByteArray deepNesting(int n)
{
    return plan("<view>" + QByteArray("<a>").repeated(n) + QByteArray("</a>").repeated(n)
                + "</view>");
}

// Each stored view sits inside the filter terms of the one before, so a view that took every
// "filter_term" below its own list would take those of all the views inside it too.
inline QByteArray nestedViews(int n)
{
    const QByteArray open = "<stored_view><filter_terms>"
        + QByteArray("<filter_term property=\"1\" value=\"x\"/>").repeated(n);
    return plan("<properties><property/></properties><stored_views>" + open.repeated(n)
                + QByteArray("</filter_terms></stored_view>").repeated(n) + "</stored_views>");
}

// Filters of thousands of terms, in the current view and in a stored view: every card is
// tested against every term, and the filter section shows a row per term.
inline QByteArray manyFilterTerms(int n)
{
    const QByteArray terms
        = container("filter_terms", "<filter_term property=\"1\" value=\"x\"/>", n);
    return plan("<properties><property/></properties><view>" + terms
                + "</view><stored_views><stored_view>" + terms + "</stored_view></stored_views>");
}

// The same with cards inside the links of the card before.
inline QByteArray nestedCards(int n)
{
    const QByteArray open
        = "<card><links>" + QByteArray("<link value=\"http://a.b/c\"/>").repeated(n);
    return plan("<cards>" + open.repeated(n) + QByteArray("</links></card>").repeated(n)
                + "</cards>");
}

// Entities that double at every level: a few hundred bytes spelling gigabytes.
inline QByteArray expandingEntities(int levels)
{
    QByteArray declarations = "<!ENTITY e0 \"xxxxxxxxxxxxxxxx\">";
    for (int i = 1; i <= levels; ++i) {
        const QByteArray previous = "&e" + QByteArray::number(i - 1) + ';';
        declarations += "<!ENTITY e" + QByteArray::number(i) + " \"" + previous + previous + "\">";
    }
    const QByteArray last = "&e" + QByteArray::number(levels) + ';';
    return "<!DOCTYPE tavrolo [" + declarations + "]>\n<root><properties><property><name value=\""
        + last + "\"/></property></properties><cards>"
        + QByteArray("<card value=\"" + last + "\"/>").repeated(16) + "</cards></root>\n";
}

// One entity of a few thousand characters, named over and over in a card's values.
inline QByteArray repeatedEntity(int n)
{
    return "<!DOCTYPE tavrolo [<!ENTITY e \"" + QByteArray("x").repeated(4000)
        + "\">]>\n<root><properties><property/></properties><cards><card value=\""
        + QByteArray("&e;").repeated(n) + "\"/></cards></root>\n";
}

// A PNG chunk: its length, its type and the data, and the checksum of the two.
inline QByteArray pngChunk(const char *type, const QByteArray &data)
{
    static const auto table = [] {
        std::array<quint32, 256> entries {};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
            entries[n] = c;
        }
        return entries;
    }();
    const auto crc = [](const QByteArray &bytes) {
        quint32 c = 0xffffffffu;
        for (const char byte : bytes)
            c = table[(c ^ quint8(byte)) & 0xff] ^ (c >> 8);
        return c ^ 0xffffffffu;
    };
    QByteArray length(4, 0);
    qToBigEndian(quint32(data.size()), length.data());
    const QByteArray body = QByteArray(type) + data;
    QByteArray check(4, 0);
    qToBigEndian(crc(body), check.data());
    return length + body + check;
}

// A PNG's header chunk: its sides, bits a sample, colour type and whether it is stored in seven
// passes.
inline QByteArray pngHeader(int width, int height, int depth, int colourType, bool interlaced)
{
    QByteArray header(13, 0);
    qToBigEndian(quint32(width), header.data());
    qToBigEndian(quint32(height), header.data() + 4);
    header[8] = char(depth);
    header[9] = char(colourType);
    header[12] = char(interlaced ? 1 : 0);
    return pngChunk("IHDR", header);
}

// The seven passes of an interlaced PNG: each one's first column and row, and the steps between
// its columns and rows.
constexpr int pngPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                 {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

// The bytes of a PNG's rows as the file stores them, before they are compressed: each pass's in
// an interlaced one, a byte naming each row's filter.
inline qint64 pngRowsBytes(int width, int height, int bitDepth, int colorType, bool interlaced)
{
    const int channels = colorType == 6 ? 4 : colorType == 2 ? 3 : colorType == 4 ? 2 : 1;
    const auto rowsBytes = [&](qint64 across, qint64 down) {
        return across > 0 ? down * (1 + (across * channels * bitDepth + 7) / 8) : 0;
    };
    if (!interlaced)
        return rowsBytes(width, height);
    qint64 bytes = 0;
    for (const auto &pass : pngPasses)
        bytes += rowsBytes((width - pass[0] + pass[2] - 1) / pass[2],
                           (height - pass[1] + pass[3] - 1) / pass[3]);
    return bytes;
}

// A zlib stream of count zero bytes, written without a compressor as one block of the format's
// fixed codes: a zero, then copies of 258 bytes of the byte before, thirteen bits each. The rows
// of an 8K texture take some milliseconds to make so, where a compressor takes a second.
inline QByteArray zerosCompressed(qint64 count)
{
    QByteArray out("\x78\x01", 2);
    out.reserve(int(count / 150 + 16));
    quint32 bits = 0;
    int held = 0;
    // Fields go in from their lowest bit, codes from their first.
    const auto put = [&](quint32 value, int length) {
        bits |= value << held;
        held += length;
        for (; held >= 8; held -= 8, bits >>= 8)
            out += char(bits & 0xff);
    };
    const auto code = [&](quint32 value, int length) {
        quint32 reversed = 0;
        for (int i = 0; i < length; ++i)
            reversed |= ((value >> i) & 1) << (length - 1 - i);
        put(reversed, length);
    };
    put(1, 1); // the last block
    put(1, 2); // of fixed codes
    qint64 left = count;
    if (left > 0) {
        code(0x30, 8); // the byte 0
        --left;
    }
    for (; left >= 258; left -= 258) {
        code(0xc5, 8); // a length of 258
        code(0, 5); // a distance of 1
    }
    for (; left > 0; --left)
        code(0x30, 8);
    code(0, 7); // the end of the block
    if (held > 0)
        put(0, 8 - held);
    QByteArray check(4, 0);
    qToBigEndian(quint32(count % 65521) << 16 | 1u, check.data());
    return out + check;
}

// A PNG of one-bit grey pixels, all black, built without ever holding the pixels as an
// image: a few kilobytes that decode to width x height pixels; interlaced, stored in seven
// passes, each a picture of its own rows. The chunks between the header and the data, and
// after the data, are put in as they are given.
inline QByteArray blackPng(int width, int height, int bitDepth = 1, int colorType = 0,
                           bool interlaced = false, const QByteArray &before = QByteArray(),
                           const QByteArray &after = QByteArray())
{
    const qint64 bytes = pngRowsBytes(width, height, bitDepth, colorType, interlaced);
    // qCompress puts the length in front of a plain zlib stream.
    const QByteArray data = qCompress(QByteArray(int(bytes), 0), 9).mid(4);
    return QByteArray("\x89PNG\r\n\x1a\n", 8)
        + pngHeader(width, height, bitDepth, colorType, interlaced) + before
        + pngChunk("IDAT", data) + after + pngChunk("IEND", QByteArray());
}

// A PNG of all black rows of the given depth and colour type, as blackPng gives it, of more rows
// than blackPng makes in good time: its data are made without a compressor (zerosCompressed),
// some 160 bytes of rows to a byte.
inline QByteArray blankLargePng(int width, int height, int bitDepth, int colorType)
{
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngHeader(width, height, bitDepth, colorType, false)
        + pngChunk("IDAT", zerosCompressed(pngRowsBytes(width, height, bitDepth, colorType, false)))
        + pngChunk("IEND", QByteArray());
}

// The rows of a picture in a zlib stream of stored blocks, a row to a block, as some encoders
// write them: the given number of empty blocks first, and after each row as many as given, as
// an encoder that flushes after every row leaves them.
inline QByteArray storedRows(const QByteArray &row, int height, int emptyFirst, int emptyAfterEach)
{
    const QByteArray empty("\x00\x00\x00\xff\xff", 5);
    QByteArray block("\x00\x00\x00\x00\x00", 5);
    qToLittleEndian(quint16(row.size()), block.data() + 1);
    qToLittleEndian(quint16(~row.size()), block.data() + 3);
    QByteArray out("\x78\x01", 2);
    out += empty.repeated(emptyFirst);
    quint32 a = 1;
    quint32 b = 0;
    for (int y = 0; y < height; ++y) {
        out += block + row + empty.repeated(emptyAfterEach);
        for (const char byte : row) {
            a = (a + quint8(byte)) % 65521;
            b = (b + a) % 65521;
        }
    }
    out += QByteArray("\x01\x00\x00\xff\xff", 5); // the last block, empty
    QByteArray check(4, 0);
    qToBigEndian(b << 16 | a, check.data());
    return out + check;
}

// A PNG of 8-bit grey whose rows, each the given bytes after the byte naming no filter, are stored
// as storedRows stores them.
inline QByteArray pngOfStoredRows(const QByteArray &pixels, int height, int emptyFirst,
                                  int emptyAfterEach)
{
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngHeader(pixels.size(), height, 8, 0, false)
        + pngChunk("IDAT", storedRows('\0' + pixels, height, emptyFirst, emptyAfterEach))
        + pngChunk("IEND", QByteArray());
}

// A PNG whose every row holds the same bytes, as they are given, after the byte naming no filter.
inline QByteArray pngOfRows(int width, int height, int bitDepth, int colorType,
                            const QByteArray &row)
{
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngHeader(width, height, bitDepth, colorType, false)
        + pngChunk("IDAT", qCompress(('\0' + row).repeated(height), 9).mid(4))
        + pngChunk("IEND", QByteArray());
}

// A PNG's header and an empty data chunk: what is known of a picture before its rows, which its
// decoder fails on at the first.
inline QByteArray pngWithoutRows(int width, int height, int bitDepth, int colorType,
                                 bool interlaced)
{
    return QByteArray("\x89PNG\r\n\x1a\n", 8)
        + pngHeader(width, height, bitDepth, colorType, interlaced) + pngChunk("IDAT", QByteArray())
        + pngChunk("IEND", QByteArray());
}

// The JPEG with its last scan naming the given channel first: one the frame lacks makes its
// decoder fail once it has gone through every scan before it.
inline QByteArray jpegWithLastScanNaming(QByteArray jpeg, int channel)
{
    // Its marker, length and count of channels come before the first channel's name.
    jpeg[jpeg.lastIndexOf("\xff\xda") + 5] = char(channel);
    return jpeg;
}

// A PNG of one-bit grey pixels, white but for every eighth row, which holds the given number of
// bytes of pixels scattered from the seed: about as many pixels a byte as a page of text scanned
// at 600 dots an inch in black and white holds.
inline QByteArray speckledPng(int width, int height, int bytesARow, quint32 seed)
{
    const int rowBytes = (width + 7) / 8;
    QByteArray rows;
    rows.reserve((1 + rowBytes) * height);
    for (int y = 0; y < height; ++y) {
        QByteArray row(rowBytes, char(0xff));
        for (int i = 0; y % 8 == 0 && i < bytesARow; ++i) {
            seed = seed * 1103515245u + 12345u;
            row[int(seed >> 8) % rowBytes] = char(seed >> 24);
        }
        rows += '\0' + row;
    }
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngHeader(width, height, 1, 0, false)
        + pngChunk("IDAT", qCompress(rows, 9).mid(4)) + pngChunk("IEND", QByteArray());
}

// A PNG of one pixel holding compressed texts ("zTXt"), half before its data and half after,
// each a few kilobytes that inflate to the given number of bytes.
inline QByteArray pngWithCompressedTexts(int count, int inflatedBytes)
{
    const QByteArray text = pngChunk(
        "zTXt", QByteArray("Comment\0\0", 9) + qCompress(QByteArray(inflatedBytes, 'A'), 9).mid(4));
    return blackPng(1, 1, 8, 0, false, text.repeated(count / 2), text.repeated(count - count / 2));
}

// The bytes of a picture file of the image, as the system's encoder writes it.
inline QByteArray encodedPicture(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

// What a photo's file may carry beside its pixels, as phones and cameras write them.
enum class PhotoCarrying { Nothing, ColourProfile, Comment };

// A photo-like JPEG: smooth gradients with some detail, as a camera would give.
inline QByteArray jpegPhoto(int width, int height, PhotoCarrying carrying = PhotoCarrying::Nothing)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(x * 255 / width, y * 255 / height, (x ^ y) & 0xff);
    }
    if (carrying == PhotoCarrying::ColourProfile)
        image.setColorSpace(QColorSpace::SRgb);
    else if (carrying == PhotoCarrying::Comment)
        image.setText(QStringLiteral("Description"), QStringLiteral("Harbour at dawn"));
    return encodedPicture(image, "JPG", 90);
}

// The types of a PNG's chunks, in their order.
inline QList<QByteArray> pngChunkTypes(const QByteArray &png)
{
    QList<QByteArray> types;
    for (qint64 at = 8; at + 12 <= png.size();
         at += 12 + qFromBigEndian<quint32>(png.constData() + at))
        types << png.mid(int(at + 4), 4);
    return types;
}

// The bytes the system's writer writes of the image as a progressive JPEG: several scans, each
// refining the one before, as a web page's photos are saved.
inline QByteArray progressiveEncoding(const QImage &image, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

// A progressive JPEG of one colour as the system's encoder writes it (ten scans for a colour
// picture), with its last scan repeated until it holds the given number: the decoder runs every
// scan over every block of the picture, and the repeated scan takes a few dozen bytes.
inline QByteArray progressiveJpeg(int side, int scans = 10)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(qRgb(90, 140, 200));
    const QByteArray bytes = progressiveEncoding(image);
    // Coded data never holds 0xFF 0xDA, so the last of them opens the last scan, which runs
    // up to the end marker.
    const QByteArray startOfScan("\xff\xda");
    const int last = bytes.lastIndexOf(startOfScan);
    const QByteArray scan = bytes.mid(last, bytes.size() - 2 - last);
    return bytes.left(bytes.size() - 2) + scan.repeated(qMax(0, scans - bytes.count(startOfScan)))
        + "\xff\xd9";
}

// The picture with another JPEG inside an application segment after its start, as a thumbnail
// is kept (an extension of the JFIF segment holding a JPEG).
inline QByteArray jpegWithThumbnail(const QByteArray &picture, const QByteArray &thumbnail)
{
    const QByteArray segment = QByteArray("JFXX\0\x10", 6) + thumbnail;
    QByteArray length(2, 0);
    qToBigEndian(quint16(segment.size() + 2), length.data());
    return picture.left(2) + "\xff\xe0" + length + segment + picture.mid(2);
}

// A baseline JPEG, in one scan, that declares width x height: a small picture of one colour
// whose frame header states the larger sides, as cheaply as a phone photo of that size is made
// here. Its decoder fills in the blocks that the data leave out.
inline QByteArray baselineJpeg(int width, int height)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(qRgb(90, 140, 200));
    QByteArray bytes = encodedPicture(image, "JPG");
    uchar sides[4];
    qToBigEndian(quint16(height), sides);
    qToBigEndian(quint16(width), sides + 2);
    return bytes.replace(bytes.indexOf("\xff\xc0") + 5, 4, reinterpret_cast<const char *>(sides),
                         4);
}

// A progressive JPEG of four channels (CMYK) of width x height, all of one colour: its first
// scan, with no data, and the end. Its decoder keeps two bytes for every sample of every channel
// until the last scan, and fills in what the data leave out.
inline QByteArray progressiveCmykJpeg(int width, int height)
{
    // The frame header: its length, 8 bits, the sides, and each channel sampled in full.
    QByteArray frame = QByteArray::fromHex("ffc20014080000000004011100021100031100041100");
    qToBigEndian(quint16(height), frame.data() + 5);
    qToBigEndian(quint16(width), frame.data() + 7);
    return QByteArray::fromHex("ffd8ffdb004300") + QByteArray(64, 1)
        + QByteArray::fromHex("ffc400140001") + QByteArray(16, 0) + frame
        + QByteArray::fromHex("ffda000e040100020003000400000000") + QByteArray(8, 0)
        + QByteArray::fromHex("ffd9");
}

// The JPEG with an EXIF segment after its start that says how the camera was held: 6 for a
// photo to be turned by 90 degrees clockwise, as a phone held upright writes.
inline QByteArray jpegTurned(const QByteArray &jpeg, int orientation)
{
    // "Exif", then a TIFF header in Intel order and one entry: the orientation, a short.
    QByteArray segment = QByteArray("Exif\0\0", 6)
        + QByteArray::fromHex("49492a0008000000010012010300010000000000000000000000");
    segment[6 + 18] = char(orientation);
    QByteArray length(2, 0);
    qToBigEndian(quint16(segment.size() + 2), length.data());
    return jpeg.left(2) + "\xff\xe1" + length + segment + jpeg.mid(2);
}

// A GIF of one pixel on a logical screen of width x height, whose decoder allocates the whole
// screen. The system writes no GIF, so the bytes are written out.
inline QByteArray gifWithScreen(int width, int height)
{
    QByteArray bytes = QByteArray::fromHex("47494638396101000100800000000000ffffff21f904010000"
                                           "00002c000000000100010000020144003b");
    qToLittleEndian(quint16(width), bytes.data() + 6);
    qToLittleEndian(quint16(height), bytes.data() + 8);
    return bytes;
}

// The GIF with a comment of the given number of bytes after its screen's colours, in blocks as
// the format keeps them: bytes its decoder passes over.
inline QByteArray gifWithComment(const QByteArray &gif, int bytes)
{
    const int colours = uchar(gif.at(10)) & 0x80 ? 3 << ((uchar(gif.at(10)) & 7) + 1) : 0;
    QByteArray comment("\x21\xfe", 2);
    for (int left = bytes; left > 0; left -= 255)
        comment += char(qMin(left, 255)) + QByteArray(qMin(left, 255), 'c');
    comment += '\0';
    return gif.left(13 + colours) + comment + gif.mid(13 + colours);
}

// The JPEG with a comment of the given number of bytes (at most 65533) after its start: bytes
// its decoder passes over.
inline QByteArray jpegWithComment(const QByteArray &jpeg, int bytes)
{
    QByteArray length(2, 0);
    qToBigEndian(quint16(bytes + 2), length.data());
    return jpeg.left(2) + "\xff\xfe" + length + QByteArray(bytes, 'c') + jpeg.mid(2);
}

// A BMP of 8 bits a pixel in runs, black and green, of the runs given, after a gap of the given
// bytes between its colours and its data.
inline QByteArray bmpInRuns(int width, int height, const QByteArray &runs, int gap = 0)
{
    const int offset = 54 + 2 * 4 + gap;
    uchar head[54] = {'B', 'M'};
    qToLittleEndian(quint32(offset + runs.size()), head + 2);
    qToLittleEndian(quint32(offset), head + 10);
    qToLittleEndian(quint32(40), head + 14);
    qToLittleEndian(qint32(width), head + 18);
    qToLittleEndian(qint32(height), head + 22);
    qToLittleEndian(quint16(1), head + 26);
    qToLittleEndian(quint16(8), head + 28);
    qToLittleEndian(quint32(1), head + 30); // in runs of 8 bits
    qToLittleEndian(quint32(2), head + 46); // two colours
    return QByteArray(reinterpret_cast<const char *>(head), sizeof head)
        + QByteArray::fromHex("00000000"
                              "00ff0000")
        + QByteArray(gap, 0) + runs;
}

// A BMP in runs whose data end the picture at once: its decoder draws nothing on it.
inline QByteArray bmpInRunsEndedAtOnce(int width, int height, int gap)
{
    return bmpInRuns(width, height, QByteArray("\0\1", 2), gap);
}

// A BMP of 32 bits a pixel with alpha, as its newest header describes it, of the picture: the
// colours of its transparent pixels are stored as they are.
inline QByteArray bmpWithAlpha(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    QByteArray rows;
    for (int y = image.height() - 1; y >= 0; --y)
        rows.append(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4);
    uchar head[14 + 124] = {'B', 'M'};
    qToLittleEndian(quint32(sizeof head + rows.size()), head + 2);
    qToLittleEndian(quint32(sizeof head), head + 10);
    qToLittleEndian(quint32(124), head + 14);
    qToLittleEndian(qint32(image.width()), head + 18);
    qToLittleEndian(qint32(image.height()), head + 22);
    qToLittleEndian(quint16(1), head + 26);
    qToLittleEndian(quint16(32), head + 28);
    qToLittleEndian(quint32(3), head + 30); // in bit fields
    const quint32 masks[] = {0x00ff0000, 0x0000ff00, 0x000000ff, 0xff000000};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(masks[i], head + 54 + 4 * i);
    return QByteArray(reinterpret_cast<const char *>(head), sizeof head) + rows;
}

// A picture of one byte a pixel, 16 x 16, whose pixels hold every index once, column by column.
inline QImage everyIndex()
{
    QImage indices(16, 16, QImage::Format_Indexed8);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            indices.scanLine(y)[x] = uchar(x * 16 + y);
    }
    return indices;
}

// A BMP of 1, 4 or 8 bits a pixel holding the indices of a picture of one byte a pixel, and
// declaring the colours given, however many of them its indices use: some files declare fewer.
inline QByteArray indexedBmp(const QImage &indices, int bits, const QVector<QRgb> &colours)
{
    const int width = indices.width();
    const int rowBytes = (width * bits + 31) / 32 * 4;
    QByteArray rows;
    for (int y = indices.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes, 0);
        const uchar *line = indices.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            if (bits == 8)
                row[x] = char(line[x]);
            else if (bits == 4)
                row[x / 2] = char(row.at(x / 2) | (line[x] & 15) << (x % 2 ? 0 : 4));
            else
                row[x / 8] = char(row.at(x / 8) | (line[x] & 1) << (7 - x % 8));
        }
        rows += row;
    }
    QByteArray table;
    for (const QRgb colour : colours)
        table += QByteArray(1, char(qBlue(colour))) + char(qGreen(colour)) + char(qRed(colour))
            + '\0';
    const int offset = 54 + table.size();
    uchar head[54] = {'B', 'M'};
    qToLittleEndian(quint32(offset + rows.size()), head + 2);
    qToLittleEndian(quint32(offset), head + 10);
    qToLittleEndian(quint32(40), head + 14);
    qToLittleEndian(qint32(width), head + 18);
    qToLittleEndian(qint32(indices.height()), head + 22);
    qToLittleEndian(quint16(1), head + 26);
    qToLittleEndian(quint16(bits), head + 28);
    qToLittleEndian(quint32(colours.size()), head + 46);
    return QByteArray(reinterpret_cast<const char *>(head), sizeof head) + table + rows;
}

// A baseline JPEG of the given channels of width x height, each sampled in full, whose one scan
// holds only the first channel: its decoder keeps every coefficient of every channel for scans
// that never come, and fills in what the data leave out. It takes the decoder's standard tables.
inline QByteArray jpegScanningOneChannel(int width, int height, int channels)
{
    QByteArray frame = QByteArray::fromHex("ffc000000800000000");
    qToBigEndian(quint16(8 + 3 * channels), frame.data() + 2);
    qToBigEndian(quint16(height), frame.data() + 5);
    qToBigEndian(quint16(width), frame.data() + 7);
    frame += char(channels);
    for (int channel = 1; channel <= channels; ++channel)
        frame += QByteArray(1, char(channel)) + QByteArray::fromHex("1100");
    return QByteArray::fromHex("ffd8ffdb004300") + QByteArray(64, 1) + frame
        + QByteArray::fromHex("ffda0008010100003f00") + QByteArray(8, 0)
        + QByteArray::fromHex("ffd9");
}

// An arithmetic-coded JPEG of the given channels of width x height, each sampled in full, of the
// given scans and no coded data: progressive, each scan the first of the DC coefficients of every
// channel, or baseline, its one scan holding every channel whole. Its decoder goes over every
// block of each scan, arithmetic decoding costing some three times what Huffman decoding does,
// and fills in what the data leave out; a few bytes a scan cover millions of blocks.
inline QByteArray arithmeticJpeg(int width, int height, int channels, int scans, bool progressive)
{
    QByteArray frame = QByteArray::fromHex(progressive ? "ffca" : "ffc9");
    frame += QByteArray(2, 0) + char(8) + QByteArray(4, 0) + char(channels);
    qToBigEndian(quint16(8 + 3 * channels), frame.data() + 2);
    qToBigEndian(quint16(height), frame.data() + 5);
    qToBigEndian(quint16(width), frame.data() + 7);
    QByteArray scan = QByteArray::fromHex("ffda0000") + char(channels);
    qToBigEndian(quint16(6 + 2 * channels), scan.data() + 2);
    for (int channel = 1; channel <= channels; ++channel) {
        frame += char(channel) + QByteArray::fromHex("1100");
        scan += char(channel) + QByteArray(1, 0);
    }
    scan += QByteArray::fromHex(progressive ? "000000" : "003f00") + QByteArray(8, 0);
    return QByteArray::fromHex("ffd8ffdb004300") + QByteArray(64, 1) + frame + scan.repeated(scans)
        + QByteArray::fromHex("ffd9");
}

// The value of channel c of pixel (x, y) of the pictures below: smooth ramps with stripes and a
// few sharp edges, as a drawing or a photo has, in the given bits.
inline int kindSample(int x, int y, int channel, int bits)
{
    const int top = (1 << bits) - 1;
    const int ramp = (x * 3 + y * (channel + 1) * 2 + channel * 40) % 512;
    const int value = ramp < 256 ? ramp : 511 - ramp;
    const bool stripe = (x / 7 + y / 5 + channel) % 6 == 0;
    return ((stripe ? 255 - value : value) * top + 127) / 255;
}

// A PNG of width x height of the given colour type and bits a sample, stored row after row or
// in seven passes, its pixels kindSample's: a palette of as many colours as its bits hold, grey
// or colour with alpha, or with the colour or the palette entries a tRNS chunk makes
// transparent. Written out row by row, since the system's writer makes few of these kinds.
inline QByteArray pngOfKind(int width, int height, int colourType, int depth, bool interlaced,
                            bool transparent)
{
    const int channels = colourType == 6 ? 4 : colourType == 2 ? 3 : colourType == 4 ? 2 : 1;
    QByteArray chunks;
    if (colourType == 3) {
        QByteArray palette;
        QByteArray alphas;
        for (int i = 0; i < (1 << depth); ++i) {
            palette += char(i * 255 / ((1 << depth) - 1)) + QByteArray(1, char(i * 37 % 256))
                + char(255 - i * 255 / ((1 << depth) - 1));
            alphas += char(i % 3 == 0 ? 0 : i % 3 == 1 ? 128 : 255);
        }
        chunks += pngChunk("PLTE", palette);
        if (transparent)
            chunks += pngChunk("tRNS", alphas);
    } else if (transparent) {
        // The colour of the first pixel, which recurs along the picture's stripes.
        QByteArray key;
        for (int channel = 0; channel < channels; ++channel) {
            QByteArray sample(2, 0);
            qToBigEndian(quint16(kindSample(0, 0, channel, depth)), sample.data());
            key += sample;
        }
        chunks += pngChunk("tRNS", key);
    }
    // A row of the pixels from column first, step apart, after its filter byte, packed from the
    // highest bits down.
    const auto row = [&](int y, int first, int step) {
        const int pixels = (width - first + step - 1) / step;
        QByteArray bits(1 + (pixels * channels * depth + 7) / 8, 0);
        auto *at = reinterpret_cast<uchar *>(bits.data()) + 1;
        int used = 0;
        for (int x = first; x < width; x += step) {
            for (int channel = 0; channel < channels; ++channel) {
                const int value = kindSample(x, y, channel, depth);
                if (depth == 16) {
                    *at++ = uchar(value >> 8);
                    *at++ = uchar(value);
                } else if (depth == 8) {
                    *at++ = uchar(value);
                } else {
                    *at |= uchar(value << (8 - depth - used));
                    used += depth;
                    if (used == 8) {
                        used = 0;
                        ++at;
                    }
                }
            }
        }
        return bits;
    };
    QByteArray rows;
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows += row(y, 0, 1);
    } else {
        for (const auto &pass : pngPasses) {
            if (pass[0] >= width)
                continue;
            for (int y = pass[1]; y < height; y += pass[3])
                rows += row(y, pass[0], pass[2]);
        }
    }
    return QByteArray("\x89PNG\r\n\x1a\n", 8)
        + pngHeader(width, height, depth, colourType, interlaced) + chunks
        + pngChunk("IDAT", qCompress(rows, 1).mid(4)) + pngChunk("IEND", QByteArray());
}

// A GIF of a screen of width x height, eight greens its colours and the sixth its background,
// and one picture of one pixel at (1, 1) that takes its colours from 256 of its own: blue first,
// white sixth, the others grey. With a transparent colour, the sixth.
inline QByteArray gifWithColoursOfItsOwn(int width, int height, bool transparent)
{
    QByteArray screen("GIF89a\0\0\0\0\x82\5\0", 13);
    qToLittleEndian(quint16(width), screen.data() + 6);
    qToLittleEndian(quint16(height), screen.data() + 8);
    QByteArray colours = QByteArray(3 * 256, char(100));
    colours.replace(0, 3, QByteArray::fromHex("0000ff"));
    colours.replace(15, 3, QByteArray::fromHex("ffffff"));
    const QByteArray control = transparent ? QByteArray::fromHex("21f9040100000500") : QByteArray();
    return screen + QByteArray::fromHex("00ff00").repeated(8) + control
        + QByteArray::fromHex("2c010001000100010087")
        + colours
        // Its one pixel, the first colour, in codes of nine bits: start afresh, 0, end.
        + QByteArray::fromHex("08040001040400") + ';';
}

// An SVG picture that draws what its link names: a picture file, by path, or picture bytes in
// a data address. The system's SVG decoder follows such links, to the disk too.
inline QByteArray svgShowing(const QByteArray &link)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "width=\"8\" height=\"8\"><image width=\"8\" height=\"8\" xlink:href=\""
        + link + "\"/></svg>";
}

inline QByteArray svgShowingData(const QByteArray &png)
{
    return svgShowing("data:image/png;base64," + png.toBase64());
}

inline QByteArray svgShowingJpeg(const QByteArray &jpeg)
{
    return svgShowing("data:image/jpeg;base64," + jpeg.toBase64());
}

// The document compressed as an SVGZ, followed by whitespace that inflates to the given number
// of mebibytes. The system's SVG decoder inflates the whole file before it reads any of it.
// Each mebibyte is a gzip member of its own, all alike, which the inflater takes one after the
// other: a gibibyte costs a megabyte and a single compression of one mebibyte.
inline QByteArray svgzInflatingTo(const QByteArray &svg, int mebibytes)
{
    const auto member = [](const QByteArray &data) {
        quint32 table[256];
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
            table[n] = c;
        }
        quint32 crc = 0xffffffffu;
        for (const char byte : data)
            crc = table[(crc ^ quint8(byte)) & 0xff] ^ (crc >> 8);
        QByteArray tail(8, 0);
        qToLittleEndian(crc ^ 0xffffffffu, tail.data());
        qToLittleEndian(quint32(data.size()), tail.data() + 4);
        // qCompress puts the length and a zlib header in front of the deflate data, and a
        // checksum after it.
        const QByteArray zlib = qCompress(data, 9);
        return QByteArray("\x1f\x8b\x08\0\0\0\0\0\x02\xff", 10) + zlib.mid(6, zlib.size() - 10)
            + tail;
    };
    return member(svg) + member(QByteArray(1024 * 1024, ' ')).repeated(mebibytes);
}

// An icon file whose one icon is the PNG, as the system's icon decoder reads it: the directory
// gives the icon a side of 256 whatever the PNG declares.
inline QByteArray icoHolding(const QByteArray &png)
{
    QByteArray bytes = QByteArray::fromHex("000001000100" // an icon file of one icon
                                           "00000000"
                                           "01002000"
                                           "00000000"
                                           "16000000");
    qToLittleEndian(quint32(png.size()), bytes.data() + 14);
    return bytes + png;
}

inline QByteArray imageElement(const QByteArray &picture)
{
    return "<image format=\"PNG\" value=\"" + picture.toHex() + "\"/>";
}

// Many small pictures that each decode to millions of pixels, of 8 bits a channel, whose rows
// their own bytes pay for, as a picture file's do.
inline QByteArray manyLargePictures(int n)
{
    return plan(container("images", imageElement(blackPng(2048, 2048, 8, 2)), n));
}

// Many small pictures far higher than they are wide, whose rows each cost more than the bytes
// deflate makes of them pay for: what each owes beyond its bytes comes from what the plan allows.
inline QByteArray manyTallPictures(int n)
{
    return plan(container("images", imageElement(blackPng(1, 65500, 8, 2)), n));
}

// Many GIFs of one pixel on a screen of 8192 x 8192, some forty bytes each: every picture comes
// out at the library's size, the screen summed into its cells.
inline QByteArray manyGifsOnLargeScreens(int n)
{
    return plan(container("images", imageElement(gifWithScreen(8192, 8192)), n));
}

// Many PNGs of the library's size in one bit a pixel, some eighty bytes each.
inline QByteArray manySmallOneBitPictures(int n)
{
    return plan(container("images", imageElement(blackPng(128, 128)), n));
}

// Many 128 x 128 swatches as the program stores them.
inline QByteArray manySwatches(int n)
{
    QImage swatch(128, 128, QImage::Format_RGB32);
    swatch.fill(qRgb(120, 160, 200));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    swatch.save(&buffer, "PNG");
    return plan(container("images", imageElement(buffer.data()), n));
}

// Many blank pages of 1024 x 1024 pixels of one bit, some six hundred bytes each, larger than
// the library keeps any picture.
inline QByteArray manyBlankOneBitPages(int n)
{
    return plan(container("images", imageElement(blackPng(1024, 1024)), n));
}

// Many GIFs of 8192 x 8192 pixels, which their codes fill a run of 4,091 pixels at a time.
inline QByteArray manyGifsOfLongRuns(int n)
{
    QVector<int> codes {4, 0};
    for (int code = 6; code < 4096; ++code)
        codes << code;
    for (qint64 pixels = 4090LL * 4091 / 2; pixels < 8192LL * 8192; pixels += 4091)
        codes << 4095;
    const QByteArray gif
        = HostileGifs::gif(QSize(8192, 8192), {qRgb(0, 0, 0), qRgb(255, 255, 255), 0, 0}, 0,
                           QRect(0, 0, 8192, 8192), {}, HostileGifs::gifCodes(codes, 2));
    return plan(container("images", imageElement(gif), n));
}

// Many blank A4 pages scanned at 600 dots an inch in 8-bit grey.
inline QByteArray manyBlankGreyPages(int n)
{
    return plan(container("images", imageElement(blackPng(4960, 7016, 8, 0)), n));
}

// The JPEG with comments of the given number of bytes in all after its start.
inline QByteArray jpegPadded(QByteArray jpeg, int bytes)
{
    for (int left = bytes; left > 0; left -= 65533)
        jpeg = jpegWithComment(jpeg, qMin(left, 65533));
    return jpeg;
}

// Many arithmetic-coded JPEGs declaring 20000 x 20000 pixels of one channel in one scan whose data
// run out, each padded to some 280 KB.
inline QByteArray manyArithmeticJpegs(int n)
{
    return plan(container(
        "images", imageElement(jpegPadded(arithmeticJpeg(20000, 20000, 1, 1, false), 280000)), n));
}

struct Shape
{
    const char *name;
    std::function<QByteArray(int)> build;
    // A shape of pictures, each of which may take a tenth of a second or more to read.
    bool pictures = false;
};

inline QList<Shape> shapes()
{
    return {{"cards_x_properties", cardsTimesProperties},
            {"views_x_properties", viewsTimesProperties},
            {"long_lists", longLists},
            {"many_attributes", manyAttributes},
            {"many_field_siblings", manyFieldSiblings},
            {"dense_nodes", denseNodes},
            {"deep_nesting", deepNesting},
            {"nested_views", nestedViews},
            {"many_filter_terms", manyFilterTerms},
            {"nested_cards", nestedCards},
            {"repeated_entity", repeatedEntity},
            {"many_large_pictures", manyLargePictures, true},
            {"many_tall_pictures", manyTallPictures, true},
            {"many_gifs_on_large_screens", manyGifsOnLargeScreens, true},
            {"many_small_one_bit_pictures", manySmallOneBitPictures, true},
            {"many_swatches", manySwatches, true},
            {"many_blank_one_bit_pages", manyBlankOneBitPages, true},
            {"many_gifs_of_long_runs", manyGifsOfLongRuns, true},
            {"many_blank_grey_pages", manyBlankGreyPages, true},
            {"many_arithmetic_jpegs", manyArithmeticJpegs, true}};
}

} // namespace HostilePlans
