#pragma once

#include <QImage>

// How the pictures the program takes in are held: a plan's library may hold thousands, most of
// them of a few colours (swatches, icons, pages, patterns), and each is held as long as the plan
// is open, in every undo step that shares it.

// The picture in one byte a pixel, with a table of its colours, where it has no more than 256 and
// each comes back exactly as it is (drawn, compared or saved, it is the same picture); else the
// picture as it is, with its alpha applied where it has any. Only pictures of 32 bits a pixel are
// made smaller, and those of one bit a pixel, which would be drawn as masks, take a byte. A
// picture of one byte a pixel comes out with a colour for every index its pixels use.
QImage heldCompactly(const QImage &source);

// The colours a picture of one byte a pixel holds for the given colours with their alpha applied,
// taken apart as the system takes a picture's apart, so that it compares, saves and draws as those
// colours do; false where one of them (of little alpha) would not come back so.
bool tableOfColours(const QVector<QRgb> &applied, QVector<QRgb> *table);

// The bytes a picture takes while it is held: its pixels, its colour table, and what holding any
// picture takes beside them.
qint64 heldPictureBytes(const QImage &picture);

// The fewest bytes a picture of the given size may take while it is held, whatever its colours.
qint64 leastHeldPictureBytes(const QSize &size);
