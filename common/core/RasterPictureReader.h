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
// decoded whole and scaled from there. A device that states more bytes than a picture may take is
// no picture, and neither is a PNG or JPEG whose end lies further: nothing past there is counted.
// areaBudget, when given, is the number of pixels the caller still allows; a picture counts as
// many pixels as its decoding takes bytes, four to a pixel, and never fewer than it has. Its
// bytes earn pixelsPerByteRead each, those that its decoder reads (to its end, or for a BMP to the
// end of its rows) and that are there: the holes of a file read as zeros but hold nothing. A
// picture that counts more than the budget and its own bytes allow is no picture; one that comes
// in adds what its bytes earn to the budget and takes its count from it, and one that does not
// changes nothing.
QImage readRasterPicture(QIODevice *device, const QSize &fitInto = QSize(),
                         qint64 *areaBudget = nullptr, qint64 pixelsPerByteRead = 0,
                         PictureOrientation orientation = PictureOrientation::Upright);
// The handler of the raster format whose signature the bytes (the first eight of a file are
// enough) start with; empty for none.
QByteArray rasterFormat(const QByteArray &start);

// Pictures inside plan files: PNG bytes as lower-case hexadecimal text, read back with
// readRasterPicture, as they are stored.
QString imageToHex(const QImage &image);
QImage imageFromHex(const QString &text, const QSize &fitInto = QSize(),
                    qint64 *areaBudget = nullptr);
