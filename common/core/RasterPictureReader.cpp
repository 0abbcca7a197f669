#include "common/core/RasterPictureReader.h"

#include "common/core/DecodingWork.h"
#include "common/core/FileHoles.h"
#include "common/core/GifPictureReader.h"
#include "common/core/HeldPicture.h"
#include "common/core/PngPictureReader.h"

#include <cstring>
#include <limits>
#include <memory>
#include <zlib.h>

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <QtMath>

QByteArray pictureToPng(const QImage &picture)
{
    if (picture.isNull())
        return QByteArray();
    // The system's writer writes whatever the picture carries beside its pixels (a colour space,
    // its texts, an offset), and a copy of the picture carries them too, while a text once set
    // cannot be taken off: a picture of the same pixels, which it reads where they are, carries
    // only what draws them and their density.
    QImage bare(picture.constBits(), picture.width(), picture.height(), picture.bytesPerLine(),
                picture.format());
    bare.setColorTable(picture.colorTable());
    bare.setDotsPerMeterX(picture.dotsPerMeterX());
    bare.setDotsPerMeterY(picture.dotsPerMeterY());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !bare.save(&buffer, "PNG"))
        return QByteArray();
    return bytes;
}

QString imageToHex(const QImage &image)
{
    return QString::fromLatin1(pictureToPng(image).toHex());
}

namespace {

// Progressive JPEG files hold about ten scans, and the decoder runs every scan over every block
// of the picture: a small scan repeated by the thousand costs minutes for a small file, and no
// count of pixels sees it. A hundred scans keep any file an encoder writes.
const int maximumJpegScans = 100;
// The work of going over one block of 8 x 8 samples in a scan, as measured on the system's
// decoder for the scans of each kind that cost it most: those of Huffman coding; and those of
// arithmetic coding, which no camera or browser writes, whose decoder, once their data run out,
// goes on decoding from nothing every coefficient of every block it has left, at some 450 ns a
// block for a progressive scan of one channel's higher frequencies and 2.5 us for a sequential
// scan of one channel. A few bytes of such a scan cover millions of blocks, so that it is charged
// as if its data had run out.
const qint64 workPerHuffmanBlock = 7;
const qint64 workPerProgressiveArithmeticBlock = 128;
const qint64 workPerSequentialArithmeticBlock = 720;
const qint64 walkBlockSize = 64 * 1024;
// What a picture held whole costs beside its decoding, as measured: a unit for every four of its
// pixels, for filling it before its decoder writes and, where it is larger than fitted, scaling it.
const qint64 wholePixelsPerUnit = 4;
// What a picture summed into the cells of a smaller one costs beside its decoding, as measured,
// however few pixels its data give (a GIF's picture of one pixel on a screen of 8192 x 8192 takes
// some 0.4 ms): two units for each column and row, whose cells are found before the rows come,
// and eight for each cell, whose mean is made once they have.
const qint64 unitsPerCellSide = 2;
const qint64 unitsPerCell = 8;

// The bytes of a device from where it stands to where its bytes end, or to limit and one byte
// more, so that a walk past limit is known: not to the length it states, which some files of the
// system state as none and then read on. Read a block at a time, and put back where it stood for
// whoever reads it next. Where work is given, each byte read that is not there (the holes of a
// file) is charged to it as the walk reads it, and the walk ends once the work is over: a file of
// a few kilobytes that states hundreds of megabytes costs what reading them does. The bytes there
// pay for the picture: every byte read, or those passed paying, as the walk says.
class ByteWalk
{
public:
    enum class Paying { EveryByte, WhenPassedPaying };

    ByteWalk(QIODevice *device, qint64 limit, DecodingWork *work = nullptr,
             Paying paying = Paying::EveryByte)
        : m_device(device),
          m_start(device->pos()),
          m_left(limit + 1),
          m_work(work),
          m_paying(paying)
    { }
    ~ByteWalk()
    {
        if (!m_device->isSequential())
            m_device->seek(m_start);
    }
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

    // Passes over count bytes, adding them to into when given, and paying for those there when
    // pays; false when fewer were left.
    bool pass(qint64 count, QByteArray *into = nullptr, bool pays = false)
    {
        m_lastThere = 0;
        while (count > 0) {
            if (m_at == m_block.size() && !refill())
                return false;
            const int step = int(qMin<qint64>(count, m_block.size() - m_at));
            if (into)
                into->append(m_block.constData() + m_at, step);
            m_lastThere += thereAmong(m_at, m_at + step);
            m_at += step;
            count -= step;
        }
        if (pays)
            pay(m_lastThere);
        return true;
    }

    // Of the bytes the last pass() passed over, those that are there.
    qint64 lastThere() const { return m_lastThere; }
    // Pays for bytes there that were passed over without paying.
    void pay(qint64 there)
    {
        if (m_work && m_paying == Paying::WhenPassedPaying)
            m_work->addRead(there);
    }

    // The bytes passed over so far.
    qint64 passed() const { return m_before + m_at; }
    // The walk was ended by its work, not by the bytes.
    bool isStopped() const { return m_stopped; }

private:
    bool refill()
    {
        m_before += m_block.size();
        m_block.clear();
        m_there.clear();
        m_at = 0;
        // Checked before the next block rather than after each: a block's bytes pay as they are
        // passed over, after its holes were charged.
        if (m_work && m_work->isOver()) {
            m_stopped = true;
            return false;
        }
        m_block = m_device->read(qMin(m_left, walkBlockSize));
        m_left -= m_block.size();
        if (m_work && !m_block.isEmpty()) {
            const qint64 from = m_start + m_before;
            m_there = stretchesThere(m_device, from, from + m_block.size());
            qint64 there = 0;
            for (auto &stretch : m_there) {
                stretch.first -= from;
                stretch.second -= from;
                there += stretch.second - stretch.first;
            }
            m_work->spend((m_block.size() - there) * workPerByteRead);
            if (m_paying == Paying::EveryByte)
                m_work->addRead(there);
        }
        return !m_block.isEmpty();
    }

    // The bytes of the block in hand from `from` to `to` that are there.
    qint64 thereAmong(int from, int to) const
    {
        if (!m_work)
            return to - from;
        qint64 there = 0;
        for (const auto &stretch : m_there)
            there += qMax<qint64>(
                0, qMin<qint64>(to, stretch.second) - qMax<qint64>(from, stretch.first));
        return there;
    }

    QIODevice *m_device;
    const qint64 m_start;
    qint64 m_left;
    DecodingWork *const m_work;
    const Paying m_paying;
    qint64 m_before = 0;
    QByteArray m_block;
    // The stretches of the block in hand that are there, from its start.
    ByteStretches m_there;
    int m_at = 0;
    qint64 m_lastThere = 0;
    bool m_stopped = false;
};

// What is known of a picture's bytes before its decoder is asked anything.
struct PictureBytes
{
    // How far the decoder reads the device from where it stands, where that was asked for.
    qint64 length = 0;
    // The coefficients a JPEG's decoder keeps for the whole picture when it comes in more than
    // one scan, or may: two bytes for every sample of every channel.
    qint64 coefficientBytes = 0;
    // The work of a JPEG's decoder on its scans, before any pixel is made.
    qint64 scanWork = 0;
    // Of the bytes its decoder reads, where measured, those that are there, and the holes of its
    // file, which read as zeros.
    qint64 there = 0;
    qint64 holes = 0;
};

// A JPEG's frame header (precision, height, width, the channels, then three bytes a channel: its
// name, how it is sampled across and down, its table), as its decoder takes it.
struct JpegFrame
{
    qint64 width = 0;
    qint64 height = 0;
    QVector<int> names;
    QVector<int> across;
    QVector<int> down;
    int mostAcross = 1;
    int mostDown = 1;

    explicit JpegFrame(const QByteArray &frame)
    {
        if (frame.size() < 6)
            return;
        const auto *bytes = reinterpret_cast<const uchar *>(frame.constData());
        height = qFromBigEndian<quint16>(bytes + 1);
        width = qFromBigEndian<quint16>(bytes + 3);
        const int channels = qMin(int(bytes[5]), (frame.size() - 6) / 3);
        for (int channel = 0; channel < channels; ++channel) {
            names << bytes[6 + 3 * channel];
            across << qMax(1, bytes[6 + 3 * channel + 1] >> 4);
            down << qMax(1, bytes[6 + 3 * channel + 1] & 15);
            mostAcross = qMax(mostAcross, across.last());
            mostDown = qMax(mostDown, down.last());
        }
    }

    // The blocks of a channel along a side, a channel sampled at a fraction of the picture's size
    // taking that fraction.
    static qint64 blocks(qint64 side, int sampling, int most)
    {
        return (side * sampling + 8 * most - 1) / (8 * most);
    }
};

// Two bytes for each coefficient of each channel of a JPEG's frame, in whole blocks of 8 x 8 as its
// decoder allocates them, as many across and down as the channel is sampled in each unit.
qint64 jpegCoefficientBytes(const JpegFrame &frame)
{
    const auto padded
        = [](qint64 count, int sampling) { return (count + sampling - 1) / sampling * sampling; };
    qint64 total = 0;
    for (int channel = 0; channel < frame.names.size(); ++channel) {
        const int across = frame.across.at(channel);
        const int down = frame.down.at(channel);
        total += padded(JpegFrame::blocks(frame.width, across, frame.mostAcross), across)
            * padded(JpegFrame::blocks(frame.height, down, frame.mostDown), down) * 64 * 2;
    }
    return total;
}

// The blocks a JPEG's decoder goes over in a scan, from the scan's header (its count of channels,
// then two bytes a channel, the first naming it): every block of the one channel a scan of one
// holds, or every block of each whole unit of the picture for a scan of several, each channel
// taking as many blocks in a unit as it is sampled across and down. A channel the frame does not
// name counts as all of them, so that nothing decoded goes uncounted.
qint64 jpegScanBlocks(const JpegFrame &frame, const QByteArray &scan)
{
    if (frame.names.isEmpty() || scan.isEmpty())
        return 0;
    QVector<int> scanned;
    const int named = qMin(int(uchar(scan.at(0))), (scan.size() - 1) / 2);
    for (int i = 0; i < named; ++i) {
        const int channel = frame.names.indexOf(uchar(scan.at(1 + 2 * i)));
        if (channel < 0) {
            scanned.clear();
            for (int all = 0; all < frame.names.size(); ++all)
                scanned << all;
            break;
        }
        scanned << channel;
    }
    if (scanned.size() == 1) {
        const int channel = scanned.first();
        return JpegFrame::blocks(frame.width, frame.across.at(channel), frame.mostAcross)
            * JpegFrame::blocks(frame.height, frame.down.at(channel), frame.mostDown);
    }
    const qint64 units = JpegFrame::blocks(frame.width, 1, frame.mostAcross)
        * JpegFrame::blocks(frame.height, 1, frame.mostDown);
    qint64 total = 0;
    for (const int channel : qAsConst(scanned))
        total += units * frame.across.at(channel) * frame.down.at(channel);
    return total;
}

// The scans of a JPEG as its decoder finds them, counted to one past bound at most, the
// coefficients it keeps, and the work of going over each scan's blocks, which its decoder does
// in every scan whatever the scan holds: a few bytes of a scan cover millions of blocks. Between
// segments, and in the coded data after a scan's header, the decoder looks for a 0xFF that, after
// any more 0xFF bytes, is followed by neither 0x00 (a 0xFF in the data) nor a marker that stands
// alone (a restart, the start of the picture, or one it does not know, which it passes over while
// it looks for a restart); every other marker opens a segment whose length it skips, so a thumbnail
// inside one is never seen as part of the picture. The walk may count a scan the decoder would not
// reach, never miss one it decodes: where the decoder gives up on a segment (a second start, a
// header of the wrong length) the walk goes on. The decoder takes the first frame header it meets;
// a progressive one, a first scan that holds fewer channels than the frame, or more than one scan,
// has it keep every coefficient of the picture until the last scan, filling in what the data leave
// out.
int jpegScans(ByteWalk &bytes, int bound, qint64 *coefficientBytes, qint64 *scanWork)
{
    int scans = 0;
    bool progressive = false;
    bool arithmetic = false;
    QByteArray frame;
    JpegFrame parsed(frame);
    QByteArray firstScan;
    *scanWork = 0;
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
        const bool frameHeader
            = marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
        if (frameHeader && frame.isEmpty() && length > 2) {
            progressive = (marker & 3) == 2; // 0xc2, 0xc6, 0xca, 0xce
            arithmetic = marker >= 0xc9;
            bytes.pass(length - 2, &frame);
            parsed = JpegFrame(frame);
        } else if (marker == 0xda && length > 2) {
            QByteArray scan;
            bytes.pass(length - 2, &scan);
            const qint64 perBlock = !arithmetic ? workPerHuffmanBlock
                : progressive                   ? workPerProgressiveArithmeticBlock
                                                : workPerSequentialArithmeticBlock;
            *scanWork += jpegScanBlocks(parsed, scan) * perBlock;
            if (scans == 1)
                firstScan = scan;
        } else if (length > 2) {
            bytes.pass(length - 2);
        }
    }
    // Each header starts with its count of channels: a frame's after its precision and sides.
    const bool someChannels
        = !firstScan.isEmpty() && frame.size() > 5 && uchar(firstScan.at(0)) < uchar(frame.at(5));
    *coefficientBytes = progressive || scans > 1 || someChannels ? jpegCoefficientBytes(parsed) : 0;
    return scans;
}

// A chunk type: four letters, as the decoder takes no other.
bool isPngChunkType(const QByteArray &type)
{
    for (const char letter : type) {
        if (!((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z')))
            return false;
    }
    return type.size() == 4;
}

// The most of a chunk of the picture's own its decoder takes, -1 for no bound: a longer header,
// palette or transparency it refuses or passes over, and the end holds nothing.
qint64 pngChunkMost(const QByteArray &type)
{
    if (type == "IHDR")
        return 13;
    if (type == "PLTE")
        return 3 * 256;
    if (type == "tRNS")
        return 256;
    return type == "IEND" ? 0 : -1;
}

// The bytes of a PNG's rows as its file stores them, from its header's data; -1 where the header
// says nothing its decoder would take.
qint64 pngRowsBytes(const QByteArray &header)
{
    if (header.size() < 13)
        return -1;
    const auto *bytes = reinterpret_cast<const uchar *>(header.constData());
    return PngPictureReader::storedRowsBytes(qFromBigEndian<quint32>(bytes),
                                             qFromBigEndian<quint32>(bytes + 4), bytes[8], bytes[9],
                                             bytes[12] != 0);
}

// How much of a PNG's image data its decoder needs, as the walk keeps them: all of them up to
// three times what the rows hold stored plainly and 64 KiB beside, more than nearly every encoder
// writes for them; past that, as far as they inflate to no more than the rows and their stream
// goes on, so that an encoder that flushes after every row, or opens its stream with empty blocks,
// loses nothing, and what follows the stream's end (a hole, data of nothing) is cut where the
// decoder stops needing it. Only data past that first bound are inflated here, each byte of it
// and of what it inflates to costing a unit.
class PngDataNeed
{
public:
    PngDataNeed(qint64 rowsBytes, DecodingWork *work)
        : m_rows(rowsBytes), m_plain(3 * rowsBytes + 64 * 1024), m_work(work)
    { }
    ~PngDataNeed()
    {
        if (m_inflating)
            inflateEnd(&m_stream);
    }
    PngDataNeed(const PngDataNeed &) = delete;
    PngDataNeed &operator=(const PngDataNeed &) = delete;

    // How many of the next left bytes of data to keep before asking again.
    qint64 nextStep(qint64 left) const
    {
        // No more than a picture's bytes may be, so that a step counts in an int.
        return m_kept < m_plain ? qMin(qMin(left, m_plain - m_kept), maximumPictureBytes + 1)
                                : qMin(left, walkBlockSize);
    }
    // Takes the data kept at `at` in the kept bytes, of the chunk whose data begin at chunkAt.
    // False once the decoder needs nothing past a place among the data taken so far, which end
    // then tells: the kept bytes up to there are all it reads of them.
    bool take(const QByteArray &kept, int chunkAt, int at, int count, int *chunkEnd, int *end)
    {
        m_pieces.append({chunkAt, at, count});
        m_kept += count;
        if (m_kept <= m_plain)
            return true;
        if (!m_inflating) {
            if (inflateInit(&m_stream) != Z_OK)
                return true;
            m_inflating = true;
        }
        for (; m_fed < m_pieces.size(); ++m_fed) {
            const Piece &piece = m_pieces.at(m_fed);
            m_stream.next_in
                = reinterpret_cast<Bytef *>(const_cast<char *>(kept.constData() + piece.at));
            m_stream.avail_in = uInt(piece.count);
            int outcome = Z_OK;
            while (m_stream.avail_in > 0 && outcome == Z_OK) {
                const uLong before = m_stream.total_in + m_stream.total_out;
                m_stream.next_out = m_scratch;
                m_stream.avail_out = sizeof m_scratch;
                outcome = inflate(&m_stream, Z_NO_FLUSH);
                if (m_work)
                    m_work->spend(qint64(m_stream.total_in + m_stream.total_out - before));
                if (qint64(m_stream.total_out) > m_rows)
                    outcome = Z_STREAM_END;
            }
            if (outcome != Z_OK && outcome != Z_BUF_ERROR) {
                // The stream ended, broke, or gave more than the rows: the decoder reads no
                // further.
                *chunkEnd = piece.chunkAt;
                *end = piece.at + piece.count - int(m_stream.avail_in);
                return false;
            }
        }
        return true;
    }

private:
    struct Piece
    {
        int chunkAt;
        int at;
        int count;
    };

    const qint64 m_rows;
    const qint64 m_plain;
    DecodingWork *const m_work;
    qint64 m_kept = 0;
    QVector<Piece> m_pieces;
    int m_fed = 0;
    bool m_inflating = false;
    z_stream m_stream = {};
    Bytef m_scratch[16 * 1024];
};

// Ends the chunk whose data begin at dataAt where its data end, with the checksum of what it then
// holds: the decoder reads a data chunk to its end once its rows are done.
void endChunkAt(QByteArray *kept, int dataAt, int end)
{
    const int held = end - dataAt;
    kept->truncate(end);
    qToBigEndian(quint32(held), kept->data() + dataAt - 8);
    const auto *from = reinterpret_cast<const Bytef *>(kept->constData());
    QByteArray check(4, 0);
    qToBigEndian(quint32(crc32(0, from + dataAt - 4, uInt(held + 4))), check.data());
    kept->append(check);
}

// A PNG's chunks up to its end, as its decoder reads them: the picture's own (its header, palette,
// transparency and data) no longer than it takes them (pngChunkMost), and any critical chunk it
// does not know, at whose head it refuses the picture and where the walk ends. The others are
// never held: nothing here shows them (a text, a colour profile), and a decoder would inflate a
// compressed text or profile to megabytes. Whole chunks left out need no other change. Past the
// image data, which the decoder reads no further, nothing but the end is kept, and the data
// themselves only as far as the decoder needs them (PngDataNeed), where the walk ends. It ends
// too at a chunk type of anything but four letters, which the decoder refuses, and at data before
// a header that names a picture it would decode. The bytes kept pay for the picture where they
// are there. False when the bytes pass limit, or the walk's work ends it.
bool pngChunksDecoded(ByteWalk &bytes, qint64 limit, DecodingWork *work, QByteArray *kept)
{
    bytes.pass(8, kept, true);
    std::unique_ptr<PngDataNeed> need;
    bool inData = false;
    bool pastData = false;
    for (;;) {
        QByteArray head;
        if (!bytes.pass(8, &head)) {
            kept->append(head);
            bytes.pay(bytes.lastThere());
            break;
        }
        const qint64 length = qFromBigEndian<quint32>(head.constData());
        const QByteArray type = head.mid(4);
        if (!isPngChunkType(type))
            break;
        const bool data = type == "IDAT";
        inData = inData || data;
        pastData = pastData || (inData && !data);
        // A chunk the decoder may pass over has a lower-case first letter.
        const bool critical = !(type.at(0) & 0x20);
        const bool known = type == "IHDR" || type == "PLTE" || data || type == "IEND";
        const qint64 most = pngChunkMost(type);
        const bool decoded = (pastData ? type == "IEND" : critical || type == "tRNS")
            && (most < 0 || length <= most);
        if (decoded) {
            kept->append(head);
            bytes.pay(bytes.lastThere());
        }
        if ((critical && !known) || (decoded && data && !need))
            break;
        const int dataAt = kept->size();
        if (decoded && data) {
            // The data as far as the decoder needs them, then the checksum after them.
            for (qint64 left = length; left > 0;) {
                const int at = kept->size();
                const qint64 step = need->nextStep(left);
                if (!bytes.pass(step, kept, true))
                    return bytes.passed() <= limit && !bytes.isStopped();
                left -= step;
                int chunkEnd = 0;
                int end = 0;
                if (!need->take(*kept, dataAt, at, int(step), &chunkEnd, &end)) {
                    endChunkAt(kept, chunkEnd, end);
                    return bytes.passed() <= limit && !bytes.isStopped();
                }
                if (bytes.passed() > limit)
                    return false;
            }
            if (!bytes.pass(4, kept, true))
                break;
        } else {
            const bool whole = bytes.pass(length + 4, decoded ? kept : nullptr, decoded);
            if (type == "IHDR" && decoded && !need && whole) {
                const qint64 rows = pngRowsBytes(kept->mid(dataAt, int(qMin<qint64>(length, 13))));
                if (rows < 0)
                    break;
                need = std::make_unique<PngDataNeed>(rows, work);
            }
            if (!whole)
                break;
        }
        if (type == "IEND" || bytes.passed() > limit)
            break;
    }
    return bytes.passed() <= limit && !bytes.isStopped();
}

// How far a BMP's decoder reads, from its headers: to the end of the rows they declare, each of
// its bits a pixel rounded up to four bytes, or of as many runs of one pixel and ends of rows as
// a compressed picture may hold. The sides are taken no larger than a picture may be, so that
// the count cannot overflow; a larger picture is refused before it is decoded.
qint64 bmpLength(const QByteArray &head)
{
    if (head.size() < 34)
        return 0;
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    const qint64 offset = qFromLittleEndian<quint32>(bytes + 10);
    const qint64 headerSize = qFromLittleEndian<quint32>(bytes + 14);
    // The oldest header holds sides of 16 bits and no compression.
    const bool oldest = headerSize == 12;
    const qint64 width = oldest ? qFromLittleEndian<quint16>(bytes + 18)
                                : qAbs(qint64(qFromLittleEndian<qint32>(bytes + 18)));
    const qint64 height = oldest ? qFromLittleEndian<quint16>(bytes + 20)
                                 : qAbs(qint64(qFromLittleEndian<qint32>(bytes + 22)));
    const int bits = qFromLittleEndian<quint16>(bytes + (oldest ? 24 : 28));
    const quint32 compression = oldest ? 0 : qFromLittleEndian<quint32>(bytes + 30);
    const qint64 across = qMin<qint64>(width, maximumPictureSide + 1);
    const qint64 down = qMin<qint64>(height, maximumPictureSide + 1);
    const bool runs = compression == 1 || compression == 2;
    const qint64 rows
        = runs ? (2 * across + 2) * down + 2 : (across * qMin(bits, 64) + 31) / 32 * 4 * down;
    return qMax(offset, 14 + headerSize) + rows;
}

// Reads what a JPEG's or BMP's bytes let be known before the system's decoder is asked anything,
// and, where work is given to measure them, how far that decoder reads them and which of those
// bytes are there, the walk of a JPEG's bytes charging work for the holes it reads. False for
// bytes that must not be decoded: a JPEG of more scans than bound, or on a device that can't be
// put back for its decoder (a pipe), or whose walk does not reach its end within the bytes a
// picture may take, since no scan or frame after that point would be counted, or within what its
// work may take.
bool readPictureBytes(QIODevice *device, const QByteArray &format, DecodingWork *work,
                      PictureBytes *picture)
{
    const qint64 start = device->pos();
    if (format == "jpeg") {
        ByteWalk bytes(device, maximumPictureBytes, work);
        if (device->isSequential()
            || jpegScans(bytes, maximumJpegScans, &picture->coefficientBytes, &picture->scanWork)
                > maximumJpegScans
            || bytes.passed() > maximumPictureBytes || bytes.isStopped())
            return false;
        picture->length = bytes.passed();
    } else if (!work || device->isSequential()) {
        // Its decoder reads on from where the device stood; a walk on a pipe would take its
        // bytes away.
        return true;
    } else {
        // A BMP says how far its rows go: they need not be read to be measured.
        picture->length = bmpLength(device->peek(34));
    }
    if (work) {
        const qint64 read = qMin(picture->length, device->size() - start);
        picture->there = bytesThere(device, start, start + picture->length);
        picture->holes = qMax<qint64>(0, read - picture->there);
    }
    return true;
}

bool overSideLimit(const QSize &size, int side)
{
    return size.width() > side || size.height() > side;
}

// The bits of a pixel as the decoder delivers it, 32 where it names no format before it decodes.
int decodedDepth(QImageReader &reader)
{
    const int depth = QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel();
    return depth > 0 ? depth : 32;
}

// The size a JPEG's decoder reduces a picture of size to, on its way to fitted: by as many eighths
// as keep it no smaller than fitted, at most seven.
QSize jpegReducedSize(const QSize &size, const QSize &fitted)
{
    const double reduction
        = qMin(double(size.width()) / fitted.width(), double(size.height()) / fitted.height());
    const int eighths = qBound(1, qCeil(8 / reduction), 8);
    return QSize(int((qint64(size.width()) * eighths + 7) / 8),
                 int((qint64(size.height()) * eighths + 7) / 8));
}

// The size a reader declares, or an invalid one. A BMP stored from the top down declares a
// negative height, and its decoder stands the picture up.
QSize declaredSize(QImageReader &reader)
{
    const QSize size = reader.size();
    if (size.height() < 0 && size.height() > std::numeric_limits<int>::min())
        return QSize(size.width(), -size.height());
    return size;
}

// A BMP's decoder draws on the picture it is given when it has the size and format the file
// declares, and leaves the rows that the file lacks, and the pixels its runs pass over, as it
// found them: it is given a blank one. A picture it made of its own memory is no picture.
bool readOntoBlank(QImageReader &reader, const QSize &size, QImage *image)
{
    *image = QImage(size, reader.imageFormat());
    if (image->isNull())
        return false;
    if (image->depth() <= 8)
        image->fill(0u);
    else
        image->fill(image->hasAlphaChannel() ? Qt::transparent : Qt::black);
    const uchar *given = image->constBits();
    return reader.read(image) && image->constBits() == given;
}

// What a picture's work owes beyond what its bytes pay for, where the budget has them pay.
qint64 owedBeyond(qint64 work, qint64 bytes, const PictureBudget *budget)
{
    return budget ? qMax<qint64>(0, work - budget->unitsPerByte * bytes) : 0;
}

// The picture, where what its work owes is no more than the budget has left. What it owes is taken
// whether or not the picture comes in, up to what is left: the work was done, and a set of files
// that each stop or fail at the last moment would otherwise each take it anew.
QImage settled(const QImage &image, qint64 owed, PictureBudget *budget)
{
    if (!budget)
        return image;
    const bool paid = owed <= budget->units;
    budget->units -= qMin(owed, budget->units);
    return paid ? image : QImage();
}

// Whether a picture of the given size pays with its bytes: not where the budget has only smaller
// pictures pay so.
bool bytesPay(const PictureBudget *budget, const QSize &size)
{
    return !budget || budget->bytesPayFor(size);
}

// Whether a picture that comes out at the given size may still be held, in the fewest bytes it
// may take: known before it is decoded.
bool mayBeHeld(const PictureBudget *budget, const QSize &size)
{
    return !budget || budget->heldBytes < 0 || leastHeldPictureBytes(size) <= budget->heldBytes;
}

// The picture as it is held (heldCompactly), where the budget has what it holds left; no picture
// where not, its work taken all the same.
QImage held(const QImage &image, PictureBudget *budget)
{
    if (image.isNull())
        return image;
    const QImage compact = heldCompactly(image);
    if (!budget || budget->heldBytes < 0)
        return compact;
    const qint64 bytes = heldPictureBytes(compact);
    if (bytes > budget->heldBytes)
        return QImage();
    budget->heldBytes -= bytes;
    return compact;
}

// The reader is given the one format its bytes start with and asks no other handler. Its work is
// known before it decodes; refused then, a picture takes what the walk of its bytes owed, for
// their holes, and once decoding has started, what all its work owes, whether it comes in or not.
QImage readLimitedPicture(QImageReader &reader, const PictureBytes &picture, const QSize &fitInto,
                          PictureBudget *budget, PictureOrientation orientation)
{
    // Of the formats read here, only a JPEG's bytes are walked before it is decoded.
    const bool jpeg = reader.format() == "jpeg";
    const qint64 walked
        = jpeg ? owedBeyond(picture.holes * workPerByteRead, picture.there, budget) : 0;
    // The reader opens its device and looks at its first bytes, nothing more, so that what the
    // bytes declare beyond the reader's size() is known before anything is decoded.
    if (!reader.canRead())
        return settled(QImage(), walked, budget);
    const QSize size = declaredSize(reader);
    // No picture is wider than a JPEG may be, whatever its format: the counts below stay small
    // enough not to overflow, and the bound of the other pictures follows once it is known
    // whether the decoder reduces this one.
    if (!size.isValid() || overSideLimit(size, maximumFittedSide))
        return settled(QImage(), walked, budget);
    // The picture is turned after it is decoded: a turn by 90 degrees swaps the sides of the
    // box the decoder fits it into.
    const bool upright = orientation == PictureOrientation::Upright;
    reader.setAutoTransform(upright);
    const QImageIOHandler::Transformations turn
        = upright ? reader.transformation() : QImageIOHandler::TransformationNone;
    const bool sidesSwap = turn.testFlag(QImageIOHandler::TransformationRotate90);
    const QSize box = sidesSwap ? fitInto.transposed() : fitInto;
    const bool fit = box.isValid() && (size.width() > box.width() || size.height() > box.height());
    const QSize fitted = size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    // Of the formats read here, only a JPEG's decoder scales as it decodes, holding a few rows.
    const bool decoderScales = fit && jpeg;
    // What decoding takes at its peak: what the decoder keeps of the whole picture, the picture
    // itself unless the decoder scales it, its turned copy, and, for a picture of fewer than 32
    // bits a pixel that is scaled here, the copy in 32 bits it is scaled from.
    const int depth = decodedDepth(reader);
    const qint64 pixels = qint64(size.width()) * size.height();
    qint64 decoding = picture.coefficientBytes;
    if (!decoderScales) {
        decoding += pixels * depth / 8 * (turn != QImageIOHandler::TransformationNone ? 2 : 1);
        if (fit && depth < 32)
            decoding += pixels * 4;
    }
    // The work of decoding (see DecodingWork): a unit for each pixel made, and one for each byte
    // read that is not there. A JPEG's decoder goes over the blocks of each of its scans first,
    // and makes the pixels of the picture it reduces to as it decodes; one of one scan holding
    // all its channels never holds a row of its full width.
    qint64 work = pixels;
    if (decoderScales) {
        const QSize reducedSize = jpegReducedSize(size, fitted);
        work = qint64(reducedSize.width()) * reducedSize.height();
    }
    work += picture.scanWork + picture.holes * workPerByteRead;
    const bool reduced = decoderScales && picture.coefficientBytes == 0;
    // Counted as its work, or as the bytes it takes four to a unit, whichever is more.
    const qint64 owed = owedBeyond(qMax(work, (decoding + 3) / 4),
                                   bytesPay(budget, size) ? picture.there : 0, budget);
    // A decoder that does not scale holds the whole picture.
    if ((!reduced && overSideLimit(size, maximumPictureSide)) || work > maximumPictureWork
        || (!decoderScales && pixels > maximumPictureArea) || decoding > maximumPictureBytes
        || (budget && owed > budget->units) || !mayBeHeld(budget, fit ? fitted : size))
        return settled(QImage(), walked, budget);
    if (decoderScales)
        reader.setScaledSize(fitted);
    QImage image;
    const bool read
        = reader.format() == "bmp" ? readOntoBlank(reader, size, &image) : reader.read(&image);
    // A format may declare one size and then deliver another.
    if (!read || image.width() > maximumPictureSide || image.height() > maximumPictureSide
        || qint64(image.width()) * image.height() > maximumPictureArea)
        return settled(QImage(), owed, budget);
    // A decoder may keep the picture it delivered: it goes, so that the picture is no longer
    // shared and can be changed in place.
    reader.setDevice(nullptr);
    if (fit && !decoderScales) {
        // The scaling works on 32 bits a pixel and would copy the picture to get them: where
        // the picture has as many or more, it is narrowed in place instead. The decoders also
        // scale wide pictures at their full precision, which takes more still.
        const bool wide = depth > 32;
        image.convertTo(wide || image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                        : QImage::Format_RGB32);
        image = image.scaled(sidesSwap ? fitted.transposed() : fitted, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    }
    return held(settled(image, owed, budget), budget);
}

// The work a picture that its own decoder reads may take: with no budget, what any picture may;
// with one, what its bytes pay for and what the budget still allows, never more than any may.
DecodingWork allowedWork(const PictureBudget *budget)
{
    if (!budget)
        return DecodingWork(maximumPictureWork, 0, maximumPictureWork);
    return DecodingWork(maximumPictureWork, budget->unitsPerByte, budget->units);
}

// The size a picture summed into cells comes out at: fitted into fitInto where it is larger, and
// then bounded only by the widest side a format holds, since no copy of it is made at its own
// size; else its own size, which is held whole and bounded as any whole picture is. Invalid for
// no picture.
QSize cellsSize(const QSize &size, const QSize &fitInto)
{
    if (size.isEmpty() || overSideLimit(size, maximumFittedSide))
        return QSize();
    if (fitInto.isValid() && (size.width() > fitInto.width() || size.height() > fitInto.height()))
        return size.scaled(fitInto, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (overSideLimit(size, maximumPictureSide)
        || qint64(size.width()) * size.height() > maximumPictureArea)
        return QSize();
    return size;
}

// The size a picture to be fitted is summed into: where it is no more than eight times as wide
// and high as the fitted one, its own, since its cells of a few pixels, each whole, would show
// its fine lines and stripes as the fitted picture's own pixels do not; it is then held whole and
// scaled as any whole picture is, a few megabytes at most.
QSize summedSize(const QSize &size, const QSize &fitted)
{
    return qint64(size.width()) * size.height() <= 64 * qint64(fitted.width()) * fitted.height()
        ? size
        : fitted;
}

// The work of a picture held whole, beside its decoding.
qint64 wholeWork(const QSize &size)
{
    return qint64(size.width()) * size.height() / wholePixelsPerUnit;
}

QImage scaledTo(const QImage &image, const QSize &fitted)
{
    if (image.isNull() || image.size() == fitted)
        return image;
    return image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage settled(const QImage &image, const DecodingWork &work, qint64 bytes, PictureBudget *budget)
{
    return settled(image, owedBeyond(work.spent(), bytes, budget), budget);
}

// The work of summing a picture of the given size into cells of the fitted one, beside that of its
// pixels: finding each column's and row's cell, and making each cell's mean.
qint64 cellsWork(const QSize &size, const QSize &fitted)
{
    return (qint64(size.width()) + size.height()) * unitsPerCellSide
        + qint64(fitted.width()) * fitted.height() * unitsPerCell;
}

// Whether a picture of the given size may be decoded into the summed size on its way to fitted,
// known before it is decoded: the work its header tells (its rows, where known) and that of being
// held whole and scaled, or summed into cells, are within what it may take, and the picture may
// still be held. That work is then spent.
bool mayBeSummed(DecodingWork &work, const PictureBudget *budget, qint64 known, const QSize &size,
                 const QSize &summed, const QSize &fitted)
{
    const qint64 summing = summed == size ? wholeWork(size) : cellsWork(size, summed);
    if (work.wouldPass(known + summing) || !mayBeHeld(budget, fitted))
        return false;
    work.spend(summing);
    return true;
}

QImage readPngPicture(QIODevice *device, const QSize &fitInto, PictureBudget *budget)
{
    DecodingWork work = allowedWork(budget);
    QByteArray png;
    bool complete;
    {
        ByteWalk bytes(device, maximumPictureBytes, &work, ByteWalk::Paying::WhenPassedPaying);
        complete = pngChunksDecoded(bytes, maximumPictureBytes, &work, &png);
    }
    // The bytes that pay: those its decoder reads that are there, paid as the walk kept them.
    qint64 paying = work.read();
    PngPictureReader reader(png, &work);
    if (!complete || !reader.readHead())
        return settled(QImage(), work, paying, budget);
    const QSize size = reader.size();
    if (!bytesPay(budget, size)) {
        work.unpaid();
        paying = 0;
    }
    const QSize fitted = cellsSize(size, fitInto);
    // A picture that comes out at its own size is held whole, beside the bytes it is read from. One
    // whose rows and summing alone take more than it may is refused before they are decoded.
    if (!fitted.isValid()
        || (fitted == size
            && png.size() + 4 * qint64(size.width()) * size.height() > maximumPictureBytes))
        return settled(QImage(), work, paying, budget);
    const QSize summed = summedSize(size, fitted);
    if (!mayBeSummed(work, budget, reader.rowsWork(), size, summed, fitted))
        return settled(QImage(), work, paying, budget);
    return held(scaledTo(settled(reader.read(summed), work, paying, budget), fitted), budget);
}

QImage readGifPicture(QIODevice *device, const QSize &fitInto, PictureBudget *budget)
{
    const qint64 start = device->pos();
    DecodingWork work = allowedWork(budget);
    GifPictureReader reader(device, &work);
    bool paid = true;
    // The bytes it took that are there, where they pay.
    const auto paying = [&] {
        return paid && budget && budget->unitsPerByte > 0
            ? bytesThere(device, start, start + reader.bytesTaken())
            : 0;
    };
    if (!reader.readHead())
        return settled(QImage(), work, paying(), budget);
    const QSize size = reader.size();
    if (!bytesPay(budget, size)) {
        work.unpaid();
        paid = false;
    }
    const QSize fitted = cellsSize(size, fitInto);
    if (!fitted.isValid())
        return settled(QImage(), work, paying(), budget);
    const QSize summed = summedSize(size, fitted);
    // Its screen's summing is known before its codes are read.
    if (!mayBeSummed(work, budget, 0, size, summed, fitted))
        return settled(QImage(), work, paying(), budget);
    const QImage image = reader.read(summed);
    return held(scaledTo(settled(image, work, paying(), budget), fitted), budget);
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

QImage readRasterPicture(QIODevice *device, const QSize &fitInto, PictureBudget *budget,
                         PictureOrientation orientation)
{
    // No picture takes more bytes than that, and a walk of its bytes stops there: a file that
    // states more is no picture, known before a byte of it is read.
    if (!device->isSequential() && device->size() - device->pos() > maximumPictureBytes)
        return QImage();
    const QByteArray format = rasterFormat(device->peek(8));
    if (format.isEmpty())
        return QImage();
    if (format == "png")
        return readPngPicture(device, fitInto, budget);
    if (format == "gif")
        return readGifPicture(device, fitInto, budget);
    // Its bytes are measured where they pay: a walk that reads more holes than they and the
    // budget pay for ends there.
    const bool measured = budget && budget->unitsPerByte > 0;
    DecodingWork walk = allowedWork(budget);
    PictureBytes picture;
    if (!readPictureBytes(device, format, measured ? &walk : nullptr, &picture))
        return settled(QImage(), walk, walk.read(), budget);
    QImageReader reader(device, format);
    // Only that format's handler: no other is asked whether it knows the bytes.
    reader.setAutoDetectImageFormat(false);
    return readLimitedPicture(reader, picture, fitInto, budget, orientation);
}

QImage imageFromBytes(const QByteArray &bytes, const QSize &fitInto, PictureBudget *budget)
{
    if (bytes.isEmpty())
        return QImage();
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return readRasterPicture(&buffer, fitInto, budget, PictureOrientation::AsStored);
}

QImage imageFromHex(const QString &text, const QSize &fitInto, PictureBudget *budget)
{
    return imageFromBytes(QByteArray::fromHex(text.toLatin1()), fitInto, budget);
}
