#include "common/core/PngPictureReader.h"

#include "common/core/DecodingWork.h"
#include "common/core/FittedCells.h"
#include "common/core/HeldPicture.h"
#include "common/core/RasterPictureReader.h"

#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

namespace {

// What the rows cost, in units of work (see DecodingWork), as measured on this decoder: a unit for
// each byte of a row as the file stores it, which inflating and unfiltering it takes; a unit for
// every four pixels summed or written one by one, as those of 4 bits and of 8 bits a channel and
// more are, and for each pixel of fewer than 8 bits written into a picture held whole, whose bits
// are taken apart one pixel at a time; and a row's own cost, whatever its width. Rows of 1 or 2
// bits a pixel summed into cells are counted a byte at a time, and rows of pixels all alike a row
// at a time. Deflate gives at most 1,032 bytes for a byte of the file, so the bytes a PNG is read
// from pay for its rows, however blank, and only a picture far higher than it is wide owes more.
constexpr qint64 unitsPerRowByte = 1;
constexpr qint64 pixelsPerUnit = 4;
constexpr qint64 unitsPerPackedPixelWritten = 1;
constexpr qint64 unitsPerRow = 32;

struct Input
{
    const uchar *data = nullptr;
    size_t size = 0;
    size_t at = 0;
};

void readBytes(png_structp png, png_bytep into, size_t count)
{
    auto *input = static_cast<Input *>(png_get_io_ptr(png));
    if (count > input->size - input->at)
        png_error(png, "cut short");
    memcpy(into, input->data + input->at, count);
    input->at += count;
}

[[noreturn]] void failed(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void warned(png_structp, png_const_charp) { }

// The ones in each byte, so that counting a black and white row costs a look-up a byte.
struct OnesInBytes
{
    uchar ones[256];
    constexpr OnesInBytes() : ones()
    {
        for (int byte = 0; byte < 256; ++byte)
            ones[byte] = uchar((byte & 1) + (byte >> 1 & 1) + (byte >> 2 & 1) + (byte >> 3 & 1)
                               + (byte >> 4 & 1) + (byte >> 5 & 1) + (byte >> 6 & 1) + (byte >> 7));
    }
};
constexpr OnesInBytes onesInBytes;

// How many of each of the four pixels of 2 bits a byte holds, in four counts of 16 bits: a
// range of up to 16,383 bytes adds up in one number.
struct IndicesInBytes
{
    quint64 counts[256];
    constexpr IndicesInBytes() : counts()
    {
        for (int byte = 0; byte < 256; ++byte) {
            for (int shift = 0; shift < 8; shift += 2)
                counts[byte] += quint64(1) << (16 * ((byte >> shift) & 3));
        }
    }
};
constexpr IndicesInBytes indicesInBytes;

// Adds how many of pixels [from, to) of a row packed Depth bits a pixel, the first in the highest
// bits, hold each index: whole bytes at a time, and the pixels of a byte shared with the next
// range one by one.
template<int Depth>
void countIndices(const uchar *row, int from, int to, qint64 *counts)
{
    constexpr int perByte = 8 / Depth;
    const auto index = [row](int i) {
        return (row[i / perByte] >> (8 - Depth * (i % perByte + 1))) & ((1 << Depth) - 1);
    };
    if (Depth == 1) {
        // The bits of the first and last bytes outside the range are masked away.
        const int first = from / 8;
        const int last = to / 8;
        const uchar head = uchar(0xff >> (from % 8));
        const uchar tail = uchar(~(0xff >> (to % 8)));
        qint64 ones;
        if (first == last) {
            ones = onesInBytes.ones[row[first] & head & tail];
        } else {
            ones = onesInBytes.ones[row[first] & head];
            for (int byte = first + 1; byte < last; ++byte)
                ones += onesInBytes.ones[row[byte]];
            if (to % 8 != 0)
                ones += onesInBytes.ones[row[last] & tail];
        }
        counts[1] += ones;
        counts[0] += qint64(to - from) - ones;
        return;
    }
    int i = from;
    for (; i < to && i % perByte != 0; ++i)
        ++counts[index(i)];
    const int wholeEnd = i + (to - i) / perByte * perByte;
    const uchar *byte = row + i / perByte;
    const uchar *end = row + wholeEnd / perByte;
    if (Depth == 2) {
        quint64 packed = 0;
        for (; byte != end; ++byte)
            packed += indicesInBytes.counts[*byte];
        for (int index = 0; index < 4; ++index)
            counts[index] += qint64((packed >> (16 * index)) & 0xffff);
    } else {
        for (; byte != end; ++byte) {
            ++counts[*byte >> 4];
            ++counts[*byte & 15];
        }
    }
    for (i = wholeEnd; i < to; ++i)
        ++counts[index(i)];
}

void countIndices(const uchar *row, int depth, int from, int to, qint64 *counts)
{
    if (depth == 1)
        countIndices<1>(row, from, to, counts);
    else if (depth == 2)
        countIndices<2>(row, from, to, counts);
    else
        countIndices<4>(row, from, to, counts);
}

// The eight indices of one bit each that a byte holds, as eight bytes.
struct BitsAsBytes
{
    uchar bytes[256][8];
    constexpr BitsAsBytes() : bytes()
    {
        for (int byte = 0; byte < 256; ++byte) {
            for (int bit = 0; bit < 8; ++bit)
                bytes[byte][bit] = uchar((byte >> (7 - bit)) & 1);
        }
    }
};
constexpr BitsAsBytes bitsAsBytes;

// Writes the indices of count pixels of a row packed Depth bits a pixel, the first in the highest
// bits, into a line of one byte a pixel, the first at column first, each step columns after the
// one before.
template<int Depth>
void writeIndices(const uchar *row, int count, uchar *line, int first, int step)
{
    constexpr int perByte = 8 / Depth;
    constexpr int mask = (1 << Depth) - 1;
    uchar *at = line + first;
    int whole = 0;
    // A row that is not interlaced, as a page's or a pattern's is, eight pixels at a time.
    if (Depth == 1 && step == 1) {
        for (; whole + 8 <= count; whole += 8, ++row, at += 8)
            memcpy(at, bitsAsBytes.bytes[*row], 8);
    }
    for (int i = whole; i < count; ++row) {
        const uchar byte = *row;
        for (int k = 0; k < perByte && i < count; ++k, ++i, at += step)
            *at = uchar((byte >> (8 - Depth * (k + 1))) & mask);
    }
}

void writeIndices(const uchar *row, int depth, int count, uchar *line, int first, int step)
{
    if (depth == 1)
        writeIndices<1>(row, count, line, first, step);
    else if (depth == 2)
        writeIndices<2>(row, count, line, first, step);
    else if (depth == 4)
        writeIndices<4>(row, count, line, first, step);
    else
        writeIndices<8>(row, count, line, first, step);
}

// The pixels across and the rows of each pass of a picture, one pass where it is not interlaced,
// and the count of passes.
int passSides(quint32 width, quint32 height, bool interlaced, quint32 (*sides)[2])
{
    if (!interlaced) {
        sides[0][0] = width;
        sides[0][1] = height;
        return 1;
    }
    for (int pass = 0; pass < 7; ++pass) {
        sides[pass][0] = PNG_PASS_COLS(width, pass);
        sides[pass][1] = PNG_PASS_ROWS(height, pass);
    }
    return 7;
}

// The work of a pass's rows as the file stores them, were each of one colour.
qint64 passRowsWork(qint64 across, qint64 down, int bitsAPixel)
{
    if (across == 0 || down == 0)
        return 0;
    return down * (unitsPerRow + (1 + (across * bitsAPixel + 7) / 8) * unitsPerRowByte);
}

} // namespace

struct PngPictureReader::Private
{
    QByteArray bytes;
    DecodingWork *work = nullptr;
    Input input;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colourType = 0;
    int interlace = 0;
    bool alpha = false;
    // The premultiplied colour of each index of a grey picture of fewer than 8 bits a pixel, or
    // of a palette.
    QRgb colours[256] = {};
    // The grey level or colour that the file makes transparent, in the bits it is stored in.
    bool keyed = false;
    int keyRed = -1;
    int keyGreen = -1;
    int keyBlue = -1;
    std::vector<uchar> row;

    // Every call into the library that may fail is made from these two, whose frames hold nothing
    // that a jump out of them would leave undone.
    bool readInfo();
    // Into the cells, or where indexed is given, as the indices of its colours into that picture
    // of its own size.
    bool readRows(FittedCells *cells, QImage *indexed = nullptr);
    bool indexedColours(QVector<QRgb> *table) const;
    void takeColours();
    qint64 addPacked(FittedCells *cells, int y, int first, int step, int count);
    qint64 addDeep(FittedCells *cells, int y, int first, int step, int count);
};

bool PngPictureReader::Private::readInfo()
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &input, readBytes);
    // Nothing but the palette's transparency changes a pixel: every other chunk beside the
    // picture's own is passed over, never inflated.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS);
    takeColours();
    return true;
}

void PngPictureReader::Private::takeColours()
{
    const int count = 1 << qMin(depth, 8);
    // An index past the palette is black, as the library's own expansion makes it.
    std::fill_n(colours, 256, qRgb(0, 0, 0));
    png_bytep transparency = nullptr;
    int transparent = 0;
    png_color_16p key = nullptr;
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_get_tRNS(png, info, &transparency, &transparent, &key);
    if (key && colourType != PNG_COLOR_TYPE_PALETTE) {
        keyed = true;
        keyRed = colourType == PNG_COLOR_TYPE_GRAY ? key->gray : key->red;
        keyGreen = key->green;
        keyBlue = key->blue;
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int entries = 0;
        png_get_PLTE(png, info, &palette, &entries);
        for (int i = 0; i < qMin(entries, count); ++i) {
            const int a = transparency && i < transparent ? transparency[i] : 255;
            colours[i] = qPremultiply(qRgba(palette[i].red, palette[i].green, palette[i].blue, a));
        }
    } else if (depth < 8) {
        for (int i = 0; i < count; ++i) {
            const int level = i * 255 / (count - 1);
            colours[i] = keyed && keyRed == i ? 0u : qRgb(level, level, level);
        }
    }
}

// The pixels of cell after cell of a row, the first at column first, each step columns after the
// one before, as [from, to) among them.
template<typename Sum>
void forEachCell(FittedCells *cells, int y, int first, int step, int count, Sum sum)
{
    for (int i = 0; i < count;) {
        const int x = first + i * step;
        const int next = cells->cellEnd(x) - first;
        const int end = qMin(count, step == 1 ? next : (next + step - 1) / step);
        quint64 sums[4] = {};
        sum(i, end, sums);
        cells->addSums(x, y, sums, end - i);
        i = end;
    }
}

// Sums a row of fewer than 8 bits a pixel into the cells, or writes it into the picture held
// whole; the work of its pixels, beside that of its bytes: each pixel written, or those of 4 bits
// counted one by one unless the row is all of one index. Those of 1 and 2 bits are counted a byte
// at a time.
qint64 PngPictureReader::Private::addPacked(FittedCells *cells, int y, int first, int step,
                                            int count)
{
    const uchar *bytes = row.data();
    if (QRgb *line = cells->wholeLine(y)) {
        for (int i = 0; i < count; ++i) {
            const int shift = 8 - depth * (i % (8 / depth) + 1);
            line[first + i * step] = colours[(bytes[i * depth / 8] >> shift) & ((1 << depth) - 1)];
        }
        return count * unitsPerPackedPixelWritten;
    }
    // A row of one index (a blank page's) is known by comparing its bytes, at any depth.
    const int whole = count * depth / 8;
    const int index = bytes[0] >> (8 - depth);
    bool same = whole == 0
        || (bytes[0] == uchar(index * (0xff / ((1 << depth) - 1)))
            && memcmp(bytes, bytes + 1, size_t(whole - 1)) == 0);
    for (int i = whole * 8 / depth; same && i < count; ++i)
        same = ((bytes[i * depth / 8] >> (8 - depth * (i % (8 / depth) + 1))) & ((1 << depth) - 1))
            == index;
    if (same) {
        const QRgb colour = colours[index];
        forEachCell(cells, y, first, step, count, [colour](int from, int to, quint64 *sums) {
            const quint64 times = quint64(to - from);
            sums[0] += (colour & 0xff) * times;
            sums[1] += ((colour >> 8) & 0xff) * times;
            sums[2] += ((colour >> 16) & 0xff) * times;
            sums[3] += (colour >> 24) * times;
        });
        return 0;
    }
    forEachCell(cells, y, first, step, count, [this](int from, int to, quint64 *sums) {
        qint64 counts[16];
        for (int index = 0; index < (1 << depth); ++index)
            counts[index] = 0;
        countIndices(row.data(), depth, from, to, counts);
        for (int index = 0; index < (1 << depth); ++index) {
            const quint64 times = quint64(counts[index]);
            const QRgb colour = colours[index];
            sums[0] += (colour & 0xff) * times;
            sums[1] += ((colour >> 8) & 0xff) * times;
            sums[2] += ((colour >> 16) & 0xff) * times;
            sums[3] += (colour >> 24) * times;
        }
    });
    return depth == 4 ? count / pixelsPerUnit : 0;
}

// Sums pixels [from, to) of a row of 8 or 16 bits a channel, or of a palette of 8 bits, as the
// file stores them, into sums of premultiplied blue, green, red and alpha: 16 bits are rounded
// to 8 as a scaled picture keeps them, and the colour the file makes transparent adds nothing.
template<int Channels, bool Wide>
QRgb deepPixel(const uchar *at, const QRgb *palette, bool keyed, const int *key)
{
    constexpr bool grey = Channels < 3;
    constexpr bool ownAlpha = Channels == 2 || Channels == 4;
    const auto stored = [at](int channel) {
        return Wide ? at[2 * channel] << 8 | at[2 * channel + 1] : int(at[channel]);
    };
    const auto narrow = [](int value) { return Wide ? (value * 255 + 32895) >> 16 : value; };
    if (palette)
        return palette[*at];
    const int r = stored(0);
    const int g = grey ? r : stored(1);
    const int b = grey ? r : stored(2);
    if (keyed && r == key[0] && (grey || (g == key[1] && b == key[2])))
        return 0;
    const int a = ownAlpha ? narrow(stored(Channels - 1)) : 255;
    const QRgb pixel = qRgba(narrow(r), narrow(g), narrow(b), a);
    return a == 255 ? pixel : qPremultiply(pixel);
}

template<int Channels, bool Wide>
void sumPixels(const uchar *row, int from, int to, const QRgb *palette, bool keyed, const int *key,
               quint64 *sums)
{
    constexpr int pixelBytes = Channels * (Wide ? 2 : 1);
    quint64 blue = 0;
    quint64 green = 0;
    quint64 red = 0;
    quint64 alpha = 0;
    const uchar *at = row + qint64(from) * pixelBytes;
    for (int i = from; i < to; ++i, at += pixelBytes) {
        const QRgb pixel = deepPixel<Channels, Wide>(at, palette, keyed, key);
        blue += pixel & 0xff;
        green += (pixel >> 8) & 0xff;
        red += (pixel >> 16) & 0xff;
        alpha += pixel >> 24;
    }
    sums[0] += blue;
    sums[1] += green;
    sums[2] += red;
    sums[3] += alpha;
}

// Writes the count pixels of a row into a line of the picture, the first at column first, each
// step columns after the one before.
template<int Channels, bool Wide>
void writePixels(const uchar *row, int count, const QRgb *palette, bool keyed, const int *key,
                 QRgb *line, int first, int step)
{
    constexpr int pixelBytes = Channels * (Wide ? 2 : 1);
    for (int i = 0; i < count; ++i)
        line[first + i * step]
            = deepPixel<Channels, Wide>(row + i * pixelBytes, palette, keyed, key);
}

// Sums a row of 8 bits or more a pixel into the cells, or writes it into the picture held whole;
// the work of its pixels, beside that of its bytes: none where its pixels are all alike, and so
// were summed a row at a time.
qint64 PngPictureReader::Private::addDeep(FittedCells *cells, int y, int first, int step, int count)
{
    const bool wide = depth == 16;
    const int channels = png_get_channels(png, info);
    const QRgb *palette = colourType == PNG_COLOR_TYPE_PALETTE ? colours : nullptr;
    const int key[3] = {keyRed, keyGreen, keyBlue};
    if (QRgb *line = cells->wholeLine(y)) {
        const auto write = channels == 1 ? (wide ? writePixels<1, true> : writePixels<1, false>)
            : channels == 2              ? (wide ? writePixels<2, true> : writePixels<2, false>)
            : channels == 3              ? (wide ? writePixels<3, true> : writePixels<3, false>)
                                         : (wide ? writePixels<4, true> : writePixels<4, false>);
        write(row.data(), count, palette, keyed, key, line, first, step);
        return count / pixelsPerUnit;
    }
    const auto sum = channels == 1 ? (wide ? sumPixels<1, true> : sumPixels<1, false>)
        : channels == 2            ? (wide ? sumPixels<2, true> : sumPixels<2, false>)
        : channels == 3            ? (wide ? sumPixels<3, true> : sumPixels<3, false>)
                                   : (wide ? sumPixels<4, true> : sumPixels<4, false>);
    const size_t pixelBytes = size_t(channels * depth / 8);
    if (memcmp(row.data(), row.data() + pixelBytes, size_t(count - 1) * pixelBytes) == 0) {
        quint64 one[4] = {};
        sum(row.data(), 0, 1, palette, keyed, key, one);
        forEachCell(cells, y, first, step, count, [&one](int from, int to, quint64 *sums) {
            for (int channel = 0; channel < 4; ++channel)
                sums[channel] += one[channel] * quint64(to - from);
        });
        return 0;
    }
    forEachCell(cells, y, first, step, count, [&](int from, int to, quint64 *sums) {
        sum(row.data(), from, to, palette, keyed, key, sums);
    });
    return count / pixelsPerUnit;
}

bool PngPictureReader::Private::readRows(FittedCells *cells, QImage *indexed)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    // The rows come as the file stores them, unfiltered: nothing is expanded before it is summed.
    const bool packed = depth < 8;
    png_read_update_info(png, info);
    const int channels = png_get_channels(png, info);
    const int passes = interlace == PNG_INTERLACE_NONE ? 1 : 7;
    for (int pass = 0; pass < passes; ++pass) {
        const bool whole = passes == 1;
        const int across = int(whole ? width : PNG_PASS_COLS(width, pass));
        const int down = int(whole ? height : PNG_PASS_ROWS(height, pass));
        if (across == 0 || down == 0)
            continue;
        const int firstColumn = whole ? 0 : PNG_PASS_START_COL(pass);
        const int columnStep = whole ? 1 : 1 << PNG_PASS_COL_SHIFT(pass);
        const int firstRow = whole ? 0 : PNG_PASS_START_ROW(pass);
        const int rowStep = whole ? 1 : 1 << PNG_PASS_ROW_SHIFT(pass);
        // What the file's rows hold, before anything is expanded, and the pixels that are summed
        // one by one rather than a byte or a row at a time.
        const qint64 rowWork = passRowsWork(across, 1, depth * channels);
        for (int y = 0; y < down; ++y) {
            if (!work->spend(rowWork))
                return false;
            png_read_row(png, row.data(), nullptr);
            const int at = firstRow + y * rowStep;
            qint64 pixelWork;
            if (indexed) {
                writeIndices(row.data(), depth, across, indexed->scanLine(at), firstColumn,
                             columnStep);
                pixelWork = packed ? across * unitsPerPackedPixelWritten : across / pixelsPerUnit;
            } else {
                pixelWork = packed ? addPacked(cells, at, firstColumn, columnStep, across)
                                   : addDeep(cells, at, firstColumn, columnStep, across);
            }
            if (pixelWork > 0 && !work->spend(pixelWork))
                return false;
        }
    }
    return true;
}

PngPictureReader::PngPictureReader(const QByteArray &png, DecodingWork *work) : d(new Private)
{
    d->bytes = png;
    d->work = work;
    d->input.data = reinterpret_cast<const uchar *>(d->bytes.constData());
    d->input.size = size_t(d->bytes.size());
}

PngPictureReader::~PngPictureReader()
{
    if (d->png)
        png_destroy_read_struct(&d->png, d->info ? &d->info : nullptr, nullptr);
    delete d;
}

bool PngPictureReader::readHead()
{
    d->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failed, warned);
    if (!d->png)
        return false;
    d->info = png_create_info_struct(d->png);
    return d->info && d->readInfo() && d->width > 0 && d->height > 0;
}

QSize PngPictureReader::size() const
{
    return QSize(int(qMin<png_uint_32>(d->width, INT_MAX)),
                 int(qMin<png_uint_32>(d->height, INT_MAX)));
}

bool PngPictureReader::hasAlpha() const
{
    return d->alpha;
}

qint64 PngPictureReader::rowsWork() const
{
    quint32 sides[7][2];
    const int passes = passSides(d->width, d->height, d->interlace != PNG_INTERLACE_NONE, sides);
    const int bits = d->depth * png_get_channels(d->png, d->info);
    qint64 work = 0;
    for (int pass = 0; pass < passes; ++pass)
        work += passRowsWork(sides[pass][0], sides[pass][1], bits);
    return work;
}

qint64 PngPictureReader::storedRowsBytes(quint32 width, quint32 height, int depth, int colourType,
                                         bool interlaced)
{
    const int channels = colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_PALETTE
        ? 1
        : colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
        : colourType == PNG_COLOR_TYPE_RGB        ? 3
        : colourType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                                                  : 0;
    // A side past the widest any picture may have is refused before it is counted: the product
    // of two sides of 32 bits and a wide pixel would not fit in the count.
    if (channels == 0 || depth <= 0 || depth > 16 || width == 0 || height == 0
        || width > quint32(maximumFittedSide) || height > quint32(maximumFittedSide))
        return -1;
    quint32 sides[7][2];
    const int passes = passSides(width, height, interlaced, sides);
    qint64 bytes = 0;
    for (int pass = 0; pass < passes; ++pass) {
        if (sides[pass][0] > 0)
            bytes += qint64(sides[pass][1])
                * (1 + (qint64(sides[pass][0]) * depth * channels + 7) / 8);
    }
    return bytes;
}

// The colours of the picture's indices as a picture of one byte a pixel holds them, so that it
// compares, saves and draws as the one its rows would give in 32 bits (tableOfColours).
bool PngPictureReader::Private::indexedColours(QVector<QRgb> *table) const
{
    return tableOfColours(QVector<QRgb>(colours, colours + (1 << qMin(depth, 8))), table);
}

QImage PngPictureReader::read(const QSize &fitted)
{
    // A picture of a palette, or of grey in fewer than 8 bits, read at its own size keeps its
    // indices, a byte a pixel, as it would be held: its pixels never take 32 bits.
    QVector<QRgb> table;
    if (d->png && fitted == size()
        && (d->colourType == PNG_COLOR_TYPE_PALETTE
            || (d->colourType == PNG_COLOR_TYPE_GRAY && d->depth < 8))
        && d->indexedColours(&table)) {
        QImage indexed(size(), QImage::Format_Indexed8);
        if (indexed.isNull())
            return QImage();
        indexed.setColorTable(table);
        indexed.fill(0);
        d->row.resize(size_t(d->width) + 8);
        return d->readRows(nullptr, &indexed) ? indexed : QImage();
    }
    FittedCells cells(size(), fitted, 0);
    if (!d->png || !cells.isValid())
        return QImage();
    // The widest row the library hands over: 8 bytes a pixel at 16 bits a channel.
    d->row.resize(size_t(d->width) * 8 + 8);
    if (!d->readRows(&cells))
        return QImage();
    return cells.takePicture(d->alpha);
}

bool PngPictureReader::holdsOnlyItsPicture(const QByteArray &png, const QSize &size)
{
    // What a file of the picture's own chunks holds beside its rows: the signature, a full palette
    // and transparency, the density, the heads of some hundred data chunks and the stream's own
    // few bytes.
    constexpr qint64 besideRows = 4096;
    const auto *bytes = reinterpret_cast<const uchar *>(png.constData());
    if (png.size() < 8 + 25 || memcmp(bytes, "\x89PNG\r\n\x1a\n", 8) != 0)
        return false;
    static const char *const order[] = {"IHDR", "PLTE", "tRNS", "IDAT", "IEND"};
    const int data = 3;
    const int end = 4;
    qint64 at = 8;
    int last = -1;
    qint64 rows = -1;
    bool density = false;
    while (at + 12 <= png.size()) {
        const qint64 length = png_get_uint_32(bytes + at);
        if (length > png.size() - at - 12)
            return false;
        const QByteArray type = png.mid(int(at + 4), 4);
        // The density the system's writer adds before the data changes no pixel anywhere. Every
        // other chunk beside the picture's own (a gamma, a colour profile, an animation's frames,
        // a text) may show the picture otherwise elsewhere than here, or is more than the picture.
        if (type == "pHYs" && !density && last >= 0 && last < data && length == 9) {
            density = true;
            at += 12 + length;
            continue;
        }
        int kind = 0;
        while (kind <= end && type != order[kind])
            ++kind;
        // The header first, each kind after those before it, only the data repeated.
        if (kind > end || kind < last || (kind == last && kind != data) || (last < 0 && kind != 0))
            return false;
        if (kind == 0) {
            if (length != 13)
                return false;
            const uchar *header = bytes + at + 8;
            if (png_get_uint_32(header) != quint32(size.width())
                || png_get_uint_32(header + 4) != quint32(size.height()))
                return false;
            rows = storedRowsBytes(png_get_uint_32(header), png_get_uint_32(header + 4), header[8],
                                   header[9], header[12] != 0);
        }
        if (kind == end)
            return last == data && length == 0 && at + 12 == png.size() && rows >= 0
                && png.size() <= rows + besideRows;
        last = kind;
        at += 12 + length;
    }
    return false;
}
