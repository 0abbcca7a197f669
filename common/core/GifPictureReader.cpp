#include "common/core/GifPictureReader.h"

#include "common/core/DecodingWork.h"
#include "common/core/FileHoles.h"
#include "common/core/FittedCells.h"
#include "common/core/RasterPictureReader.h"

#include <cstring>
#include <vector>

#include <QIODevice>
#include <QVector>

namespace {

// The device is read a block at a time, and nothing of it is kept beyond the block in hand: a
// comment of megabytes before the picture costs no memory.
constexpr int blockBytes = 64 * 1024;
constexpr int mostCodeBits = 12;
constexpr int tableEntries = 1 << mostCodeBits;
// The pixels of one code, gathered from its last: as deep as the decoder this one replaces let a
// chain of codes go before taking it for a loop.
constexpr int stackDepth = 2 * tableEntries;

// What a colour the table lacks looks like: transparent, or in a picture without alpha the white
// that the decoder this one replaces showed for it.
constexpr QRgb missingWithAlpha = 0;
constexpr QRgb missingOpaque = 0xffffffff;

enum class CodeOutcome { More, End, Broken, Refused };
enum class DataOutcome { Complete, Cut, Broken, Refused };

int littleEndian16(const uchar *bytes)
{
    return bytes[0] | bytes[1] << 8;
}

QVector<QRgb> colourTable(const uchar *bytes, int count)
{
    QVector<QRgb> colours(count);
    for (int i = 0; i < count; ++i)
        colours[i] = qRgb(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
    return colours;
}

// A screen of no width or height is taken to end where the first picture does, as the decoder this
// one replaces took it, and so is one wider or higher than any picture may be (the format allows a
// few pixels more), whose picture would otherwise be refused; any other screen is kept whole,
// however much larger than the picture, as it draws it: the picture stands where it was placed on
// it.
int screenSide(int screen, int offset, int side)
{
    return screen > 0 && screen <= maximumFittedSide ? screen : offset + side;
}

} // namespace

class GifPictureReader::Private
{
public:
    Private(QIODevice *device, DecodingWork *work) : m_device(device), m_work(work) { }

    bool readHead();
    QImage read(const QSize &fitted);

    QSize m_size;
    qint64 m_taken = 0;

private:
    enum class Stage { Fresh, HeadRead, Over };

    // The bytes of the device, as they are parsed.
    bool refill();
    bool consume(int count);
    int nextByte();
    bool readBytes(uchar *into, int count);
    bool passBlocks();
    bool readExtension();

    // The picture's data.
    DataOutcome decodeData();
    CodeOutcome decodeBytes(const uchar *bytes, int count);
    CodeOutcome takeCode(int code);
    void resetCodes();
    void give(int count);
    void endRow();
    void advanceRow();
    void flushRow(int y);

    QIODevice *const m_device;
    DecodingWork *const m_work;
    Stage m_stage = Stage::Fresh;
    std::vector<uchar> m_block;
    int m_at = 0;
    int m_end = 0;
    bool m_deviceEnded = false;
    bool m_tooLong = false;

    // The head.
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    // The count of screen colours the flags give, whether or not the file holds them.
    int m_screenCount = 0;
    QVector<QRgb> m_screenColours;
    int m_backgroundIndex = 0;
    int m_transparent = -1;
    // The last bytes of the head held by the decoder this one replaces, which a control extension
    // too short for its fields reads them from: such files keep the transparency they had.
    uchar m_held[11] = {};
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_interlaced = false;
    bool m_hasOwnColours = false;
    QVector<QRgb> m_ownColours;
    int m_leastCodeBits = 0;

    // Decoding.
    FittedCells *m_cells = nullptr;
    QRgb m_colours[256] = {};
    std::vector<quint16> m_prefix;
    std::vector<quint16> m_suffix;
    std::vector<quint16> m_stack;
    int m_clearCode = 0;
    int m_codeBits = 0;
    int m_codeLimit = 0;
    int m_nextCode = 0;
    int m_firstCode = 0;
    int m_oldCode = 0;
    bool m_needFirst = true;
    quint32 m_bits = 0;
    int m_bitCount = 0;
    qint64 m_given = 0;

    // Where the next pixel goes. A pixel is drawn only while on the screen; once the rows leave
    // it, or the picture starts right of it, no later pixel is drawn.
    int m_x = 0;
    int m_y = 0;
    int m_rowEnd = 0;
    int m_bottom = 0;
    // 0 for rows one after another, else the pass of an interlaced picture, 1 to 4.
    int m_pass = 0;
    bool m_drawing = false;
    bool m_offScreen = false;
    // The row being given, from the picture's left, and how much of it has been drawn.
    std::vector<QRgb> m_row;
    int m_rowFilled = 0;
};

bool GifPictureReader::Private::refill()
{
    if (m_deviceEnded)
        return false;
    if (m_block.empty())
        m_block.resize(blockBytes);
    const qint64 from = m_device->pos();
    const qint64 got = m_device->read(reinterpret_cast<char *>(m_block.data()), blockBytes);
    if (got <= 0) {
        m_deviceEnded = true;
        return false;
    }
    // The holes of a file cost their reading, and pay for nothing.
    if (m_work)
        m_work->spend((got - bytesThere(m_device, from, from + got)) * workPerByteRead);
    m_at = 0;
    m_end = int(got);
    return true;
}

// Takes count bytes of the block in hand as parsed; false, and for good, once they would pass
// what a picture may take.
bool GifPictureReader::Private::consume(int count)
{
    if (m_tooLong || m_taken + count > maximumPictureBytes) {
        m_tooLong = true;
        return false;
    }
    m_at += count;
    m_taken += count;
    if (m_work)
        m_work->addRead(count);
    return true;
}

int GifPictureReader::Private::nextByte()
{
    if (m_at == m_end && !refill())
        return -1;
    const uchar byte = m_block[size_t(m_at)];
    return consume(1) ? byte : -1;
}

// Reads count bytes into into, or passes over them where into is null.
bool GifPictureReader::Private::readBytes(uchar *into, int count)
{
    while (count > 0) {
        if (m_at == m_end && !refill())
            return false;
        const int step = qMin(count, m_end - m_at);
        if (into) {
            memcpy(into, m_block.data() + m_at, size_t(step));
            into += step;
        }
        if (!consume(step))
            return false;
        count -= step;
    }
    return true;
}

// Passes over sub-blocks up to the empty one that ends them.
bool GifPictureReader::Private::passBlocks()
{
    for (;;) {
        const int size = nextByte();
        if (size <= 0)
            return size == 0;
        if (!readBytes(nullptr, size))
            return false;
    }
}

// An extension after its introducer. The first sub-block of a control or application extension
// is read whole even when empty, and the blocks after it are passed over up to an empty one, as
// the decoder this one replaces read them: files that lean on it keep their pictures.
bool GifPictureReader::Private::readExtension()
{
    const int label = nextByte();
    if (label < 0)
        return false;
    if (label == 0xf9 || label == 0xff) {
        const int size = nextByte();
        uchar first[255];
        if (size < 0 || !readBytes(first, size))
            return false;
        m_held[0] = uchar(size);
        memcpy(m_held + 1, first, size_t(qMin(size, label == 0xf9 ? 4 : 10)));
        if (label == 0xf9) {
            m_transparent = m_held[1] & 1 ? m_held[4] : -1;
        } else if (memcmp(m_held + 1, "NETSCAPE", 8) == 0) {
            // Its looping count, held like the rest; an empty block ends it at once.
            const int loopSize = nextByte();
            uchar loop[255];
            if (loopSize <= 0 || !readBytes(loop, loopSize))
                return loopSize == 0;
            memcpy(m_held, loop, size_t(qMin(loopSize, 3)));
        }
    }
    return passBlocks();
}

bool GifPictureReader::Private::readHead()
{
    if (m_stage != Stage::Fresh)
        return m_stage == Stage::HeadRead;
    m_stage = Stage::Over;

    uchar screen[13];
    if (!readBytes(screen, 13)
        || (memcmp(screen, "GIF87a", 6) != 0 && memcmp(screen, "GIF89a", 6) != 0))
        return false;
    memcpy(m_held, screen + 6, 7);
    m_screenWidth = littleEndian16(screen + 6);
    m_screenHeight = littleEndian16(screen + 8);
    m_screenCount = 2 << (screen[10] & 7);
    m_backgroundIndex = screen[11];
    if (screen[10] & 0x80) {
        uchar table[3 * 256];
        if (!readBytes(table, 3 * m_screenCount))
            return false;
        m_screenColours = colourTable(table, m_screenCount);
        memcpy(m_held, table + 3 * (m_screenCount - 1), 3);
    }

    for (;;) {
        const int introducer = nextByte();
        if (introducer == 0x2c)
            break;
        if (introducer != 0x21 || !readExtension())
            return false;
    }

    uchar descriptor[9];
    if (!readBytes(descriptor, 9))
        return false;
    m_left = littleEndian16(descriptor);
    m_top = littleEndian16(descriptor + 2);
    m_width = littleEndian16(descriptor + 4);
    m_height = littleEndian16(descriptor + 6);
    m_size = QSize(screenSide(m_screenWidth, m_left, m_width),
                   screenSide(m_screenHeight, m_top, m_height));
    m_interlaced = descriptor[8] & 0x40;
    m_hasOwnColours = descriptor[8] & 0x80;
    if (m_hasOwnColours) {
        const int count = 2 << (descriptor[8] & 7);
        uchar table[3 * 256];
        if (!readBytes(table, 3 * count))
            return false;
        m_ownColours = colourTable(table, count);
    }
    m_leastCodeBits = nextByte();
    if (m_leastCodeBits < 0 || m_leastCodeBits > mostCodeBits || m_size.isEmpty())
        return false;
    m_stage = Stage::HeadRead;
    return true;
}

void GifPictureReader::Private::resetCodes()
{
    m_codeBits = m_leastCodeBits + 1;
    m_codeLimit = 2 * m_clearCode;
    m_nextCode = m_clearCode + 2;
}

QImage GifPictureReader::Private::read(const QSize &fitted)
{
    if (!readHead())
        return QImage();
    m_stage = Stage::Over;
    if (m_work && m_work->isOver())
        return QImage();

    // What the picture leaves uncovered: the screen's background colour, unless the file makes
    // a colour transparent or gives none. The background is never looked up in the picture's own
    // colours, which are not known where it is first drawn.
    QRgb background = 0;
    if (m_transparent < 0 && m_backgroundIndex < m_screenColours.size())
        background = m_screenColours.at(m_backgroundIndex);
    const bool alpha = qAlpha(background) == 0 || m_transparent >= 0;

    const QVector<QRgb> &table = m_hasOwnColours ? m_ownColours : m_screenColours;
    const int tableCount = m_hasOwnColours ? m_ownColours.size() : m_screenCount;
    for (int index = 0; index < 256; ++index) {
        if (table.isEmpty())
            m_colours[index] = 0;
        else if (index >= tableCount || index == m_transparent)
            m_colours[index] = alpha ? missingWithAlpha : missingOpaque;
        else
            m_colours[index] = table.at(index);
    }

    FittedCells cells(m_size, fitted, background);
    if (!cells.isValid())
        return QImage();
    m_cells = &cells;

    m_prefix.assign(tableEntries + 2, 0);
    m_suffix.assign(tableEntries + 2, 0);
    m_stack.assign(stackDepth, 0);
    m_clearCode = 1 << m_leastCodeBits;
    for (int code = 0; code < m_clearCode; ++code)
        m_suffix[size_t(code)] = quint16(code);
    resetCodes();

    m_x = m_left;
    m_y = m_top;
    m_rowEnd = m_left + m_width;
    m_bottom = qMax(0, qMin(m_top + m_height, m_size.height()) - 1);
    m_pass = m_interlaced ? 1 : 0;
    m_drawing = m_left < m_size.width() && m_top < m_size.height();
    m_offScreen = !m_drawing;
    m_row.assign(size_t(qMax(1, qMin(qMax(m_width, 1), m_size.width() - m_left))), 0);

    const DataOutcome outcome = decodeData();
    flushRow(m_y);
    m_cells = nullptr;
    if (outcome == DataOutcome::Refused || m_given == 0)
        return QImage();
    return cells.takePicture(alpha);
}

DataOutcome GifPictureReader::Private::decodeData()
{
    bool ended = false;
    for (;;) {
        const int size = nextByte();
        if (size < 0)
            return m_tooLong ? DataOutcome::Refused : DataOutcome::Cut;
        if (size == 0)
            return DataOutcome::Complete;
        // Decoded from the block in hand as it is taken, so that cut data give what they hold.
        for (int left = size; left > 0;) {
            if (m_at == m_end && !refill())
                return DataOutcome::Cut;
            const int step = qMin(left, m_end - m_at);
            const uchar *bytes = m_block.data() + m_at;
            if (!consume(step))
                return DataOutcome::Refused;
            left -= step;
            if (ended)
                continue;
            switch (decodeBytes(bytes, step)) {
            case CodeOutcome::More:
                break;
            case CodeOutcome::End:
                ended = true;
                break;
            case CodeOutcome::Broken:
                return DataOutcome::Broken;
            case CodeOutcome::Refused:
                return DataOutcome::Refused;
            }
        }
    }
}

CodeOutcome GifPictureReader::Private::decodeBytes(const uchar *bytes, int count)
{
    for (int i = 0; i < count; ++i) {
        m_bits |= quint32(bytes[i]) << m_bitCount;
        m_bitCount += 8;
        while (m_bitCount >= m_codeBits) {
            const int code = int(m_bits & ((1u << m_codeBits) - 1));
            m_bits >>= m_codeBits;
            m_bitCount -= m_codeBits;
            const CodeOutcome outcome = takeCode(code);
            if (outcome != CodeOutcome::More)
                return outcome;
        }
    }
    return CodeOutcome::More;
}

// One code of the data, decoded as the decoder this one replaces decoded it, so that pictures
// come out as they did: a code past the next one to be made repeats the last string and its first
// pixel, and only a chain that reaches a code not yet made, or one that loops on itself or runs
// deeper than the stack, breaks the data.
CodeOutcome GifPictureReader::Private::takeCode(int code)
{
    if (code == m_clearCode) {
        resetCodes();
        m_needFirst = true;
        return CodeOutcome::More;
    }
    if (code == m_clearCode + 1)
        return CodeOutcome::End;
    if (m_needFirst) {
        if (m_work && !m_work->spend(1))
            return CodeOutcome::Refused;
        m_needFirst = false;
        m_firstCode = m_oldCode = code;
        m_stack[0] = quint16(code);
        give(1);
        return CodeOutcome::More;
    }

    const int incoming = code;
    int depth = 0;
    if (code >= m_nextCode) {
        m_stack[size_t(depth++)] = quint16(m_firstCode);
        code = m_oldCode;
    }
    while (code >= m_clearCode + 2) {
        if (code >= m_nextCode || code == m_prefix[size_t(code)] || depth + 1 >= stackDepth)
            return CodeOutcome::Broken;
        m_stack[size_t(depth++)] = m_suffix[size_t(code)];
        code = m_prefix[size_t(code)];
    }
    m_firstCode = m_suffix[size_t(code)];
    m_stack[size_t(depth++)] = quint16(m_firstCode);
    if (m_nextCode < tableEntries) {
        m_prefix[size_t(m_nextCode)] = quint16(m_oldCode);
        m_suffix[size_t(m_nextCode)] = quint16(m_firstCode);
        ++m_nextCode;
        if (m_nextCode >= m_codeLimit && m_codeLimit < tableEntries) {
            m_codeLimit *= 2;
            ++m_codeBits;
        }
    }
    m_oldCode = incoming;
    if (m_work && !m_work->spend(depth))
        return CodeOutcome::Refused;
    give(depth);
    return CodeOutcome::More;
}

// Places the pixels on the stack, the last pushed first. Every pixel counts as given, drawn or
// not; a row is handed to the cells once it ends.
void GifPictureReader::Private::give(int count)
{
    m_given += count;
    const quint16 *stack = m_stack.data();
    // Run by run, each the pixels up to the row's end or the stack's.
    for (int next = count - 1; next >= 0 && !m_offScreen;) {
        // A picture of no width ends a row at each pixel.
        const int run = qMax(1, qMin(next + 1, m_rowEnd - m_x));
        if (m_drawing) {
            const int drawn = qMin(run, m_size.width() - m_x);
            QRgb *row = m_row.data() + (m_x - m_left);
            for (int i = 0; i < drawn; ++i)
                row[i] = m_colours[stack[next - i] & 0xff];
            m_rowFilled = qMax(m_rowFilled, m_x - m_left + drawn);
            m_drawing = m_x + run < m_size.width();
        }
        m_x += run;
        next -= run;
        if (m_x >= m_rowEnd)
            endRow();
    }
}

void GifPictureReader::Private::endRow()
{
    m_x = m_left;
    m_drawing = m_left < m_size.width() && m_y < m_size.height();
    if (!m_drawing) {
        m_offScreen = true;
        return;
    }
    const int row = m_y;
    advanceRow();
    if (m_y >= m_size.height()) {
        m_drawing = false;
        m_offScreen = true;
    }
    // The rows of a picture of three or four rows that is interlaced come back to its third row
    // once; what comes the second time stands.
    if (m_y != row)
        flushRow(row);
}

// The next row: after the last, or in an interlaced picture the next of its pass, the passes
// starting at rows 0, 4, 2 and 1 and stepping 8, 8, 4 and 2. A picture too short for a pass's
// first row goes on as the decoder this one replaces went on, so that such pictures come out as
// they did: from the first pass on the third's first row stepping 8, or below five rows, row after
// row from the second. Rows past the picture, of data longer than it, go on in the last pass.
void GifPictureReader::Private::advanceRow()
{
    switch (m_pass) {
    case 0:
        ++m_y;
        return;
    case 1:
        m_y += 8;
        if (m_y > m_bottom) {
            m_pass = 2;
            m_y = m_top + 4;
            if (m_y > m_bottom)
                m_y = m_top + 2;
            if (m_y > m_bottom) {
                m_pass = 0;
                m_y = m_top + 1;
            }
        }
        return;
    case 2:
        m_y += 8;
        if (m_y > m_bottom) {
            m_pass = 3;
            m_y = m_top + 2 > m_bottom ? m_top + 1 : m_top + 2;
        }
        return;
    case 3:
        m_y += 4;
        if (m_y > m_bottom) {
            m_pass = 4;
            m_y = m_top + 1;
        }
        return;
    default:
        m_y += 2;
        return;
    }
}

void GifPictureReader::Private::flushRow(int y)
{
    if (m_rowFilled > 0)
        m_cells->add(m_left, y, m_row.data(), m_rowFilled);
    m_rowFilled = 0;
}

GifPictureReader::GifPictureReader(QIODevice *device, DecodingWork *work)
    : d(std::make_unique<Private>(device, work))
{ }

GifPictureReader::~GifPictureReader() = default;

bool GifPictureReader::readHead()
{
    return d->readHead();
}

QSize GifPictureReader::size() const
{
    return d->m_size;
}

QImage GifPictureReader::read(const QSize &fitted)
{
    return d->read(fitted);
}

qint64 GifPictureReader::bytesTaken() const
{
    return d->m_taken;
}
