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
// is decoded. 64 megapixels keep the photos of today's cameras.
constexpr int maximumPictureSide = 16384;
constexpr qint64 maximumPictureArea = 64LL * 1024 * 1024;
// The most bytes one picture takes while it is read, its decoding and the bytes it is decoded
// from together: four bytes for each pixel allowed, and some room. Decoding takes more than the
// picture for some: one of 16 bits a channel, a progressive JPEG (whose decoder keeps every
// coefficient of every channel), a picture scaled from a copy of 32 bits a pixel.
constexpr qint64 maximumPictureBytes = 4 * maximumPictureArea + 32LL * 1024 * 1024;
// The pixels that the pictures coming by way of one file (those inside a plan file, those a
// CSV file names) may declare together: enough for any library this program writes (at most
// 128 x 128 each), and more for every byte the pictures come in, charged so that no small file
// decodes gigapixels.
constexpr qint64 pixelsAlwaysAllowed = 16LL * 1024 * 1024;
constexpr qint64 pixelsPerFileByte = 8;
// The work of decoding an ordinary photo, which each picture a CSV file names may take without
// paying: a drawing or a product shot compresses to a few bytes a hundred pixels, and pays for
// only what lies beyond this. No picture takes more without paying than its bytes could hold:
// twice what a blank picture of one bit a pixel packs into a byte. A file of a few hundred bytes
// that declares a picture of hundreds of megapixels is out of the ordinary, and pays.
constexpr qint64 ordinaryPictureArea = 24LL * 1024 * 1024;
constexpr qint64 mostFreePixelsPerByte = 16384;

// What the pictures coming by way of one file may still take, in pixels decoded whole, and how
// each picture that comes in adds to it and takes from it.
struct PictureBudget
{
    qint64 pixels = pixelsAlwaysAllowed;
    // What each byte of a picture that comes in earns.
    qint64 pixelsPerByte = 0;
    // What each picture takes without paying, up to mostFreePixelsPerByte for each of its bytes.
    qint64 freeEach = 0;
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
// above; one over them, or one whose size cannot be known before decoding, is no picture. What the
// bytes declare beyond the decoder's size counts too: a GIF is charged its logical screen, which
// its decoder allocates whole, as well as its frame, and a JPEG of more scans than any encoder
// writes is no picture, since every scan is decoded over the whole picture. A PNG's text chunks
// never reach its decoder, which would inflate each compressed one to megabytes. A picture larger
// than fitInto (when valid) comes out scaled to fit into it; JPEG, and PNG of 8 bits a channel
// stored row after row, are decoded scaled without ever holding the full-size picture, others are
// decoded whole and scaled from there. The area bound applies to the work of decoding: a JPEG of
// one scan that its decoder reduces is decoded block by block into the reduced picture, so a phone
// photo of 200 megapixels comes in, where its decoding holds a few megabytes. A device that states
// more bytes than a picture may take is no picture, and neither is a PNG or JPEG whose end lies
// further: nothing past there is counted. A BMP comes in upright however its rows are stored, and
// the rows its file lacks are blank, never the memory its decoder was given.
// The budget, when given, is what the caller still allows; a picture counts as many pixels as its
// decoding takes work, or bytes four to a pixel, whichever is more, and pays for what lies beyond
// the budget's freeEach. Its bytes earn pixelsPerByte each, and free work mostFreePixelsPerByte
// each: those that its decoder reads (to its end, or for a BMP to the end of its rows) and that
// are there, since the holes of a file read as zeros but hold nothing. A picture that would pay
// more than the budget and its own bytes allow is no picture; one that comes in adds what its bytes
// earn to the budget and takes what it pays from it, and one that does not changes nothing.
QImage readRasterPicture(QIODevice *device, const QSize &fitInto = QSize(),
                         PictureBudget *budget = nullptr,
                         PictureOrientation orientation = PictureOrientation::Upright);
// The handler of the raster format whose signature the bytes (the first eight of a file are
// enough) start with; empty for none.
QByteArray rasterFormat(const QByteArray &start);

// Pictures inside plan files: PNG bytes as lower-case hexadecimal text, read back with
// readRasterPicture, as they are stored. areaBudget, when given, is the pixels still allowed, of
// which each picture pays all it counts: the plan file's bytes have paid for them already.
QString imageToHex(const QImage &image);
QImage imageFromHex(const QString &text, const QSize &fitInto = QSize(),
                    qint64 *areaBudget = nullptr);
