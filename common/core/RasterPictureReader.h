#pragma once

// Reading a picture that comes from outside the program, within the limits below: the one
// decoder that every road taking a picture in goes through.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

// Pictures come from anywhere (picture files, plan files), and a few bytes can declare a
// picture of gigabytes; these limits are checked against the declared size before anything
// is decoded. 64 megapixels keep the photos of today's cameras. A picture that its decoder fits
// as it decodes (a JPEG it reduces, a PNG or GIF more than eight times as wide and high as the
// picture it is fitted to, summed row by row into it) never holds its full size, so that its
// sides are bounded only by the widest a JPEG may be: phones write panoramas of 20,000 to 40,000
// pixels across, and an A3 page scanned at 600 dots an inch is 9,921 pixels high.
constexpr int maximumPictureSide = 16384;
constexpr int maximumFittedSide = 65500;
constexpr qint64 maximumPictureArea = 64LL * 1024 * 1024;
// The most bytes one picture takes while it is read, its decoding and the bytes it is decoded
// from together: four bytes for each pixel allowed, and some room. Decoding takes more than the
// picture for some: a JPEG whose decoder keeps every coefficient of every channel (a progressive
// one, or one whose first scan holds some of its channels), a picture scaled from a copy of 32
// bits a pixel.
constexpr qint64 maximumPictureBytes = 4 * maximumPictureArea + 32LL * 1024 * 1024;
// The most work one picture takes (see DecodingWork), whatever it is paid with: that of the
// largest picture whose rows may be decoded, rows of 16 bits a channel with alpha (eight bytes and
// a quarter of a unit a pixel) of maximumPictureArea pixels, with the own cost of as many rows as
// the widest side gives in seven passes; about two seconds. An 8K texture's rows, or a
// 200-megapixel photo's blocks, take a fraction of it.
constexpr qint64 maximumPictureWork
    = maximumPictureArea * 8 + maximumPictureArea / 4 + 16LL * 1024 * 1024;
// What reading a byte of a picture costs, in units of work, as its walk or its decoder reads it
// and whatever it holds: a byte that is there pays for its own reading, the holes of a file
// (which read as zeros but hold nothing) do not.
constexpr qint64 workPerByteRead = 1;
// The work that the pictures inside one plan file may take beyond what their own bytes pay for,
// each as a picture file's do (workPerPictureByte, which pays in full for any picture this program
// writes): for pictures other programs stored, larger than the library keeps them, whose bytes pay
// nothing, a tenth of a second, and some 60 ns for every byte of the file, so that no small file
// decodes gigapixels.
constexpr qint64 planWorkAllowance = 36LL * 1024 * 1024;
constexpr qint64 planWorkPerFileByte = 18;
// The bytes that the pictures taken in from one plan file may hold (see heldPictureBytes): 320 MiB,
// which keeps a library of 5,000 pictures of the library's size in four bytes a pixel, and so of
// many more of a few colours, held a byte a pixel, whatever few bytes each is stored in; and 32 for
// every byte of the file, which keeps one of photos that their bytes show. A picture past it is
// not taken in, so that what a plan holds in memory follows the size of its file.
constexpr qint64 planHeldAllowance = 320LL * 1024 * 1024;
constexpr qint64 planHeldPerFileByte = 32;
// The work that picture files read together (those a CSV file names, those dropped or added at
// once) may take beyond what their own bytes pay for: about a second of decoding, shared by them
// all. Each byte of a picture pays for as much work as the densest ordinary pictures pack into a
// byte: a blank page's PNG, whose every byte inflates to as many as 1,032 bytes of rows, each
// costing about a unit, with its rows' own cost beside them (photos take a few units a byte,
// drawings and 8K slides some hundreds), so that those come in whatever comes before them, and
// no set of files, whatever it declares or leaves out, costs more for its bytes. A picture's
// bytes pay for that picture alone: what they would pay beyond it buys no other picture, so that
// a photo does not pay for hundreds of small files that each declare a large picture.
constexpr qint64 pictureFilesAllowance = 256LL * 1024 * 1024;
constexpr qint64 workPerPictureByte = 1152;

// What the pictures coming by way of one file, or read together, may still take beyond what
// their own bytes pay for, in units of work (see DecodingWork), and how much of a picture's work
// each of its bytes pays for; which pictures their bytes pay for; and the bytes the pictures
// taken in may still hold.
struct PictureBudget
{
    PictureBudget(qint64 units = planWorkAllowance, qint64 unitsPerByte = 0,
                  const QSize &paidUpTo = QSize(), qint64 heldBytes = -1)
        : units(units), unitsPerByte(unitsPerByte), paidUpTo(paidUpTo), heldBytes(heldBytes)
    { }

    qint64 units;
    qint64 unitsPerByte;
    // The largest picture whose own bytes pay for it: one wider or higher takes all its work from
    // units. Empty for every picture.
    QSize paidUpTo;
    // -1 for no bound.
    qint64 heldBytes;

    // For picture files read together.
    static PictureBudget forPictureFiles()
    {
        return {pictureFilesAllowance, workPerPictureByte, QSize(), -1};
    }
    // For the pictures inside a plan file of the given size, which keeps its pictures fitted into
    // kept: each of them pays with its own bytes as a picture file does, so that a plan of any
    // number of pictures the program wrote comes back whole, as far as what they hold allows.
    // Larger ones, which another program stored, take their work from what the file's size
    // allows, however many bytes each holds.
    static PictureBudget forPlanFile(qint64 fileBytes, const QSize &kept)
    {
        return {planWorkAllowance + planWorkPerFileByte * fileBytes, workPerPictureByte, kept,
                planHeldAllowance + planHeldPerFileByte * fileBytes};
    }

    // Whether the bytes of a picture of that size pay for it.
    bool bytesPayFor(const QSize &size) const
    {
        return paidUpTo.isEmpty()
            || (size.width() <= paidUpTo.width() && size.height() <= paidUpTo.height());
    }
};

// How a picture comes out: turned as its camera says it was held (the EXIF orientation of a
// JPEG), or as its pixels are stored.
enum class PictureOrientation { AsStored, Upright };

// Every picture the program takes in (inside a plan file, a file the user drops or adds, a file a
// CSV file names, the bytes a drag carries) is decoded here and nowhere else: only as PNG, JPEG,
// BMP or GIF, known by its first bytes, whatever a name or the system's detection says; anything
// else is no picture. Other formats carry pictures of their own that no bound below sees (an SVG's
// embedded or linked images, an SVGZ that inflates to gigabytes before it is parsed, the PNG inside
// an icon), or read further files and wait on pipes. The picture is decoded within the limits
// above; one over them, or one whose size cannot be known before decoding, is no picture.
// A picture larger than fitInto (when valid) comes out scaled to fit into it. A PNG or a GIF is
// decoded by the program itself, its rows summed into the fitted picture as they come, so that it
// never holds the picture at its full size: only its work and the widest side a format holds
// bound it. One no more than eight times as wide and high as the fitted picture is held whole, a
// few megabytes at most, and scaled; one summed into cells pays for their summing, however few
// pixels its data give. Its work is counted as its decoder does it, and the decoding stops once it
// passes what the picture may take; one whose rows and summing alone, known from its header, take
// more than it may is refused before they are decoded. A PNG's chunks beside the picture's own
// (texts, colour profiles) never reach its decoder, which would inflate each compressed one to
// megabytes, and its data reach it as far as they inflate to its rows. A GIF's first picture is
// read as it streams from the device, on its whole screen (unless that is wider or higher than any
// picture may be), and the screen outside it, and what of it its data leave out, take the screen's
// background colour. A JPEG or BMP is decoded by the system's decoder, its work known before it
// decodes: a JPEG's decoder goes over every block of the channels each scan holds, at the cost of
// its coding, and makes the pixels of the picture it reduces to; a JPEG of more scans than any
// encoder writes is no picture. A JPEG of one scan holding all its channels is decoded block by
// block into the reduced picture, so a phone photo of 200 megapixels comes in, where its decoding
// holds a few megabytes. A device that states more bytes than a picture may take is no picture,
// and neither is a PNG, JPEG or GIF whose end lies further: nothing past there is counted. A BMP
// comes in upright however its rows are stored, and the rows its file lacks are blank, never the
// memory its decoder was given. Every byte read costs its reading, and the holes of a file, which
// read as zeros but hold nothing, pay for nothing: a walk of a picture's bytes, or its decoder,
// stops once they cost more than may be taken. The budget, when given, is what the caller still
// allows beyond what a picture's own bytes pay for, unitsPerByte each: those that its decoder
// reads (to its end, or for a BMP to the end of its rows, a PNG's chunks beside the picture's own
// left out) and that are there. A JPEG or BMP counts as many units as its decoding takes work, or
// bytes four to a unit, whichever is more. What its bytes do not pay for is taken from the budget;
// a picture that would take more than is left is no picture. One larger than the budget has bytes
// pay for (paidUpTo) takes all its work from what is left. One refused before it is decoded
// takes what the walk of its bytes owed, for their holes; one whose decoder stops or fails on the
// way takes what all the work it did owes, up to what is left. A picture comes out held as
// heldCompactly holds it, and where the budget bounds what pictures hold, one that would hold more
// than is left is no picture: refused before it is decoded where its size tells so.
QImage readRasterPicture(QIODevice *device, const QSize &fitInto = QSize(),
                         PictureBudget *budget = nullptr,
                         PictureOrientation orientation = PictureOrientation::Upright);
// The handler of the raster format whose signature the bytes (the first eight of a file are
// enough) start with; empty for none.
QByteArray rasterFormat(const QByteArray &start);

// Pictures as plan files hold them: PNG bytes (pictureToPng) as lower-case hexadecimal text
// (imageToHex), and the bytes read back with readRasterPicture, as they are stored, within the
// budget when given (imageFromBytes, which the plan reader calls once it has the bytes from their
// digits; imageFromHex, the two steps together, is left to tests).

// The PNG bytes of a picture as the program draws it, and nothing else: its header, palette,
// transparency, density, data and end. Every road that encodes a picture for a plan goes through
// here. A photo's colour profile and comment, which its decoder puts on the picture, are left out:
// the program draws the pixels as they are, a colour-managed viewer would show another picture,
// and bytes holding more than the picture are encoded afresh at each first save after the plan
// opens (see PngPictureReader::holdsOnlyItsPicture). Empty for a null picture.
QByteArray pictureToPng(const QImage &picture);
QString imageToHex(const QImage &image);
QImage imageFromBytes(const QByteArray &bytes, const QSize &fitInto = QSize(),
                      PictureBudget *budget = nullptr);
QImage imageFromHex(const QString &text, const QSize &fitInto = QSize(),
                    PictureBudget *budget = nullptr);
